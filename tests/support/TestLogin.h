#pragma once
// The login of a test: a user of the demo account copy, in one language, with the connection
// the host calls the login's current database.
#include <QString>
#include <memory>

#include "host/IConnection.h"
#include "host/ILogin.h"
#include "tests/support/TestAccount.h"

namespace testsupport {

class TestLogin : public host::ILogin {
public:
    // language: "zh-CN", "zh-TW" or "en-US". current: the login's current database; when null
    // the login opens its own connection on the account.
    explicit TestLogin(const TestAccount& account, const QString& language = QStringLiteral("zh-CN"),
                       const QString& user = QStringLiteral("demo"),
                       host::IConnection* current = nullptr);
    // A login on the account database of a connection text, with no metadata database (a
    // helper process that only takes locks).
    TestLogin(const QString& connectionText, const QString& user, const QString& language);
    ~TestLogin() override;

    QString ZxDbName() const override { return m_dbName; }
    // Points the login at another database (one that cannot be reached, say).
    void setZxDbName(const QString& dbName) { m_dbName = dbName; }
    QString cUserId() const override { return m_user; }
    QString cUserName() const override;
    QString cAcc_id() const override { return m_account; }
    host::IConnection* ZxCurrentDb() const override;
    QString ZxMetaName() const override { return m_metaName; }
    QString LanguageRegion() const override { return m_language.toLower(); }

private:
    QString m_account, m_user, m_language, m_dbName, m_metaName;
    host::IConnection* m_current;
    std::unique_ptr<host::IConnection> m_own;
};

}  // namespace testsupport
