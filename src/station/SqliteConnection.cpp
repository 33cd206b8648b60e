// The results store's SQLite file: write-ahead logging, so readers never wait for a writer and
// a station killed mid-write leaves the last committed state; a busy wait for the write lock,
// so stations on one machine share the file.
#include "station/SqlConnection.h"
#include "station/StationText.h"

#include <sqlite3.h>

#include <filesystem>

namespace {

class CSqliteConnection final : public ISqlConnection {
public:
    CSqliteConnection(sqlite3* db, std::string path) : m_db(db), m_path(std::move(path)) {}
    ~CSqliteConnection() override { sqlite3_close_v2(m_db); }

    bool Execute(const std::string& sql, const std::vector<CSqlValue>& params,
                 std::vector<CSqlRow>* rows, int64_t* changed, std::string& error) override {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), int(sql.size()), &statement, nullptr) !=
            SQLITE_OK)
            return Failed(error);
        for (size_t i = 0; i < params.size(); ++i) {
            // SQLite numbers "$n" parameters in the order they appear in the text, not by n.
            const int index =
                sqlite3_bind_parameter_index(statement, ("$" + std::to_string(i + 1)).c_str());
            if (index == 0) continue; // a parameter the statement does not use
            const int bound = params[i]
                                  ? sqlite3_bind_text(statement, index, params[i]->c_str(),
                                                      int(params[i]->size()), SQLITE_TRANSIENT)
                                  : sqlite3_bind_null(statement, index);
            if (bound != SQLITE_OK) {
                sqlite3_finalize(statement);
                return Failed(error);
            }
        }
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!rows) continue;
            CSqlRow row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                // SQLite's own text of a double keeps 15 digits; ours reads back the same double.
                if (sqlite3_column_type(statement, c) == SQLITE_FLOAT) {
                    row.push_back(ShortestNumber(sqlite3_column_double(statement, c)));
                    continue;
                }
                const auto* text = sqlite3_column_text(statement, c);
                row.push_back(text ? CSqlValue(reinterpret_cast<const char*>(text)) : CSqlValue());
            }
            rows->push_back(std::move(row));
        }
        sqlite3_finalize(statement);
        if (step != SQLITE_DONE) return Failed(error);
        if (changed) *changed = sqlite3_changes64(m_db);
        return true;
    }

    const char* BeginWrite() const override { return "BEGIN IMMEDIATE"; }
    const char* SchemaLock() const override { return ""; }
    std::string Name() const override { return m_path; }

private:
    bool Failed(std::string& error) const {
        error = m_path + ": " + sqlite3_errmsg(m_db);
        return false;
    }

    sqlite3* m_db;
    std::string m_path;
};

} // namespace

std::unique_ptr<ISqlConnection> OpenSqlite(const std::string& path, int busyMs,
                                           std::string& error) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (ec) {
        error = path + ": cannot create its folder: " + ec.message();
        return nullptr;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        error = path + ": " + (db ? sqlite3_errmsg(db) : "cannot open the database");
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, busyMs);
    auto connection = std::make_unique<CSqliteConnection>(db, path);
    // FULL keeps a committed record through a power cut, not only through a killed process.
    if (!connection->Execute("PRAGMA journal_mode=WAL", {}, nullptr, nullptr, error) ||
        !connection->Execute("PRAGMA synchronous=FULL", {}, nullptr, nullptr, error) ||
        !connection->Execute("PRAGMA foreign_keys=ON", {}, nullptr, nullptr, error))
        return nullptr;
    return connection;
}
