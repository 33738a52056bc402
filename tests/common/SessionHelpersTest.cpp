// The session's name tables, filled through the public service.
#include <gtest/gtest.h>

#include "common/Globals.h"
#include "common/InitAcc.h"
#include "common/NameTables.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace userdef;
using platform::pub::ScriptedPrompter;

namespace {

class SessionHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_Pub = std::make_shared<platform::pub::Pub>(prompter, QStringLiteral("en-us"));
    }
    void TearDown() override {
        Session::current().reset();
    }
    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
};

// The public service's text of a key, as InitAcc should have put it.
QString res(const char* key) { return g_Pub->GetResString(QString::fromLatin1(key)); }

}  // namespace

TEST_F(SessionHelpersTest, InitAccFillsTheNameTablesInIndexOrderAndKeepsThemWhenItFails) {
    ASSERT_TRUE(InitAcc());
    EXPECT_EQ(g_YesNo, (QStringList{res("Q9.AA.ARCHIVE.COMMON.no"), res("Q9.AA.ARCHIVE.COMMON.yes")}));
    ASSERT_EQ(g_ClassNames.size(), classKeys().size());
    EXPECT_EQ(g_ClassNames[0], res("Q9.AA.USERDEF.voucherheader"));
    EXPECT_EQ(g_ClassNames[3], res("Q9.AA.ARCHIVE.FIELD.vendorcontactuserdefine"));
    EXPECT_EQ(g_ClassNames[12], res("Q9.AA.ARCHIVE.bank_account"));
    EXPECT_EQ(g_ItemKinds.value(3), res("Q9.AA.ARCHIVE.FIELD.extenduserdefineitem"));
    EXPECT_EQ(g_DataTypes.value(4), res("Q9.AA.USERDEF.datatype_datetime"));
    EXPECT_TRUE(prompter->asked().isEmpty());

    const QStringList before = g_ClassNames;
    g_Pub.reset();
    EXPECT_FALSE(InitAcc());
    EXPECT_EQ(g_ClassNames, before);
}
