#pragma once
// A SQLite database of the host (account, metadata or system database) on the SQLite C API.
// Statements here are SQLite SQL; the component's dialect is translated by platform/sql.
#include <QString>
#include <QVariantList>
#include <memory>

#include "host/RecordSet.h"
#include "platform/db/Connection.h"

struct sqlite3;

namespace platform::db {

// A column type as declared ("nvarchar(60)", "decimal(28, 6)", "int") and what it means to a
// record set: the field type code and the defined size.
struct DeclaredType {
    QString base;       // lower-case type name without its arguments ("nvarchar"); empty if none
    int length = -1;    // first argument: length or precision; -1 when absent, 0 for "max"
    int scale = -1;     // second argument; -1 when absent
    int fieldType = 0;  // host::FieldType code; 0 when the name is empty or not known
    int definedSize = 0;

    static DeclaredType parse(const QString& declared);
};

class Database : public Connection {
public:
    // How long a statement waits for another connection's write lock before it fails as busy.
    static constexpr int kBusyTimeoutMs = 5000;

    // Opens (creating when asked) the file; WAL, busy timeout and foreign keys are switched on.
    static std::unique_ptr<Database> open(const QString& path, bool create, QString* error);
    ~Database() override;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    QString path() const { return m_path; }
    QString location() const override { return m_path; }
    sqlite3* handle() const { return m_db; }

    // Attaches an existing database file under `schema`; with `create` a missing file is made.
    bool attach(const QString& path, const QString& schema, QString* error, bool create = false);
    bool isAttached(const QString& schema) const;
    // Schemas of the connection in attach order: "main", "temp" (once used), attached ones.
    QStringList schemas() const;
    // Changes whenever the schema of main, temp or an attached database changes, through this
    // connection or any other (the sum of their schema versions).
    qint64 schemaStamp() const;

    bool exec(const QString& sql, QString* error = nullptr) override;
    bool execParams(const QString& sql, const QVariantList& params,
                    QString* error = nullptr) override;
    host::RecordSetPtr query(const QString& sql, const QVariantList& params = {},
                             QString* error = nullptr) override;
    qint64 lastInsertRowId() const;
    int changes() const override;
    bool inTransaction() const override;
    Failure lastFailure() const override;
    bool tableNames(QStringList* names, QString* error = nullptr) override;
    bool tableColumns(const QString& table, QList<TableColumn>* columns,
                      QString* error = nullptr) override;
    bool alterColumnStatements(const QString& table, const QString& column, const QString& type,
                               QStringList* statements, QString* error = nullptr) override;
    void setBusyTimeout(int ms);

protected:
    // Takes the write lock at once, so a writer never fails half-way on another's lock.
    QString beginStatement() const override { return QStringLiteral("BEGIN IMMEDIATE"); }

private:
    Database(sqlite3* db, QString path);
    sqlite3* m_db = nullptr;
    QString m_path;
};

}  // namespace platform::db
