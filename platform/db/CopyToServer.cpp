// An embedded account copied to a PostgreSQL server (copyAccountToServer, ServerAccount.h).

#include <sqlite3.h>

#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QSet>
#include <functional>

#include "host/Quote.h"
#include "platform/db/AccountCopyParts.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/Collation.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"
#include "platform/db/PgSchemaText.h"
#include "platform/db/Schema.h"
#include "platform/db/ServerAccount.h"

namespace platform::db {

using namespace accountcopy;

namespace {

// Rows sent in one INSERT: many, within the server's limit of parameters per statement.
int rowsPerStatement(int columns) { return qBound(1, 20000 / qMax(columns, 1), 1000); }

// The collations, the session-language function and the schema they live in. Idempotent.
const char* const kSystemBasics = R"SQL(
CREATE SCHEMA IF NOT EXISTS zxsystem;
CREATE COLLATION IF NOT EXISTS zxsystem.zx_nocase
  (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
CREATE COLLATION IF NOT EXISTS zxsystem.zx_pinyin
  (provider = icu, locale = 'zh-u-co-pinyin-ks-level2', deterministic = true);
CREATE OR REPLACE FUNCTION zxsystem."UDF_GetLocaleID"() RETURNS text LANGUAGE sql STABLE AS
  $$ SELECT COALESCE(NULLIF(current_setting('zx.language', true), ''), 'zh-CN') $$;
)SQL";

// A table of an embedded account as the copy needs it.
struct LiteTable {
    QString name;
    QString sql;  // its CREATE TABLE statement
    QList<TableColumn> columns;
    QList<int> key;      // positions of the primary key's columns, in key order
    bool rowid = false;  // an INTEGER PRIMARY KEY: numbered by the database
};

QStringList namesOf(const QList<TableColumn>& columns) {
    QStringList names;
    for (const TableColumn& c : columns) names << c.name;
    return names;
}

bool readLiteTables(Database& db, QList<LiteTable>* tables, SchemaNames* names, QString* error) {
    // The views name the session's language; their columns are read only when it exists.
    sqlite3_create_function_v2(
        db.handle(), "UDF_GetLocaleID", 0, SQLITE_UTF8, nullptr,
        [](sqlite3_context* context, int, sqlite3_value**) {
            sqlite3_result_text(context, "zh-CN", -1, SQLITE_STATIC);
        },
        nullptr, nullptr, nullptr);
    const host::RecordSetPtr rs = db.query(
        QStringLiteral("SELECT name, sql, type FROM sqlite_master WHERE type IN ('table', 'view') "
                       "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"),
        {}, error);
    if (!rs) return false;
    for (int r = 0; r < rs->recordCount(); ++r) {
        LiteTable t;
        t.name = rs->at(r, 0).toString();
        t.sql = rs->at(r, 1).toString();
        if (!db.tableColumns(t.name, &t.columns, error)) return false;
        names->add(t.name, namesOf(t.columns));
        if (rs->at(r, 2).toString() != QLatin1String("table")) continue;
        t.key = keyOf(t.columns);
        t.rowid = t.key.size() == 1 && t.columns[t.key[0]].type.compare(QLatin1String("integer"),
                                                                        Qt::CaseInsensitive) == 0;
        tables->append(t);
    }
    return true;
}
// ---- to a server ------------------------------------------------------------------------------

class ToServer {
public:
    ToServer(PgConnection& pg, QString accountId, QList<CopiedTable>* report)
        : m_pg(pg), m_account(std::move(accountId)), m_report(report) {}

