#pragma once
// The entry's tests: a fresh demo account, the support factory's window host and plug-ins with
// the real services made as the host makes them (or refused, one at a time), and a portal
// business object that records what it is asked to show.
#include <QDialog>
#include <functional>
#include <stdexcept>

#include "common/Globals.h"
#include "common/Session.h"
#include "entry/IUserDef.h"
#include "entry/ModalFrame.h"
#include "platform/colset/ColSetSvr.h"
#include "tests/support/TestSession.h"

namespace entrytest {

using testsupport::TestLogin;

// The real public service, which can be told to fail while the name tables are filled or to
// find the lock held by another client.
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
    bool failNameTables = false, lockHeldElsewhere = false;
    QStringList lockCalls;
};

class EntryHostFactory : public testsupport::TestHostFactory {
public:
    std::shared_ptr<host::IPub> createPub() override {
        ++pubsMade;
        if (failPub) return nullptr;
        lastPub = std::make_shared<TestPub>(prompter, QStringLiteral("en-us"));
        lastPub->failNameTables = failNameTables;
        lastPub->lockHeldElsewhere = lockHeldElsewhere;
        return lastPub;
    }
    std::shared_ptr<host::IClsCommon> createSrvDB() override {
        return failSrvDB ? nullptr : TestHostFactory::createSrvDB();
    }
    std::shared_ptr<host::IColSet> createColSet() override {
        if (failColSet) return nullptr;
        return std::make_shared<platform::colset::ColSetSvr>();
    }

    bool failPub = false, failNameTables = false, failSrvDB = false, failColSet = false;
    bool lockHeldElsewhere = false;
    std::shared_ptr<TestPub> lastPub;
    int pubsMade = 0;
    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
};

class RecordingBusiness : public host::IBusiness {
public:
    explicit RecordingBusiness(std::shared_ptr<host::ILogin> login) : login(std::move(login)) {}
    std::shared_ptr<host::ILogin> GetVBclsLogin() override { return login; }
    QString CreateFormEnv(const QString& windowKey, QWidget*) override { return windowKey; }
    void ShowForm(QWidget* window, const QString&, const QString&, bool modal, bool,
                  const QString&) override {
        shown << window;
        shownModal = modal;
        hosted.emplace_back(window);  // the portal owns what it shows
    }
    std::shared_ptr<host::ILogin> login;
    QList<QWidget*> shown;
    bool shownModal = false;
    std::vector<std::unique_ptr<QWidget>> hosted;
};

class EntryTest : public ::testing::Test {
protected:
    // What a modal run of the catalogue showed: whether it thought itself in the portal, the
    // class code it was to preselect.
    struct Modal {
        bool inPortal = true;
        QString classCode;
    };

    void SetUp() override {
        ASSERT_TRUE(account.ok()) << account.error().toStdString();
        login = std::make_shared<TestLogin>(account, QStringLiteral("en-US"));
        business = std::make_shared<RecordingBusiness>(login);
        userdef::Session::current().reset();
        userdef::g_Factory = &factory;
        factory.windows.onModal = [this](QDialog* dialog) {
            auto* frame = qobject_cast<userdef::ModalFrame*>(dialog);
            auto* window = dynamic_cast<userdef::CatalogueWindow*>(frame ? frame->content() : nullptr);
            modals.push_back(window ? Modal{window->m_InPotal, window->pendingClassCode()} : Modal{});
            if (onModal) onModal();
            return int(QDialog::Accepted);
        };
    }
    void TearDown() override {
        userdef::Session::current().reset();
        userdef::g_Factory = nullptr;
    }
    // Rows of the function lock table for "UserDef", as every client of the account sees them.
    int userDefLocks() {
        return account.db()
            .query(QStringLiteral("SELECT count(*) FROM zx_FunctionLock WHERE cFunction = 'UserDef'"))
            ->at(0, 0)
            .toInt();
    }

    testsupport::TestAccount account;
    EntryHostFactory factory;
    std::shared_ptr<TestLogin> login;
    std::shared_ptr<RecordingBusiness> business;
    QVector<Modal> modals;
    std::function<void()> onModal;
};

}  // namespace entrytest
