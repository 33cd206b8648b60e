// The results store over any SQL connection: the schema, its version and migration, and the
// statements, written once in the SQL both SQLite and PostgreSQL speak.
#include "station/ResultsStore.h"

#include "base/NumberText.h"
#include "station/SqlConnection.h"
#include "station/StationText.h"

#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kSqliteBusyMs = 30000;
constexpr int kConnectSeconds = 5;

// Each version's statements, applied in order in one transaction; the position is the version.
// Version 1: a row per record (the whole record as JSON beside the fields a query selects by)
// and a row per checked item. Version 2: the item rows carry the record's plan, station, time
// and verdict, so statistics are worked out over the items alone and by index.
const std::vector<std::vector<const char*>> kSchema = {
    {
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
    },
    {
        "ALTER TABLE test_items ADD COLUMN plan TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE test_items ADD COLUMN station TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE test_items ADD COLUMN tested_at TEXT NOT NULL DEFAULT ''",
        "ALTER TABLE test_items ADD COLUMN verdict TEXT NOT NULL DEFAULT ''",
        "UPDATE test_items SET (plan, station, tested_at, verdict) = (SELECT r.plan, r.station, "
        "r.tested_at, r.verdict FROM test_results r WHERE r.uuid = test_items.uuid)",
        // Indexes that hold every column the statistics read, so they never visit the tables.
        "CREATE INDEX test_items_statistics ON test_items (plan, item, tested_at, station, "
        "value, passed, kind)",
        "DROP INDEX IF EXISTS test_results_plan_time",
        "CREATE INDEX test_results_counts ON test_results (plan, tested_at, station, verdict)",
    },
};
const int kSchemaVersion = int(kSchema.size());

/** The query's conditions on the columns records and items both carry, and their parameters
 *  ($1, $2... in order; a statement numbers its own after them). */
struct CWhere {
    std::string sql;
    std::vector<CSqlValue> params;

    /** `prefix` names the table ("i.") where a statement joins two. */
    explicit CWhere(const CResultsQuery& q, const std::string& prefix = "") {
        for (const auto& [value, column] : {std::pair{&q.plan, "plan = "},
                                            {&q.station, "station = "},
                                            {&q.since, "tested_at >= "}})
            if (!value->empty()) Add(prefix + column + Param(*value));
    }
    /** Adds a condition. */
    void Add(const std::string& condition) {
        sql += (sql.empty() ? " WHERE " : " AND ") + condition;
    }
    /** The next parameter's place ($n) for the value. */
    std::string Param(const CSqlValue& value) {
        params.push_back(value);
        return "$" + std::to_string(params.size());
    }
};