    // One embedded database into `schema`: tables, rows, then keys, indexes, triggers, views.
    bool copyDatabase(Database& lite, const QString& schema, const QString& searchPath,
                      QString* error);
    // Only the rows of the account in the system tables, keeping those the server has.
    bool addAccountRows(Database& lite, QString* error);
    bool exec(const QString& sql, QString* error, const QString& what) {
        QString why;
        if (m_pg.exec(sql, &why)) return true;
        return fail(error, QStringLiteral("%1: %2").arg(what, why));
    }

private:
    bool createTable(const QString& schema, const LiteTable& t, Database& lite,
                     const SchemaNames& names, QString* error);
    bool copyRows(Database& lite, const QString& schema, const LiteTable& t, const QString& filter,
                  bool merge, QString* error);
    bool insertRows(const QString& table, const QString& insert, int columns,
                    const QList<QVariantList>& rows, const QList<QVariantList>& stored,
                    qint64 first, const LiteTable& t, QString* error);
    bool createIndexes(Database& lite, const QString& schema, const SchemaNames& names,
                       QString* error);
    bool createForeignKeys(Database& lite, const QString& schema, const LiteTable& t,
                           const SchemaNames& names, const QList<LiteTable>& tables,
                           QString* error);
    bool createRowVersions(Database& lite, const QString& schema, const QList<LiteTable>& tables,
                           const SchemaNames& names, QString* error);

    PgConnection& m_pg;
    QString m_account;
    QList<CopiedTable>* m_report;

public:
    QStringList notes;  // what the copy had to change
};

QString pgParam(const QVariant& v, ValueKind kind) {
    if (v.isNull()) return {};
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    if (v.typeId() == QMetaType::QByteArray && kind != ValueKind::Blob)
        return QString::fromUtf8(v.toByteArray());
    return v.toString();
}

bool ToServer::createTable(const QString& schema, const LiteTable& t, Database& lite,
                           const SchemaNames& names, QString* error) {
    const QString where = QStringLiteral("table %1.%2").arg(schema, t.name);
    QStringList parts;
    for (const TableColumn& c : t.columns) {
        QString type = c.type.trimmed().isEmpty() ? QStringLiteral("text") : pgColumnType(c.type);
        if (type.isEmpty())
            return fail(error, QStringLiteral("%1, column %2: the type %3 has no server type")
                                   .arg(where, c.name, c.type));
        // The file does not hold texts to their declared length; the server does. A column
        // holding longer texts is widened to the longest.
        if (type.startsWith(QLatin1String("varchar(")) || type.startsWith(QLatin1String("char("))) {
            const host::RecordSetPtr longest = lite.query(
                QStringLiteral("SELECT max(length(%1)) FROM %2").arg(q(c.name), q(t.name)), {},
                error);
            if (!longest) return false;
            const int declared = DeclaredType::parse(type).length;
            if (longest->at(0, 0).toInt() > declared) {
                type = QStringLiteral("varchar(%1)").arg(longest->at(0, 0).toInt());
                notes << QStringLiteral("%1, column %2: %3 widened to %4 for its longest text")
                               .arg(where, c.name, c.type, type);
            }
        }
        QString def = q(c.name) + QLatin1Char(' ') + type;
        if (t.rowid && c.keyPosition == 1)
            def += QStringLiteral(" GENERATED BY DEFAULT AS IDENTITY");
        const bool text = type.startsWith(QLatin1String("varchar")) ||
                          type.startsWith(QLatin1String("char")) || type == QLatin1String("text");
        if (c.collation.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) == 0 && text)
            def += QStringLiteral(" COLLATE zxsystem.zx_nocase");
        else if (c.collation.compare(QLatin1String(kTextOrder), Qt::CaseInsensitive) == 0 && text)
            def += QStringLiteral(" COLLATE zxsystem.zx_pinyin");
        else if (!c.collation.isEmpty() &&
                 c.collation.compare(QLatin1String("NOCASE"), Qt::CaseInsensitive) != 0)
            return fail(error, QStringLiteral("%1, column %2: the collation %3 has no server "
                                              "counterpart")
                                   .arg(where, c.name, c.collation));
        if (c.notNull) def += QStringLiteral(" NOT NULL");
        if (!c.defaultValue.isNull()) {
            QString why;
            const QString value = pgDefault(c.defaultValue.toString(), type, &why);
            if (value.isEmpty())
                return fail(error, QStringLiteral("%1, column %2: %3").arg(where, c.name, why));
            def += QStringLiteral(" DEFAULT ") + value;
        }
        parts << def;
    }
    QStringList key;
    for (int k : t.key) key << t.columns[k].name;
    if (!key.isEmpty()) parts << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(key));
    // UNIQUE rules: the indexes SQLite made for them.
    const host::RecordSetPtr uniques =
        lite.query(QStringLiteral("SELECT il.name, (SELECT group_concat(ii.name, char(9)) FROM "
                                  "pragma_index_info(il.name) ii) FROM pragma_index_list(?1) il "
                                  "WHERE il.origin = 'u'"),
                   {t.name}, error);
    if (!uniques) return false;
    for (int r = 0; r < uniques->recordCount(); ++r)
        parts << QStringLiteral("UNIQUE (%1)")
                     .arg(quotedList(uniques->at(r, 1).toString().split(QLatin1Char('\t'))));
    for (const QString& check : checkClauses(t.sql)) {
        QString why;
        const QString rule = pgExpression(check, names, t.name, &why);
        if (rule.isEmpty())
            return fail(error,
                        QStringLiteral("%1: the rule CHECK (%2): %3").arg(where, check, why));
        parts << QStringLiteral("CHECK (%1)").arg(rule);
    }
    return exec(QStringLiteral("CREATE TABLE %1 (\n  %2)")
                    .arg(qualified(schema, t.name), parts.join(QStringLiteral(",\n  "))),
                error, QStringLiteral("cannot create ") + where);
}

