#include "app/Credentials.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include "platform/db/Database.h"
#include "platform/db/AccountFiles.h"

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

QVector<AccountInfo> listAccounts(const QString& root, QString* error) {
    QString reason;
    QVector<AccountInfo> accounts;
    auto db = openSystem(root, &reason);
    host::RecordSetPtr rows =
        db ? db->query(QStringLiteral("SELECT cAcc_id, cAcc_Name FROM ua_account ORDER BY cAcc_id"),
                       {}, &reason)
           : nullptr;
    if (!rows) {
        if (error) *error = reason;
        return accounts;
    }
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        accounts.push_back(
            {rows->text(QStringLiteral("cAcc_id")), rows->text(QStringLiteral("cAcc_Name"))});
    return accounts;
}

QString passwordHash(const QString& salt, const QString& password) {
    return QString::fromLatin1(
        QCryptographicHash::hash((salt + password).toUtf8(), QCryptographicHash::Sha256).toHex());
}

UserCheck checkUser(const QString& root, const QString& userId, const QString& password) {
    UserCheck check;
    auto db = openSystem(root, &check.error);
    if (!db) return check;
    host::RecordSetPtr rows =
        db->query(QStringLiteral("SELECT cUser_Id, cUser_Name, cSalt, cPasswordHash FROM UA_User "
                                 "WHERE cUser_Id = ?1"),
                  {userId.trimmed()}, &check.error);
    if (!rows) return check;
    check.error.clear();
    check.result = UserCheck::WrongCredentials;
    if (rows->isEmpty()) return check;
    rows->moveFirst();
    const QString stored = rows->text(QStringLiteral("cPasswordHash")).toLower();
    if (stored.isEmpty() || passwordHash(rows->text(QStringLiteral("cSalt")), password) != stored)
        return check;
    check.result = UserCheck::Ok;
    check.userId = rows->text(QStringLiteral("cUser_Id"));
    check.userName = rows->text(QStringLiteral("cUser_Name"));
    return check;
}

}  // namespace app
