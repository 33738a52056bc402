#pragma once
// What the entry's tests run the component against: a fresh demo account, the real public
// service (answering from a script), the real server service, a host factory that can be told
// to fail each creation, a portal business object and a window host that record what they are
// asked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <functional>
#include <memory>
#include <stdexcept>

#include "common/Globals.h"
#include "common/Session.h"
#include "entry/IUserDef.h"
#include "entry/ModalFrame.h"
#include "host/IWindowHost.h"
#include "platform/colset/ColSetSvr.h"
#include "platform/plugins/PlugInManager.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestLogin.h"

namespace entrytest {

using testsupport::TestLogin;

// The real public service, which can be told to fail while the name tables are filled.
class TestPub : public platform::pub::Pub {
public:
    using Pub::Pub;
    QString GetResString(const QString& key) override {
        if (failNameTables && key == QLatin1String("Q9.AA.USERDEF.voucherheader"))
            throw std::runtime_error("resource file damaged");
        return Pub::GetResString(key);
    }
    bool IsLockFun(host::IClsCommon* srv, host::ILogin* login, const QString& function, int mode,
                   bool recordLock, const QString& recordKey) override {
        lockCalls << QStringLiteral("%1 %2").arg(function).arg(mode);
        if (lockHeldElsewhere && function == QLatin1String("UserDef") && mode > 0) return true;
        return Pub::IsLockFun(srv, login, function, mode, recordLock, recordKey);
    }
    bool failNameTables = false;
    bool lockHeldElsewhere = false;  // another client's session holds "UserDef"
    QStringList lockCalls;
};

class RecordingWindowHost : public host::IWindowHost {
public:
    struct Modal {
        QString contentName;
        bool inPortal = true;
        QString classCode;
    };
    int showModal(QDialog* dialog) override {
        Modal modal;
        if (auto* frame = qobject_cast<userdef::ModalFrame*>(dialog)) {
            if (auto* window = dynamic_cast<userdef::CatalogueWindow*>(frame->content())) {
                modal.contentName = window->metaObject()->className();
                modal.inPortal = window->m_InPotal;
                modal.classCode = window->pendingClassCode();
            }
        }
        modals.push_back(modal);
        if (onModal) onModal();
        return QDialog::Accepted;
    }
    void message(const QString& text, const QString& title) override {
        messages << text + QLatin1Char('|') + title;
    }
    QVector<Modal> modals;
    QStringList messages;
    std::function<void()> onModal;
};

class TestHostFactory : public host::IHostFactory {
public:
    std::shared_ptr<host::IPub> createPub() override {
        ++pubsMade;
        if (failPub) return nullptr;
        auto pub = std::make_shared<TestPub>(prompter, QStringLiteral("en-us"));
        pub->failNameTables = failNameTables;
        pub->lockHeldElsewhere = lockHeldElsewhere;
        lastPub = pub;
        return pub;
    }
    std::shared_ptr<host::IClsCommon> createSrvDB() override {
        if (failSrvDB) return nullptr;
        return std::make_shared<platform::server::ClsCommon>();
    }
    std::shared_ptr<host::IColSet> createColSet() override {
        if (failColSet) return nullptr;
        return std::make_shared<platform::colset::ColSetSvr>();
    }
    std::shared_ptr<host::IPlugInManager> createPlugInManager() override {
        return std::make_shared<platform::plugins::PlugInManager>();
    }
    host::IWindowHost* windowHost() override { return &host; }

    bool failPub = false, failNameTables = false, failSrvDB = false, failColSet = false;
    bool lockHeldElsewhere = false;
    std::shared_ptr<TestPub> lastPub;
    int pubsMade = 0;
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
    RecordingWindowHost host;
};

class RecordingBusiness : public host::IBusiness {
public:
    struct Shown {
        QWidget* window;
        bool modal;
        QString environment;
    };
    explicit RecordingBusiness(std::shared_ptr<host::ILogin> login) : login(std::move(login)) {}
    std::shared_ptr<host::ILogin> GetVBclsLogin() override { return login; }
    QString CreateFormEnv(const QString& windowKey, QWidget*) override {
        envKeys << windowKey;
        return QStringLiteral("env-%1").arg(envKeys.size());
    }
    void ShowForm(QWidget* window, const QString&, const QString&, bool modal, bool,
                  const QString& environment) override {
        shown.push_back({window, modal, environment});
        hosted.emplace_back(window);  // the portal owns what it shows
    }
    std::shared_ptr<host::ILogin> login;
    QStringList envKeys;
    QVector<Shown> shown;
    std::vector<std::unique_ptr<QWidget>> hosted;
};

class EntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(account.ok()) << account.error().toStdString();
        root = account.dataRoot();
        login = std::make_shared<TestLogin>(account, QStringLiteral("en-US"));
        business = std::make_shared<RecordingBusiness>(login);
        resetSession();
        userdef::g_Factory = &factory;
    }
    void TearDown() override {
        resetSession();
        userdef::g_Factory = nullptr;
    }
    static void resetSession() { userdef::Session::current().reset(); }
    // Rows of the function lock table for "UserDef", as every client of the account sees them.
    int userDefLocks() {
        host::RecordSetPtr rows = account.srv().OpenX(QStringLiteral(
            "select count(*) as n from zx_FunctionLock where cFunction = N'UserDef'"));
        if (!rows) return -1;
        rows->moveFirst();
        return rows->value(0).toInt();
    }

    testsupport::TestAccount account;
    QString root;
    TestHostFactory factory;
    std::shared_ptr<TestLogin> login;
    std::shared_ptr<RecordingBusiness> business;
};

}  // namespace entrytest
