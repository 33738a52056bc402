#pragma once
// A component session on a fresh copy of the demo account, as the entry opens one: the real
// public service (answering questions from a script), the server database service, a login
// and the localised name tables. The session ends with the object.
#include <gtest/gtest.h>

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

#include "host/IHostFactory.h"
#include "host/IWindowHost.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/ClsCommon.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestLogin.h"

namespace testsupport {

// The host's window host in a test: every modal show runs `onModal` (which may drive the
// dialog's widgets and returns its result) instead of blocking; without one it is rejected.
class TestWindowHost : public host::IWindowHost {
public:
    int showModal(QDialog* dialog) override {
        shown << QString::fromLatin1(dialog->metaObject()->className());
        return onModal ? onModal(dialog) : int(QDialog::Rejected);
    }
    void message(const QString& text, const QString& title) override {
        messages << text + QLatin1Char('|') + title;
    }

    std::function<int(QDialog*)> onModal;
    QStringList shown;     // the class name of every dialog shown
    QStringList messages;  // "text|title"
};

// The host's factory in a test: the session's services, the window host above and the real
// plug-in manager (plug-ins in the build's plug-in folder) and filter component.
class TestHostFactory : public host::IHostFactory {
public:
    std::shared_ptr<host::IPub> createPub() override { return pub; }
    // A new service, as the host makes one (the component opens the metadata database on it).
    std::shared_ptr<host::IClsCommon> createSrvDB() override {
        return std::make_shared<platform::server::ClsCommon>();
    }
    std::shared_ptr<host::IColSet> createColSet() override { return nullptr; }
    std::shared_ptr<host::IPlugInManager> createPlugInManager() override;
    // The real filter component, whose dialog goes to `windows`.
    std::shared_ptr<host::IFilterSvr> createFilter() override;
    std::shared_ptr<host::IPackages> createPackages() override;
    host::IWindowHost* windowHost() override { return &windows; }

    std::shared_ptr<host::IPub> pub;
    TestWindowHost windows;
};

class TestSession {
public:
    explicit TestSession(const QString& language = QStringLiteral("zh-CN"),
                         TestAccount::Kind kind = TestAccount::Kind::Embedded);
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
    TestHostFactory factory;  // the session's g_Factory
    TestWindowHost& windows = factory.windows;

private:
    QString m_error;
};

class SessionTest : public ::testing::Test {
protected:
    explicit SessionTest(TestAccount::Kind kind = TestAccount::Kind::Embedded)
        : session(QStringLiteral("zh-CN"), kind) {}
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
