// The host toolbar: buttons from the definitions, states mirrored from the classic toolbar,
// clicks with their second text.
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "controls/HostToolbar.h"

using controls::HostToolbar;

namespace {

QToolBar* classicWith(QWidget* parent, const QStringList& keys) {
    auto* classic = new QToolBar(parent);
    for (const QString& key : keys) classic->addAction(key)->setObjectName(key);
    return classic;
}

QStringList visibleKeys(const HostToolbar& bar) {
    QStringList out;
    for (const QString& key : bar.keys())
        if (bar.action(key)->isVisible()) out << key;
    return out;
}

int visibleSeparators(const HostToolbar& bar) {
    int n = 0;
    for (QAction* a : bar.actions())
        if (a->isSeparator() && a->isVisible()) ++n;
    return n;
}

}  // namespace

TEST(HostToolbar, EveryDefinitionBuildsButtonsWithIcons) {
    const QStringList ids = {"Archives_UserDef_List",          "Archives_UserDef_Edit",
                             "Archives_UserDef_Archive",       "Archives_UserDef_MakeVouch_Main",
                             "Archives_UserDef_MakeVouch_List", "Archives_UserDef_MakeVouch_Edit"};
    for (const QString& id : ids) {
        HostToolbar bar;
        ASSERT_TRUE(bar.InitExternalButton(id, nullptr)) << id.toStdString();
        EXPECT_FALSE(bar.keys().isEmpty());
        EXPECT_TRUE(bar.keys().contains(QStringLiteral("Exit"))) << id.toStdString();
        for (const QString& key : bar.keys()) {
            EXPECT_FALSE(bar.action(key)->icon().isNull()) << id.toStdString() << " " << key.toStdString();
            EXPECT_NE(bar.button(key), nullptr);
        }
    }
    HostToolbar list;
    list.InitExternalButton(QStringLiteral("archives_userdef_list"), nullptr);  // any case
    EXPECT_EQ(list.keys(), QStringList({"Print", "Preview", "SaveFile", "SetUp", "Add", "Modify",
                                        "Delete", "Define", "Archive", "MakeVouchSet",
                                        "CoverSetting", "Refresh", "Help", "Exit"}));
}

TEST(HostToolbar, UnknownDefinitionLeavesNoButtons) {
    HostToolbar bar;
    ASSERT_TRUE(bar.InitExternalButton(QStringLiteral("Archives_UserDef_List"), nullptr));
    EXPECT_FALSE(bar.InitExternalButton(QStringLiteral("No_Such_Toolbar"), nullptr));
    EXPECT_TRUE(bar.keys().isEmpty());
    EXPECT_TRUE(bar.actions().isEmpty());
}

