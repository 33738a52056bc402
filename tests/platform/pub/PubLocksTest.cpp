// Function locks on a copy of the demo account: rules, release, re-entry, sessions and processes.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QProcess>
#include <csignal>

#include "tests/support/TestLogin.h"
#include "platform/db/Database.h"
#include "platform/pub/FunctionLocks.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"

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
    int lockRows() {
        auto rs = account.db().query("SELECT count(*) FROM zx_FunctionLock");
        return rs ? rs->at(0, 0).toInt() : -1;
    }
};

}  // namespace

TEST_F(PubLocks, TwoAdministratorsShareTheCatalogueButNotAdding) {
    auto a = admin();
    auto b = admin();
    EXPECT_FALSE(a->lock("UserDef", 1));
    EXPECT_FALSE(b->lock("UserDef", 1));
    EXPECT_FALSE(a->lock("UserDef", 11));
    EXPECT_TRUE(b->lock("UserDef", 11));
    // The refused administrator is told who holds it; the holder is asked nothing.
    ASSERT_EQ(b->prompter->asked().size(), 1);
    EXPECT_TRUE(b->prompter->asked()[0].text.startsWith("\"UserDef\" is in use by user"));
    EXPECT_TRUE(a->prompter->asked().isEmpty());

    EXPECT_FALSE(a->lock("UserDef", -11));
    EXPECT_FALSE(b->lock("UserDef", 11));
    // Adding is per function: another function is free.
    EXPECT_FALSE(a->lock("UserDefine", 11));
}

TEST_F(PubLocks, RecordLocksAreExclusivePerRecord) {
    auto a = admin();
    auto b = admin();
    EXPECT_FALSE(a->lock("UserDef", 20, "22"));
    EXPECT_TRUE(b->lock("UserDef", 2, "22"));   // editing the same item
    EXPECT_TRUE(b->lock("UserDef", 8, "22"));   // deleting it
    EXPECT_FALSE(b->lock("UserDef", 2, "23"));  // another item
    EXPECT_TRUE(a->lock("UserDef", 8));         // without a key: every record of the function
    EXPECT_TRUE(b->lock("UserDefine", 1) == false);

    // "UserDefine": 1 shared, 2 exclusive per item.
    EXPECT_FALSE(a->lock("UserDefine", 1, "22"));
    EXPECT_FALSE(a->lock("UserDefine", 2, "22"));
    EXPECT_TRUE(b->lock("UserDefine", 2, "22"));
    EXPECT_FALSE(b->lock("UserDefine", 2, "30"));
}

TEST_F(PubLocks, ASessionMayRetakeItsOwnLocks) {
    auto a = admin();
    EXPECT_FALSE(a->lock("UserDef", 11));
    EXPECT_FALSE(a->lock("UserDef", 11));
    EXPECT_FALSE(a->lock("UserDef", 20, "22"));
    EXPECT_FALSE(a->lock("UserDef", 2, "22"));
    EXPECT_EQ(a->pub->locks().heldCount(), 3);
}

TEST_F(PubLocks, NegativeModesReleaseAndMinusTwoReleasesBothEditModes) {
    auto a = admin();
    auto b = admin();
    a->lock("UserDef", 1);
    a->lock("UserDef", 20, "22");
    a->lock("UserDef", 2, "23");
    a->lock("SaleType", 2);
    EXPECT_FALSE(a->lock("UserDef", -2));
    EXPECT_FALSE(b->lock("UserDef", 2, "22"));
    EXPECT_FALSE(b->lock("UserDef", 20, "23"));
    EXPECT_TRUE(b->lock("SaleType", 2));  // another function is untouched
    EXPECT_EQ(a->pub->locks().heldCount(), 2);
    // Releasing what is not held is harmless.
    EXPECT_FALSE(a->lock("FrmMakeVouchSet", -2));
}

