#pragma once
// A connection to an account database, embedded (SQLite) or on a server (PostgreSQL): what the
// server documents and the translator need of either. Statements are the connection's own SQL;
// parameters are marked ?1, ?2 … or ? (numbered after the highest mark before it) on both.
#include <QString>
#include <QVariantList>

#include "host/RecordSet.h"

namespace platform::db {

class Connection {
public:
    virtual ~Connection() = default;

    // Where the database lives, for messages: a file or a connection string.
    virtual QString location() const = 0;

    // Runs one or more statements without parameters and without results.
    virtual bool exec(const QString& sql, QString* error = nullptr) = 0;
    // Runs one statement with bound parameters.
    virtual bool execParams(const QString& sql, const QVariantList& params,
                            QString* error = nullptr) = 0;
    // Runs one query and materialises every row; null on failure.
    virtual host::RecordSetPtr query(const QString& sql, const QVariantList& params = {},
                                     QString* error = nullptr) = 0;
    // Rows the last INSERT, UPDATE or DELETE changed; a query or DDL leaves the count as it was.
    virtual int changes() const = 0;
    // Inside BEGIN … COMMIT, also when a failed statement has spoilt the transaction.
    virtual bool inTransaction() const = 0;
    // A statement of the open transaction failed and it can only be rolled back.
    virtual bool transactionFailed() const { return false; }

protected:
    friend class Transaction;
    // The statement that opens a top-level transaction.
    virtual QString beginStatement() const = 0;
};

// Rolls back unless committed. Inside an open transaction it works as a savepoint, so an
// editor can cancel its part without ending the caller's transaction. On a server DDL rolls
// back with the rest.
class Transaction {
public:
    // error receives the reason when the transaction cannot begin.
    explicit Transaction(Connection& db, QString* error = nullptr);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    bool commit(QString* error = nullptr);
    bool ok() const { return m_began; }

private:
    Connection& m_db;
    bool m_began = false;
    bool m_done = false;
    QString m_savepoint;  // empty for a top-level transaction
};

}  // namespace platform::db
