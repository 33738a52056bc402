#pragma once
// A connection to an account database, embedded (SQLite) or on a server (PostgreSQL): what the
// server documents and the translator need of either. Statements are the connection's own SQL;
// parameters are marked ?1, ?2 … or ? (numbered after the highest mark before it) on both.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <optional>

#include "host/RecordSet.h"

namespace platform::db {

// Why the last statement failed, alike on either kind of database.
enum class Failure {
    None,        // it succeeded
    Busy,        // another connection held a lock it needed, and the wait ran out
    Constraint,  // a key, unique, not-null, check or foreign-key rule refused the change
    Other,
};

// A column of a table as the catalogue declares it.
struct TableColumn {
    QString name;       // as the table spells it
    QString type;       // the declared type in the component's dialect ("nvarchar(60)"), in
                        // any letter case
    QString collation;  // empty for the type's default
    bool notNull = false;
    QVariant defaultValue;  // the default's SQL text; null when there is none
    int keyPosition = 0;    // 1, 2 … within the primary key; 0 when not in it
};

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
    // What made the last statement fail; None after a success.
    virtual Failure lastFailure() const = 0;
    // Called first in a writing transaction: waits until the writers before it have ended, so
    // that what the transaction reads next (the numbers and column names in use) stays true up
    // to its commit. An embedded database is serialized by its BEGIN already. On a server this
    // and every later lock wait of the transaction end after an embedded account's busy wait,
    // failing as Busy.
    virtual bool awaitWriteTurn(QString* error = nullptr) {
        Q_UNUSED(error)
        return true;
    }

    // The catalogue. Table and column names compare without regard to letter case.
    // The tables of the database, as they are spelt.
    virtual bool tableNames(QStringList* names, QString* error = nullptr) = 0;
    // The table's columns in their order; an empty list when there is no such table.
    virtual bool tableColumns(const QString& table, QList<TableColumn>* columns,
                              QString* error = nullptr) = 0;
    // The columns of several tables, keyed by the lower-cased names asked for; a table that
    // does not exist has no entry. A server answers them in one statement.
    virtual bool tablesColumns(const QStringList& tables,
                               QHash<QString, QList<TableColumn>>* columns,
                               QString* error = nullptr);
    bool tableExists(const QString& table, QString* error = nullptr);
    // The column of the table; none when the table or the column does not exist.
    std::optional<TableColumn> column(const QString& table, const QString& column,
                                      QString* error = nullptr);

    // Where the two kinds differ in DDL and in storing values.
    // A declared type of the component's dialect, optionally ending in "COLLATE NOCASE" (text
    // compared without regard to case), as a column definition of this database.
    virtual QString columnType(const QString& declared) const { return declared; }
    // A value read from a column that holds any type, as a value of the declared type: as it
    // stands where the database converts on storing it.
    virtual QString valueAs(const QString& expression, const QString& declared) const {
        Q_UNUSED(declared)
        return expression;
    }
    // The statements that give the table's column a new declared type (as columnType takes it),
    // or drop the column when type is empty, keeping every value and the table's other columns,
    // key, indexes and triggers. They run in the caller's transaction.
    virtual bool alterColumnStatements(const QString& table, const QString& column,
                                       const QString& type, QStringList* statements,
                                       QString* error = nullptr) = 0;

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
