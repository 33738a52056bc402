#include "app/Credentials.h"

#include <QFileInfo>
#include <QHash>
#include <QTimeZone>
#include <algorithm>

#include "app/DeskTexts.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"
#include "platform/db/UserTable.h"

namespace app {

namespace {

std::unique_ptr<platform::db::Database> openSystem(const QString& root, QString* error) {
    const QString path = platform::db::accountFiles(root, QString()).system;
    if (!QFileInfo::exists(path)) {
        *error = path;
        return nullptr;
    }
    return platform::db::Database::open(path, false, error);
}

}  // namespace

namespace {

// The names of the server accounts of the root, each read from its server's zxsystem; an
// account whose server does not answer is listed with a note saying why.
void addServerAccounts(const QString& root, QVector<AccountInfo>* accounts) {
    QHash<QString, QStringList> byServer;  // conninfo → account ids
    for (const QString& id : platform::db::serverAccounts(root))
        byServer[platform::db::serverConninfo(root, id)] << id;
    for (auto it = byServer.cbegin(); it != byServer.cend(); ++it) {
        QString why;
        // A server that does not answer must not hold up the list.
        const auto server =
            platform::db::PgConnection::open(it.key() + QStringLiteral(" connect_timeout=5"), &why);
        const host::RecordSetPtr rows =
            server ? server->query(QStringLiteral("SELECT \"cAcc_Id\", \"cAcc_Name\" FROM "
                                                  "zxsystem.ua_account"),
                                   {}, &why)
                   : nullptr;
        for (const QString& id : it.value()) {
            AccountInfo info{id, QString()};
            for (int r = 0; rows && r < rows->recordCount(); ++r)
                if (rows->at(r, 0).toString().compare(id, Qt::CaseInsensitive) == 0)
                    info.name = rows->at(r, 1).toString();
            if (!rows) info.name = QStringLiteral("(server not reachable: %1)").arg(why);
            accounts->erase(std::remove_if(accounts->begin(), accounts->end(),
                                           [&](const AccountInfo& a) { return a.id == id; }),
                            accounts->end());
            accounts->push_back(info);
        }
    }
    std::sort(accounts->begin(), accounts->end(),
              [](const AccountInfo& a, const AccountInfo& b) { return a.id < b.id; });
}

}  // namespace

QVector<AccountInfo> listAccounts(const QString& root, QString* error) {
    QString reason;
    QVector<AccountInfo> accounts;
    const bool servers = !platform::db::serverAccounts(root).isEmpty();
    auto db = openSystem(root, &reason);
    host::RecordSetPtr rows =
        db ? db->query(QStringLiteral("SELECT cAcc_id, cAcc_Name FROM ua_account ORDER BY cAcc_id"),
                       {}, &reason)
           : nullptr;
    if (!rows && !servers) {
        if (error) *error = reason;
        return accounts;
    }
    for (int r = 0; rows && r < rows->recordCount(); ++r)
        accounts.push_back({rows->at(r, 0).toString(), rows->at(r, 1).toString()});
    addServerAccounts(root, &accounts);
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

UserCheck checkUser(const QString& root, const QString& userId, const QString& password) {
    UserCheck check;
    auto db = openSystem(root, &check.error);
    if (!db || !platform::db::ensureUserTable(*db, &check.error)) return check;
    host::RecordSetPtr rows = db->query(
        QStringLiteral("SELECT cUser_Id, cUser_Name, cSalt, cPasswordHash, dLockedUntil "
                       "FROM UA_User WHERE cUser_Id = ?1"),
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
            QStringLiteral("UPDATE UA_User SET "
                           "dLockedUntil = CASE WHEN iFailedLogins + 1 >= ?2 THEN ?3 END, "
                           "iFailedLogins = CASE WHEN iFailedLogins + 1 >= ?2 THEN 0 "
                           "ELSE iFailedLogins + 1 END WHERE cUser_Id = ?1"),
            {id, kLockOutFailures, lockUntil}, &why);
        rows = db->query(QStringLiteral("SELECT dLockedUntil FROM UA_User WHERE cUser_Id = ?1"),
                         {id});
        if (rows && !rows->isEmpty() && rows->at(0, 0).toString() == lockUntil) {
            check.result = UserCheck::LockedOut;
            check.lockedUntil = fromStamp(lockUntil);
        }
        return check;
    }
    const QString upgraded = oldKind ? platform::db::hashPassword(password) : QString();
    if (upgraded.isEmpty())
        db->execParams(QStringLiteral("UPDATE UA_User SET iFailedLogins = 0, dLockedUntil = NULL "
                                      "WHERE cUser_Id = ?1"),
                       {id}, &why);
    else  // unless the password was changed meanwhile
        db->execParams(QStringLiteral("UPDATE UA_User SET iFailedLogins = 0, dLockedUntil = NULL, "
                                      "cPasswordHash = CASE WHEN cPasswordHash = ?2 THEN ?3 "
                                      "ELSE cPasswordHash END, cSalt = CASE WHEN cPasswordHash = "
                                      "?2 THEN NULL ELSE cSalt END WHERE cUser_Id = ?1"),
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
