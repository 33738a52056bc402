// The catalogue's buttons follow the selection, and every command source reaches RunCommand.
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QToolButton>

#include "common/Globals.h"
#include "common/NameTables.h"
#include "tests/catalogue/CatalogueFixture.h"

using namespace cattest;

using CatalogueCommands = SessionTest;

namespace {

struct Expect {
    const char* key;
    bool add;
    bool makeVouchSet;
};

}  // namespace

TEST_F(CatalogueCommands, AddAndCarryOverFollowTheSelectedClass) {
    auto w = openCatalogue();
    const Expect cases[] = {
        {"r", false, false},       {"单据头", true, true},   {"单据体", true, true},
        {"客户", true, false},     {"存货", true, false},    {"联系人", true, false},
        {"供应商", false, false},  {"班组", false, false},   {"供应商联系人", false, false},
        {"r", false, false},
    };
    for (const Expect& e : cases) {
        const QString key = QString::fromUtf8(e.key);
        ASSERT_TRUE(w->selectClass(key));
        SCOPED_TRACE(key.toStdString());
        EXPECT_EQ(hostEnabled(*w, "Add"), e.add);
        EXPECT_EQ(menuEnabled(*w, "mAdd"), e.add);
        EXPECT_EQ(hostEnabled(*w, "MakeVouchSet"), e.makeVouchSet);
        EXPECT_EQ(menuEnabled(*w, "mMakeVouchSet"), e.makeVouchSet);
        EXPECT_FALSE(hostEnabled(*w, "Archive"));  // no row chosen yet
        EXPECT_FALSE(menuEnabled(*w, "mArchive"));
    }
    // Define is reached by menu, hot key and double click, not by a button.
    EXPECT_FALSE(hostVisible(*w, "Define"));
    EXPECT_TRUE(hostVisible(*w, "Exit"));
    EXPECT_TRUE(hostVisible(*w, "Help"));
}

TEST_F(CatalogueCommands, ArchiveOnlyForANamedTextItem) {
    auto w = openCatalogue();
    controls::Grid* g = w->grid();
    g->setCurrentRow(rowOfId(*w, QStringLiteral("1")));  // text, named, but the root is shown
    EXPECT_FALSE(hostEnabled(*w, "Archive"));

    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    g->setCurrentRow(rowOfId(*w, QStringLiteral("1")));
    EXPECT_TRUE(hostEnabled(*w, "Archive"));
    EXPECT_TRUE(menuEnabled(*w, "mArchive"));
    g->setCurrentRow(rowOfId(*w, QStringLiteral("15")));  // date
    EXPECT_FALSE(hostEnabled(*w, "Archive"));
    EXPECT_FALSE(menuEnabled(*w, "mArchive"));
    g->setCurrentRow(rowOfId(*w, QStringLiteral("2")));  // text without a name
    EXPECT_FALSE(hostEnabled(*w, "Archive"));
    g->setCurrentRow(rowOfId(*w, QStringLiteral("1003")));
    EXPECT_TRUE(hostEnabled(*w, "Archive"));
    w->RunCommand(QStringLiteral("refresh"));  // the list comes back with no row chosen
    EXPECT_EQ(g->currentRow(), 0);
    EXPECT_FALSE(hostEnabled(*w, "Archive"));
}

TEST_F(CatalogueCommands, ClassCodePreselectsTheClassOfThatItem) {
    auto w = openCatalogue(false, QStringLiteral("2003"));
    EXPECT_EQ(w->selectedKey(), QStringLiteral("单据体"));
    EXPECT_EQ(listedIds(*w).size(), 20);
    EXPECT_TRUE(hostEnabled(*w, "Add"));
    EXPECT_TRUE(hostEnabled(*w, "MakeVouchSet"));
    EXPECT_TRUE(w->findChild<QLabel*>(QStringLiteral("LblTitle"))->text().endsWith(userdef::g_ClassNames.at(1)));

    // Used once: a refresh keeps the selection and lists the same class.
    w->RunCommand(QStringLiteral("Refresh"));
    EXPECT_EQ(w->selectedKey(), QStringLiteral("单据体"));
}

TEST_F(CatalogueCommands, UnknownClassCodeLeavesTheRootSelected) {
    auto w = openCatalogue(false, QStringLiteral("9999"));
    EXPECT_EQ(w->selectedKey(), QStringLiteral("r"));
    EXPECT_GT(listedIds(*w).size(), 100);
}

