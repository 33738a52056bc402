#pragma once
// The login object of the desk's user: account, user, language and an open connection on the
// account database.
#include <QObject>
#include <functional>
#include <memory>

#include "host/ILogin.h"

namespace platform::db {
struct FileCheck;
}

namespace app {

// The message that refuses a login to an account whose file is not sound, in the language
// ("zh-CN", "zh-TW", "en-US"): which account and file, what is wrong, what to do.
QString refusalText(const platform::db::FileCheck& check, const QString& accountId,
                    const QString& language);

// Accounts from this size on are checked beside the open session (checkAccountInBackground)
// instead of before it.
inline constexpr qint64 kBackgroundCheckBytes = 256LL << 20;

// SQLite's quick check of the account's two databases; empty when both are sound, else the
// refusal. Run before Login::open. A large account passes here and is checked in the background.
QString checkAccountAtLogin(const QString& root, const QString& accountId,
                            const QString& language);

// For a large account: runs the quick check on a thread of its own, holding the account's
// write lock meanwhile, and calls done on receiver's thread with the refusal (empty when
// sound). Does nothing for a small account, which the login has checked.
void checkAccountInBackground(const QString& root, const QString& accountId,
                              const QString& language, QObject* receiver,
                              std::function<void(const QString& refusal)> done);

class Login : public host::ILogin {
public:
    // Opens the account's database for a user already checked; null with a reason in error when
    // the account's files cannot be opened. language: "zh-CN", "zh-TW" or "en-US".
    static std::shared_ptr<Login> open(const QString& root, const QString& accountId,
                                       const QString& userId, const QString& userName,
                                       const QString& language, QString* error);
    ~Login() override;

    QString ZxDbName() const override { return m_dbName; }
    QString cUserId() const override { return m_userId; }
    QString cUserName() const override { return m_userName; }
    QString cAcc_id() const override { return m_accountId; }
    host::IConnection* ZxCurrentDb() const override;
    QString ZxMetaName() const override { return m_metaName; }
    QString LanguageRegion() const override { return m_language.toLower(); }
    QString language() const { return m_language; }  // "zh-CN", "zh-TW" or "en-US"
    QString root() const { return m_root; }          // the data root of the account

private:
    Login() = default;
    QString m_root, m_dbName, m_metaName, m_userId, m_userName, m_accountId, m_language;
    std::unique_ptr<host::IConnection> m_connection;
};

}  // namespace app