double NumberOf(const CSqlValue& v, double missing = 0.0) {
    return v ? ParseDouble(*v) : missing;
}
std::optional<double> OptionalOf(const CSqlValue& v) {
    return v ? std::optional<double>(ParseDouble(*v)) : std::nullopt;
}

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
            for (int v = version; v < kSchemaVersion; ++v) {
                for (const char* statement : kSchema[size_t(v)])
                    if (!Run(statement, {}, error)) return false;
                if (!Run("INSERT INTO aurivo_schema (version) VALUES ($1)", {std::to_string(v + 1)},
                         error))
                    return false;
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
                         "lower_limit, upper_limit, margin, frequency, passed, plan, station, "
                         "tested_at, verdict) VALUES "
                         "($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15)",
                         {r.uuid, c.id, c.measurement,
                          c.kind == ECheckKind::Mask ? "mask" : "limit", Number(c.value), c.unit,
                          Number(c.lower), Number(c.upper), Number(c.margin), Number(c.frequency),
                          c.passed ? "1" : "0", r.planName, r.station, r.testedAt,
                          r.passed ? "PASS" : "FAIL"},
                         error))
                    return false;
            return true;
        });
    }

    bool Find(const CResultsQuery& q, std::vector<CTestRecord>& records,
              std::string& error) override {
        CWhere where(q);
        std::string sql = "SELECT record, tested_at, uuid FROM test_results" + where.sql;
        if (q.newest > 0)
            sql = "SELECT record FROM (" + sql + " ORDER BY tested_at DESC, uuid DESC LIMIT " +
                  std::to_string(q.newest) + ") AS newest";
        std::vector<CSqlRow> rows;
        if (!m_db->Execute(sql + " ORDER BY tested_at, uuid", where.params, &rows, nullptr, error))
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
        return CountWhere(q, "", count, error);
    }

    bool CountPassed(const CResultsQuery& q, int64_t& passed, std::string& error) override {
        return CountWhere(q, "verdict = 'PASS'", passed, error);
    }

    bool Items(const CResultsQuery& q, std::vector<CItemRow>& items, std::string& error) override {
        const CWhere where(q, "i.");
        std::vector<CSqlRow> rows;
        if (!m_db->Execute("SELECT i.uuid, i.tested_at, i.station, r.serial, i.verdict, i.item, "
                           "i.unit, i.value, i.lower_limit, i.upper_limit, i.margin, i.passed "
                           "FROM test_items i JOIN test_results r ON r.uuid = i.uuid" +
                               where.sql + " ORDER BY i.tested_at, i.uuid, i.item",
                           where.params, &rows, nullptr, error))
            return false;
        items.clear();
        for (const CSqlRow& row : rows)
            items.push_back({row[0].value_or(""), row[1].value_or(""), row[2].value_or(""),
                             row[3].value_or(""), row[4].value_or(""), row[5].value_or(""),
                             row[6].value_or(""), NumberOf(row[7], NAN), OptionalOf(row[8]),
                             OptionalOf(row[9]), NumberOf(row[10], -INFINITY),
                             row[11].value_or("0") == "1"});
        return true;
    }

    bool Statistics(const CResultsQuery& q, CYieldReport& report, std::string& error) override {
        const CWhere where(q);
        std::vector<CSqlRow> items;
        CYieldReport r;
        if (!Count(q, r.tests, error) || !CountPassed(q, r.passed, error) ||
            !m_db->Execute("SELECT item, COUNT(value), SUM(1 - passed), AVG(value), MIN(value), "
                           "MAX(value), MAX(tested_at), MAX(CASE WHEN kind = 'mask' THEN 1 ELSE 0 "
                           "END) FROM test_items" +
                               where.sql + " GROUP BY item",
                           where.params, &items, nullptr, error))
            return false;
        for (const CSqlRow& row : items) {
            CItemStatistics& s = r.items.emplace_back();
            s.id = row[0].value_or("");
            s.count = std::atoll(row[1].value_or("0").c_str());
            s.failures = std::atoll(row[2].value_or("0").c_str());
            s.mean = NumberOf(row[3]);
            s.least = NumberOf(row[4]);
            s.most = NumberOf(row[5]);
            s.mask = row[7].value_or("0") == "1";
            if (!Spread(q, s, error) || !LatestLimits(q, row[6].value_or(""), s, error))
                return false;
        }
        report = std::move(r);
        return true;
    }

    bool Histogram(const CResultsQuery& q, const std::string& item,
                   const std::vector<double>& edges, std::vector<int64_t>& counts,
                   std::string& error) override {
        counts.assign(edges.size() < 2 ? 0 : edges.size() - 1, 0);
        if (counts.empty()) return true;
        CWhere where(q);
        where.Add("item = " + where.Param(item));
        std::string sums;
        for (size_t k = 0; k < counts.size(); ++k) {
            const std::string from = where.Param(Number(edges[k]));
            const std::string to = where.Param(Number(edges[k + 1]));
            sums += std::string(k ? ", " : "") + "SUM(CASE WHEN value >= " + from + " AND value " +
                    (k + 1 == counts.size() ? "<= " : "< ") + to + " THEN 1 ELSE 0 END)";
        }
        std::vector<CSqlRow> rows;
        if (!m_db->Execute("SELECT " + sums + " FROM test_items" + where.sql, where.params, &rows,
                           nullptr, error))
            return false;
        for (size_t k = 0; k < counts.size(); ++k)
            counts[k] = std::atoll(rows.at(0).at(k).value_or("0").c_str());
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
    bool CountWhere(const CResultsQuery& q, const char* condition, int64_t& count,
                    std::string& error) {
        CWhere where(q);
        if (*condition) where.Add(condition);
        std::vector<CSqlRow> rows;
        if (!m_db->Execute("SELECT COUNT(*) FROM test_results" + where.sql, where.params, &rows,
                           nullptr, error))
            return false;
        count = std::atoll(rows.at(0).at(0).value_or("0").c_str());
        return true;
    }

    /** The item's σ from the squares about its mean (a second pass over its index range), which
     *  stays exact for values far from zero where a sum of squares would cancel. */
    bool Spread(const CResultsQuery& q, CItemStatistics& s, std::string& error) {
        s.sigma = 0.0;
        if (s.count < 2) return true;
        CWhere where(q);
        where.Add("item = " + where.Param(s.id));
        const std::string mean = where.Param(Number(s.mean));
        std::vector<CSqlRow> rows;
        if (!m_db->Execute("SELECT SUM((value - " + mean + ") * (value - " + mean +
                               ")) FROM test_items" + where.sql,
                           where.params, &rows, nullptr, error))
            return false;
        s.sigma = std::sqrt(std::max(0.0, NumberOf(rows.at(0).at(0))) / double(s.count - 1));
        return true;
    }

    /** The unit and limits of the item in the latest record the query takes (written at
     *  `latest`; of two at the same time, the larger UUID, as the records' order has it). */
    bool LatestLimits(const CResultsQuery& q, const std::string& latest, CItemStatistics& s,
                      std::string& error) {
        CWhere where(q);
        where.Add("item = " + where.Param(s.id));
        where.Add("tested_at = " + where.Param(latest));
        std::vector<CSqlRow> rows;
        if (!m_db->Execute("SELECT unit, lower_limit, upper_limit FROM test_items" + where.sql +
                               " ORDER BY uuid DESC LIMIT 1",
                           where.params, &rows, nullptr, error))
            return false;
        if (rows.empty()) return true;
        s.unit = rows[0][0].value_or("");
        s.lower = OptionalOf(rows[0][1]);
        s.upper = OptionalOf(rows[0][2]);
        return true;
    }

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
