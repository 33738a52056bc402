#pragma once
// Accounts and users of the system database, and the password check.
#include <QString>
#include <QVector>

namespace app {

struct AccountInfo {
    QString id;
    QString name;
};

// The accounts of zxsystem.ua_account by id; empty with a reason in error when unreadable.
QVector<AccountInfo> listAccounts(const QString& root, QString* error);

// Lower-case hex SHA-256 of the UTF-8 of salt + password.
QString passwordHash(const QString& salt, const QString& password);

struct UserCheck {
    enum Result { Ok, WrongCredentials, Unreadable };
    Result result = Unreadable;
    QString userId;  // as stored
    QString userName;
    QString error;  // the reason when Unreadable
};

// Checks a user and password against zxsystem.UA_User. An unknown user and a wrong password
// answer alike.
UserCheck checkUser(const QString& root, const QString& userId, const QString& password);

}  // namespace app
