// The results store's PostgreSQL server, through libpq. Parameters go as text and the server
// reads them by the column they land in; a transaction is the unit a record is written in.
#include "station/ResultsStore.h"
#include "station/SqlConnection.h"

#include <libpq-fe.h>

namespace {

/** libpq's messages span lines and indent with tabs; a station states them on one line. */
std::string OneLine(const char* text) {
    std::string line;
    for (const char* p = text ? text : ""; *p; ++p) {
        const bool blank = *p == '\n' || *p == '\t' || *p == ' ' || *p == '\r';
        if (!blank)
            line += *p;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

/** The URL as messages show it: without a password. */
std::string WithoutPassword(const std::string& url) {
    const size_t scheme = url.find("://");
    const size_t at = url.find('@');
    if (scheme == std::string::npos || at == std::string::npos) return url;
    const size_t colon = url.find(':', scheme + 3);
    if (colon == std::string::npos || colon > at) return url;
    return url.substr(0, colon) + url.substr(at);
}

class CPostgresConnection final : public ISqlConnection {
public:
    CPostgresConnection(PGconn* connection, std::string name)
        : m_connection(connection), m_name(std::move(name)) {}
    ~CPostgresConnection() override { PQfinish(m_connection); }

    bool Execute(const std::string& sql, const std::vector<CSqlValue>& params,
                 std::vector<CSqlRow>* rows, int64_t* changed, std::string& error) override {
        std::vector<const char*> values;
        for (const CSqlValue& p : params)
            values.push_back(p ? p->c_str() : nullptr);
        PGresult* result = PQexecParams(m_connection, sql.c_str(), int(values.size()), nullptr,
                                        values.data(), nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            error = m_name + ": " +
                    OneLine(result ? PQresultErrorMessage(result) : PQerrorMessage(m_connection));
            PQclear(result);
            return false;
        }
        if (rows)
            for (int r = 0; r < PQntuples(result); ++r) {
                CSqlRow row;
                for (int c = 0; c < PQnfields(result); ++c)
                    row.push_back(PQgetisnull(result, r, c) ? CSqlValue()
                                                            : CSqlValue(PQgetvalue(result, r, c)));
                rows->push_back(std::move(row));
            }
        if (changed) {
            const char* count = PQcmdTuples(result);
            *changed = count && *count ? std::stoll(count) : 0;
        }
        PQclear(result);
        return true;
    }

    const char* BeginWrite() const override { return "BEGIN"; }
    const char* SchemaLock() const override {
        return "SELECT pg_advisory_xact_lock(7312041)"; // any number all stations agree on
    }
    std::string Name() const override { return m_name; }

private:
    PGconn* m_connection;
    std::string m_name;
};

} // namespace

std::string ServerUrlProblem(const std::string& url) {
    if (!IsServerUrl(url)) return {};
    char* message = nullptr;
    PQconninfoOption* options = PQconninfoParse(url.c_str(), &message);
    const std::string problem =
        options ? std::string()
                : WithoutPassword(url) + ": " + OneLine(message ? message : "not a URL");
    PQconninfoFree(options);
    PQfreemem(message);
    return problem;
}

std::unique_ptr<ISqlConnection> OpenPostgres(const std::string& url, int timeoutSeconds,
                                             std::string& error) {
    const std::string name = WithoutPassword(url);
    const std::string timeout = std::to_string(timeoutSeconds);
    const char* keys[] = {"dbname", "connect_timeout", "application_name", nullptr};
    const char* values[] = {url.c_str(), timeout.c_str(), "aurivo", nullptr};
    PGconn* connection = PQconnectdbParams(keys, values, 1);
    if (!connection || PQstatus(connection) != CONNECTION_OK) {
        error = name + ": " + OneLine(connection ? PQerrorMessage(connection) : "out of memory");
        PQfinish(connection);
        return nullptr;
    }
    // Notices (such as "relation already exists, skipping") are not the station's to print.
    PQsetNoticeProcessor(
        connection, [](void*, const char*) {}, nullptr);
    return std::make_unique<CPostgresConnection>(connection, name);
}
