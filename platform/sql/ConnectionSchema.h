#pragma once
// Tables, columns and functions of one SQLite connection, as the translator asks for them.
// Answers are cached until forget() (after a schema change).
#include <QHash>

#include "platform/sql/Translator.h"

namespace platform::db {
class Database;
}

namespace platform::sql {

class ConnectionSchema : public SchemaInfo {
public:
    explicit ConnectionSchema(db::Database& db) : m_db(db) {}
    QString findTable(const QString& schema, const QString& table) override;
    QString columnType(const QString& schema, const QString& table, const QString& column) override;
    bool hasFunction(const QString& name) override;
    void forget();

private:
    db::Database& m_db;
    QHash<QString, QString> m_tables;                  // "schema\x1ftable" → schema found
    QHash<QString, QHash<QString, QString>> m_columns;  // "schema\x1ftable" → column → type
    QHash<QString, bool> m_functions;
};

}  // namespace platform::sql
