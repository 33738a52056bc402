// Opening the catalogue: in the portal, modally, and the session's services and lock.
#include "tests/entry/EntryFixture.h"

using namespace entrytest;
using namespace userdef;

TEST_F(EntryTest, PortalCallHostsTheCatalogueAndKeepsTheSessionOpen) {
    IUserDef userDef;
    userDef.setBusiness(business);
    ASSERT_TRUE(userDef.ILoginable_Login());
    userDef.ILoginable_CallFunction(QStringLiteral("AA01"), QStringLiteral("items"), QString(),
                                    QStringLiteral("no tab here"));

    ASSERT_TRUE(userDef.catalogue());
    EXPECT_EQ(business->shown, QList<QWidget*>{userDef.catalogue()});
    EXPECT_FALSE(business->shownModal);
    EXPECT_TRUE(userDef.catalogue()->m_InPotal);
    EXPECT_TRUE(modals.isEmpty());
    // The services stay for the window; the lock is held for the session.
    EXPECT_TRUE(g_Pub && g_SrvDB && g_ColSet);
    EXPECT_EQ(userDefLocks(), 1);
    EXPECT_TRUE(factory.prompter->asked().isEmpty());
}

TEST_F(EntryTest, ModalRunsTakeTheLockForTheirTimeAndReleaseTheSession) {
    int locksDuringRun = -1;
    onModal = [&] { locksDuringRun = userDefLocks(); };
    {
        IUserDef userDef;
        userDef.setBusiness(business);
        userDef.ShowModeless(QString(), QString(), QString(), QStringLiteral("AA\tUserDef"));
        ASSERT_EQ(modals.size(), 1);
        EXPECT_FALSE(modals.first().inPortal);
        EXPECT_TRUE(business->shown.isEmpty());
    }
    EXPECT_EQ(locksDuringRun, 1);
    EXPECT_EQ(userDefLocks(), 0);
    EXPECT_FALSE(g_Pub || g_SrvDB || g_ColSet || g_Login);

    // Show preselects the class code of a usable parameter, and nothing otherwise.
    const QList<std::pair<QString, QString>> parameters = {
        {QStringLiteral("<Para classcode='  1001 ' other='x'/>"), QStringLiteral("1001")},
        {QString(), QString()},
        {QStringLiteral("<Para classcode='1001'"), QString()},
        {QStringLiteral("<Para ClassCode='1001'/>"), QString()},
        {QStringLiteral("<Para><classcode>1001</classcode></Para>"), QString()},
    };
    for (const auto& [parameter, classCode] : parameters) {
        locksDuringRun = -1;
        IUserDef userDef;
        userDef.Show(login, parameter);
        ASSERT_FALSE(modals.isEmpty());
        EXPECT_EQ(modals.last().classCode, classCode) << parameter.toStdString();
        EXPECT_EQ(locksDuringRun, 1);
        EXPECT_EQ(userDefLocks(), 0);
    }
}

TEST_F(EntryTest, TwoInstancesShareTheServicesAndOnlyTheFirstReleasesThem) {
    IUserDef first, second;
    std::shared_ptr<host::IPub> firstPub;
    bool sharedDuringSecond = false, keptAfterSecond = false;
    onModal = [&] {
        if (modals.size() != 1) {
            sharedDuringSecond = g_Pub == firstPub;
            return;
        }
        firstPub = g_Pub;
        second.Show(login, QString());
        keptAfterSecond = g_Pub && g_SrvDB && g_ColSet && g_Login;
    };
    first.Show(login, QString());

    EXPECT_EQ(modals.size(), 2);
    EXPECT_EQ(factory.pubsMade, 1);
    EXPECT_TRUE(sharedDuringSecond && keptAfterSecond);
    EXPECT_FALSE(g_Pub || g_SrvDB || g_ColSet || g_Login);
}

TEST_F(EntryTest, TheCataloguesExitEndsItsModalRunAndTheDialogsCloseAsksTheCatalogue) {
    IUserDef userDef;
    bool endedByExit = false, catalogueClosedWithDialog = false;
    onModal = [&] {
        CatalogueWindow* window = userDef.catalogue();
        auto* frame = qobject_cast<ModalFrame*>(window ? window->parentWidget() : nullptr);
        ASSERT_TRUE(frame);
        frame->show();
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
