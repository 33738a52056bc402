// The host toolbar: buttons from the definitions, states mirrored from the classic toolbar on
// refresh, clicks with their second text.
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "controls/HostToolbar.h"
#include "tests/support/Printing.h"

using controls::HostToolbar;

namespace {

QToolBar* classicWith(QWidget* parent, const QStringList& keys) {
    auto* classic = new QToolBar(parent);
    for (const QString& key : keys) classic->addAction(key)->setObjectName(key);
    return classic;
}

int visibleSeparators(const HostToolbar& bar) {
    int n = 0;
    for (QAction* a : bar.actions())
        if (a->isSeparator() && a->isVisible()) ++n;
    return n;
}

}  // namespace

TEST(HostToolbar, EveryDefinitionBuildsButtonsWithIconsAndHotKeys) {
    for (const char* id : {"Archives_UserDef_List", "Archives_UserDef_Edit", "Archives_UserDef_Archive",
                           "Archives_UserDef_MakeVouch_Main", "archives_userdef_makevouch_list",
                           "Archives_UserDef_MakeVouch_Edit"}) {
        HostToolbar bar;
        ASSERT_TRUE(bar.InitExternalButton(QString::fromLatin1(id), nullptr)) << id;
        EXPECT_TRUE(bar.keys().contains(QStringLiteral("Exit"))) << id;
        for (const QString& key : bar.keys())
            EXPECT_FALSE(bar.action(key)->icon().isNull()) << id << " " << key.toStdString();
    }
    HostToolbar bar;
    ASSERT_TRUE(bar.InitExternalButton(QStringLiteral("Archives_UserDef_List"), nullptr));
    EXPECT_TRUE(bar.action(QStringLiteral("Add"))->toolTip().endsWith(QStringLiteral("(F5)")));
    EXPECT_TRUE(bar.action(QStringLiteral("Print"))->toolTip().endsWith(QStringLiteral("(Ctrl+P)")));
}

TEST(HostToolbar, RefreshMirrorsTheClassicToolbarWithoutStraySeparators) {
    QWidget window;
    HostToolbar bar(&window);
    bar.InitExternalButton(QStringLiteral("Archives_UserDef_List"), nullptr);
    QToolBar* classic = classicWith(&window, bar.keys());
    bar.SetToolbar(classic);
    EXPECT_EQ(visibleSeparators(bar), 4);
    auto classicKey = [&](const char* key) {
        return HostToolbar::classicAction(classic, QString::fromLatin1(key));
    };

    classicKey("Define")->setVisible(false);
    classicKey("archive")->setEnabled(false);
    classic->removeAction(classicKey("Exit"));
    bar.refresh();
    EXPECT_FALSE(bar.action(QStringLiteral("Define"))->isVisible());
    EXPECT_FALSE(bar.action(QStringLiteral("Archive"))->isEnabled());
    EXPECT_FALSE(bar.action(QStringLiteral("Exit"))->isVisible());  // no classic button

    // Whole groups hidden: one separator between their neighbours, none doubled or trailing.
    classicKey("Help")->setVisible(false);
    bar.refresh();
    EXPECT_EQ(visibleSeparators(bar), 3);
    for (const char* key : {"Archive", "MakeVouchSet", "CoverSetting", "History"})
        classicKey(key)->setVisible(false);
    bar.refresh();
    EXPECT_EQ(visibleSeparators(bar), 2);
}

TEST(HostToolbar, ClicksCarryTheKeyAndTheSecondText) {
    QWidget window;
    HostToolbar bar(&window);
    bar.InitExternalButton(QStringLiteral("Archives_UserDef_List"), nullptr);
    bar.SetToolbar(classicWith(&window, bar.keys()));
    window.resize(1200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicked(&bar, &HostToolbar::buttonClicked);

    QTest::mouseClick(bar.button(QStringLiteral("Refresh")), Qt::LeftButton);
    bar.action(QStringLiteral("Print"))->trigger();
    QMenu* menu = bar.action(QStringLiteral("Print"))->menu();
    ASSERT_NE(menu, nullptr);
    menu->actions().at(1)->trigger();
    ASSERT_EQ(clicked.size(), 3);
    EXPECT_EQ(clicked.at(0), (QVariantList{"Refresh", QString()}));
    EXPECT_EQ(clicked.at(1), (QVariantList{"Print", "Print"}));
    EXPECT_EQ(clicked.at(2), (QVariantList{"Print", "Preview"}));

    // A disabled button does not click.
    HostToolbar::classicAction(bar.classicToolbar(), QStringLiteral("Refresh"))->setEnabled(false);
    bar.refresh();
    QTest::mouseClick(bar.button(QStringLiteral("Refresh")), Qt::LeftButton);
    EXPECT_EQ(clicked.size(), 3);
}
