#pragma once
// A component session on a fresh copy of the demo account, as the entry opens one: the real
// public service (answering questions from a script), the server database service, a login
// and the localised name tables. The session ends with the object.
//
//   TEST_F(SessionTest, Something) { catalogue::FrmUserDef w(false); … session.prompter … }
#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <ostream>

#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/ClsCommon.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestLogin.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace testsupport {

class TestSession {
public:
    // language: "zh-CN", "zh-TW" or "en-US".
    explicit TestSession(const QString& language = QStringLiteral("zh-CN"));
    ~TestSession();
    TestSession(const TestSession&) = delete;
    TestSession& operator=(const TestSession&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    TestAccount account;
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
    TestSession session;
};

class EnglishSessionTest : public ::testing::Test {
protected:
    EnglishSessionTest() : session(QStringLiteral("en-US")) {}
    void SetUp() override { ASSERT_TRUE(session.ok()) << session.error().toStdString(); }
    TestSession session;
};

}  // namespace testsupport
