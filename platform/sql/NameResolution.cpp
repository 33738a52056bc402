// Names: [database.][owner.]object[.column], tempdb and #temporary tables, syscolumns, and the
// spelling names are written in.
#include "host/Quote.h"
#include "platform/db/Collation.h"
#include "platform/sql/Emitter.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql::detail {

QString Emitter::ident(const QString& name) const {
    return pg() ? host::sqlIdentQuoted(name) : sqliteIdent(name);
}

QString Emitter::textOrder() const {
    return pg() ? QStringLiteral("zxsystem.zx_pinyin") : QString::fromLatin1(db::kTextOrder);
}

Name Emitter::readName(Span s, size_t i) {
    Name n;
    size_t j = i;
    auto partAt = [&](size_t k) {
        return k < s.size() && (s[k].kind(TokenKind::Word) || s[k].kind(TokenKind::Ident));
    };
    if (!partAt(j)) return n;
    n.parts << s[j].tok->text;
    ++j;
    while (j < s.size() && s[j].symbol(".")) {
        if (partAt(j + 1)) {
            n.parts << s[j + 1].tok->text;
            j += 2;
        } else if (j + 1 < s.size() && s[j + 1].symbol(".")) {
            n.parts << QString();
            j += 1;
        } else if (j + 1 < s.size() && s[j + 1].symbol("*")) {
            n.star = true;
            j += 2;
            break;
        } else {
            break;
        }
    }
    n.length = j - i;
    // [database.][owner.]object[.column]
    QStringList parts = n.parts;
    const auto isOwner = [](const QString& p) {
        return p.isEmpty() || p.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0;
    };
    if (parts.size() >= 3 && isOwner(parts[1]) && !parts[0].isEmpty() &&
        !isOwner(parts[0])) {
        n.schema = mapDatabase(parts[0]);
        parts = parts.mid(2);
    } else if (parts.size() >= 2 && isOwner(parts[0])) {
        parts = parts.mid(1);
    } else if (parts.size() >= 3) {
        n.schema = mapDatabase(parts[0]);
        parts = parts.mid(1);
        if (!parts.isEmpty() && isOwner(parts[0])) parts = parts.mid(1);
    }
    if (!parts.isEmpty() && parts.first().startsWith(QLatin1Char('#'))) {
        if (n.schema.isEmpty() || n.schema == QLatin1String("temp"))
            n.schema = QStringLiteral("temp");
        else
            fail(QStringLiteral("a temporary table lives in tempdb: %1").arg(n.parts.join('.')));
    }
    n.rest = parts;
    return n;
}

QString Emitter::mapDatabase(const QString& db) {
    if (db.compare(QLatin1String("tempdb"), Qt::CaseInsensitive) == 0) return QStringLiteral("temp");
    if (db.compare(m_catalog, Qt::CaseInsensitive) == 0) return QStringLiteral("main");
    for (const QString& a : m_attached)
        if (a.compare(db, Qt::CaseInsensitive) == 0) return a;
    fail(QStringLiteral("unknown database: %1").arg(db));
    return QStringLiteral("main");
}

