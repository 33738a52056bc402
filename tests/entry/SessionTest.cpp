// Opening the catalogue: in the portal, modally, and the session's services and lock.
#include "tests/entry/EntryFixture.h"

using namespace entrytest;
using namespace userdef;

TEST_F(EntryTest, LoginAndLogOffAnswerTrueAndTouchNothing) {
    IUserDef userDef;
    EXPECT_TRUE(userDef.Login(login));
    EXPECT_TRUE(userDef.Login(nullptr));
    EXPECT_TRUE(userDef.LogOff());
    EXPECT_TRUE(userDef.ILoginable_Login());
    EXPECT_TRUE(userDef.ILoginable_LogOff());
    EXPECT_FALSE(g_Login);
    EXPECT_FALSE(g_Pub);
    EXPECT_EQ(factory.pubsMade, 0);
}

TEST_F(EntryTest, PortalCallHostsTheCatalogueAndKeepsTheSessionOpen) {
    IUserDef userDef;
    userDef.setBusiness(business);
    EXPECT_EQ(userDef.Business(), business);
    ASSERT_TRUE(userDef.ILoginable_Login());
    userDef.ILoginable_CallFunction(QStringLiteral("AA01"), QStringLiteral("items"), QString(),
                                    QStringLiteral("no tab here"));

    ASSERT_EQ(business->shown.size(), 1);
    const auto& shown = business->shown.first();
    EXPECT_EQ(business->envKeys, QStringList{QStringLiteral("UserDef.FrmMain")});
    EXPECT_EQ(business->envWindows.first(), shown.window);
    EXPECT_EQ(shown.window, userDef.catalogue());
    EXPECT_EQ(shown.subsystem, QStringLiteral("AA"));
    EXPECT_EQ(shown.formKey, QStringLiteral("FrmMain_key"));
    EXPECT_FALSE(shown.modal);
    EXPECT_TRUE(shown.activate);
    EXPECT_EQ(shown.environment, QStringLiteral("env-1"));
    ASSERT_TRUE(userDef.catalogue());
    EXPECT_TRUE(userDef.catalogue()->m_InPotal);
    EXPECT_TRUE(factory.host.modals.isEmpty());

    // The services stay for the window; the lock is held for the session.
    EXPECT_TRUE(g_Pub && g_SrvDB && g_ColSet);
    EXPECT_EQ(g_Login, login);
    EXPECT_TRUE(userDef.ownsServices());
    EXPECT_EQ(userDefLocks(), 1);
    EXPECT_TRUE(factory.prompter->asked().isEmpty());
}

TEST_F(EntryTest, CommandLineWithATabRunsModallyAndClosesTheSession) {
    IUserDef userDef;
    userDef.setBusiness(business);
    int locksDuringRun = -1;
    factory.host.onModal = [&] { locksDuringRun = userDefLocks(); };
    userDef.ShowModeless(QString(), QString(), QString(), QStringLiteral("AA\tUserDef"));

    ASSERT_EQ(factory.host.modals.size(), 1);
    EXPECT_EQ(factory.host.modals.first().contentName, QStringLiteral("catalogue::FrmUserDef"));
    EXPECT_FALSE(factory.host.modals.first().inPortal);
    EXPECT_TRUE(business->shown.isEmpty());
    EXPECT_EQ(locksDuringRun, 1);
    EXPECT_EQ(userDefLocks(), 0);
    // The owner released every service, and the window went with its dialog.
    EXPECT_FALSE(g_Pub || g_SrvDB || g_ColSet || g_Login);
    EXPECT_FALSE(userDef.catalogue());
}

TEST_F(EntryTest, ShowPreselectsTheClassCodeOfItsParameter) {
    IUserDef userDef;
    userDef.Show(login, QStringLiteral("<Para classcode='  1001 ' other='x'/>"));
    ASSERT_EQ(factory.host.modals.size(), 1);
    EXPECT_EQ(factory.host.modals.first().classCode, QStringLiteral("1001"));
    EXPECT_FALSE(factory.host.modals.first().inPortal);
    EXPECT_FALSE(g_Pub);
    EXPECT_EQ(userDefLocks(), 0);
}

TEST_F(EntryTest, ShowWithoutAUsableParameterPreselectsNothing) {
    const QStringList parameters = {QString(), QStringLiteral("<Para classcode='1001'"),
                                    QStringLiteral("not xml at all"),
                                    QStringLiteral("<Para ClassCode='1001'/>"),
                                    QStringLiteral("<Para><classcode>1001</classcode></Para>")};
    for (const QString& parameter : parameters) {
        IUserDef userDef;
        userDef.Show(login, parameter);
        ASSERT_FALSE(factory.host.modals.isEmpty());
        EXPECT_EQ(factory.host.modals.last().classCode, QString()) << parameter.toStdString();
    }
    EXPECT_EQ(factory.host.modals.size(), parameters.size());
}

TEST_F(EntryTest, TwoInstancesShareTheServicesAndOnlyTheFirstReleasesThem) {
    IUserDef first;
    IUserDef second;
    bool sharedDuringSecond = false;
    bool keptAfterSecond = false;
    std::shared_ptr<host::IPub> firstPub;
    factory.host.onModal = [&] {
        if (factory.host.modals.size() != 1) {
            sharedDuringSecond = g_Pub == firstPub;
            return;
        }
        firstPub = g_Pub;
        second.Show(login, QString());
        keptAfterSecond = g_Pub && g_SrvDB && g_ColSet && g_Login;
    };
    first.Show(login, QString());

    EXPECT_EQ(factory.host.modals.size(), 2);
    EXPECT_EQ(factory.pubsMade, 1);
    EXPECT_TRUE(sharedDuringSecond);
    EXPECT_FALSE(second.ownsServices());
    EXPECT_TRUE(keptAfterSecond);
    EXPECT_FALSE(g_Pub || g_SrvDB || g_ColSet || g_Login);
}

TEST_F(EntryTest, TheCataloguesExitEndsItsModalRunAndTheDialogsCloseAsksTheCatalogue) {
    IUserDef userDef;
    bool endedByExit = false;
    bool catalogueClosedWithDialog = false;
    factory.host.onModal = [&] {
        CatalogueWindow* window = userDef.catalogue();
        auto* frame = qobject_cast<ModalFrame*>(window ? window->parentWidget() : nullptr);
        ASSERT_TRUE(frame);
        frame->show();
        ASSERT_TRUE(window->isVisible());
        window->ExitForm();
        endedByExit = !frame->isVisible() && frame->result() == QDialog::Accepted;

        frame->show();
        window->show();
        frame->reject();  // Esc or the close box
        catalogueClosedWithDialog = !frame->isVisible() && window->isHidden();
    };
    userDef.Show(login, QString());
    EXPECT_TRUE(endedByExit);
    EXPECT_TRUE(catalogueClosedWithDialog);
    EXPECT_EQ(userDefLocks(), 0);
}
