#pragma once
// Accounts and users of the system database, and the password check.
#include <QDateTime>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

namespace platform::db {
class Connection;
}

namespace app {

struct AccountInfo {
    QString id;
    QString name;
};

// The accounts of zxsystem.ua_account by id, and the server accounts whose entries the data root
// holds (named as their server names them); empty with a reason in error when unreadable.
QVector<AccountInfo> listAccounts(const QString& root, QString* error);

// The system database that keeps the users of an account: the server's system schema (as the
// connection's only schema) for an account whose entry names a server, else zxsystem.db of the
// data root, also when no account is given. Null with the reason (the missing file) in error.
std::unique_ptr<platform::db::Connection> openSystem(const QString& root, const QString& accountId,
                                                     QString* error);

// This many wrong passwords in a row lock a user out for kLockOutMinutes.
inline constexpr int kLockOutFailures = 5;
inline constexpr int kLockOutMinutes = 5;

// The clock of the lock-out (UTC); null restores the system's. Tests move it.
void setLoginClock(std::function<QDateTime()> clock);

struct UserCheck {
    enum Result { Ok, WrongCredentials, LockedOut, Unreadable };
    Result result = Unreadable;
    QString userId;  // as stored
    QString userName;
    QDateTime lockedUntil;  // UTC, when LockedOut
    QString error;          // the reason when Unreadable
};

// Checks a user and password against zxsystem.UA_User: the server's for a server account, else
// the data root's. An unknown user and a wrong password
// answer alike and take as long. A wrong password counts against the user; the count's
// kLockOutFailures-th locks the user out (LockedOut, then no password is tried till the lock
// ends); a right one clears the count and replaces a hash of the old kind with argon2id.
UserCheck checkUser(const QString& root, const QString& userId, const QString& password,
                    const QString& accountId = {});

// Why a login was refused, in "zh-CN", "zh-TW" or "en-US".
QString refusedLoginText(const UserCheck& check, const QString& language);

}  // namespace app
