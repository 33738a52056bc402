// The portal: the menu opens the catalogue through the component, windows live in tabs.
#include <gtest/gtest.h>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QAbstractItemView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <functional>

#include "app/Desk.h"
#include "app/DeskBusiness.h"
#include "app/DocLayoutsView.h"
#include "app/Login.h"
#include "app/PortalFrame.h"
#include "carryover/FrmMakeVouchSet.h"
#include "controls/Grid.h"
#include "controls/HostToolbar.h"
#include "itemdef/FrmZAM.h"
#include "entry/CatalogueWindow.h"
#include "platform/pub/ScriptedPrompter.h"
#include "tests/support/TestSession.h"

using namespace app;

namespace {

class StubbornWindow : public QWidget {
protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

class PortalTest : public testsupport::AccountTest {
protected:
    explicit PortalTest(testsupport::TestAccount::Kind kind = testsupport::TestAccount::Kind::Embedded)
        : AccountTest(kind) {}
    void SetUp() override {
        AccountTest::SetUp();
        QString error;
        login = Login::open(account.dataRoot(), QStringLiteral("001"), QStringLiteral("demo"),
                            QStringLiteral("演示管理员"), QStringLiteral("en-US"), &error);
        ASSERT_TRUE(login) << error.toStdString();
        desk = std::make_unique<Desk>(login, QStringLiteral("Demo Co."), prompter, &windowHost);
    }
    void TearDown() override { desk.reset(); }
    void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    int userDefLocks() {
        const auto rows = account.db().query(
            QStringLiteral("SELECT count(*) FROM zx_FunctionLock WHERE cFunction = 'UserDef'"));
        return rows ? rows->at(0, 0).toInt() : -1;
    }
    QTabWidget* tabs() { return desk->portal()->tabs(); }

    std::shared_ptr<platform::pub::ScriptedPrompter> prompter =
        std::make_shared<platform::pub::ScriptedPrompter>();
    testsupport::TestWindowHost windowHost;
    std::shared_ptr<Login> login;
    std::unique_ptr<Desk> desk;
};

class PortalOnAccounts : public PortalTest,
                         public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    PortalOnAccounts() : PortalTest(GetParam()) {}
};

}  // namespace

TEST_F(PortalTest, ShowsTheSessionInTitleAndStatusLine) {
    PortalFrame* portal = desk->portal();
    portal->show();
    EXPECT_TRUE(portal->windowTitle().contains(QStringLiteral("[001] Demo Co.")));
    // What the bar shows: a command's tip while there is one, else its own widgets.
    const auto shown = [portal] {
        QString text = portal->statusBar()->currentMessage();
        for (QLabel* label : portal->statusBar()->findChildren<QLabel*>())
            if (text.isEmpty() && label->isVisible()) text += label->text();
        return text;
    };
    // A menu's hovered entries put their tips in the bar; the session comes back after them.
    auto* menu = portal->findChild<QMenu*>(QStringLiteral("mFunctions"));
    ASSERT_TRUE(menu);
    for (int round = 0; round < 2; ++round) {
        const QString status = shown();
        EXPECT_TRUE(status.contains(QStringLiteral("demo"))) << status.toStdString();
        EXPECT_TRUE(status.contains(QStringLiteral("演示管理员"))) << round;
        menu->popup(portal->mapToGlobal(QPoint(10, 10)));
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Escape);
        EXPECT_FALSE(menu->isVisible());
    }
    EXPECT_EQ(tabs()->count(), 0);
}

// The catalogue holds the session lock while its tab is open, however it is closed.
TEST_F(PortalTest, TheCatalogueOpensInOneTabAndItsTabOrItsExitCloseIt) {
    auto* action = desk->portal()->findChild<QAction*>(QStringLiteral("ActUserDef"));
    ASSERT_TRUE(action);
    for (const bool ownExit : {false, true}) {
        action->trigger();
        action->trigger();  // brings the open tab forward instead of a second catalogue
        ASSERT_EQ(tabs()->count(), 1);
        QPointer<userdef::CatalogueWindow> catalogue =
            dynamic_cast<userdef::CatalogueWindow*>(tabs()->widget(0));
        ASSERT_TRUE(catalogue);
        EXPECT_EQ(userDefLocks(), 1);
        EXPECT_EQ(windowHost.shown.size() + windowHost.messages.size(), 0);
        if (ownExit)
            catalogue->RunCommand(QStringLiteral("Exit"));
        else
            emit tabs()->tabCloseRequested(0);
        settle();
        EXPECT_EQ(tabs()->count(), 0);
        EXPECT_FALSE(catalogue);
        EXPECT_EQ(userDefLocks(), 0) << "own exit " << ownExit;
    }
}

