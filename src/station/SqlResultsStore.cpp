// The results store over any SQL connection: the schema, its version and migration, and the
// statements, written once in the SQL both SQLite and PostgreSQL speak.
#include "station/ResultsStore.h"

#include "base/NumberText.h"
#include "station/SqlConnection.h"
#include "station/StationText.h"

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kSchemaVersion = 1;
constexpr int kSqliteBusyMs = 30000;
constexpr int kConnectSeconds = 5;

// Version 1: a row per record (the whole record as JSON beside the fields a query selects by)
// and a row per checked item, for statistics without reading the records.
const char* const kSchemaV1[] = {
    "CREATE TABLE test_results (uuid TEXT PRIMARY KEY, tested_at TEXT NOT NULL, "
    "station TEXT NOT NULL, serial TEXT NOT NULL, operator TEXT NOT NULL, "
    "software TEXT NOT NULL, plan TEXT NOT NULL, plan_sha256 TEXT NOT NULL, "
    "verdict TEXT NOT NULL, record TEXT NOT NULL)",
    "CREATE INDEX test_results_plan_time ON test_results (plan, tested_at)",
    "CREATE TABLE test_items (uuid TEXT NOT NULL REFERENCES test_results (uuid), "
    "item TEXT NOT NULL, measurement TEXT NOT NULL, kind TEXT NOT NULL, "
    "value DOUBLE PRECISION, unit TEXT NOT NULL, lower_limit DOUBLE PRECISION, "
    "upper_limit DOUBLE PRECISION, margin DOUBLE PRECISION, frequency DOUBLE PRECISION, "
    "passed INTEGER NOT NULL, PRIMARY KEY (uuid, item))",
};

// The query's fields, empty for "any"; CAST types the parameters for both databases.
const char* const kWhere = " WHERE (CAST($1 AS TEXT) = '' OR plan = CAST($1 AS TEXT))"
                           " AND (CAST($2 AS TEXT) = '' OR station = CAST($2 AS TEXT))"
                           " AND (CAST($3 AS TEXT) = '' OR tested_at >= CAST($3 AS TEXT))";

CSqlValue Number(double v) {
    return std::isfinite(v) ? CSqlValue(ShortestNumber(v)) : CSqlValue();
}
CSqlValue Number(const std::optional<double>& v) {
    return v ? Number(*v) : CSqlValue();
}

class CSqlResultsStore final : public IResultsStore {
public:
    explicit CSqlResultsStore(std::unique_ptr<ISqlConnection> db) : m_db(std::move(db)) {}

    /** Creates the schema or brings it to this program's version. */
    bool Migrate(std::string& error) {
        return Transaction(error, [&] {
            if (*m_db->SchemaLock() && !Run(m_db->SchemaLock(), {}, error)) return false;
            std::vector<CSqlRow> rows;
            if (!Run("CREATE TABLE IF NOT EXISTS aurivo_schema (version INTEGER NOT NULL)", {},
                     error) ||
                !m_db->Execute("SELECT MAX(version) FROM aurivo_schema", {}, &rows, nullptr, error))
                return false;
            const int version = rows.empty() || !rows[0][0] ? 0 : std::atoi(rows[0][0]->c_str());
            if (version > kSchemaVersion) {
                error = m_db->Name() + ": the results schema is version " +
                        std::to_string(version) + ", newer than this program's " +
                        std::to_string(kSchemaVersion);
                return false;
            }
            if (version == 0) {
                for (const char* statement : kSchemaV1)
                    if (!Run(statement, {}, error)) return false;
                return Run("INSERT INTO aurivo_schema (version) VALUES (1)", {}, error);
            }
            return true;
        });
    }

    bool Put(const CTestRecord& r, std::string& error) override {
        return Transaction(error, [&] {
            int64_t inserted = 0;
            if (!m_db->Execute(
                    "INSERT INTO test_results (uuid, tested_at, station, serial, operator, "
                    "software, plan, plan_sha256, verdict, record) VALUES "
                    "($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) ON CONFLICT (uuid) DO NOTHING",
                    {r.uuid, r.testedAt, r.station, r.serial, r.operatorName, r.software,
                     r.planName, r.planHash, r.passed ? "PASS" : "FAIL", RecordJson(r).dump()},
                    nullptr, &inserted, error))
                return false;
            if (inserted == 0) return true; // sent before: the stored one stands
            for (const CCheckResult& c : r.checks)
                if (!Run("INSERT INTO test_items (uuid, item, measurement, kind, value, unit, "
                         "lower_limit, upper_limit, margin, frequency, passed) VALUES "
                         "($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)",
                         {r.uuid, c.id, c.measurement,
                          c.kind == ECheckKind::Mask ? "mask" : "limit", Number(c.value), c.unit,
                          Number(c.lower), Number(c.upper), Number(c.margin), Number(c.frequency),
                          c.passed ? "1" : "0"},
                         error))
                    return false;
            return true;
        });
    }