TEST(HostToolbar, MirrorsTheClassicToolbarOnRefresh) {
    QWidget window;
    HostToolbar bar(&window);
    bar.InitExternalButton(QStringLiteral("Archives_UserDef_List"), nullptr);
    QToolBar* classic = classicWith(&window, {"Print", "Preview", "SaveFile", "SetUp", "Add",
                                              "Modify", "Delete", "Define", "Archive",
                                              "MakeVouchSet", "Refresh", "Help", "Exit"});
    bar.SetToolbar(classic);
    EXPECT_EQ(visibleKeys(bar).size(), 13);
    EXPECT_EQ(visibleSeparators(bar), 4);

    HostToolbar::classicAction(classic, QStringLiteral("Define"))->setVisible(false);
    HostToolbar::classicAction(classic, QStringLiteral("archive"))->setEnabled(false);
    QAction* exit = HostToolbar::classicAction(classic, QStringLiteral("Exit"));
    classic->removeAction(exit);
    // Not mirrored until refreshed.
    EXPECT_TRUE(bar.action(QStringLiteral("Define"))->isVisible());
    EXPECT_TRUE(bar.action(QStringLiteral("Archive"))->isEnabled());

    bar.refresh();
    EXPECT_FALSE(bar.action(QStringLiteral("Define"))->isVisible());
    EXPECT_FALSE(bar.action(QStringLiteral("Archive"))->isEnabled());
    EXPECT_TRUE(bar.action(QStringLiteral("Archive"))->isVisible());
    EXPECT_FALSE(bar.action(QStringLiteral("Exit"))->isVisible());  // no classic button
    EXPECT_TRUE(bar.action(QStringLiteral("Help"))->isVisible());

    // A whole group hidden: one separator between its neighbours, none doubled or trailing.
    for (const char* key : {"Help"})
        HostToolbar::classicAction(classic, QString::fromLatin1(key))->setVisible(false);
    bar.refresh();
    EXPECT_EQ(visibleSeparators(bar), 3);
    for (const char* key : {"Archive", "MakeVouchSet"})
        HostToolbar::classicAction(classic, QString::fromLatin1(key))->setVisible(false);
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
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toString(), QStringLiteral("Refresh"));
    EXPECT_EQ(clicked.at(0).at(1).toString(), QString());

    bar.action(QStringLiteral("Print"))->trigger();
    EXPECT_EQ(clicked.at(1).at(1).toString(), QStringLiteral("Print"));
    QMenu* menu = bar.action(QStringLiteral("Print"))->menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(bar.button(QStringLiteral("Print"))->popupMode(), QToolButton::MenuButtonPopup);
    menu->actions().at(1)->trigger();
    EXPECT_EQ(clicked.at(2).at(0).toString(), QStringLiteral("Print"));
    EXPECT_EQ(clicked.at(2).at(1).toString(), QStringLiteral("Preview"));

    // A disabled button does not click.
    HostToolbar::classicAction(bar.classicToolbar(), QStringLiteral("Refresh"))->setEnabled(false);
    bar.refresh();
    QTest::mouseClick(bar.button(QStringLiteral("Refresh")), Qt::LeftButton);
    EXPECT_EQ(clicked.size(), 3);
}

TEST(HostToolbar, TooltipsShowTheHotKey) {
    HostToolbar bar;
    bar.InitExternalButton(QStringLiteral("Archives_UserDef_List"), nullptr);
    EXPECT_TRUE(bar.action(QStringLiteral("Add"))->toolTip().endsWith(QStringLiteral("(F5)")));
    EXPECT_TRUE(bar.action(QStringLiteral("Print"))->toolTip().endsWith(QStringLiteral("(Ctrl+P)")));
    EXPECT_FALSE(bar.action(QStringLiteral("Exit"))->toolTip().contains(QLatin1Char('(')));
}

TEST(HostToolbar, InitGivesTheClassicToolbarTheButtonsItLacks) {
    QWidget window;
    QToolBar* classic = classicWith(&window, {"SaveRs", "Help"});
    QAction* saveRs = classic->actions().first();
    saveRs->setEnabled(false);
    HostToolbar bar(&window);
    ASSERT_TRUE(bar.Init(classic, nullptr, QStringLiteral("Archives_UserDef_Edit"), QStringLiteral("AS")));

    EXPECT_EQ(HostToolbar::classicAction(classic, QStringLiteral("SaveRs")), saveRs);  // kept
    for (const QString& key : bar.keys())
        EXPECT_NE(HostToolbar::classicAction(classic, key), nullptr) << key.toStdString();
    EXPECT_EQ(bar.classicToolbar(), classic);
    EXPECT_EQ(bar.subsystem(), QStringLiteral("AS"));
    EXPECT_FALSE(bar.action(QStringLiteral("SaveRs"))->isEnabled());  // mirrored at once
}

TEST(HostToolbar, DisplayStyleChoosesIconsAndText) {
    HostToolbar bar;
    bar.SetDisplayStyle(0);
    EXPECT_EQ(bar.toolButtonStyle(), Qt::ToolButtonIconOnly);
    bar.SetDisplayStyle(1);
    EXPECT_EQ(bar.toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    bar.SetDisplayStyle(2);
    EXPECT_EQ(bar.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    EXPECT_EQ(bar.displayStyle(), 2);
}