TEST_F(PortalTest, AWindowThatRefusesToCloseKeepsItsTab) {
    DeskBusiness business(login, desk->portal());
    auto* window = new StubbornWindow;  // unsaved changes: it refuses to close
    const QString env = business.CreateFormEnv(QStringLiteral("Test.Frm"), window);
    business.ShowForm(window, QStringLiteral("AA"), QStringLiteral("Frm_key"), false, true, env);
    ASSERT_EQ(tabs()->count(), 1);
    EXPECT_FALSE(desk->portal()->closeTab(0));
    EXPECT_FALSE(desk->portal()->close());  // nor does the portal close over it
    settle();
    EXPECT_EQ(tabs()->count(), 1);
}

TEST_F(PortalTest, CarryOverRulesOpenTheRuleListInTheCataloguesSession) {
    auto* functions = desk->portal()->findChild<QListWidget*>(QStringLiteral("LstFunctions"));
    ASSERT_TRUE(functions);
    QListWidgetItem* rules = nullptr;
    for (int i = 0; i < functions->count(); ++i)
        if (functions->item(i)->data(Qt::UserRole) == QStringLiteral("MakeVouchSet"))
            rules = functions->item(i);
    ASSERT_TRUE(rules);
    EXPECT_EQ(rules->text(), QStringLiteral("Carry-over rules"));

    // No session is open yet: the catalogue opens it, then the list joins it.
    emit functions->itemActivated(rules);
    ASSERT_EQ(tabs()->count(), 2);
    auto* list = dynamic_cast<carryover::FrmMakeVouchSet*>(tabs()->currentWidget());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->grid()->rows(), 8);
    EXPECT_EQ(userDefLocks(), 1);

    // Closed, it opens again in the same session, without a second catalogue.
    EXPECT_TRUE(desk->portal()->closeTab(tabs()->indexOf(list)));
    settle();
    emit functions->itemActivated(rules);
    EXPECT_EQ(tabs()->count(), 2);
    EXPECT_TRUE(dynamic_cast<carryover::FrmMakeVouchSet*>(tabs()->currentWidget()));
    EXPECT_EQ(userDefLocks(), 1);
}

TEST_P(PortalOnAccounts, DocumentLayoutsShowTheCaptionsAnItemSaveWrote) {
    auto* list = desk->portal()->findChild<QListWidget*>(QStringLiteral("LstFunctions"));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->count(), 6);
    EXPECT_EQ(list->item(2)->text(), QStringLiteral("Document layouts"));
    emit list->itemActivated(list->item(2));
    ASSERT_EQ(tabs()->count(), 1);
    auto* view = dynamic_cast<DocLayoutsView*>(tabs()->widget(0));
    ASSERT_TRUE(view);
    EXPECT_EQ(tabs()->tabText(0), QStringLiteral("Document layouts"));
    QStandardItemModel* model = view->model();
    auto captionOf = [&](const QString& layout, const QString& field) {
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->item(r, 0)->text() == layout && model->item(r, 2)->text() == field)
                return model->item(r, 1)->text() + QLatin1Char('|') + model->item(r, 3)->text() +
                       QLatin1Char('|') + model->item(r, 4)->text();
        return QStringLiteral("<none>");
    };
    EXPECT_EQ(captionOf(QStringLiteral("销售订单普通格式"), QStringLiteral("cDefine1")),
              QStringLiteral("Header|合同号|Contract No."));
    EXPECT_EQ(captionOf(QStringLiteral("销售订单普通格式"), QStringLiteral("cFree2")),
              QStringLiteral("Body|尺码|Size"));
    auto* grid = view->findChild<QAbstractItemView*>(QStringLiteral("GrdLayouts"));
    ASSERT_TRUE(grid);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);

    // A rename saved with the cover option shows once the tab is shown again.
    QString error;
    ASSERT_TRUE(account.srv().Modify(
        QStringLiteral("<Userdef bCoverVouchBody=''><cId>1</cId><cItemName>合同编号</cItemName>"
                       "<bCoverVouch>1</bCoverVouch></Userdef>"),
        QStringLiteral("Userdef"), &error))
        << error.toStdString();
    desk->openFunction(QStringLiteral("DocLayouts"));
    EXPECT_EQ(tabs()->count(), 1);
    ASSERT_TRUE(view->reload());
    EXPECT_EQ(captionOf(QStringLiteral("销售订单普通格式"), QStringLiteral("cDefine1")),
              QStringLiteral("Header|合同编号|Contract No."));

    // Layouts that cannot be read are said to be so; the rows read before stay.
    const int rowsBefore = model->rowCount();
    ASSERT_TRUE(account.conn().exec(QStringLiteral(R"(ALTER TABLE "DocLayoutField" RENAME TO "Gone")")));
    EXPECT_FALSE(view->reload());
    EXPECT_EQ(model->rowCount(), rowsBefore);
    EXPECT_TRUE(view->errorText().startsWith(QStringLiteral("The layouts cannot be read")))
        << view->errorText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, PortalOnAccounts,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

