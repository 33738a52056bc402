// The helpers must not pass silently: the snapshot sees a changed row and names its table, and the
// fault loop fails a write that leaves a trace when it fails.
#include <gtest/gtest.h>

#include "tests/support/DbSnapshot.h"
#include "tests/support/TestAccount.h"

namespace {

using namespace testsupport;

TEST_F(AccountTest, TheSnapshotAndTheFaultLoopSeeWhatAWriteLeavesBehind) {
    const DbSnapshot before = DbSnapshot::take(account.db());
    ASSERT_TRUE(account.db().exec("DELETE FROM ZxMeta_001.zx_RowVersion"));
    const ::testing::AssertionResult same = sameAs(before, account.db());
    EXPECT_FALSE(same);
    EXPECT_NE(std::string(same.message()).find("ZxMeta_001.zx_RowVersion"), std::string::npos);

    const ::testing::AssertionResult leaky = failAtEachStatement(account, [&](QString* e) {
        account.db().exec("INSERT INTO Userdefine(cId, cValue) VALUES ('20', 'stray')");
        return account.srv().Add("<Userdefine><cId>20</cId><cValue>x</cValue></Userdefine>",
                                 "Userdefine", e);
    });
    EXPECT_FALSE(leaky);
    EXPECT_NE(std::string(leaky.message()).find("'stray'"), std::string::npos) << leaky.message();
}

}  // namespace
