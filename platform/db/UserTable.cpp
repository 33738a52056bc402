#include "platform/db/UserTable.h"

#include <QCryptographicHash>
#include <sodium.h>
#include <sqlite3.h>

#include "platform/db/Database.h"

namespace platform::db {

bool ensureUserTable(Connection& db, QString* error) {
    QList<TableColumn> columns;
    if (!db.tableColumns(QStringLiteral("UA_User"), &columns, error)) return false;
    QStringList have;
    for (const TableColumn& c : columns) have << c.name.toLower();
    if (have.contains(QLatin1String("dlockeduntil"))) return true;
    Transaction t(db, error);
    if (!t.ok()) return false;
    const struct {
        const char* name;
        const char* ddl;
    } added[] = {
        {"bdefadmin", "ALTER TABLE UA_User ADD COLUMN bDefAdmin bit NOT NULL DEFAULT 0"},
        {"ifailedlogins", "ALTER TABLE UA_User ADD COLUMN iFailedLogins int NOT NULL DEFAULT 0"},
        {"dlockeduntil", "ALTER TABLE UA_User ADD COLUMN dLockedUntil datetime"},
    };
    for (const auto& column : added)
        if (!have.contains(QLatin1String(column.name)) &&
            !db.exec(QString::fromLatin1(column.ddl), error))
            return false;
    if (!have.contains(QLatin1String("bdefadmin")) &&
        !db.exec(QStringLiteral("UPDATE UA_User SET bDefAdmin = 1"), error))
        return false;
    return t.commit(error);
}

namespace {

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

}  // namespace

QString hashPassword(const QString& password) {
    if (!sodiumReady()) return {};
    const QByteArray bytes = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, bytes.constData(), quint64(bytes.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString& stored, const QString& password) {
    if (!sodiumReady()) return false;
    const QByteArray hash = stored.toLatin1(), bytes = password.toUtf8();
    if (hash.isEmpty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
    return crypto_pwhash_str_verify(hash.constData(), bytes.constData(),
                                    quint64(bytes.size())) == 0;
}

QString legacyPasswordHash(const QString& salt, const QString& password) {
    return QString::fromLatin1(
        QCryptographicHash::hash((salt + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

bool isPasswordColumn(const QString& column) {
    return column.compare(QLatin1String("cPasswordHash"), Qt::CaseInsensitive) == 0 ||
           column.compare(QLatin1String("cSalt"), Qt::CaseInsensitive) == 0;
}

namespace {

int guardPasswords(void*, int action, const char* table, const char* column, const char*,
                   const char*) {
    if ((action != SQLITE_READ && action != SQLITE_UPDATE) || !table || !column) return SQLITE_OK;
    if (sqlite3_stricmp(table, "UA_User") != 0) return SQLITE_OK;
    if (!isPasswordColumn(QString::fromUtf8(column))) return SQLITE_OK;
    return action == SQLITE_READ ? SQLITE_IGNORE : SQLITE_DENY;
}

}  // namespace

void hidePasswordColumns(Database& db) {
    sqlite3_set_authorizer(db.handle(), guardPasswords, nullptr);
}

}  // namespace platform::db
