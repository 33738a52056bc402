// The cover setting as the administrator uses it from the catalogue: the dialog shows the option
// the menu marks, OK moves the mark (through the catalogue's command), Cancel leaves it.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "catalogue/FrmUserDef.h"
#include "cover/FrmCoverSetting.h"
#include "tests/support/TestSession.h"

using namespace testsupport;

namespace {

using CoverSetting = SessionTest;

TEST_F(CoverSetting, TheDialogShowsTheMarkedOptionOkMovesTheMarkAndCancelLeavesIt) {
    catalogue::FrmUserDef catalogue(false);
    catalogue.Load();
    const auto tip = [&](int n) { return catalogue.findChild<QAction*>(QStringLiteral("mVouchTip%1").arg(n)); };
    const auto marked = [&] {
        int on = -1;
        for (int n = 0; n < 3; ++n)
            if (tip(n)->isChecked()) on = on < 0 ? n : 9;  // 9: more than one
        return on;
    };
    QStringList commands;
    QObject::connect(&catalogue, &catalogue::FrmUserDef::commandReceived,
                     [&](const QString& key) { commands << key; });
    const struct {
        int markedFirst;  // the menu entry the user marks before opening the dialog
        int click;        // the option clicked in the dialog, -1 none
        const char* button;
        int markedAfter;
    } cases[] = {
        {1, -1, "CmdOk", 1},
        {1, 2, "CmdOk", 2},
        {2, 0, "CmdCancel", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.click);
        tip(c.markedFirst)->trigger();
        commands.clear();
        int shown = -2;
        session.windows.onModal = [&](QDialog* d) {
            shown = static_cast<cover::FrmCoverSetting*>(d)->chosenOption();
            EXPECT_EQ(d->windowTitle(), QStringLiteral("覆盖设置"));
            if (c.click < 0) QTest::keyClick(d, Qt::Key_F1);  // the help beside it
            if (c.click >= 0) {
                auto* option = d->findChild<QRadioButton*>(QStringLiteral("cZxRadio_%1").arg(c.click));
                QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(4, option->height() / 2));
            }
            QTest::mouseClick(d->findChild<QPushButton*>(QLatin1String(c.button)), Qt::LeftButton);
            return d->result();
        };
        catalogue.RunCommand(QStringLiteral("coversetting"));
        EXPECT_EQ(shown, c.markedFirst);
        EXPECT_EQ(marked(), c.markedAfter);
        EXPECT_EQ(commands.contains(QStringLiteral("mVouchTip%1").arg(c.markedAfter)),
                  std::string(c.button) == "CmdOk");
    }
    EXPECT_EQ(session.windows.shown.size(), 3);
    EXPECT_TRUE(session.pub->helpWindow());
}

}  // namespace