bool ToServer::insertRows(const QString& table, const QString& insert, int columns,
                          const QList<QVariantList>& rows, const QList<QVariantList>& stored,
                          qint64 first, const LiteTable& t, QString* error) {
    if (rows.isEmpty()) return true;
    auto statement = [&](qsizetype count) {
        QStringList tuples;
        int mark = 0;
        for (qsizetype r = 0; r < count; ++r) {
            QStringList marks;
            for (int c = 0; c < columns; ++c) marks << QStringLiteral("?%1").arg(++mark);
            tuples << QLatin1Char('(') + marks.join(QLatin1Char(',')) + QLatin1Char(')');
        }
        return insert.arg(tuples.join(QLatin1Char(',')));
    };
    QVariantList params;
    for (const QVariantList& r : rows) params += r;
    QString why;
    if (!m_pg.exec(QStringLiteral("SAVEPOINT zx_copy_rows"), &why))
        return fail(error, QStringLiteral("table %1: %2").arg(table, why));
    if (m_pg.execParams(statement(rows.size()), params, &why))
        return m_pg.exec(QStringLiteral("RELEASE SAVEPOINT zx_copy_rows"), error);
    // Find the row the server refused, to name it.
    const QString batchWhy = why;
    if (m_pg.exec(QStringLiteral("ROLLBACK TO SAVEPOINT zx_copy_rows"), &why)) {
        for (qsizetype r = 0; r < rows.size(); ++r) {
            if (m_pg.execParams(statement(1), rows[r], &why)) continue;
            return fail(error, QStringLiteral("table %1, row %2 (%3): %4")
                                   .arg(table)
                                   .arg(first + r + 1)
                                   .arg(rowText(namesOf(t.columns), t.key, stored[r]), why));
        }
    }
    return fail(error, QStringLiteral("table %1, rows %2 to %3: %4")
                           .arg(table)
                           .arg(first + 1)
                           .arg(first + rows.size())
                           .arg(batchWhy));
}

