// Print styles are kept per print key in the account database.
#include <gtest/gtest.h>

#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"

using namespace platform::pub;

namespace {

class PubPrintStyle : public testsupport::AccountTest {
protected:
    Pub pub{std::make_shared<ScriptedPrompter>(), "zh-cn"};
    Pub later{std::make_shared<ScriptedPrompter>(), "en-us"};  // another session
};

}  // namespace

TEST_F(PubPrintStyle, PrintStyleIsKeptPerKeyAsItStands) {
    EXPECT_EQ(pub.GetPrnStyle(&account.srv(), "UserDef"), "");
    const QString style = "<Style orientation='landscape' title=\"It's <ours> & theirs; --\"/>";
    EXPECT_TRUE(pub.SavePrnStyle(&account.srv(), "UserDef", style));
    EXPECT_TRUE(pub.SavePrnStyle(&account.srv(), "UserDefine", "<Style/>"));
    EXPECT_EQ(later.GetPrnStyle(&account.srv(), "UserDef"), style);
    EXPECT_TRUE(pub.SavePrnStyle(&account.srv(), "userdef", "<Style v='2'/>"));  // keys ignore case
    EXPECT_EQ(later.GetPrnStyle(&account.srv(), "UserDef"), "<Style v='2'/>");
    EXPECT_EQ(later.GetPrnStyle(&account.srv(), "UserDefine"), "<Style/>");
    EXPECT_FALSE(pub.SavePrnStyle(nullptr, "UserDef", "<Style/>"));
}