    bool Find(const CResultsQuery& q, std::vector<CTestRecord>& records,
              std::string& error) override {
        std::vector<CSqlRow> rows;
        if (!m_db->Execute(std::string("SELECT record FROM test_results") + kWhere +
                               " ORDER BY tested_at, uuid",
                           {q.plan, q.station, q.since}, &rows, nullptr, error))
            return false;
        std::vector<CTestRecord> found;
        for (const CSqlRow& row : rows) {
            const nlohmann::json j = nlohmann::json::parse(row[0].value_or(""), nullptr, false);
            std::string reason;
            if (!RecordFromJson(j, found.emplace_back(), reason)) {
                error = m_db->Name() + ": a stored record cannot be read: " + reason;
                return false;
            }
        }
        records = std::move(found);
        return true;
    }

    bool Count(const CResultsQuery& q, int64_t& count, std::string& error) override {
        std::vector<CSqlRow> rows;
        if (!m_db->Execute(std::string("SELECT COUNT(*) FROM test_results") + kWhere,
                           {q.plan, q.station, q.since}, &rows, nullptr, error))
            return false;
        count = std::atoll(rows.at(0).at(0).value_or("0").c_str());
        return true;
    }

    bool Items(const CResultsQuery& q, std::vector<CItemRow>& items, std::string& error) override {
        std::vector<CSqlRow> rows;
        if (!m_db->Execute(
                std::string("SELECT r.uuid, r.tested_at, r.station, r.serial, r.verdict, "
                            "i.item, i.unit, i.value, i.lower_limit, i.upper_limit, "
                            "i.margin, i.passed FROM test_results r JOIN test_items i "
                            "ON i.uuid = r.uuid") +
                    kWhere + " ORDER BY r.tested_at, r.uuid, i.item",
                {q.plan, q.station, q.since}, &rows, nullptr, error))
            return false;
        items.clear();
        for (const CSqlRow& row : rows) {
            const auto number = [&](size_t c) {
                return row[c] ? std::optional<double>(ParseDouble(*row[c])) : std::nullopt;
            };
            items.push_back({row[0].value_or(""), row[1].value_or(""), row[2].value_or(""),
                             row[3].value_or(""), row[4].value_or(""), row[5].value_or(""),
                             row[6].value_or(""), number(7).value_or(NAN), number(8), number(9),
                             number(10).value_or(-INFINITY), row[11].value_or("0") == "1"});
        }
        return true;
    }

    bool CountPassed(const CResultsQuery& q, int64_t& passed, std::string& error) override {
        std::vector<CSqlRow> rows;
        if (!m_db->Execute(std::string("SELECT COUNT(*) FROM test_results") + kWhere +
                               " AND verdict = 'PASS'",
                           {q.plan, q.station, q.since}, &rows, nullptr, error))
            return false;
        passed = std::atoll(rows.at(0).at(0).value_or("0").c_str());
        return true;
    }

    bool Remove(const std::string& uuid, std::string& error) override {
        return Transaction(error, [&] {
            return Run("DELETE FROM test_items WHERE uuid = $1", {uuid}, error) &&
                   Run("DELETE FROM test_results WHERE uuid = $1", {uuid}, error);
        });
    }

    std::string Name() const override { return m_db->Name(); }

private:
    bool Run(const std::string& sql, const std::vector<CSqlValue>& params, std::string& error) {
        return m_db->Execute(sql, params, nullptr, nullptr, error);
    }

    template <typename Body> bool Transaction(std::string& error, Body body) {
        if (!Run(m_db->BeginWrite(), {}, error)) return false;
        if (body() && Run("COMMIT", {}, error)) return true;
        std::string ignored;
        Run("ROLLBACK", {}, ignored);
        return false;
    }

    std::unique_ptr<ISqlConnection> m_db;
};

} // namespace

bool IsServerUrl(const std::string& url) {
    return url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0;
}

std::unique_ptr<IResultsStore> OpenResultsStore(const std::string& url, std::string& error) {
    std::unique_ptr<ISqlConnection> db;
    if (IsServerUrl(url)) {
        db = OpenPostgres(url, kConnectSeconds, error);
    } else if (url.find("://") != std::string::npos) {
        error = url + ": not a results database (postgresql://..., sqlite:PATH or a file path)";
        return nullptr;
    } else {
        db = OpenSqlite(url.rfind("sqlite:", 0) == 0 ? url.substr(7) : url, kSqliteBusyMs, error);
    }
    if (!db) return nullptr;
    auto store = std::make_unique<CSqlResultsStore>(std::move(db));
    if (!store->Migrate(error)) return nullptr;
    return store;
}

std::string DefaultResultsPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::string(data) + "/aurivo/results.sqlite";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.local/share/aurivo/results.sqlite";
    return {};
}
