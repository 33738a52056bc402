#pragma once
// A connection to a PostgreSQL server through libpq, for accounts kept on a server. Statements
// here are the server's own SQL with $1, $2 … parameters; the component's dialect is
// translated before it comes here. Record sets report the field types and defined sizes an
// embedded account reports for the same declared columns.
#include <QString>
#include <QVariantList>
#include <memory>

#include "host/RecordSet.h"

struct pg_conn;

namespace platform::db {

// The server's column type for a type declared in the component's dialect ("nvarchar(60)" →
// "varchar(60)", "bit" → "boolean", "datetime" → "timestamp(3)"), chosen so that the column
// reads back with the field type and size of the declared type. Empty when the type is not
// known.
QString pgColumnType(const QString& declared);

class PgConnection {
public:
    // Opens a libpq connection string ("host=… port=… dbname=… user=…" or a URI). A password
    // in it is refused: the password file or service file supplies one.
    static std::unique_ptr<PgConnection> open(const QString& conninfo, QString* error);
    ~PgConnection();
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    QString conninfo() const { return m_conninfo; }
    // The server process serving this connection.
    int backendPid() const;
    // Whether the connection still stands (false once the server or network dropped it).
    bool isOpen() const;

    // Runs one or more statements without parameters and without results.
    bool exec(const QString& sql, QString* error = nullptr);
    // Runs one statement with bound parameters ($1, $2 …).
    bool execParams(const QString& sql, const QVariantList& params, QString* error = nullptr);
    // Runs one query and materialises every row; null on failure.
    host::RecordSetPtr query(const QString& sql, const QVariantList& params = {},
                             QString* error = nullptr);
    // Rows the last statement run by exec or execParams inserted, changed or deleted.
    int changes() const { return m_changes; }
    // The SQLSTATE code of the last failure ("23505" for a duplicate key); empty after success.
    QString lastSqlState() const { return m_sqlState; }
    // Inside BEGIN … COMMIT, also when a failed statement has spoilt the transaction.
    bool inTransaction() const;
    // A statement of the open transaction failed: it can only be rolled back.
    bool transactionFailed() const;

private:
    PgConnection(pg_conn* conn, QString conninfo);
    struct Result;
    // Runs with the parameters as given; null after a failure, whose text goes to error.
    std::unique_ptr<Result> run(const QString& sql, const QVariantList* params, QString* error);
    pg_conn* m_conn = nullptr;
    QString m_conninfo;
    int m_changes = 0;
    QString m_sqlState;
};

// Rolls back unless committed; inside an open transaction it is a savepoint, so an editor can
// cancel its part without ending the caller's transaction. DDL rolls back with the rest.
class PgTransaction {
public:
    explicit PgTransaction(PgConnection& db, QString* error = nullptr);
    ~PgTransaction();
    PgTransaction(const PgTransaction&) = delete;
    PgTransaction& operator=(const PgTransaction&) = delete;
    bool commit(QString* error = nullptr);
    bool ok() const { return m_began; }

private:
    PgConnection& m_db;
    bool m_began = false;
    bool m_done = false;
    QString m_savepoint;  // empty for a top-level transaction
};

}  // namespace platform::db
