#include "platform/db/ServerAccount.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QScopeGuard>
#include <QSet>
#include <functional>

#include "host/Quote.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/Collation.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"
#include "platform/db/PgSchemaText.h"
#include "platform/db/Schema.h"

namespace platform::db {

QString serverDataSchema(const QString& accountId) {
    return QStringLiteral("zxdata_") + accountId.toLower();
}

QString serverMetaSchema(const QString& accountId) {
    return QStringLiteral("zxmeta_") + accountId.toLower();
}

namespace {

QString q(const QString& name) { return host::sqlIdentQuoted(name); }
QString qualified(const QString& schema, const QString& table) {
    return q(schema) + QLatin1Char('.') + q(table);
}

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

const QString kSystem = QString::fromLatin1(kServerSystemSchema);

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

QList<int> keyOf(const QList<TableColumn>& columns) {
    QList<std::pair<int, int>> parts;
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].keyPosition > 0) parts.append({columns[i].keyPosition, i});
    std::sort(parts.begin(), parts.end());
    QList<int> key;
    for (const auto& p : parts) key << p.second;
    return key;
}

QStringList namesOf(const QList<TableColumn>& columns) {
    QStringList names;
    for (const TableColumn& c : columns) names << c.name;
    return names;
}

QString quotedList(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names) quoted << q(n);
    return quoted.join(QStringLiteral(", "));
}

// Runs a query of an embedded account, giving `row` each row's values as stored (qint64,
// double, QString, QByteArray or null). `row` returns false to stop, having set the error.
bool eachLiteRow(Database& db, const QString& sql,
                 const std::function<bool(const QVariantList&)>& row, QString* error) {
    sqlite3_stmt* st = nullptr;
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), utf8.constData(), int(utf8.size()), &st, nullptr) !=
        SQLITE_OK)
        return fail(error, QString::fromUtf8(sqlite3_errmsg(db.handle())));
    const int n = sqlite3_column_count(st);
    int rc = SQLITE_ROW;
    bool ok = true;
    while (ok && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        QVariantList values;
        values.reserve(n);
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER:
                    values << QVariant(qint64(sqlite3_column_int64(st, c)));
                    break;
                case SQLITE_FLOAT:
                    values << QVariant(sqlite3_column_double(st, c));
                    break;
                case SQLITE_BLOB:
                    values << QVariant(
                        QByteArray(static_cast<const char*>(sqlite3_column_blob(st, c)),
                                   sqlite3_column_bytes(st, c)));
                    break;
                case SQLITE_TEXT:
                    values << QVariant(
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                          sqlite3_column_bytes(st, c)));
                    break;
                default:
                    values << QVariant();
            }
        }
        ok = row(values);
    }
    if (ok && rc != SQLITE_DONE) ok = fail(error, QString::fromUtf8(sqlite3_errmsg(db.handle())));
    sqlite3_finalize(st);
    return ok;
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

// A short text naming a row by its key (else its first columns), for messages.
QString rowText(const QStringList& columns, const QList<int>& key, const QVariantList& values) {
    QStringList parts;
    QList<int> shown = key;
    for (int i = 0; key.isEmpty() && i < qMin(3, int(columns.size())); ++i) shown << i;
    for (int i : shown) {
        const QVariant& v = values.value(i);
        QString text = v.isNull() ? QStringLiteral("NULL") : v.toString();
        if (text.size() > 40) text = text.left(40) + QStringLiteral("…");
        parts << columns[i] + QLatin1Char('=') + text;
    }
    return parts.join(QStringLiteral(", "));
}

// "; the file's row … arrived as …" for a copy whose checksums differ.
QString differingRow(const TableChecksum& source, const TableChecksum& target, const char* from,
                     const char* to) {
    auto shown = [](QString row) {
        row.replace(QLatin1Char('\t'), QStringLiteral(" | "));
        return row.size() > 200 ? row.left(200) + QStringLiteral("…") : row;
    };
    const QString sent = source.firstRowNotIn(target), got = target.firstRowNotIn(source);
    if (sent.isEmpty()) return {};
    QString text = QStringLiteral("; the %1's row [%2]").arg(QLatin1String(from), shown(sent));
    return got.isEmpty()
               ? text + QStringLiteral(" is missing on the %1").arg(QLatin1String(to))
               : text + QStringLiteral(" reads [%1] on the %2").arg(shown(got), QLatin1String(to));
}

// The account register (ua_account, UA_Account_sub): a copy takes only the account's own rows.
bool isAccountRegister(const QString& table) {
    return table.compare(QLatin1String("ua_account"), Qt::CaseInsensitive) == 0 ||
           table.compare(QLatin1String("UA_Account_sub"), Qt::CaseInsensitive) == 0;
}

