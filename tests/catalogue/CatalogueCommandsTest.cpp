// The catalogue's buttons follow the class chosen, every command source reaches the
// command entry, and the window's lock goes with it.
#include <QMenuBar>
#include <QSignalSpy>
#include <tuple>

#include "tests/catalogue/CatalogueFixture.h"

using namespace cattest;

using CatalogueCommands = SessionTest;

TEST_F(CatalogueCommands, AddAndCarryOverFollowTheClass) {
    // Chosen in the tree, or by the item id the window is opened with.
    const struct {
        const char* openWith;
        const char* key;
        bool add, makeVouchSet;
    } cases[] = {
        {"", "r", false, false},         {"", "单据头", true, true},
        {"", "客户", true, false},       {"", "存货", true, false},
        {"", "联系人", true, false},     {"", "供应商", false, false},
        {"", "供应商联系人", false, false}, {"2003", "单据体", true, true},
        {"9999", "r", false, false},
    };
    for (const auto& c : cases) {
        const QString key = QString::fromUtf8(c.key);
        SCOPED_TRACE(key.toStdString());
        auto w = openCatalogue(false, QString::fromLatin1(c.openWith));
        if (*c.openWith) EXPECT_EQ(w->selectedKey(), key);
        else ASSERT_TRUE(w->selectClass(key));
        EXPECT_EQ(hostEnabled(*w, "Add"), c.add);
        EXPECT_EQ(hostEnabled(*w, "MakeVouchSet"), c.makeVouchSet);
    }
}

TEST_F(CatalogueCommands, MenusHotKeysToolbarAndDoubleClickReachTheCommandEntry) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    QSignalSpy commands(w.get(), &catalogue::FrmUserDef::commandReceived);
    auto last = [&commands] { return commands.isEmpty() ? QString() : commands.last().at(0).toString(); };

    for (const auto& [menu, command] : {std::pair{"mModify", "Define"}, {"mPrintNo", "mPrintNo"},
                                        {"mCoverSetting", "CoverSetting"}}) {
        w->findChild<QAction*>(QString::fromLatin1(menu))->trigger();
        EXPECT_EQ(last(), QLatin1String(command)) << menu;
    }
    w->grid()->setFocus();
    for (const auto& [key, mod, command] :
         {std::tuple{Qt::Key_F5, Qt::NoModifier, "Add"}, {Qt::Key_P, Qt::ControlModifier, "Print"},
          {Qt::Key_F8, Qt::NoModifier, "Archive"}}) {
        QTest::keyClick(w->grid(), key, mod);
        EXPECT_EQ(last(), QLatin1String(command));
    }
    // F7 asks for Modify, which edits (Define) only with a row chosen.
    for (const auto& [row, command] : {std::pair{0, "Modify"}, {2, "Define"}}) {
        w->grid()->setCurrentRow(row);
        QTest::keyClick(w->grid(), Qt::Key_F7);
        EXPECT_EQ(last(), QLatin1String(command)) << row;
    }

    const QRect cell = w->grid()->visualRect(w->grid()->model()->index(0, 2));
    QTest::mouseDClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(last(), QStringLiteral("Define"));
    // The toolbar's print menu: "Print" with "Preview" as its second text.
    w->hostToolbar()->action(QStringLiteral("Print"))->menu()->actions().at(1)->trigger();
    EXPECT_EQ(last(), QStringLiteral("Print"));
    EXPECT_EQ(commands.last().at(1).toString(), QStringLiteral("Preview"));
}

// On either kind of account: another administrator's item shows after Refresh.
class CatalogueOnAccounts : public SessionTest,
                            public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    CatalogueOnAccounts() : SessionTest(GetParam()) {}
};

TEST_P(CatalogueOnAccounts, RefreshShowsItemsAddedMeanwhile) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("联系人")));
    EXPECT_EQ(listedIds(*w).size(), 17);
    ASSERT_TRUE(session.account.srv().ExecuteX(
        QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName) "
                       "VALUES ('6002','联系人','扩展自定义项2','文本','生日')")))
        << session.account.srv().lastError().toStdString();
    w->grid()->setFocus();
    QTest::keyClick(w->grid(), Qt::Key_F9);
    EXPECT_EQ(listedIds(*w).last(), QStringLiteral("6002"));
    EXPECT_EQ(w->statusText(), QStringLiteral("共 18 条记录"));
    EXPECT_EQ(session.account.rows(QStringLiteral(R"(SELECT "cItemName" FROM "UserDef_Base" )"
                                                  R"(WHERE "cId" = '6002')")),
              QStringList{QStringLiteral("生日")});
}

INSTANTIATE_TEST_SUITE_P(Kinds, CatalogueOnAccounts,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(kindName(info.param)); });

TEST_F(CatalogueCommands, ExitHandsTheCatalogueLockBackInThePortalAndOutside) {
    auto held = [this] {
        const auto rs = session.account.db().query(QStringLiteral(
            "SELECT count(*) FROM zx_FunctionLock WHERE cFunction='UserDef' AND iMode=1"));
        return rs && rs->recordCount() == 1 ? rs->at(0, 0).toInt() : -1;
    };
    for (const bool inPortal : {true, false}) {
        SCOPED_TRACE(inPortal);
        // The session takes the catalogue's lock as it opens the window.
        ASSERT_FALSE(session.pub->IsLockFun(session.srv.get(), session.login.get(), "UserDef", 1));
        auto w = openCatalogue(inPortal);
        // In the portal the portal's own menus, exit and help stand in for the window's.
        EXPECT_EQ(w->findChild<QMenuBar*>(QStringLiteral("MenuBar"))->isVisible(), !inPortal);
        EXPECT_EQ(held(), 1);
        if (inPortal) w->ExitForm();
        else w->hostToolbar()->action(QStringLiteral("Exit"))->trigger();
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(held(), 0);
    }
}
