#pragma once
// A connection to a PostgreSQL server through libpq, for accounts kept on a server. Statements
// here are the server's own SQL; parameters are marked as on an embedded account (?1, ?2 … or
// ?) or with the server's own $1, $2 …. The component's dialect is translated before it comes
// here. Record sets report the field types and defined sizes an embedded account reports for
// the same declared columns.
#include <QString>
#include <QVariantList>
#include <memory>

#include "host/RecordSet.h"
#include "platform/db/Connection.h"

struct pg_conn;

namespace platform::db {

// The server's column type for a type declared in the component's dialect ("nvarchar(60)" →
// "varchar(60)", "bit" → "boolean", "datetime" → "timestamp(3)"), chosen so that the column
// reads back with the field type and size of the declared type. Empty when the type is not
// known.
QString pgColumnType(const QString& declared);

// The statement with the parameter marks ?n and ? as the server's $n; marks inside string
// literals, quoted names and comments are left as they are.
QString pgParameterMarks(const QString& sql);

class PgConnection : public Connection {
public:
    // Opens a libpq connection string ("host=… port=… dbname=… user=…" or a URI). A password
    // in it is refused: the password file or service file supplies one. A server that does not
    // answer fails the open after kConnectTimeoutSeconds unless the string sets connect_timeout.
    static constexpr int kConnectTimeoutSeconds = 10;
    static std::unique_ptr<PgConnection> open(const QString& conninfo, QString* error);
    ~PgConnection() override;
    PgConnection(const PgConnection&) = delete;
    PgConnection& operator=(const PgConnection&) = delete;

    QString conninfo() const { return m_conninfo; }
    QString location() const override { return m_conninfo; }
    // The server process serving this connection.
    int backendPid() const;
    // Whether the connection still stands (false once the server or network dropped it).
    bool isOpen() const;

    bool exec(const QString& sql, QString* error = nullptr) override;
    bool execParams(const QString& sql, const QVariantList& params,
                    QString* error = nullptr) override;
    host::RecordSetPtr query(const QString& sql, const QVariantList& params = {},
                             QString* error = nullptr) override;
    int changes() const override { return m_changes; }
    // The SQLSTATE code of the last failure ("23505" for a duplicate key); empty after success.
    QString lastSqlState() const { return m_sqlState; }
    bool inTransaction() const override;
    bool transactionFailed() const override;
    Failure lastFailure() const override;
    // A transaction-level advisory lock on one key for every writer of the database.
    bool awaitWriteTurn(QString* error = nullptr) override;
    bool tableNames(QStringList* names, QString* error = nullptr) override;
    bool tableColumns(const QString& table, QList<TableColumn>* columns,
                      QString* error = nullptr) override;
    bool tablesColumns(const QStringList& tables, QHash<QString, QList<TableColumn>>* columns,
                       QString* error = nullptr) override;
    QString columnType(const QString& declared) const override;
    QString valueAs(const QString& expression, const QString& declared) const override;
    bool alterColumnStatements(const QString& table, const QString& column, const QString& type,
                               QStringList* statements, QString* error = nullptr) override;

protected:
    QString beginStatement() const override { return QStringLiteral("BEGIN"); }

private:
    PgConnection(pg_conn* conn, QString conninfo);
    struct Result;
    // Runs with the parameters as given; null after a failure, whose text goes to error.
    std::unique_ptr<Result> run(const QString& sql, const QVariantList* params, QString* error);
    pg_conn* m_conn = nullptr;
    QString m_conninfo;
    int m_changes = 0;
    QString m_sqlState;
    bool m_failed = false;
};

}  // namespace platform::db
