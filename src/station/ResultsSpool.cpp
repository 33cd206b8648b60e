#include "station/ResultsSpool.h"

std::string DefaultSpoolPath() {
    std::string path = DefaultResultsPath();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1) + "spool.sqlite";
}

int SendSpool(IResultsStore& spool, IResultsStore& server, std::string& error) {
    std::vector<CTestRecord> waiting;
    if (!spool.Find({}, waiting, error)) return -1;
    int sent = 0;
    for (const CTestRecord& r : waiting) {
        if (!server.Put(r, error) || !spool.Remove(r.uuid, error)) return -1;
        ++sent;
    }
    return sent;
}

bool StoreRecord(const std::string& url, const std::string& spoolPath, const CTestRecord& record,
                 CStoreOutcome& outcome, std::string& error) {
    std::unique_ptr<IResultsStore> server = OpenResultsStore(url, error);
    if (!IsServerUrl(url)) {
        if (!server || !server->Put(record, error)) return false;
        outcome = {server->Name(), false, {}, 0};
        return true;
    }
    std::unique_ptr<IResultsStore> spool = OpenResultsStore(spoolPath, error);
    if (server && server->Put(record, error)) {
        outcome = {server->Name(), false, {}, 0};
        if (spool) outcome.sent = std::max(SendSpool(*spool, *server, error), 0);
        return true;
    }
    const std::string reason = error;
    if (!spool || !spool->Put(record, error)) return false;
    outcome = {spool->Name(), true, reason, 0};
    return true;
}
