#include "platform/sql/PgConnectionSchema.h"

#include "platform/db/Connection.h"

namespace platform::sql {

PgConnectionSchema::PgConnectionSchema(db::Connection& db, QString ownSchema, QStringList attached)
    : m_db(db), m_own(std::move(ownSchema)), m_attached(std::move(attached)) {}

QString PgConnectionSchema::serverSchema(const QString& schema) {
    if (schema.isEmpty() || schema.compare(QLatin1String("main"), Qt::CaseInsensitive) == 0) return m_own;
    if (schema.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0) return QStringLiteral("pg_temp");
    return schema.toLower();
}

bool PgConnectionSchema::hasStandIn(const QString& schema, const QString& table) {
    return m_standIns.contains(serverSchema(schema) + QLatin1Char('.') + table.toLower());
}

void PgConnectionSchema::standIn(const QString& schema, const QString& table) {
    m_standIns << serverSchema(schema) + QLatin1Char('.') + table.toLower();
}

const PgConnectionSchema::Tables& PgConnectionSchema::tables(const QString& schema) {
    const QString key = schema.toLower();
    auto it = m_schemas.find(key);
    if (it != m_schemas.end()) return *it;
    Tables found;
    const QString server = serverSchema(schema);
    // The session's temporary schema has no fixed name.
    const QString where = server == QLatin1String("pg_temp")
                              ? QStringLiteral("c.relnamespace = pg_catalog.pg_my_temp_schema()")
                              : QStringLiteral("c.relnamespace = (SELECT oid FROM pg_catalog.pg_namespace "
                                               "WHERE nspname = ?1)");
    const auto rows = m_db.query(
        QStringLiteral("SELECT c.relname::text, a.attname::text, t.declared "
                       "FROM pg_catalog.pg_class c "
                       "LEFT JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 "
                       "AND NOT a.attisdropped "
                       "LEFT JOIN LATERAL zxsystem.zx_coltype(a.atttypid, a.atttypmod) t ON true "
                       "WHERE c.relkind IN ('r', 'v', 'p', 'm', 'f') AND %1 "
                       "ORDER BY c.relname, a.attnum")
            .arg(where),
        server == QLatin1String("pg_temp") ? QVariantList{} : QVariantList{server});
    for (int r = 0; rows && r < rows->recordCount(); ++r) {
        const QString name = rows->at(r, 0).toString();
        Table& t = found[name.toLower()];
        // Of two tables that differ in letter case only, the first in order answers.
        if (t.name.isEmpty()) t.name = name;
        if (t.name != name || rows->at(r, 1).isNull()) continue;
        const QString column = rows->at(r, 1).toString();
        t.byName.insert(column.toLower(), int(t.columns.size()));
        t.columns.append({column, rows->at(r, 2).toString()});
    }
    return *m_schemas.insert(key, found);
}

const PgConnectionSchema::Table* PgConnectionSchema::table(const QString& schema, const QString& name) {
    const Tables& all = tables(schema);
    const auto it = all.constFind(name.toLower());
    return it == all.constEnd() ? nullptr : &*it;
}

QString PgConnectionSchema::findTable(const QString& schema, const QString& name) {
    if (!schema.isEmpty()) return table(schema, name) ? schema : QString();
    // The server's search order: temporary tables, the own schema, the attached ones.
    QStringList order{QStringLiteral("temp"), QStringLiteral("main")};
    order << m_attached;
    for (const QString& s : order)
        if (table(s, name)) return s;
    return {};
}

QString PgConnectionSchema::columnType(const QString& schema, const QString& name, const QString& column) {
    const Table* t = table(schema, name);
    if (!t) return {};
    const auto it = t->byName.constFind(column.toLower());
    return it == t->byName.constEnd() ? QString() : t->columns[*it].type;
}

QString PgConnectionSchema::storedTable(const QString& schema, const QString& name) {
    const Table* t = table(schema, name);
    return t ? t->name : name;
}

QString PgConnectionSchema::storedColumn(const QString& schema, const QString& name, const QString& column) {
    const Table* t = table(schema, name);
    if (!t) return column;
    const auto it = t->byName.constFind(column.toLower());
    return it == t->byName.constEnd() ? column : t->columns[*it].name;
}

QStringList PgConnectionSchema::columnTypes(const QString& schema, const QString& name) {
    QStringList types;
    if (const Table* t = table(schema, name))
        for (const Column& c : t->columns) types << c.type;
    return types;
}

bool PgConnectionSchema::hasFunction(const QString& name) {
    const QString key = name.toLower();
    const auto it = m_functions.constFind(key);
    if (it != m_functions.constEnd()) return *it;
    const auto rows = m_db.query(
        QStringLiteral("SELECT 1 FROM pg_catalog.pg_proc p WHERE lower(p.proname::text) = ?1 "
                       "AND p.pronamespace::regnamespace::text = ANY (pg_catalog.current_schemas(true)::text[])"),
        {key});
    const bool known = rows && rows->recordCount() > 0;
    m_functions.insert(key, known);
    return known;
}

void PgConnectionSchema::forget() {
    m_schemas.clear();
    m_functions.clear();
}

}  // namespace platform::sql
