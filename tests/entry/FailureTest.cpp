// Each way the session can fail to start: its own message, and nothing opened.
#include "tests/entry/EntryFixture.h"

using namespace entrytest;
using namespace userdef;

namespace {

class EntryFailureTest : public EntryTest {
protected:
    // Runs the portal call; true when nothing was opened.
    bool openedNothing(IUserDef& userDef) {
        userDef.setBusiness(business);
        userDef.ILoginable_CallFunction(QString(), QString(), QString(), QString());
        userDef.Show(business->login, QStringLiteral("<Para classcode='1001'/>"));
        return business->shown.isEmpty() && business->envKeys.isEmpty() &&
               factory.host.modals.isEmpty() && !userDef.catalogue() && userDefLocks() == 0;
    }
    QStringList texts() const { return factory.prompter->askedTexts(); }
    QString res(const char* key) const {
        platform::pub::Pub pub(nullptr, QStringLiteral("en-us"));
        return pub.GetResString(QString::fromLatin1(key));
    }
};

}  // namespace

TEST_F(EntryFailureTest, NoPublicServiceSaysSoThroughTheWindowHost) {
    factory.failPub = true;
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    EXPECT_EQ(factory.host.messages,
              QStringList(2, QStringLiteral("not find q9pub.dll|Information")));
    EXPECT_FALSE(g_Pub || g_Login || g_SrvDB);
}

TEST_F(EntryFailureTest, NameTablesThatCannotBeFilledShowTheirOwnMessage) {
    factory.failNameTables = true;
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    ASSERT_EQ(texts().size(), 2);
    EXPECT_EQ(texts().first(), QStringLiteral("Common_InitAccresource file damaged"));
    EXPECT_EQ(factory.prompter->last()->buttons, 64);
    EXPECT_FALSE(g_Login);
}

TEST_F(EntryFailureTest, NoLoginObject) {
    business->login.reset();
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    EXPECT_EQ(texts(), QStringList(2, res("Q9.AA.ARCHIVE.COMMON.nologin")));
    EXPECT_FALSE(g_Login);
    EXPECT_FALSE(g_SrvDB);

    // A portal call before the portal handed its business object over: no login either.
    g_Business.reset();
    IUserDef early;
    early.ShowModeless(QString(), QString(), QString(), QString());
    EXPECT_EQ(texts().size(), 3);
    EXPECT_EQ(texts().last(), res("Q9.AA.ARCHIVE.COMMON.nologin"));
    EXPECT_FALSE(early.catalogue());
}

TEST_F(EntryFailureTest, NoServerDatabaseService) {
    factory.failSrvDB = true;
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    EXPECT_EQ(texts(), QStringList(2, res("Q9.AA.ARCHIVE.COMMON.loadsrvdbfail")));
    EXPECT_FALSE(g_SrvDB);
    EXPECT_TRUE(g_Login);
}

TEST_F(EntryFailureTest, DatabaseThatCannotBeReached) {
    login->setZxDbName(QStringLiteral("Data Source=%1/nowhere/ZxData_001.db;"
                                      "Initial Catalog=ZxData_001;Account=001")
                           .arg(root));
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    EXPECT_EQ(texts(), QStringList(2, res("Q9.AA.ARCHIVE.COMMON.dbconnectfail")));
    ASSERT_TRUE(g_SrvDB);  // kept, with its failed status
    EXPECT_FALSE(g_SrvDB->Status());
    EXPECT_FALSE(g_ColSet);
}

TEST_F(EntryFailureTest, NoColumnSettingService) {
    factory.failColSet = true;
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    EXPECT_EQ(texts(), QStringList(2, res("Q9.AA.ARCHIVE.COMMON.loadrowauthsvrfail")));
    EXPECT_FALSE(g_ColSet);
}

TEST_F(EntryFailureTest, CatalogueLockedByAnotherClientRefusesWithoutAMessage) {
    factory.lockHeldElsewhere = true;
    IUserDef userDef;
    EXPECT_TRUE(openedNothing(userDef));
    EXPECT_TRUE(texts().isEmpty());
    EXPECT_TRUE(factory.host.messages.isEmpty());
    // Refused twice, and never released by the refused calls.
    ASSERT_TRUE(factory.lastPub);
    EXPECT_EQ(factory.lastPub->lockCalls, QStringList(2, QStringLiteral("UserDef 1")));
}