bool ToServer::copyRows(Database& lite, const QString& schema, const LiteTable& t,
                        const QString& filter, bool merge, QString* error) {
    const QString table = schema + QLatin1Char('.') + t.name;
    const QStringList columns = namesOf(t.columns);
    QList<ValueKind> kinds;
    for (const TableColumn& c : t.columns) kinds << valueKindOf(c.type);
    const QString insert =
        QStringLiteral("INSERT INTO %1 (%2) VALUES %3%4")
            .arg(qualified(schema, t.name), quotedList(columns), QStringLiteral("%1"),
                 merge ? QStringLiteral(" ON CONFLICT DO NOTHING") : QString());
    const int batchSize = rowsPerStatement(int(columns.size()));
    TableChecksum fileSum(t.key);
    QList<QVariantList> batch, stored;
    qint64 done = 0, highest = 0;
    const bool ok = eachLiteRow(
        lite,
        QStringLiteral("SELECT %1 FROM %2%3%4")
            .arg(quotedList(columns), q(t.name),
                 filter.isEmpty() ? QString() : QStringLiteral(" WHERE ") + filter,
                 // In the order the rows were written, which a copy keeps.
                 t.sql.contains(QLatin1String("WITHOUT ROWID"), Qt::CaseInsensitive)
                     ? QString()
                     : QStringLiteral(" ORDER BY rowid")),
        [&](const QVariantList& values) {
            QStringList canonical;
            QVariantList params;
            for (int c = 0; c < values.size(); ++c) {
                canonical << canonicalValue(values[c], kinds[c], false);
                const QString text = pgParam(values[c], kinds[c]);
                params << (kinds[c] == ValueKind::Blob && !values[c].isNull()
                               ? QVariant(values[c].typeId() == QMetaType::QByteArray
                                              ? values[c].toByteArray()
                                              : values[c].toString().toUtf8())
                           : text.isNull() ? QVariant()
                                           : QVariant(text));
            }
            if (t.rowid) highest = qMax(highest, values[t.key[0]].toLongLong());
            fileSum.addRow(canonical);
            batch << params;
            stored << values;
            if (batch.size() < batchSize) return true;
            const bool sent =
                insertRows(table, insert, int(columns.size()), batch, stored, done, t, error);
            done += batch.size();
            batch.clear();
            stored.clear();
            return sent;
        },
        error);
    if (!ok || !insertRows(table, insert, int(columns.size()), batch, stored, done, t, error))
        return false;
    if (merge) return true;
    if (t.rowid) {
        // The numbering goes on after the highest number the file gave (rows deleted since
        // included).
        const host::RecordSetPtr seq =
            lite.query(QStringLiteral("SELECT seq FROM sqlite_master m JOIN sqlite_sequence s ON "
                                      "s.name = ?1 WHERE m.name = 'sqlite_sequence'"),
                       {t.name}, nullptr);
        if (seq && !seq->isEmpty()) highest = qMax(highest, seq->at(0, 0).toLongLong());
        QString why;
        if (highest > 0 &&
            !m_pg.execParams(
                QStringLiteral("SELECT setval(pg_get_serial_sequence(?1, ?2), ?3)"),
                {qualified(schema, t.name), t.columns[t.key[0]].name, QString::number(highest)},
                &why))
            return fail(error, QStringLiteral("table %1: %2").arg(table, why));
    }
    // The rows as the server holds them now, against the rows read from the file.
    QStringList texts;
    for (const QString& c : columns) texts << q(c) + QStringLiteral("::text");
    QString why;
    const host::RecordSetPtr rs =
        m_pg.query(QStringLiteral("SELECT %1 FROM %2")
                       .arg(texts.join(QStringLiteral(", ")), qualified(schema, t.name)),
                   {}, &why);
    if (!rs)
        return fail(error, QStringLiteral("table %1: cannot read it back: %2").arg(table, why));
    TableChecksum serverSum(t.key);
    for (int r = 0; r < rs->recordCount(); ++r) {
        QStringList canonical;
        for (int c = 0; c < rs->fieldCount(); ++c)
            canonical << canonicalValue(rs->at(r, c), kinds[c], true);
        serverSum.addRow(canonical);
    }
    if (serverSum.rows() != fileSum.rows() || serverSum.checksum() != fileSum.checksum())
        return fail(error, QStringLiteral("table %1 differs after the copy: the file has %2 rows "
                                          "(checksum %3), the server %4 rows (checksum %5)%6")
                               .arg(table)
                               .arg(fileSum.rows())
                               .arg(fileSum.checksum())
                               .arg(serverSum.rows())
                               .arg(serverSum.checksum())
                               .arg(differingRow(fileSum, serverSum, "file", "server")));
    if (m_report) m_report->append({table, fileSum.rows(), fileSum.checksum()});
    return true;
}

