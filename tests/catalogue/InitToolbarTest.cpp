// The shared toolbar set-up: the host toolbar takes the classic toolbar's place and mirrors it.
#include <QToolBar>
#include <QVBoxLayout>

#include "common/InitToolbar.h"
#include "controls/HostToolbar.h"
#include "tests/support/TestSession.h"

using namespace testsupport;
using controls::HostToolbar;

using InitToolbarTest = SessionTest;

namespace {

struct Window {
    QWidget widget;
    QVBoxLayout* layout = new QVBoxLayout(&widget);
    QToolBar* classic = new QToolBar(&widget);
    QWidget* body = new QWidget(&widget);
    HostToolbar* host = new HostToolbar(&widget);
    Window() {
        layout->addWidget(classic);
        layout->addWidget(body, 1);
        for (const char* key : {"SaveRs", "First", "Previous", "Next", "Last", "Help", "Exit"})
            classic->addAction(QString::fromLatin1(key))->setObjectName(QString::fromLatin1(key));
        widget.resize(800, 400);
    }
};

}  // namespace

TEST_F(InitToolbarTest, ListKindsTakeTheListDefinitionAndReplaceTheClassicToolbar) {
    Window w;
    userdef::InitToolbar(&w.widget, w.classic, w.host, QStringLiteral("Archives_UserDef"), &w.widget,
                         QStringLiteral("Archive"));
    w.widget.show();
    EXPECT_EQ(w.host->definitionId(), QStringLiteral("Archives_UserDef_List"));
    EXPECT_TRUE(w.classic->isHidden());
    EXPECT_TRUE(w.host->isVisible());
    EXPECT_EQ(w.layout->indexOf(w.host), w.layout->indexOf(w.classic) + 1);
    EXPECT_EQ(w.host->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(w.host->formWindow(), &w.widget);
    // Captions are the public service's texts.
    EXPECT_EQ(w.host->action(QStringLiteral("Refresh"))->text(),
              session.pub->GetResString(QStringLiteral("Q9.AA.TOOLBAR.Refresh")));
    EXPECT_NE(w.host->action(QStringLiteral("Refresh"))->text(), QStringLiteral("Q9.AA.TOOLBAR.Refresh"));
    // Buttons the classic toolbar lacks are not shown.
    EXPECT_FALSE(w.host->action(QStringLiteral("Refresh"))->isVisible());
    EXPECT_TRUE(w.host->action(QStringLiteral("Exit"))->isVisible());
}

TEST_F(InitToolbarTest, VoucherKindTakesTheKeyAsItStands) {
    Window w;
    userdef::InitToolbar(&w.widget, w.classic, w.host, QStringLiteral("Archives_UserDef_Edit"), nullptr,
                         QStringLiteral("Voucher"));
    EXPECT_EQ(w.host->definitionId(), QStringLiteral("Archives_UserDef_Edit"));
    EXPECT_EQ(w.host->formWindow(), nullptr);
    EXPECT_TRUE(w.host->action(QStringLiteral("SaveRs"))->isVisible());
    EXPECT_FALSE(w.host->action(QStringLiteral("Archive"))->isVisible());  // not in the classic bar
}

TEST_F(InitToolbarTest, EmptyKeyKeepsTheButtonsBuiltBefore) {
    Window w;
    w.host->setPub(session.pub.get());
    ASSERT_TRUE(w.host->InitExternalButton(QStringLiteral("Archives_UserDef_MakeVouch_Edit"), nullptr));
    userdef::InitToolbar(&w.widget, w.classic, w.host, QString(), nullptr, QStringLiteral("Voucher"));
    EXPECT_EQ(w.host->keys(), QStringList({"SaveRs", "Help", "Exit"}));
    EXPECT_EQ(w.host->classicToolbar(), w.classic);
}

TEST_F(InitToolbarTest, WithoutALayoutTheHostToolbarTakesTheClassicPlace) {
    QWidget window;
    window.resize(700, 300);
    auto* classic = new QToolBar(&window);
    classic->setGeometry(10, 20, 300, 40);
    auto* host = new HostToolbar(&window);
    userdef::InitToolbar(&window, classic, host, QStringLiteral("Archives_UserDef"), nullptr, QString());
    EXPECT_EQ(host->geometry(), QRect(10, 20, 694, 40));
}

TEST_F(InitToolbarTest, RefreshMirrorsEveryHostToolbarOfTheWindow) {
    Window w;
    userdef::InitToolbar(&w.widget, w.classic, w.host, QStringLiteral("Archives_UserDef_Edit"), nullptr,
                         QStringLiteral("Voucher"));
    auto* second = new HostToolbar(&w.widget);
    second->InitExternalButton(QStringLiteral("Archives_UserDef_Edit"), nullptr);
    second->SetToolbar(w.classic);

    HostToolbar::classicAction(w.classic, QStringLiteral("SaveRs"))->setEnabled(false);
    HostToolbar::classicAction(w.classic, QStringLiteral("First"))->setVisible(false);
    userdef::ReRefreshZxTlb(&w.widget);
    for (HostToolbar* bar : {w.host, second}) {
        EXPECT_FALSE(bar->action(QStringLiteral("SaveRs"))->isEnabled());
        EXPECT_FALSE(bar->action(QStringLiteral("First"))->isVisible());
        EXPECT_TRUE(bar->action(QStringLiteral("Next"))->isEnabled());
    }
}
