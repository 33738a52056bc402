#include "app/Credentials.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <algorithm>

#include "app/DeskTexts.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"
#include "platform/db/ServerAccount.h"
#include "platform/db/UserTable.h"

namespace app {

namespace {

// The libpq connection string of a server account; empty for an embedded one.
QString serverOf(const QString& root, const QString& accountId) {
    return platform::db::serverConninfo(root, accountId);
}

// The server's system schema, as the only schema of the connection; refused when an account is
// given that the server database does not hold.
std::unique_ptr<platform::db::Connection> openServerSystem(const QString& conninfo,
                                                           const QString& accountId,
                                                           QString* error) {
    auto db = platform::db::PgConnection::open(conninfo, error);
    if (!db) return nullptr;
    if (!accountId.isEmpty()) {
        const QString schema = platform::db::serverDataSchema(accountId);
        bool found = false;
        if (!platform::db::serverSchemaExists(*db, schema, &found, error)) return nullptr;
        if (!found) {
            *error = QStringLiteral("The server database %1 holds no schema %2: account %3 is "
                                    "not on this server.")
                         .arg(conninfo, schema, accountId);
            return nullptr;
        }
    }
    if (!db->exec(QStringLiteral("SET search_path = zxsystem"), error)) return nullptr;
    return db;
}

// The columns as ua_account spells them: the server's names are exact.
const QString kAccountsSql =
    QStringLiteral(R"(SELECT "cAcc_Id", "cAcc_Name" FROM "ua_account" ORDER BY "cAcc_Id")");

}  // namespace

std::unique_ptr<platform::db::Connection> openSystem(const QString& root, const QString& accountId,
                                                     QString* error) {
    const QString server = accountId.isEmpty() ? QString() : serverOf(root, accountId);
    if (!server.isEmpty()) return openServerSystem(server, accountId, error);
    const QString path = platform::db::accountFiles(root, QString()).system;
    if (!QFileInfo::exists(path)) {
        *error = path;
        return nullptr;
    }
    return platform::db::Database::open(path, false, error);
}

QVector<AccountInfo> listAccounts(const QString& root, QString* error) {
    QString reason;
    QVector<AccountInfo> accounts;
    auto db = openSystem(root, QString(), &reason);
    const host::RecordSetPtr rows = db ? db->query(kAccountsSql, {}, &reason) : nullptr;
    for (int r = 0; rows && r < rows->recordCount(); ++r)
        accounts.push_back({rows->at(r, 0).toString(), rows->at(r, 1).toString()});
    // Accounts on a server, named as the server's system schema names them.
    const QStringList folders = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& id : folders) {
        const QString server = platform::db::isValidAccountId(id) ? serverOf(root, id) : QString();
        if (server.isEmpty()) continue;
        auto found = std::find_if(accounts.begin(), accounts.end(),
                                  [&](const AccountInfo& a) { return a.id == id; });
        if (found == accounts.end()) found = accounts.insert(accounts.end(), {id, QString()});
        // A server that does not answer neither holds up the list nor leaves it: the account is
        // listed with a note saying why.
        QString why;
        auto system = openServerSystem(server + QStringLiteral(" connect_timeout=5"), {}, &why);
        const host::RecordSetPtr names = system ? system->query(kAccountsSql, {}, &why) : nullptr;
        for (int r = 0; names && r < names->recordCount(); ++r)
            if (names->at(r, 0).toString() == id) found->name = names->at(r, 1).toString();
        if (!names) found->name = QStringLiteral("(cannot read its server: %1)").arg(why);
    }
    std::sort(accounts.begin(), accounts.end(),
              [](const AccountInfo& a, const AccountInfo& b) { return a.id < b.id; });
    if (accounts.isEmpty() && error) *error = reason;
    return accounts;
}

namespace {

std::function<QDateTime()>& clock() {
    static std::function<QDateTime()> now;
    return now;
}

QDateTime now() { return clock() ? clock()().toUTC() : QDateTime::currentDateTimeUtc(); }

const QString kStamp = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QDateTime fromStamp(const QString& text) {
    QDateTime time = QDateTime::fromString(text, kStamp);
    time.setTimeZone(QTimeZone::utc());
    return time;
}

// Spends a hash check's time on an unknown user, so the answer does not tell it from a known one.
void checkNobody(const QString& password) {
    static const QString hash = platform::db::hashPassword(QStringLiteral("no user has this"));
    platform::db::verifyPassword(hash, password);
}

}  // namespace

void setLoginClock(std::function<QDateTime()> clockFunction) { clock() = std::move(clockFunction); }