bool ToServer::createIndexes(Database& lite, const QString& schema, const SchemaNames& names,
                             QString* error) {
    const host::RecordSetPtr indexes = lite.query(
        QStringLiteral("SELECT m.name, m.tbl_name, m.sql, il.\"unique\" FROM sqlite_master m "
                       "JOIN pragma_index_list(m.tbl_name) il ON il.name = m.name "
                       "WHERE m.type = 'index' AND m.sql IS NOT NULL ORDER BY m.rowid"),
        {}, error);
    if (!indexes) return false;
    for (int r = 0; r < indexes->recordCount(); ++r) {
        const QString name = indexes->at(r, 0).toString(), table = indexes->at(r, 1).toString();
        const QString where = QStringLiteral("index %1.%2").arg(schema, name);
        const host::RecordSetPtr keys = lite.query(
            QStringLiteral("SELECT name, \"desc\" FROM pragma_index_xinfo(?1) WHERE key = 1 "
                           "ORDER BY seqno"),
            {name}, error);
        if (!keys) return false;
        QStringList columns;
        for (int k = 0; k < keys->recordCount(); ++k) {
            if (keys->at(k, 0).isNull())
                return fail(error, QStringLiteral("%1: an index over an expression has no server "
                                                  "counterpart")
                                       .arg(where));
            columns << q(names.column(table, keys->at(k, 0).toString())) +
                           (keys->at(k, 1).toInt() ? QStringLiteral(" DESC") : QString());
        }
        QString sql =
            QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                .arg(indexes->at(r, 3).toInt() ? QStringLiteral("UNIQUE ") : QString(), q(name),
                     qualified(schema, names.table(table)), columns.join(QStringLiteral(", ")));
        if (const QString condition = indexCondition(indexes->at(r, 2).toString());
            !condition.isEmpty()) {
            QString why;
            const QString pg = pgExpression(condition, names, table, &why);
            if (pg.isEmpty()) return fail(error, QStringLiteral("%1: %2").arg(where, why));
            sql += QStringLiteral(" WHERE ") + pg;
        }
        if (!exec(sql, error, QStringLiteral("cannot create ") + where)) return false;
    }
    return true;
}

bool ToServer::createForeignKeys(Database& lite, const QString& schema, const LiteTable& t,
                                 const SchemaNames& names, const QList<LiteTable>& tables,
                                 QString* error) {
    const host::RecordSetPtr fks = lite.query(
        QStringLiteral("SELECT id, \"table\", \"from\", \"to\", on_update, on_delete FROM "
                       "pragma_foreign_key_list(?1) ORDER BY id, seq"),
        {t.name}, error);
    if (!fks) return false;
    for (int r = 0; r < fks->recordCount();) {
        const int id = fks->at(r, 0).toInt();
        const QString target = names.table(fks->at(r, 1).toString());
        QStringList from, to;
        const QString onUpdate = fks->at(r, 4).toString(), onDelete = fks->at(r, 5).toString();
        for (; r < fks->recordCount() && fks->at(r, 0).toInt() == id; ++r) {
            from << names.column(t.name, fks->at(r, 2).toString());
            if (!fks->at(r, 3).isNull()) to << names.column(target, fks->at(r, 3).toString());
        }
        if (to.isEmpty())  // the referenced table's primary key
            for (const LiteTable& other : tables)
                if (other.name == target)
                    for (int k : other.key) to << other.columns[k].name;
        QString sql = QStringLiteral("ALTER TABLE %1 ADD FOREIGN KEY (%2) REFERENCES %3 (%4)")
                          .arg(qualified(schema, t.name), quotedList(from),
                               qualified(schema, target), quotedList(to));
        if (onDelete != QLatin1String("NO ACTION")) sql += QStringLiteral(" ON DELETE ") + onDelete;
        if (onUpdate != QLatin1String("NO ACTION")) sql += QStringLiteral(" ON UPDATE ") + onUpdate;
        if (!exec(sql, error,
                  QStringLiteral("table %1.%2: cannot create the reference to %3")
                      .arg(schema, t.name, target)))
            return false;
    }
    return true;
}