QString accountFilter(const QList<TableColumn>& columns, const QString& accountId) {
    for (const TableColumn& c : columns)
        if (c.name.compare(QLatin1String("cAcc_Id"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("%1 = '%2'").arg(q(c.name), host::sqlValue(accountId));
    return QStringLiteral("false");
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

bool schemaExists(PgConnection& pg, const QString& schema, bool* exists, QString* error) {
    const host::RecordSetPtr rs =
        pg.query(QStringLiteral("SELECT 1 FROM pg_catalog.pg_namespace WHERE nspname = ?1"),
                 {schema}, error);
    if (!rs) return false;
    *exists = !rs->isEmpty();
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
    if (!schemaExists(*pg, kSystem, &haveSystem, &why) ||
        !schemaExists(*pg, dataSchema, &haveData, &why) ||
        !schemaExists(*pg, metaSchema, &haveMeta, &why) ||
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

// ---- back to files ----------------------------------------------------------------------------

namespace {

// A value the server gives as text, as the embedded account stores it.
QVariant liteValue(const QVariant& text, ValueKind kind) {
    if (text.isNull()) return {};
    const QString t = text.toString();
    switch (kind) {
        case ValueKind::Integer:
            return t.toLongLong();
        case ValueKind::Boolean:
            return qint64(t == QLatin1String("true") ? 1 : 0);
        case ValueKind::Decimal:
        case ValueKind::Float:
            return t.toDouble();
        case ValueKind::Blob:
            return QByteArray::fromHex(t.mid(2).toLatin1());
        case ValueKind::DateTime: {
            // Milliseconds as three digits, as the desk writes them.
            const qsizetype dot = t.indexOf(QLatin1Char('.'));
            return dot < 0 ? t : t.left(dot + 1) + (t.mid(dot + 1) + QStringLiteral("00")).left(3);
        }
        default:
            return t;
    }
}

class ToFile {
public:
    ToFile(PgConnection& pg, QString accountId, QList<CopiedTable>* report)
        : m_pg(pg), m_account(std::move(accountId)), m_report(report) {}
    // The server schema into the new database `lite`, made by the schema code.
    bool copySchema(const QString& schema, Database& lite, QString* error);
    // Only the account's rows of the system tables, keeping those the file has.
    bool addAccountRows(Database& lite, QString* error);

private:
    bool copyTable(const QString& schema, const QString& table, Database& lite, bool merge,
                   QString* error);
    PgConnection& m_pg;
    QString m_account;
    QList<CopiedTable>* m_report;
};

bool ToFile::copyTable(const QString& schema, const QString& table, Database& lite, bool merge,
                       QString* error) {
    const QString where = QStringLiteral("table %1.%2").arg(schema, table);
    QString why;
    QList<TableColumn> columns, liteColumns;
    if (!m_pg.tableColumns(table, &columns, &why) || !lite.tableColumns(table, &liteColumns, &why))
        return fail(error, QStringLiteral("%1: %2").arg(where, why));
    QStringList have;
    for (const TableColumn& c : liteColumns) have << c.name.toLower();
    auto columnDdl = [&](const TableColumn& c, bool added) -> QString {
        QString ddl = q(c.name) + QLatin1Char(' ') + c.type;
        if (c.collation == QLatin1String("zx_nocase")) ddl += QStringLiteral(" COLLATE NOCASE");
        QString def;
        if (!c.defaultValue.isNull()) {
            def = sqliteDefault(c.defaultValue.toString(), &why);
            if (def.isEmpty()) return {};
        }
        if (c.notNull && (!added || !def.isEmpty())) ddl += QStringLiteral(" NOT NULL");
        if (!def.isEmpty()) ddl += QStringLiteral(" DEFAULT ") + def;
        return ddl;
    };
    if (merge) {
        QList<TableColumn> shared;
        for (const TableColumn& c : columns)
            if (have.contains(c.name.toLower())) shared << c;
        columns = shared;
    } else if (liteColumns.isEmpty()) {
        QStringList parts, key;
        for (const TableColumn& c : columns) {
            const QString ddl = columnDdl(c, false);
            if (ddl.isEmpty())
                return fail(error, QStringLiteral("%1, column %2: %3").arg(where, c.name, why));
            parts << ddl;
        }
        for (int k : keyOf(columns)) key << columns[k].name;
        if (!key.isEmpty()) parts << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(key));
        if (!lite.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                           .arg(q(table), parts.join(QStringLiteral(", "))),
                       &why))
            return fail(error, QStringLiteral("cannot create %1: %2").arg(where, why));
    } else {
        for (const TableColumn& c : columns) {
            if (have.contains(c.name.toLower())) continue;
            const QString ddl = columnDdl(c, true);
            if (ddl.isEmpty() ||
                !lite.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(q(table), ddl), &why))
                return fail(error, QStringLiteral("%1, column %2: %3").arg(where, c.name, why));
        }
    }
    if (!merge && !lite.exec(QStringLiteral("DELETE FROM %1").arg(q(table)), &why))
        return fail(error, QStringLiteral("%1: %2").arg(where, why));

    QStringList names, texts, marks;
    QList<ValueKind> kinds;
    for (const TableColumn& c : columns) {
        names << c.name;
        texts << q(c.name) + QStringLiteral("::text");
        marks << QStringLiteral("?");
        kinds << valueKindOf(c.type);
    }
    const QString filter = schema == kSystem && isAccountRegister(table)
                               ? accountFilter(columns, m_account)
                               : QString();
    const host::RecordSetPtr rs =
        m_pg.query(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY ctid")
                       .arg(texts.join(QStringLiteral(", ")), qualified(schema, table),
                            filter.isEmpty() ? QString() : QStringLiteral(" WHERE ") + filter),
                   {}, &why);
    if (!rs) return fail(error, QStringLiteral("cannot read %1: %2").arg(where, why));
    const QList<int> key = keyOf(columns);
    TableChecksum serverSum(key);
    const QString insert = QStringLiteral("INSERT %1INTO %2 (%3) VALUES (%4)")
                               .arg(merge ? QStringLiteral("OR IGNORE ") : QString(), q(table),
                                    quotedList(names), marks.join(QLatin1Char(',')));
    for (int r = 0; r < rs->recordCount(); ++r) {
        QStringList canonical;
        QVariantList values;
        for (int c = 0; c < rs->fieldCount(); ++c) {
            canonical << canonicalValue(rs->at(r, c), kinds[c], true);
            values << liteValue(rs->at(r, c), kinds[c]);
        }
        serverSum.addRow(canonical);
        if (!lite.execParams(insert, values, &why))
            return fail(error, QStringLiteral("%1, row %2 (%3): %4")
                                   .arg(where)
                                   .arg(r + 1)
                                   .arg(rowText(names, key, values), why));
    }
    if (merge) return true;
    TableChecksum fileSum(key);
    if (!eachLiteRow(
            lite, QStringLiteral("SELECT %1 FROM %2").arg(quotedList(names), q(table)),
            [&](const QVariantList& values) {
                QStringList canonical;
                for (int c = 0; c < values.size(); ++c)
                    canonical << canonicalValue(values[c], kinds[c], false);
                fileSum.addRow(canonical);
                return true;
            },
            error))
        return false;
    if (serverSum.rows() != fileSum.rows() || serverSum.checksum() != fileSum.checksum())
        return fail(error, QStringLiteral("%1 differs after the copy: the server has %2 rows "
                                          "(checksum %3), the file %4 rows (checksum %5)%6")
                               .arg(where)
                               .arg(serverSum.rows())
                               .arg(serverSum.checksum())
                               .arg(fileSum.rows())
                               .arg(fileSum.checksum())
                               .arg(differingRow(serverSum, fileSum, "server", "file")));
    if (m_report)
        m_report->append(
            {schema + QLatin1Char('.') + table, serverSum.rows(), serverSum.checksum()});
    return true;
}

bool ToFile::copySchema(const QString& schema, Database& lite, QString* error) {
    QString why;
    if (!m_pg.exec(QStringLiteral("SET search_path TO ") + q(schema), &why))
        return fail(error, why);
    const host::RecordSetPtr tables = m_pg.query(
        QStringLiteral("SELECT c.relname::text FROM pg_catalog.pg_class c JOIN "
                       "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = ?1 "
                       "AND c.relkind IN ('r', 'p') ORDER BY c.oid"),
        {schema}, &why);
    const host::RecordSetPtr versioned = m_pg.query(
        QStringLiteral("SELECT DISTINCT c.relname::text FROM pg_catalog.pg_trigger t JOIN "
                       "pg_catalog.pg_class c ON c.oid = t.tgrelid JOIN pg_catalog.pg_namespace n "
                       "ON n.oid = c.relnamespace WHERE n.nspname = ?1 AND "
                       "t.tgname::text LIKE 'trg\\_%\\_rowversion\\_ins'"),
        {schema}, &why);
    const host::RecordSetPtr liteTriggers = lite.query(
        QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'trigger' AND "
                       "name LIKE 'trg\\_%\\_rowversion\\_%' ESCAPE '\\'"),
        {}, &why);
    if (!tables || !versioned || !liteTriggers)
        return fail(error, QStringLiteral("cannot read schema %1: %2").arg(schema, why));
    // Row versions are copied as they are: the triggers that would renumber them come after.
    QSet<QString> rowVersioned;
    for (int r = 0; r < liteTriggers->recordCount(); ++r) {
        rowVersioned.insert(liteTriggers->at(r, 1).toString());
        if (!lite.exec(QStringLiteral("DROP TRIGGER %1").arg(q(liteTriggers->at(r, 0).toString())),
                       &why))
            return fail(error, why);
    }
    for (int r = 0; r < versioned->recordCount(); ++r)
        rowVersioned.insert(versioned->at(r, 0).toString());
    for (int r = 0; r < tables->recordCount(); ++r)
        if (!copyTable(schema, tables->at(r, 0).toString(), lite, false, error)) return false;
    for (const QString& table : rowVersioned)
        if (!addRowVersion(lite, table, error)) return false;
    return m_pg.exec(QStringLiteral("SET search_path TO DEFAULT"), error);
}

bool ToFile::addAccountRows(Database& lite, QString* error) {
    QString why;
    if (!m_pg.exec(QStringLiteral("SET search_path TO zxsystem"), &why)) return fail(error, why);
    for (const QString& table : {QStringLiteral("ua_account"), QStringLiteral("UA_Account_sub")})
        if (!copyTable(kSystem, table, lite, true, error)) return false;
    return true;
}

void removeDatabaseFiles(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

}  // namespace

bool copyAccountToFiles(const QString& conninfo, const QString& accountId, const QString& dataRoot,
                        AccountCopy* result, QString* error) {
    if (!isValidAccountId(accountId))
        return fail(error, QStringLiteral("\"%1\" is not a valid account id.").arg(accountId));
    const AccountFiles files = accountFiles(dataRoot, accountId);
    for (const QString& path : {files.data, files.meta})
        if (QFileInfo::exists(path))
            return fail(error, QStringLiteral("Account %1 already has the file %2; nothing was "
                                              "copied.")
                                   .arg(accountId, path));
    QString why;
    std::unique_ptr<PgConnection> pg = PgConnection::open(conninfo, &why);
    if (!pg) return fail(error, why);
    // One snapshot of the server for the whole copy.
    if (!pg->exec(QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"), &why))
        return fail(error, why);
    const auto endRead = qScopeGuard([&] { pg->exec(QStringLiteral("ROLLBACK")); });
    const QString dataSchema = serverDataSchema(accountId),
                  metaSchema = serverMetaSchema(accountId);
    for (const QString& schema : {kSystem, dataSchema, metaSchema}) {
        bool exists = false;
        if (!schemaExists(*pg, schema, &exists, &why)) return fail(error, why);
        if (!exists)
            return fail(error, QStringLiteral("Account %1 is not on the server (no schema %2).")
                                   .arg(accountId, schema));
    }
    const bool madeFolder = !QFileInfo::exists(files.folder);
    const bool madeSystem = !QFileInfo::exists(files.system);
    if (!QDir().mkpath(files.folder))
        return fail(error, QStringLiteral("Cannot create the folder %1.").arg(files.folder));

    QList<CopiedTable> report;
    ToFile copy(*pg, accountId, &report);
    auto copyInto = [&](const QString& path, bool (*create)(Database&, QString*),
                        const QString& schema) {
        std::unique_ptr<Database> db = Database::open(path, true, &why);
        if (!db || !create(*db, &why))
            return fail(error, QStringLiteral("Cannot create %1: %2").arg(path, why));
        Transaction t(*db, &why);
        return (t.ok() && db->exec(QStringLiteral("PRAGMA defer_foreign_keys = ON"), &why)
                    ? copy.copySchema(schema, *db, error)
                    : fail(error, why)) &&
               t.commit(error);
    };
    bool ok = copyInto(files.data, &createAccountSchema, dataSchema) &&
              copyInto(files.meta, &createMetaSchema, metaSchema);
    if (ok && madeSystem) {
        ok = copyInto(files.system, &createSystemSchema, kSystem);
    } else if (ok) {
        std::unique_ptr<Database> system = Database::open(files.system, false, &why);
        ok = system ? [&] {
            Transaction t(*system, &why);
            return (t.ok() ? copy.addAccountRows(*system, error) : fail(error, why)) &&
                   t.commit(error);
        }()
                    : fail(error, why);
    }
    if (!ok) {
        removeDatabaseFiles(files.data);
        removeDatabaseFiles(files.meta);
        if (madeSystem) removeDatabaseFiles(files.system);
        if (madeFolder) QDir().rmdir(files.folder);
        if (error) *error = QStringLiteral("Nothing was copied: %1").arg(*error);
        return false;
    }
    if (result) *result = {report, {}};
    return true;
}

}  // namespace platform::db