TEST_F(CatalogueCommands, MenusHotKeysToolbarAndDoubleClickReachTheCommandEntry) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("单据头")));
    QSignalSpy commands(w.get(), &catalogue::FrmUserDef::commandReceived);
    auto last = [&commands] {
        return commands.isEmpty() ? QString() : commands.last().at(0).toString();
    };

    w->findChild<QAction*>(QStringLiteral("mModify"))->trigger();
    EXPECT_EQ(last(), QStringLiteral("Define"));
    w->findChild<QAction*>(QStringLiteral("mPrintNo"))->trigger();
    EXPECT_EQ(last(), QStringLiteral("mPrintNo"));
    w->findChild<QAction*>(QStringLiteral("mCoverSetting"))->trigger();
    EXPECT_EQ(last(), QStringLiteral("CoverSetting"));

    w->grid()->setFocus();
    QTest::keyClick(w->grid(), Qt::Key_F5);
    EXPECT_EQ(last(), QStringLiteral("Add"));
    QTest::keyClick(w->grid(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(last(), QStringLiteral("Print"));
    QTest::keyClick(w->grid(), Qt::Key_F8);
    EXPECT_EQ(last(), QStringLiteral("Archive"));

    // F7 asks for Modify, which edits only with a row chosen.
    commands.clear();
    w->grid()->setCurrentRow(0);  // focus made the first row current
    QTest::keyClick(w->grid(), Qt::Key_F7);
    ASSERT_EQ(commands.size(), 1);
    w->grid()->setCurrentRow(2);
    QTest::keyClick(w->grid(), Qt::Key_F7);
    ASSERT_EQ(commands.size(), 3);
    EXPECT_EQ(commands.at(1).at(0).toString(), QStringLiteral("Modify"));
    EXPECT_EQ(last(), QStringLiteral("Define"));

    const QRect cell = w->grid()->visualRect(w->grid()->model()->index(0, 2));
    QTest::mouseDClick(w->grid()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(last(), QStringLiteral("Define"));

    QToolButton* print = w->hostToolbar()->button(QStringLiteral("Print"));
    ASSERT_NE(print, nullptr);
    w->hostToolbar()->action(QStringLiteral("Print"))->menu()->actions().at(1)->trigger();
    EXPECT_EQ(last(), QStringLiteral("Print"));
    EXPECT_EQ(commands.last().at(1).toString(), QStringLiteral("Preview"));
}

TEST_F(CatalogueCommands, RefreshShowsItemsAddedMeanwhile) {
    auto w = openCatalogue();
    ASSERT_TRUE(w->selectClass(QStringLiteral("联系人")));
    EXPECT_EQ(listedIds(*w).size(), 17);
    QString error;
    ASSERT_TRUE(session.account.db().exec(
        QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName) "
                       "VALUES ('6002','联系人','扩展自定义项2','文本','生日')"),
        &error))
        << error.toStdString();
    w->grid()->setFocus();
    QTest::keyClick(w->grid(), Qt::Key_F9);
    EXPECT_EQ(listedIds(*w).size(), 18);
    EXPECT_EQ(listedIds(*w).last(), QStringLiteral("6002"));
    EXPECT_EQ(w->statusText(), QStringLiteral("共 18 条记录"));
    EXPECT_EQ(w->selectedKey(), QStringLiteral("联系人"));
}

TEST_F(CatalogueCommands, ExitClosesTheWindow) {
    auto w = openCatalogue();
    w->hostToolbar()->action(QStringLiteral("Exit"))->trigger();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(CatalogueCommands, OverwriteChoiceIsOneOfThree) {
    auto w = openCatalogue();
    auto tip = [&w](int n) {
        return w->findChild<QAction*>(QStringLiteral("mVouchTip%1").arg(n))->isChecked();
    };
    EXPECT_TRUE(tip(0));
    EXPECT_FALSE(tip(1));
    w->findChild<QAction*>(QStringLiteral("mVouchTip2"))->trigger();
    EXPECT_FALSE(tip(0));
    EXPECT_FALSE(tip(1));
    EXPECT_TRUE(tip(2));
    w->RunCommand(QStringLiteral("MVOUCHTIP1"));
    EXPECT_TRUE(tip(1));
    EXPECT_FALSE(tip(2));
}

TEST_F(CatalogueCommands, InThePortalTheMenusExitAndHelpAreThePortals) {
    auto w = openCatalogue(true);
    EXPECT_FALSE(w->findChild<QMenuBar*>(QStringLiteral("MenuBar"))->isVisible());
    EXPECT_FALSE(hostVisible(*w, "Exit"));
    EXPECT_FALSE(hostVisible(*w, "Help"));
    EXPECT_TRUE(hostVisible(*w, "Refresh"));
    auto* title = w->findChild<QLabel*>(QStringLiteral("LblTitle"));
    const QString before = title->text();
    ASSERT_TRUE(w->selectClass(QStringLiteral("存货")));
    EXPECT_EQ(title->text(), before);

    auto modal = openCatalogue(false);
    EXPECT_TRUE(modal->findChild<QMenuBar*>(QStringLiteral("MenuBar"))->isVisible());
}

TEST_F(CatalogueCommands, ExitFormHandsTheCatalogueLockBack) {
    // The session holds the catalogue's lock while the window is open.
    ASSERT_FALSE(session.pub->IsLockFun(session.srv.get(), session.login.get(),
                                        QStringLiteral("UserDef"), 1));
    auto w = openCatalogue(true);
    auto held = [this] {
        const auto rs = session.account.db().query(QStringLiteral(
            "SELECT count(*) FROM zx_FunctionLock WHERE cFunction='UserDef' AND iMode=1"));
        return rs && rs->recordCount() == 1 ? rs->at(0, 0).toInt() : -1;
    };
    EXPECT_EQ(held(), 1);
    w->ExitForm();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(held(), 0);
}