bool ToServer::createRowVersions(Database& lite, const QString& schema,
                                 const QList<LiteTable>& tables, const SchemaNames& names,
                                 QString* error) {
    const host::RecordSetPtr triggers =
        lite.query(QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'trigger' "
                                  "ORDER BY rowid"),
                   {}, error);
    if (!triggers) return false;
    QStringList rowVersioned;
    for (int r = 0; r < triggers->recordCount(); ++r) {
        const QString name = triggers->at(r, 0).toString(), table = triggers->at(r, 1).toString();
        if (name.compare(QStringLiteral("trg_%1_rowversion_ins").arg(table), Qt::CaseInsensitive) ==
            0) {
            rowVersioned << names.table(table);
        } else if (name.compare(QStringLiteral("trg_%1_rowversion_upd").arg(table),
                                Qt::CaseInsensitive) != 0) {
            return fail(error, QStringLiteral("the trigger %1 on %2.%3 has no server counterpart")
                                   .arg(name, schema, table));
        }
    }
    const QString counter = qualified(schema, names.table(QStringLiteral("zx_RowVersion")));
    const QString last = q(names.column(QStringLiteral("zx_RowVersion"), QStringLiteral("iLast")));
    const QString key = q(names.column(QStringLiteral("zx_RowVersion"), QStringLiteral("iKey")));
    for (const LiteTable& t : tables) {
        if (!rowVersioned.contains(t.name)) continue;
        const QString version = names.column(t.name, QStringLiteral("pubzxts"));
        QStringList others;
        for (const TableColumn& c : t.columns)
            if (c.name != version) others << c.name;
        const QString function = qualified(schema, QStringLiteral("trg_%1_rowversion").arg(t.name));
        const QString sql =
            QStringLiteral(
                "CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $zx$\nBEGIN\n"
                "  UPDATE %2 SET %3 = %3 + 1 WHERE %4 = 1 RETURNING %3 INTO NEW.%5;\n"
                "  RETURN NEW;\nEND\n$zx$;\n"
                "CREATE TRIGGER %6 BEFORE INSERT ON %7 FOR EACH ROW EXECUTE FUNCTION %1();\n"
                "CREATE TRIGGER %8 BEFORE UPDATE OF %9 ON %7 FOR EACH ROW EXECUTE FUNCTION %1();")
                .arg(function, counter, last, key, q(version),
                     q(QStringLiteral("trg_%1_rowversion_ins").arg(t.name)),
                     qualified(schema, t.name),
                     q(QStringLiteral("trg_%1_rowversion_upd").arg(t.name)), quotedList(others));
        if (!exec(sql, error,
                  QStringLiteral("table %1.%2: cannot create its row version").arg(schema, t.name)))
            return false;
    }
    return true;
}

