#pragma once
// A SQLite database of the host (account, metadata or system database) on the SQLite C API.
// Statements here are SQLite SQL; the component's dialect is translated by platform/sql.
#include <QString>
#include <QVariantList>
#include <memory>

#include "host/RecordSet.h"

struct sqlite3;

namespace platform::db {

class Database {
public:
    // Opens (creating when asked) the file; WAL, busy timeout and foreign keys are switched on.
    static std::unique_ptr<Database> open(const QString& path, bool create, QString* error);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return m_path; }
    sqlite3* handle() const { return m_db; }

    bool attach(const QString& path, const QString& schema, QString* error);
    bool isAttached(const QString& schema) const;

    // Runs one or more statements without results.
    bool exec(const QString& sql, QString* error = nullptr);
    // Runs one statement with bound parameters (?1, ?2 … or ?).
    bool execParams(const QString& sql, const QVariantList& params, QString* error = nullptr);
    // Runs a query and materialises every row; null on failure.
    host::RecordSetPtr query(const QString& sql, const QVariantList& params = {},
                             QString* error = nullptr);
    qint64 lastInsertRowId() const;
    int changes() const;

private:
    Database(sqlite3* db, QString path);
    sqlite3* m_db = nullptr;
    QString m_path;
};

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    bool commit(QString* error = nullptr);
    bool ok() const { return m_began; }

private:
    Database& m_db;
    bool m_began = false;
    bool m_done = false;
};

}  // namespace platform::db