UserCheck checkUser(const QString& root, const QString& userId, const QString& password,
                    const QString& accountId) {
    UserCheck check;
    auto db = openSystem(root, accountId, &check.error);
    if (!db || !platform::db::ensureUserTable(*db, &check.error)) return check;
    host::RecordSetPtr rows = db->query(
        QStringLiteral(R"(SELECT "cUser_Id", "cUser_Name", "cSalt", "cPasswordHash", )"
                       R"("dLockedUntil" FROM "UA_User" WHERE "cUser_Id" = ?1)"),
        {userId.trimmed()}, &check.error);
    if (!rows) return check;
    check.error.clear();
    check.result = UserCheck::WrongCredentials;
    if (rows->isEmpty()) {
        checkNobody(password);
        return check;
    }
    rows->moveFirst();
    const QString id = rows->text(QStringLiteral("cUser_Id"));
    const QDateTime at = now();
    const QDateTime until = fromStamp(rows->text(QStringLiteral("dLockedUntil")));
    if (until.isValid() && at < until) {
        check.result = UserCheck::LockedOut;
        check.lockedUntil = until;
        return check;
    }
    const QString stored = rows->text(QStringLiteral("cPasswordHash"));
    const bool oldKind = !stored.startsWith(QLatin1String("$argon2"));
    const bool right =
        oldKind ? !stored.isEmpty() && platform::db::legacyPasswordHash(
                                           rows->text(QStringLiteral("cSalt")), password) ==
                                           stored.toLower()
                : platform::db::verifyPassword(stored, password);
    QString why;
    if (!right) {
        const QString lockUntil = at.addSecs(kLockOutMinutes * 60).toString(kStamp);
        db->execParams(
            // An earlier lock-out time is past by now: kept or replaced, it locks no one.
            QStringLiteral(R"(UPDATE "UA_User" SET )"
                           R"("dLockedUntil" = CASE WHEN "iFailedLogins" + 1 >= ?2 THEN ?3 )"
                           R"(ELSE "dLockedUntil" END, )"
                           R"("iFailedLogins" = CASE WHEN "iFailedLogins" + 1 >= ?2 THEN 0 )"
                           R"(ELSE "iFailedLogins" + 1 END WHERE "cUser_Id" = ?1)"),
            {id, kLockOutFailures, lockUntil}, &why);
        rows = db->query(
            QStringLiteral(R"(SELECT "dLockedUntil" FROM "UA_User" WHERE "cUser_Id" = ?1)"), {id});
        if (rows && !rows->isEmpty() && rows->at(0, 0).toString() == lockUntil) {
            check.result = UserCheck::LockedOut;
            check.lockedUntil = fromStamp(lockUntil);
        }
        return check;
    }
    const QString upgraded = oldKind ? platform::db::hashPassword(password) : QString();
    if (upgraded.isEmpty())
        db->execParams(QStringLiteral(R"(UPDATE "UA_User" SET "iFailedLogins" = 0, )"
                                      R"("dLockedUntil" = NULL WHERE "cUser_Id" = ?1)"),
                       {id}, &why);
    else  // unless the password was changed meanwhile
        db->execParams(
            QStringLiteral(R"(UPDATE "UA_User" SET "iFailedLogins" = 0, "dLockedUntil" = NULL, )"
                           R"("cPasswordHash" = CASE WHEN "cPasswordHash" = ?2 THEN ?3 )"
                           R"(ELSE "cPasswordHash" END, "cSalt" = CASE WHEN "cPasswordHash" = )"
                           R"(?2 THEN NULL ELSE "cSalt" END WHERE "cUser_Id" = ?1)"),
            {id, stored, upgraded}, &why);
    check.result = UserCheck::Ok;
    check.userId = id;
    check.userName = rows->text(QStringLiteral("cUser_Name"));
    return check;
}

QString refusedLoginText(const UserCheck& check, const QString& language) {
    switch (check.result) {
        case UserCheck::Ok: return {};
        case UserCheck::WrongCredentials:
            return deskText(language, QStringLiteral("Desk.Login.WrongPassword"));
        case UserCheck::LockedOut:
            return deskText(language, QStringLiteral("Desk.Login.LockedOut"),
                            {QString::number(kLockOutFailures),
                             check.lockedUntil.toLocalTime().toString(QStringLiteral("HH:mm:ss"))});
        case UserCheck::Unreadable: break;
    }
    return deskText(language, QStringLiteral("Desk.Login.SystemUnreadable"), {check.error});
}

}  // namespace app