bool ToServer::copyDatabase(Database& lite, const QString& schema, const QString& searchPath,
                            QString* error) {
    QList<LiteTable> tables;
    SchemaNames names;
    if (!readLiteTables(lite, &tables, &names, error)) return false;
    if (schema != kSystem && !exec(QStringLiteral("CREATE SCHEMA %1").arg(q(schema)), error,
                                   QStringLiteral("cannot create the schema ") + schema))
        return false;
    for (const LiteTable& t : tables)
        if (!createTable(schema, t, lite, names, error)) return false;
    for (const LiteTable& t : tables) {
        const QString filter = schema == kSystem && isAccountRegister(t.name)
                                   ? accountFilter(t.columns, m_account)
                                   : QString();
        if (!copyRows(lite, schema, t, filter, false, error)) return false;
    }
    if (!createIndexes(lite, schema, names, error)) return false;
    for (const LiteTable& t : tables)
        if (!createForeignKeys(lite, schema, t, names, tables, error)) return false;
    if (!createRowVersions(lite, schema, tables, names, error)) return false;
    const host::RecordSetPtr views = lite.query(
        QStringLiteral("SELECT name, sql FROM sqlite_master WHERE type = 'view' ORDER BY rowid"),
        {}, error);
    if (!views) return false;
    if (!views->isEmpty() && !exec(QStringLiteral("SET LOCAL search_path TO ") + searchPath, error,
                                   QStringLiteral("cannot set the search path")))
        return false;
    for (int r = 0; r < views->recordCount(); ++r) {
        const QString where = QStringLiteral("view %1.%2").arg(schema, views->at(r, 0).toString());
        QString why;
        const QString sql = pgExpression(views->at(r, 1).toString(), names, {}, &why);
        if (sql.isEmpty()) return fail(error, QStringLiteral("%1: %2").arg(where, why));
        if (!exec(sql, error, QStringLiteral("cannot create ") + where)) return false;
    }
    return views->isEmpty() || exec(QStringLiteral("SET LOCAL search_path TO DEFAULT"), error,
                                    QStringLiteral("cannot reset the search path"));
}

bool ToServer::addAccountRows(Database& lite, QString* error) {
    QList<LiteTable> tables;
    SchemaNames names;
    if (!readLiteTables(lite, &tables, &names, error)) return false;
    for (const LiteTable& t : tables)
        if (isAccountRegister(t.name) &&
            !copyRows(lite, kSystem, t, accountFilter(t.columns, m_account), true, error))
            return false;
    return true;
}

// The version of the server's system schema; 0 when it has none.
bool serverSystemVersion(PgConnection& pg, int* version, QString* error) {
    *version = 0;
    const host::RecordSetPtr table =
        pg.query(QStringLiteral("SELECT to_regclass('zxsystem.\"zx_SchemaVersion\"') IS NOT NULL"),
                 {}, error);
    if (!table) return false;
    if (!table->at(0, 0).toInt()) return true;
    const host::RecordSetPtr rs =
        pg.query(QStringLiteral("SELECT \"iVersion\" FROM zxsystem.\"zx_SchemaVersion\" "
                                "WHERE \"cPart\" = ?1"),
                 {QString::fromLatin1(kSystemPart)}, error);
    if (!rs) return false;
    if (!rs->isEmpty()) *version = rs->at(0, 0).toInt();
    return true;
}

}  // namespace

