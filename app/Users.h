#pragma once
// The users who may log in to an account (UA_User of the system database that keeps them, see
// openSystem): listed, added, given a new password and removed, by the command line and by the
// desk's Users function alike. Every refusal is a text key of
// the desk's texts with its values, shown in the caller's language.
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

namespace app {

struct UserInfo {
    QString id;
    QString name;
    bool admin = false;     // administers the definitions
    QDateTime lockedUntil;  // UTC; invalid when the user is not locked out
};

// What a user command did: empty key on success, else why it was refused.
struct UserResult {
    QString key;
    QStringList values;
    bool ok() const { return key.isEmpty(); }
};

// The result in "zh-CN", "zh-TW" or "en-US".
QString userResultText(const UserResult& result, const QString& language);

// Passwords need this many characters at least.
inline constexpr int kMinPasswordLength = 8;

// Every user by id; a refusal in result when the system database cannot be read.
QVector<UserInfo> listUsers(const QString& root, const QString& accountId, UserResult* result);

// Refused: an id that is not 1 to 20 letters, digits or _ - . @; a name longer than 40
// characters or with control characters; a short password; an id that exists.
UserResult addUser(const QString& root, const QString& accountId, const QString& id,
                   const QString& name, const QString& password, bool admin);
// Stores a new hash and lifts a lock-out.
UserResult changePassword(const QString& root, const QString& accountId, const QString& id,
                          const QString& password);
// Refused for the last administrator of definitions, and for actingUser itself (the desk's).
UserResult removeUser(const QString& root, const QString& accountId, const QString& id,
                      const QString& actingUser = {});

// True when the user administers the definitions.
bool isDefinitionAdmin(const QString& root, const QString& accountId, const QString& id);

}  // namespace app
