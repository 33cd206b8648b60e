#pragma once
// Nothing lost, nothing doubled: a record for a server that cannot be reached goes to a local
// SQLite spool, and the spool is sent, record by record, whenever the server answers again. A
// record leaves the spool only after the server has it; if the station dies between the two,
// the resend carries the same UUID and the server keeps one.

#include "station/ResultsStore.h"

#include <string>

struct CStoreOutcome {
    std::string where; // the store that took the record
    bool spooled = false;
    std::string reason; // why the server was not used, when spooled
    int sent = 0;       // spooled records sent to the server first
};

/** The spool beside the default results file: $XDG_DATA_HOME/aurivo/spool.sqlite. */
std::string DefaultSpoolPath();

/** Sends every spooled record to `server`, oldest first; the number sent, or -1 with a message
 *  (what was sent before the failure stays sent and leaves the spool). */
int SendSpool(IResultsStore& spool, IResultsStore& server, std::string& error);

/** Stores the record at `url`: a file directly; a server after sending the spool, or in the
 *  spool at `spoolPath` when the server cannot be reached or refuses the write. False with a
 *  message only when neither took it. */
bool StoreRecord(const std::string& url, const std::string& spoolPath, const CTestRecord& record,
                 CStoreOutcome& outcome, std::string& error);
