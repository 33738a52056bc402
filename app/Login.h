#pragma once
// The login object of the desk's user: account, user, language and an open connection on the
// account database.
#include <memory>

#include "host/ILogin.h"

namespace app {

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

private:
    Login() = default;
    QString m_dbName, m_metaName, m_userId, m_userName, m_accountId, m_language;
    std::unique_ptr<host::IConnection> m_connection;
};

}  // namespace app
