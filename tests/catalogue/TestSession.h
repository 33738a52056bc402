#pragma once
// A component session on a fresh copy of the demo account, as the entry opens one: the real
// public service (answering questions from a script), the server database service, a login
// and the localised name tables. The session values are cleared again at the end.
#include <gtest/gtest.h>

#include <QString>
#include <ostream>
#include <memory>

#include "host/ILogin.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/ClsCommon.h"
#include "tests/support/TestAccount.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace cattest {

// The login of user "demo" on the copy.
class TestLogin : public host::ILogin {
public:
    TestLogin(const testsupport::TestAccount& account, const QString& language,
              platform::server::ClsCommon* connection);
    QString ZxDbName() const override { return m_dbName; }
    QString cUserId() const override { return QStringLiteral("demo"); }
    QString cUserName() const override { return QStringLiteral("演示管理员"); }
    QString cAcc_id() const override { return QStringLiteral("001"); }
    host::IConnection* ZxCurrentDb() const override;
    QString ZxMetaName() const override { return m_metaName; }
    QString LanguageRegion() const override { return m_language.toLower(); }

private:
    QString m_dbName, m_metaName, m_language;
    platform::server::ClsCommon* m_connection;
};

// Makes the QApplication the widgets need (once per test program).
void ensureApp();

class Session {
public:
    // language: "zh-CN", "zh-TW" or "en-US".
    explicit Session(const QString& language = QStringLiteral("zh-CN"));
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    testsupport::TestAccount account;
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter;
    std::shared_ptr<platform::pub::Pub> pub;
    std::shared_ptr<platform::server::ClsCommon> srv;
    std::shared_ptr<TestLogin> login;

private:
    QString m_error;
};

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.ok()) << session.error().toStdString(); }
    Session session;
};

class EnglishSessionTest : public ::testing::Test {
protected:
    EnglishSessionTest() : session(QStringLiteral("en-US")) {}
    void SetUp() override { ASSERT_TRUE(session.ok()) << session.error().toStdString(); }
    Session session;
};

}  // namespace cattest
