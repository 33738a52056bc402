// The snapshot and the fault loop other tests rely on: a change anywhere in the account is seen
// and named, and a write that leaves a trace when it fails does not pass.
#include <gtest/gtest.h>

#include "tests/support/DbSnapshot.h"
#include "tests/support/TestAccount.h"

namespace {

using namespace testsupport;

const QString kValueDocument = QStringLiteral("<Userdefine><cId>20</cId><cValue>%1</cValue></Userdefine>");

TEST_F(AccountTest, TheSnapshotSeesAChangeInEveryDatabaseAndNamesIt) {
    const DbSnapshot before = DbSnapshot::take(account.db());
    ASSERT_TRUE(before.integrityOk()) << before.problems.join(';').toStdString();
    ASSERT_GT(before.rowCount(), 0);
    const QList<std::pair<const char*, const char*>> changes = {
        {"UPDATE Userdefine SET cAlias = 'x' WHERE rowid = (SELECT max(rowid) FROM Userdefine)",
         "main.Userdefine"},
        {"UPDATE zxsystem.UA_User SET cUser_Name = NULL", "zxsystem.UA_User"},
        {"DELETE FROM ZxMeta_001.zx_RowVersion", "ZxMeta_001.zx_RowVersion"},
        {"CREATE INDEX ZxMeta_001.extra ON zx_SchemaVersion(iVersion)", "extra"},
    };
    for (const auto& [sql, named] : changes) {
        TestAccount fresh;
        ASSERT_TRUE(fresh.db().exec(QString::fromUtf8(sql))) << sql;
        const DbSnapshot after = DbSnapshot::take(fresh.db());
        EXPECT_NE(after, before) << sql;
        const ::testing::AssertionResult same = sameAs(before, after);
        EXPECT_FALSE(same) << sql;
        EXPECT_NE(std::string(same.message()).find(named), std::string::npos) << same.message();
    }
    EXPECT_TRUE(sameAs(before, account.db()));
}

TEST_F(AccountTest, TheFaultLoopPassesAnAtomicWriteAndCatchesOneThatLeavesATrace) {
    int failures = 0;
    EXPECT_TRUE(failAtEachStatement(
        account, [&](QString* e) { return account.srv().Add(kValueDocument.arg("new"), "Userdefine", e); },
        &failures));
    EXPECT_GT(failures, 1);
    EXPECT_EQ(account.db().query("SELECT count(*) FROM Userdefine WHERE cValue = 'new'")->value(0), 1);

    // Half of the write outside the server's transaction stays behind at the first failure.
    const ::testing::AssertionResult leaky = failAtEachStatement(account, [&](QString* e) {
        account.db().exec("INSERT INTO Userdefine(cId, cValue) VALUES ('20', 'stray')");
        return account.srv().Add(kValueDocument.arg("other"), "Userdefine", e);
    });
    EXPECT_FALSE(leaky);
    EXPECT_NE(std::string(leaky.message()).find("+ '20', 'stray'"), std::string::npos) << leaky.message();

    const ::testing::AssertionResult refused = failAtEachStatement(
        account, [&](QString* e) { return account.srv().Add(kValueDocument.arg("new"), "Userdefine", e); });
    EXPECT_FALSE(refused);
    EXPECT_NE(std::string(refused.message()).find("another reason"), std::string::npos) << refused.message();
}

}  // namespace