TEST_F(PortalTest, TheOverwriteSettingIsReachedInThePortalAndRulesTheNextSave) {
    // The portal's menu opens the catalogue and the setting; "always" is chosen.
    desk->portal()->show();
    auto* menuEntry = desk->portal()->findChild<QAction*>(QStringLiteral("ActCoverSetting"));
    ASSERT_TRUE(menuEntry);
    EXPECT_EQ(menuEntry->text(), QStringLiteral("Overwrite setting…"));
    int shownChoice = -1;
    const auto choose = [&](int option) {
        windowHost.onModal = [&, option](QDialog* dialog) {
            for (int i = 0; i < 3; ++i)
                if (dialog->findChild<QRadioButton*>(QStringLiteral("cZxRadio_%1").arg(i))
                        ->isChecked())
                    shownChoice = i;
            dialog->findChild<QRadioButton*>(QStringLiteral("cZxRadio_%1").arg(option))->click();
            dialog->findChild<QPushButton*>(QStringLiteral("CmdOk"))->click();
            return dialog->result();
        };
    };
    choose(1);
    menuEntry->trigger();
    auto* catalogue = dynamic_cast<userdef::CatalogueWindow*>(tabs()->currentWidget());
    ASSERT_TRUE(catalogue);
    EXPECT_EQ(windowHost.shown.size(), 1);
    EXPECT_EQ(shownChoice, 0);
    // The catalogue's toolbar offers it too and shows the choice made.
    QAction* shown = catalogue->hostToolbar()->action(QStringLiteral("CoverSetting"));
    ASSERT_TRUE(shown && shown->isVisible() && shown->isEnabled());
    EXPECT_EQ(shown->text(), QStringLiteral("Overwrite"));
    QToolButton* button = catalogue->hostToolbar()->button(QStringLiteral("CoverSetting"));
    choose(1);
    button->click();
    EXPECT_EQ(windowHost.shown.size(), 2);
    EXPECT_EQ(shownChoice, 1);

    // A rename saved now overwrites the captions of the documents, without a question.
    ASSERT_TRUE(catalogue->selectClass(QStringLiteral("单据头")));
    catalogue->grid()->setCurrentRow(1);
    ASSERT_EQ(catalogue->grid()->text(1, 1), QStringLiteral("1"));
    windowHost.onModal = [](QDialog* dialog) {
        auto* editor = qobject_cast<itemdef::FrmZAM*>(dialog);
        EXPECT_TRUE(editor);
        if (!editor) return 0;
        editor->findChild<QTableWidget*>(QStringLiteral("Grid"))
            ->item(0, 0)
            ->setText(QStringLiteral("合同编号"));
        EXPECT_TRUE(editor->Operating(QStringLiteral("SaveRs")));
        return 1;
    };
    catalogue->RunCommand(QStringLiteral("Define"));
    EXPECT_TRUE(prompter->asked().isEmpty());
    const auto rows = account.db().query(QStringLiteral(
        "SELECT DISTINCT cCaption FROM DocLayoutField WHERE cItemId='1'"));
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->recordCount(), 1);
    rows->moveFirst();
    EXPECT_EQ(rows->value(0).toString(), QStringLiteral("合同编号"));
}
