// Function locks on a copy of the demo account: lock rules, staleness,
// sessions and processes.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QProcess>
#include <algorithm>
#include <csignal>

#include "platform/pub/FunctionLocks.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"
#include "tests/support/TestLogin.h"

using namespace platform::pub;

namespace {

class PubLocks : public testsupport::AccountTest {
protected:
    // An administrator's session: its own public service and server service.
    struct Admin {
        std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
        std::unique_ptr<Pub> pub;
        platform::server::ClsCommon srv;
        bool lock(const QString& function, int mode, const QString& key = {}) {
            return pub->IsLockFun(&srv, nullptr, function, mode, false, key);
        }
    };
    std::unique_ptr<Admin> admin() {
        auto a = std::make_unique<Admin>();
        a->pub = std::make_unique<Pub>(a->prompter, "en-us");
        a->srv.init(account.connectionText("en-US"));
        EXPECT_TRUE(a->srv.Status()) << a->srv.lastError().toStdString();
        return a;
    }
};

}  // namespace

TEST_F(PubLocks, SharedExclusivePerRecordRetakenAndReleased) {
    // Steps of two administrators' sessions a and b: function, mode, record key, refused.
    struct Step { char who; const char* function; int mode; const char* key; bool refused; };
    const struct { const char* name; std::vector<Step> steps; int heldByA; } scripts[] = {
        {"the catalogue is shared, adding is not",
         {{'a', "UserDef", 1, "", false}, {'b', "UserDef", 1, "", false},
          {'a', "UserDef", 11, "", false}, {'b', "UserDef", 11, "", true},
          {'a', "UserDef", -11, "", false}, {'b', "UserDef", 11, "", false},
          {'a', "UserDefine", 11, "", false}},  // adding is per function
         2},
        {"record locks are exclusive per record",
         {{'a', "UserDef", 20, "22", false}, {'b', "UserDef", 2, "22", true},
          {'b', "UserDef", 8, "22", true}, {'b', "UserDef", 2, "23", false},
          {'a', "UserDef", 8, "", true},  // without a key: every record of the function
          {'a', "UserDefine", 1, "22", false}, {'a', "UserDefine", 2, "22", false},
          {'b', "UserDefine", 2, "22", true}, {'b', "UserDefine", 2, "30", false}},
         3},
        {"a session retakes its own locks",
         {{'a', "UserDef", 11, "", false}, {'a', "UserDef", 11, "", false},
          {'a', "UserDef", 20, "22", false}, {'a', "UserDef", 2, "22", false}},
         3},
        {"-2 releases both edit modes of the function only",
         {{'a', "UserDef", 1, "", false}, {'a', "UserDef", 20, "22", false},
          {'a', "UserDef", 2, "23", false}, {'a', "SaleType", 2, "", false},
          {'a', "UserDef", -2, "", false}, {'b', "UserDef", 2, "22", false},
          {'b', "UserDef", 20, "23", false}, {'b', "SaleType", 2, "", true},
          {'a', "FrmMakeVouchSet", -2, "", false}},  // releasing what is not held
         2},
    };
    for (const auto& script : scripts) {
        SCOPED_TRACE(script.name);
        auto a = admin(), b = admin();
        for (const Step& s : script.steps)
            EXPECT_EQ((s.who == 'a' ? a : b)->lock(s.function, s.mode, s.key), s.refused)
                << s.who << " " << s.function << " " << s.mode << " " << s.key;
        EXPECT_EQ(a->pub->locks().heldCount(), script.heldByA);
        // A refused administrator is told who holds it; nobody else is asked anything.
        for (const auto& asked : a->prompter->asked() + b->prompter->asked())
            EXPECT_TRUE(asked.text.contains("is in use by user")) << asked.text.toStdString();
        EXPECT_EQ(a->prompter->asked().size() + b->prompter->asked().size(),
                  std::count_if(script.steps.begin(), script.steps.end(),
                                [](const Step& s) { return s.refused; }));
    }
}

