#include "platform/sql/ConnectionSchema.h"

#include "platform/db/Database.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql {

QString ConnectionSchema::findTable(const QString& schema, const QString& table) {
    const QString key = schema.toLower() + QLatin1Char('\x1f') + table.toLower();
    const auto it = m_tables.constFind(key);
    if (it != m_tables.constEnd()) return *it;
    QStringList order;
    if (!schema.isEmpty()) {
        order << schema;
    } else {
        // SQLite's search order for names without a schema: temp, main, attached ones.
        order << QStringLiteral("temp") << QStringLiteral("main");
        for (const QString& s : m_db.schemas())
            if (s != QLatin1String("main") && s != QLatin1String("temp")) order << s;
    }
    QString found;
    for (const QString& s : order) {
        const auto rows = m_db.query(
            QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type IN ('table', 'view') "
                           "AND name = ?1 COLLATE NOCASE")
                .arg(sqliteIdent(s)),
            {table});
        if (rows && rows->recordCount() > 0) {
            found = s;
            break;
        }
    }
    m_tables.insert(key, found);
    return found;
}

QString ConnectionSchema::columnType(const QString& schema, const QString& table,
                                     const QString& column) {
    const QString key = schema.toLower() + QLatin1Char('\x1f') + table.toLower();
    auto it = m_columns.find(key);
    if (it == m_columns.end()) {
        QHash<QString, QString> columns;
        const auto rows = m_db.query(
            QStringLiteral("SELECT name, type FROM pragma_table_info(?1, ?2)"), {table, schema});
        for (int r = 0; rows && r < rows->recordCount(); ++r)
            columns.insert(rows->at(r, 0).toString().toLower(), rows->at(r, 1).toString());
        it = m_columns.insert(key, columns);
    }
    const auto c = it->constFind(column.toLower());
    return c == it->constEnd() ? QString() : *c;
}

bool ConnectionSchema::hasFunction(const QString& name) {
    const QString key = name.toLower();
    const auto it = m_functions.constFind(key);
    if (it != m_functions.constEnd()) return *it;
    const auto rows = m_db.query(
        QStringLiteral("SELECT 1 FROM pragma_function_list WHERE name = ?1 COLLATE NOCASE"), {name});
    const bool known = rows && rows->recordCount() > 0;
    m_functions.insert(key, known);
    return known;
}

void ConnectionSchema::forget() {
    m_tables.clear();
    m_columns.clear();
    m_functions.clear();
}

}  // namespace platform::sql