bool copyAccountToServer(const QString& dataRoot, const QString& accountId, const QString& conninfo,
                         AccountCopy* result, QString* error, bool replace,
                         const ServerSetup& serverFunctions) {
    if (!isValidAccountId(accountId))
        return fail(error, QStringLiteral("\"%1\" is not a valid account id.").arg(accountId));
    const AccountFiles files = accountFiles(dataRoot, accountId);
    for (const QString& path : {files.system, files.data, files.meta})
        if (!QFileInfo::exists(path))
            return fail(error,
                        QStringLiteral("Account %1 has no database %2.").arg(accountId, path));
    QString why;
    std::unique_ptr<Database> system = Database::open(files.system, false, &why);
    std::unique_ptr<Database> data = system ? Database::open(files.data, false, &why) : nullptr;
    std::unique_ptr<Database> meta = data ? Database::open(files.meta, false, &why) : nullptr;
    if (!meta) return fail(error, QStringLiteral("Cannot open account %1: %2").arg(accountId, why));
    std::unique_ptr<PgConnection> pg = PgConnection::open(conninfo, &why);
    if (!pg) return fail(error, why);

    const QString dataSchema = serverDataSchema(accountId),
                  metaSchema = serverMetaSchema(accountId);
    Transaction t(*pg, &why);
    if (!t.ok()) return fail(error, QStringLiteral("Cannot begin a transaction: %1").arg(why));
    // Files are read in one snapshot each.
    for (Database* db : {system.get(), data.get(), meta.get()})
        if (!db->exec(QStringLiteral("BEGIN"), &why))
            return fail(error, QStringLiteral("Cannot read %1: %2").arg(db->path(), why));
    const auto endReads = qScopeGuard([&] {
        for (Database* db : {system.get(), data.get(), meta.get()})
            db->exec(QStringLiteral("ROLLBACK"));
    });

    QList<CopiedTable> report;
    ToServer copy(*pg, accountId, &report);
    bool haveSystem = false, haveData = false, haveMeta = false;
    int version = 0;
    if (!serverSchemaExists(*pg, kSystem, &haveSystem, &why) ||
        !serverSchemaExists(*pg, dataSchema, &haveData, &why) ||
        !serverSchemaExists(*pg, metaSchema, &haveMeta, &why) ||
        (haveSystem && !serverSystemVersion(*pg, &version, &why)))
        return fail(error, QStringLiteral("Cannot read the server's schemas: %1").arg(why));
    if ((haveData || haveMeta) && !replace)
        return fail(error, QStringLiteral("Account %1 is already on the server (schema %2 exists).")
                               .arg(accountId, haveData ? dataSchema : metaSchema));
    if (haveSystem && version != kSchemaVersion)
        return fail(error, QStringLiteral("The server's schema zxsystem has the system version %1, "
                                          "not %2; nothing was copied.")
                               .arg(version)
                               .arg(kSchemaVersion));
    if (replace) {
        QString drop =
            QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE; DROP SCHEMA IF EXISTS %2 CASCADE;")
                .arg(q(dataSchema), q(metaSchema));
        if (haveSystem)
            drop += QStringLiteral(
                        "DELETE FROM zxsystem.\"UA_Account_sub\" WHERE \"cAcc_id\" = '%1'; "
                        "DELETE FROM zxsystem.\"ua_account\" WHERE \"cAcc_Id\" = '%1';")
                        .arg(host::sqlValue(accountId));
        if (!copy.exec(drop, error, QStringLiteral("cannot remove the account's old copy")))
            return false;
    }
    const QString searchPath = QStringLiteral("%1, zxsystem, %2").arg(q(dataSchema), q(metaSchema));
    const bool ok =
        copy.exec(QString::fromUtf8(kSystemBasics), error,
                  QStringLiteral("cannot create the schema zxsystem")) &&
        (haveSystem ? copy.addAccountRows(*system, error)
                    : copy.copyDatabase(*system, kSystem, QStringLiteral("zxsystem"), error)) &&
        (!serverFunctions || serverFunctions(*pg, error)) &&
        copy.copyDatabase(*meta, metaSchema, QStringLiteral("%1, zxsystem").arg(q(metaSchema)),
                          error) &&
        copy.copyDatabase(*data, dataSchema, searchPath, error);
    if (!ok) {
        if (error) *error = QStringLiteral("Nothing was copied: %1").arg(*error);
        return false;
    }
    if (!t.commit(&why)) return fail(error, QStringLiteral("Nothing was copied: %1").arg(why));
    if (result) *result = {report, copy.notes};
    return true;
}

}  // namespace platform::db