TEST_F(PubLocks, AnEndedSessionReleasesEverything) {
    auto a = admin();
    auto b = admin();
    a->lock("UserDef", 1);
    a->lock("UserDef", 11);
    a->pub.reset();
    EXPECT_EQ(lockRows(), 0);
    EXPECT_FALSE(b->lock("UserDef", 11));
}

TEST_F(PubLocks, LocksWithoutHeartbeatGoStale) {
    auto b = admin();
    // A session on another machine that stopped beating 2 minutes ago.
    ASSERT_TRUE(account.db().execParams(
        "INSERT INTO zx_FunctionLock VALUES ('UserDef', 11, '', 'gone', 'admin2', 'far-host', 1, "
        "datetime('now', '-120 seconds'))",
        {}));
    ASSERT_TRUE(account.db().execParams(
        "INSERT INTO zx_FunctionLock VALUES ('UserDef', 20, '22', 'alive', 'admin2', 'far-host', 1, "
        "datetime('now'))",
        {}));
    EXPECT_FALSE(b->lock("UserDef", 11));
    EXPECT_TRUE(b->lock("UserDef", 20, "22"));  // still beating: held

    // The session's heartbeat keeps its own locks fresh; without it they go stale.
    auto a = admin();
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

TEST_F(PubLocks, HeartbeatOnABusyDatabaseIsSkippedAtOnce) {
    auto a = admin();
    auto b = admin();
    EXPECT_FALSE(a->lock("UserDef", 11));
    // Another connection is in the middle of writing the account database.
    ASSERT_TRUE(account.db().exec("BEGIN IMMEDIATE"));
    QElapsedTimer waited;
    waited.start();
    EXPECT_FALSE(a->pub->locks().heartbeat());
    // The beat gave up instead of waiting out the busy timeout.
    EXPECT_LT(waited.elapsed(), platform::db::Database::kBusyTimeoutMs / 2);
    ASSERT_TRUE(account.db().exec("ROLLBACK"));

    EXPECT_TRUE(a->pub->locks().heartbeat());
    EXPECT_EQ(a->pub->locks().heldCount(), 1);
    EXPECT_TRUE(b->lock("UserDef", 11));
}

TEST_F(PubLocks, LockThatCannotBeCheckedIsRefusedWithTheReason) {
    // The lock table has become something that cannot take rows.
    ASSERT_TRUE(account.db().exec(
        "DROP TABLE zx_FunctionLock; CREATE VIEW zx_FunctionLock AS SELECT 'x' AS cFunction, "
        "1 AS iMode, '' AS cRecordKey, 's' AS cSessionId, 'u' AS cUserId, 'h' AS cHost, "
        "0 AS iPid, datetime('now') AS dHeartbeat WHERE 0"));
    auto a = admin();
    EXPECT_TRUE(a->lock("UserDef", 11));
    ASSERT_EQ(a->prompter->asked().size(), 1);
    EXPECT_TRUE(a->prompter->asked()[0].text.startsWith("The lock of \"UserDef\" cannot be checked"));
    EXPECT_EQ(a->prompter->asked()[0].buttons, 48);
    // Releasing never refuses.
    EXPECT_FALSE(a->lock("UserDef", -11));
    EXPECT_EQ(a->prompter->asked().size(), 1);
}

TEST_F(PubLocks, LocksReachTheDatabaseThroughTheLoginToo) {
    auto a = admin();
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    testsupport::TestLogin login(account.connectionText(), "admin2", "zh-CN");
    EXPECT_FALSE(pub.IsLockFun(nullptr, &login, "UserDef", 11));
    EXPECT_TRUE(a->lock("UserDef", 11));
    EXPECT_TRUE(a->prompter->asked()[0].text.contains("admin2"));

    // Without any way to the account database a lock cannot be granted; a release is harmless.
    EXPECT_TRUE(pub.IsLockFun(nullptr, nullptr, "UserDef", 11));
    EXPECT_FALSE(pub.IsLockFun(nullptr, nullptr, "UserDef", -11));
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
