#include "app/Users.h"

#include <QTimeZone>

#include "app/Credentials.h"
#include "app/DeskTexts.h"
#include "platform/db/Connection.h"
#include "platform/db/UserTable.h"

namespace app {

namespace {

using platform::db::Connection;

UserResult refuse(const char* key, const QStringList& values = {}) {
    return {QString::fromLatin1(key), values};
}

// The account's system database with the user table current; null with the refusal when it
// cannot be. Statements spell the names as the table does: a server's are exact.
std::unique_ptr<Connection> openUsers(const QString& root, const QString& accountId,
                                      UserResult* result) {
    QString why;
    std::unique_ptr<Connection> db = openSystem(root, accountId, &why);
    if (db && !platform::db::ensureUserTable(*db, &why)) db.reset();
    if (!db && result) *result = refuse("Desk.Users.Failed", {why});
    return db;
}

bool validId(const QString& id) {
    if (id.isEmpty() || id.size() > 20) return false;
    for (const QChar c : id)
        if (!c.isLetterOrNumber() && !QStringLiteral("_-.@").contains(c)) return false;
    return true;
}

bool validName(const QString& name) {
    if (name.size() > 40) return false;
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control) return false;
    return true;
}

UserResult checkPassword(const QString& password) {
    return password.size() < kMinPasswordLength
               ? refuse("Desk.Users.ShortPassword", {QString::number(kMinPasswordLength)})
               : UserResult{};
}

// The stored id of a user, or empty when there is none.
QString storedId(Connection& db, const QString& id) {
    const host::RecordSetPtr rows =
        db.query(QStringLiteral(R"(SELECT "cUser_Id" FROM "UA_User" WHERE "cUser_Id" = ?1)"), {id});
    return rows && !rows->isEmpty() ? rows->at(0, 0).toString() : QString();
}

UserResult failed(const QString& why) { return refuse("Desk.Users.Failed", {why}); }

}  // namespace

QString userResultText(const UserResult& result, const QString& language) {
    return result.ok() ? QString() : deskText(language, result.key, result.values);
}

QVector<UserInfo> listUsers(const QString& root, const QString& accountId, UserResult* result) {
    QVector<UserInfo> users;
    auto db = openUsers(root, accountId, result);
    if (!db) return users;
    QString why;
    const host::RecordSetPtr rows =
        db->query(QStringLiteral(R"(SELECT "cUser_Id", "cUser_Name", "bDefAdmin", "dLockedUntil" )"
                                 R"(FROM "UA_User" ORDER BY "cUser_Id")"),
                  {}, &why);
    if (!rows) {
        if (result) *result = failed(why);
        return users;
    }
    for (int r = 0; r < rows->recordCount(); ++r) {
        QDateTime until =
            QDateTime::fromString(rows->at(r, 3).toString(), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        until.setTimeZone(QTimeZone::utc());
        users.push_back({rows->at(r, 0).toString(), rows->at(r, 1).toString(),
                         rows->at(r, 2).toInt() != 0, until});
    }
    return users;
}

UserResult addUser(const QString& root, const QString& accountId, const QString& id,
                   const QString& name, const QString& password, bool admin) {
    if (!validId(id)) return refuse("Desk.Users.BadId", {id});
    if (!validName(name)) return refuse("Desk.Users.BadName");
    if (UserResult r = checkPassword(password); !r.ok()) return r;
    UserResult result;
    auto db = openUsers(root, accountId, &result);
    if (!db) return result;
    if (!storedId(*db, id).isEmpty()) return refuse("Desk.Users.Exists", {id});
    const QString hash = platform::db::hashPassword(password);
    QString why;
    if (hash.isEmpty()) return failed(QStringLiteral("out of memory"));
    if (!db->execParams(QStringLiteral(R"(INSERT INTO "UA_User"("cUser_Id", "cUser_Name", )"
                                       R"("cPasswordHash", "bDefAdmin") VALUES (?1, ?2, ?3, ?4))"),
                        {id, name, hash, admin ? 1 : 0}, &why))
        return storedId(*db, id).isEmpty() ? failed(why) : refuse("Desk.Users.Exists", {id});
    return {};
}

UserResult changePassword(const QString& root, const QString& accountId, const QString& id,
                          const QString& password) {
    if (UserResult r = checkPassword(password); !r.ok()) return r;
    UserResult result;
    auto db = openUsers(root, accountId, &result);
    if (!db) return result;
    const QString hash = platform::db::hashPassword(password);
    if (hash.isEmpty()) return failed(QStringLiteral("out of memory"));
    QString why;
    if (!db->execParams(
            QStringLiteral(R"(UPDATE "UA_User" SET "cPasswordHash" = ?2, "cSalt" = NULL, )"
                           R"("iFailedLogins" = 0, "dLockedUntil" = NULL )"
                           R"(WHERE "cUser_Id" = ?1)"),
            {id, hash}, &why))
        return failed(why);
    return db->changes() == 1 ? UserResult{} : refuse("Desk.Users.Unknown", {id});
}

UserResult removeUser(const QString& root, const QString& accountId, const QString& id,
                      const QString& actingUser) {
    UserResult result;
    auto db = openUsers(root, accountId, &result);
    if (!db) return result;
    QString why;
    platform::db::Transaction t(*db, &why);  // the administrators it reads stay so till commit
    if (!t.ok() || !db->awaitWriteTurn(&why)) return failed(why);
    const QString stored = storedId(*db, id);
    if (stored.isEmpty()) return refuse("Desk.Users.Unknown", {id});
    if (!actingUser.isEmpty() && stored.compare(actingUser, Qt::CaseInsensitive) == 0)
        return refuse("Desk.Users.Self", {stored});
    const host::RecordSetPtr admins = db->query(
        QStringLiteral(R"(SELECT "cUser_Id" FROM "UA_User" WHERE "bDefAdmin" = ?1)"), {1}, &why);
    if (!admins) return failed(why);
    if (admins->recordCount() == 1 && admins->textAt(0, 0) == stored)
        return refuse("Desk.Users.LastAdmin", {stored});
    if (!db->execParams(QStringLiteral(R"(DELETE FROM "UA_User" WHERE "cUser_Id" = ?1)"), {stored},
                        &why) ||
        !t.commit(&why))
        return failed(why);
    return {};
}

bool isDefinitionAdmin(const QString& root, const QString& accountId, const QString& id) {
    auto db = openUsers(root, accountId, nullptr);
    const host::RecordSetPtr rows =
        db ? db->query(QStringLiteral(R"(SELECT "bDefAdmin" FROM "UA_User" WHERE "cUser_Id" = ?1)"),
                       {id})
           : nullptr;
    return rows && !rows->isEmpty() && rows->at(0, 0).toInt() != 0;
}

}  // namespace app
