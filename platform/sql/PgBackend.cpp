#include <QLoggingCategory>
#include <QTimeZone>

#include "host/Quote.h"
#include "platform/db/PgConnection.h"
#include "platform/db/UserTable.h"
#include "platform/sql/ConnectionBackend.h"
#include "platform/sql/PgConnectionSchema.h"
#include "platform/sql/PgFunctions.h"
#include "platform/sql/SqlLog.h"

namespace platform::sql {

namespace {

class PgBackend : public TSqlConnection::Backend {
public:
    db::Connection& db() override { return *m_db; }
    SchemaInfo& schema() override { return *m_schema; }
    QStringList attached() override { return m_attached; }
    // Another client's change of the schema is not seen from here: the catalogue is read anew
    // after this connection's own schema changes, and when a statement fails as one made with
    // an old catalogue would.
    qint64 schemaStamp() override { return 0; }
    void forgetSchema() override { m_schema->forget(); }
    bool catalogueMayBeStale() override {
        // A table or column unknown; a column whose type the translation did not know (a text
        // read as a number, an operator without the right types).
        static const QStringList kStale = {
            QStringLiteral("42P01"), QStringLiteral("42703"), QStringLiteral("22P02"),
            QStringLiteral("42883"), QStringLiteral("42804")};
        return !m_db->inTransaction() && kStale.contains(m_db->lastSqlState());
    }
    QString lockDatabase() const override { return m_db->conninfo(); }
    QString lockSchema() const override { return m_lockSchema; }
    // A view of the session of the same name stands in for zxsystem's UA_User, every column
    // passed through but the hash and salt, which are NULL (and so cannot be written).
    bool hidePasswordColumns(QString* error) override {
        const host::RecordSetPtr columns = m_db->query(
            QStringLiteral("SELECT a.attname::text FROM pg_catalog.pg_attribute a "
                           "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid JOIN "
                           "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = "
                           "'zxsystem' AND c.relname = 'UA_User' AND a.attnum > 0 AND NOT "
                           "a.attisdropped ORDER BY a.attnum"),
            {}, error);
        if (!columns) return false;
        QStringList select;
        for (int r = 0; r < columns->recordCount(); ++r) {
            const QString name = columns->at(r, 0).toString();
            select << (db::isPasswordColumn(name) ? QStringLiteral("CAST(NULL AS text) AS ") : QString()) +
                          host::sqlIdentQuoted(name);
        }
        if (select.isEmpty()) return true;  // no users' table: nothing to hide
        if (!m_db->exec(QStringLiteral(R"(CREATE TEMPORARY VIEW "UA_User" AS SELECT %1 FROM )"
                                       R"(zxsystem."UA_User")")
                            .arg(select.join(QStringLiteral(", "))),
                        error))
            return false;
        m_schema->standIn(QStringLiteral("zxsystem"), QStringLiteral("UA_User"));
        return true;
    }

    std::unique_ptr<db::PgConnection> m_db;
    QStringList m_attached;
    QString m_lockSchema;  // the account's data schema, also on a metadata connection
    std::unique_ptr<PgConnectionSchema> m_schema;
};

}  // namespace

std::unique_ptr<TSqlConnection::Backend> openPgBackend(const ConnectionText& text,
                                                       const QString& catalog, QString* error) {
    auto b = std::make_unique<PgBackend>();
    b->m_db = db::PgConnection::open(text.server, error);
    if (!b->m_db) return nullptr;
    // The catalog's schema first, then the system and metadata schemas: unqualified names
    // resolve as on an embedded account (temporary tables, own database, attached ones).
    const QString own = catalog.toLower();
    QStringList path{own};
    b->m_attached << QStringLiteral("zxsystem");
    const QString meta = QStringLiteral("ZxMeta_") + text.account;
    if (!text.account.isEmpty() && meta.compare(catalog, Qt::CaseInsensitive) != 0)
        b->m_attached << meta;
    for (const QString& s : b->m_attached) path << s.toLower();
    QStringList quoted;
    for (const QString& s : path) quoted << host::sqlIdentQuoted(s);
    if (!b->m_db->exec(QStringLiteral("SET search_path = %1; SET zx.language = '%2'")
                           .arg(quoted.join(QStringLiteral(", ")), host::sqlValue(text.language)),
                       error))
        return nullptr;
    // GETDATE answers this machine's local time, as on an embedded account.
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    if (!zone.isEmpty() &&
        !b->m_db->exec(QStringLiteral("SET zx.timezone = '%1'").arg(host::sqlValue(zone)), error))
        return nullptr;
    // The account's schema, and which functions the server has.
    const host::RecordSetPtr found = b->m_db->query(
        QStringLiteral("SELECT (SELECT 1 FROM pg_catalog.pg_namespace WHERE nspname = ?1), "
                       "pg_catalog.obj_description(to_regnamespace('zxsystem'), 'pg_namespace')"),
        {own}, error);
    if (!found) return nullptr;
    if (found->at(0, 0).isNull()) {
        if (error)
            *error = QStringLiteral("The server database %1 holds no schema %2: the account is "
                                    "not on this server.")
                         .arg(b->m_db->conninfo(), own);
        return nullptr;
    }
    // Functions of another version of the desk are replaced by this one's: the translation
    // relies on them. Should the account's user not be allowed to, the old ones stay.
    if (found->at(0, 1).toString() != pgFunctionsStamp()) {
        QString why;
        if (!installPgFunctions(*b->m_db, &why))
            qCWarning(lcSql).noquote() << "the server's functions could not be brought up to date:" << why;
    }
    b->m_lockSchema = text.account.isEmpty() ? own : QStringLiteral("zxdata_") + text.account.toLower();
    b->m_schema = std::make_unique<PgConnectionSchema>(*b->m_db, own, b->m_attached);
    return b;
}

}  // namespace platform::sql