TEST_F(PubLocks, LocksWithoutHeartbeatGoStale) {
    auto b = admin();
    // Another machine's session that stopped beating 2 minutes ago, and one still beating.
    ASSERT_TRUE(account.db().exec(
        "INSERT INTO zx_FunctionLock VALUES ('UserDef', 11, '', 'gone', 'admin2', 'far-host', 1, "
        "datetime('now', '-120 seconds')), ('UserDef', 20, '22', 'alive', 'admin2', 'far-host', "
        "1, datetime('now'))"));
    EXPECT_FALSE(b->lock("UserDef", 11));
    EXPECT_TRUE(b->lock("UserDef", 20, "22"));

    auto a = admin();  // its heartbeat keeps its own locks fresh; without it they go stale
    QDateTime now = QDateTime::currentDateTimeUtc();
    for (Admin* admin : {a.get(), b.get()}) {
        admin->pub->locks().setTiming(50, 10);
        admin->pub->locks().setClock([&now] { return now; });
    }
    EXPECT_FALSE(a->lock("UserDefine", 2, "5"));
    now = now.addSecs(8);
    EXPECT_TRUE(a->pub->locks().heartbeat());
    now = now.addSecs(8);
    EXPECT_TRUE(b->lock("UserDefine", 2, "5"));
    now = now.addSecs(3);
    EXPECT_FALSE(b->lock("UserDefine", 2, "5"));
}

TEST_F(PubLocks, LocksGoWithTheSessionAndAnUncheckableLockIsRefusedWithTheReason) {
    auto a = admin();
    auto pub = std::make_unique<Pub>(std::make_shared<ScriptedPrompter>(), "zh-cn");
    testsupport::TestLogin login(account.connectionText(), "admin2", "zh-CN");
    EXPECT_FALSE(pub->IsLockFun(nullptr, &login, "UserDef", 11));
    EXPECT_TRUE(a->lock("UserDef", 11));
    EXPECT_TRUE(a->prompter->last()->text.contains("admin2"));
    pub.reset();  // an ended session releases everything
    EXPECT_EQ(account.db().query("SELECT count(*) FROM zx_FunctionLock")->at(0, 0).toInt(), 0);
    EXPECT_FALSE(a->lock("UserDef", 11));
    ASSERT_FALSE(a->lock("UserDef", -11));

    // The lock table has become something that cannot take rows.
    ASSERT_TRUE(account.db().exec(
        "DROP TABLE zx_FunctionLock; CREATE VIEW zx_FunctionLock AS SELECT 'x' AS cFunction, "
        "1 AS iMode, '' AS cRecordKey, 's' AS cSessionId, 'u' AS cUserId, 'h' AS cHost, "
        "0 AS iPid, datetime('now') AS dHeartbeat WHERE 0"));
    a->prompter->clear();
    EXPECT_TRUE(a->lock("UserDef", 11));
    ASSERT_EQ(a->prompter->asked().size(), 1);
    EXPECT_TRUE(a->prompter->last()->text.startsWith("The lock of \"UserDef\" cannot be checked"));
    EXPECT_EQ(a->prompter->last()->buttons, 48);
    EXPECT_FALSE(a->lock("UserDef", -11));  // releasing never refuses
    EXPECT_EQ(a->prompter->asked().size(), 1);
}

TEST_F(PubLocks, AnotherProcessHoldsTheLockUntilItIsKilled) {
    auto a = admin();
    QProcess helper;
    helper.start(USERDEF_LOCK_HELPER, {account.connectionText(), "UserDef", "11"});
    ASSERT_TRUE(helper.waitForStarted(5000));
    ASSERT_TRUE(helper.waitForReadyRead(10000));
    EXPECT_EQ(helper.readLine().trimmed(), "locked");
    EXPECT_TRUE(a->lock("UserDef", 11));
    EXPECT_TRUE(a->prompter->last()->text.contains("helper"));
    ::kill(pid_t(helper.processId()), SIGKILL);
    ASSERT_TRUE(helper.waitForFinished(5000));
    EXPECT_FALSE(a->lock("UserDef", 11));  // reclaimed: its process is gone
}
