// Print styles are kept per print key in the account database.
#include <gtest/gtest.h>

#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestAccount.h"

using namespace platform::pub;

class PubPrintStyle : public testsupport::AccountTest {};

TEST_F(PubPrintStyle, StyleIsStoredPerKeyAndReplaced) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    EXPECT_EQ(pub.GetPrnStyle(&account.srv(), "UserDef"), "");
    const QString style = "<Style orientation='landscape' title=\"It's <ours> & theirs\"/>";
    EXPECT_TRUE(pub.SavePrnStyle(&account.srv(), "UserDef", style));
    EXPECT_TRUE(pub.SavePrnStyle(&account.srv(), "UserDefine", "<Style/>"));
    EXPECT_EQ(pub.GetPrnStyle(&account.srv(), "UserDef"), style);
    EXPECT_TRUE(pub.SavePrnStyle(&account.srv(), "userdef", "<Style v='2'/>"));  // keys ignore case
    EXPECT_EQ(pub.GetPrnStyle(&account.srv(), "UserDef"), "<Style v='2'/>");
    EXPECT_EQ(pub.GetPrnStyle(&account.srv(), "UserDefine"), "<Style/>");

    // Another session sees it.
    Pub other(std::make_shared<ScriptedPrompter>(), "en-us");
    EXPECT_EQ(other.GetPrnStyle(&account.srv(), "UserDef"), "<Style v='2'/>");
}

TEST_F(PubPrintStyle, WithoutADatabaseNothingIsStored) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    EXPECT_FALSE(pub.SavePrnStyle(nullptr, "UserDef", "<Style/>"));
    EXPECT_EQ(pub.GetPrnStyle(nullptr, "UserDef"), "");
}
