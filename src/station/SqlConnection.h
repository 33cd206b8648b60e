#pragma once
// What the results store needs of a database: statements with $1, $2... parameters passed as
// text (or NULL), rows back as text, and the few words where SQLite and PostgreSQL differ. One
// thread; a connection is used by one store.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using CSqlValue = std::optional<std::string>;
using CSqlRow = std::vector<CSqlValue>;

class ISqlConnection {
public:
    virtual ~ISqlConnection() = default;
    /** Runs one statement; `rows` (when given) receives what it returns, `changed` the rows it
     *  inserted or changed. False with the database's reason on one line. */
    virtual bool Execute(const std::string& sql, const std::vector<CSqlValue>& params,
                         std::vector<CSqlRow>* rows, int64_t* changed, std::string& error) = 0;
    /** The statement that starts a writing transaction (SQLite takes its write lock at once). */
    virtual const char* BeginWrite() const = 0;
    /** A statement run first in the transaction that creates or migrates the schema, so that
     *  stations starting together do it one after the other; empty when BeginWrite already
     *  serialises. */
    virtual const char* SchemaLock() const = 0;
    virtual std::string Name() const = 0;
};

/** An SQLite file (created with its folder when missing), waiting up to `busyMs` for a writer
 *  in another process. Null with a message. */
std::unique_ptr<ISqlConnection> OpenSqlite(const std::string& path, int busyMs, std::string& error);
/** A PostgreSQL server by its URL (libpq's connection URI), waiting at most `timeoutSeconds`
 *  to connect. Null with a message. */
std::unique_ptr<ISqlConnection> OpenPostgres(const std::string& url, int timeoutSeconds,
                                             std::string& error);
