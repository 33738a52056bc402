// A server account copied back into files (copyAccountToFiles, ServerAccount.h).

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSet>

#include "host/Quote.h"
#include "platform/db/AccountCopyParts.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"
#include "platform/db/PgSchemaText.h"
#include "platform/db/Schema.h"
#include "platform/db/ServerAccount.h"

namespace platform::db {

using namespace accountcopy;

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
        if (!serverSchemaExists(*pg, schema, &exists, &why)) return fail(error, why);
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