namespace {

// The columns of the catalogue views as both targets write them (lower case), with their types.
struct CatalogueColumn {
    const char* view;
    const char* column;
    const char* type;
};
constexpr CatalogueColumn kCatalogueColumns[] = {
    {"syscolumns", "id", "int"},         {"syscolumns", "name", "nvarchar(128)"},
    {"syscolumns", "xtype", "int"},      {"syscolumns", "length", "int"},
    {"syscolumns", "colid", "int"},      {"syscolumns", "colorder", "int"},
    {"syscolumns", "xusertype", "int"},  {"syscolumns", "prec", "int"},
    {"syscolumns", "scale", "int"},      {"syscolumns", "isnullable", "int"},
    {"sysobjects", "id", "int"},         {"sysobjects", "name", "nvarchar(128)"},
    {"sysobjects", "xtype", "nvarchar(2)"}, {"sysobjects", "type", "nvarchar(2)"},
    {"sysobjects", "uid", "int"},
};

const CatalogueColumn* catalogueColumn(const QString& view, const QString& column) {
    for (const CatalogueColumn& c : kCatalogueColumns)
        if (view.compare(QLatin1String(c.view), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1String(c.column), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

}  // namespace

bool isCatalogueView(const QString& name) {
    return name.compare(QLatin1String("syscolumns"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("sysobjects"), Qt::CaseInsensitive) == 0;
}

QString Emitter::columnTypeIn(const TableRef& t, const QString& column) {
    if (!t.catalogue) return m_schema->columnType(t.schema, t.table, column);
    const CatalogueColumn* c = catalogueColumn(t.table, column);
    return c ? QString::fromLatin1(c->type) : QString();
}

QString Emitter::storedColumnIn(const TableRef& t, const QString& column) {
    if (!t.catalogue) return m_schema->storedColumn(t.schema, t.table, column);
    const CatalogueColumn* c = catalogueColumn(t.table, column);
    return c ? QString::fromLatin1(c->column) : column;
}

QString Emitter::syscolumns(const QString& schema) {
    const QString s = schema.isEmpty() ? QStringLiteral("main") : schema;
    const QString lit = sqliteLiteral(s);
    if (pg())  // the same columns from the server's catalogue (PgFunctions.cpp)
        return QStringLiteral("zxsystem.zx_syscolumns(%1)")
            .arg(sqliteLiteral(m_schema ? m_schema->serverSchema(s) : s));
    return QStringLiteral(
               "(SELECT zx_object_id(%1, m.name) AS id, p.name AS name, "
               "CAST(zx_xtype(p.type) AS INTEGER) AS xtype, "
               "CAST(zx_collength(p.type) AS INTEGER) AS length, p.cid + 1 AS colid, "
               "p.cid + 1 AS colorder, CAST(zx_xtype(p.type) AS INTEGER) AS xusertype, "
               "CAST(zx_precision(p.type) AS INTEGER) AS prec, "
               "CAST(zx_scale(p.type) AS INTEGER) AS scale, "
               "CASE WHEN p.\"notnull\" THEN 0 ELSE 1 END AS isnullable "
               "FROM %2.sqlite_master AS m JOIN pragma_table_info(m.name, %1) AS p "
               "WHERE m.type IN ('table', 'view'))")
        .arg(lit, sqliteIdent(s));
}

QString Emitter::sysobjects(const QString& schema) {
    const QString s = schema.isEmpty() ? QStringLiteral("main") : schema;
    if (pg())
        return QStringLiteral("zxsystem.zx_sysobjects(%1)")
            .arg(sqliteLiteral(m_schema ? m_schema->serverSchema(s) : s));
    return QStringLiteral(
               "(SELECT zx_object_id(%1, name) AS id, name, "
               "CASE type WHEN 'table' THEN 'U' ELSE 'V' END AS xtype, "
               "CASE type WHEN 'table' THEN 'U' ELSE 'V' END AS type, 1 AS uid "
               "FROM %2.sqlite_master WHERE type IN ('table', 'view') AND substr(name, 1, 7) <> 'sqlite_')")
        .arg(sqliteLiteral(s), sqliteIdent(s));
}

QStringList Emitter::storedParts(const Name& n) {
    QStringList parts = n.rest;
    if (!m_schema || parts.isEmpty()) return parts;
    if (!m_tables) collectTables();
    auto aliasOf = [&](const QString& written) {
        return m_aliases.value(written.toLower(), written);
    };
    const QString last = parts.last();
    if (parts.size() == 1) {
        // A column of a table of the SELECT it stands in (or of one around it), of the
        // statement, else a table, else an alias.
        for (auto scope = m_scopes.rbegin(); scope != m_scopes.rend(); ++scope)
            for (const TableRef& t : *scope)
                if (!columnTypeIn(t, last).isNull()) return {storedColumnIn(t, last)};
        for (const TableRef& t : *m_tables)
            if (!columnTypeIn(t, last).isNull()) return {storedColumnIn(t, last)};
        const QString found = m_schema->findTable(n.schema, last);
        if (!found.isEmpty()) return {m_schema->storedTable(found, last)};
        return {aliasOf(last)};
    }
    QString& qualifier = parts[parts.size() - 2];
    // The table the qualifier names and that has the column (one alias may stand for other
    // tables in other parts of the statement); else a table of that name.
    for (const TableRef& t : *m_tables) {
        const bool alias = !t.alias.isEmpty() && qualifier.compare(t.alias, Qt::CaseInsensitive) == 0;
        if ((alias || (t.alias.isEmpty() && qualifier.compare(t.table, Qt::CaseInsensitive) == 0)) &&
            !columnTypeIn(t, last).isNull()) {
            qualifier = alias ? aliasOf(qualifier) : t.catalogue ? t.table : m_schema->storedTable(t.schema, t.table);
            parts.last() = storedColumnIn(t, last);
            return parts;
        }
    }
    const QString found = m_schema->findTable(n.schema, qualifier);
    if (!found.isEmpty() && !m_aliases.contains(qualifier.toLower())) {
        parts.last() = m_schema->storedColumn(found, qualifier, last);
        qualifier = m_schema->storedTable(found, qualifier);
        return parts;
    }
    // A derived table: its columns are those of the tables it reads, as they spell them.
    qualifier = aliasOf(qualifier);
    for (const TableRef& t : *m_tables)
        if (!columnTypeIn(t, last).isNull()) return parts.last() = storedColumnIn(t, last), parts;
    return parts;
}

QString Emitter::emitName(const Name& n) {
    QStringList out;
    if (pg()) {
        QStringList parts = storedParts(n);
        const QString temp = QStringLiteral("pg_temp");
        if (!n.schema.isEmpty())
            out << ident(!m_schema ? n.schema
                         : m_schema->hasStandIn(n.schema, n.rest.value(0)) ? temp
                                                                           : m_schema->serverSchema(n.schema));
        else if (m_schema && parts.size() == 2 && m_schema->hasStandIn(parts[0], parts[1]))
            parts[0] = temp;  // "zxsystem.UA_User" as SQLite reads it: a database and its table
        for (const QString& p : parts) out << ident(p);
    } else {
        if (!n.schema.isEmpty()) out << sqliteIdent(n.schema);
        for (const QString& p : n.rest) out << sqliteIdent(p);
    }
    QString text = out.join(QLatin1Char('.'));
    if (n.star) text += QStringLiteral(".*");
    return text;
}

}  // namespace platform::sql::detail
