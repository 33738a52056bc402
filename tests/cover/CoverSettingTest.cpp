// The cover setting as the administrator uses it from the catalogue: the menu marks choose the
// option shown, OK moves the mark, Cancel leaves it.
#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <QRadioButton>

#include "catalogue/FrmUserDef.h"
#include "cover/FrmCoverSetting.h"
#include "tests/support/TestSession.h"

using namespace testsupport;

namespace {

class CoverSetting : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        catalogue = std::make_unique<catalogue::FrmUserDef>(false);
        catalogue->Load();
    }
    QAction* tip(int n) const {
        return catalogue->findChild<QAction*>(QStringLiteral("mVouchTip%1").arg(n));
    }
    QList<bool> marks() const { return {tip(0)->isChecked(), tip(1)->isChecked(), tip(2)->isChecked()}; }
    // Runs the catalogue's command; the dialog is answered by `answer`.
    void runCoverSetting(const std::function<void(QDialog&)>& answer) {
        session.windows.onModal = [&](QDialog* dialog) {
            answer(*dialog);
            return dialog->result();
        };
        catalogue->RunCommand(QStringLiteral("coversetting"));
    }
    static QRadioButton* option(QDialog& d, int n) {
        return d.findChild<QRadioButton*>(QStringLiteral("cZxRadio_%1").arg(n));
    }
    static void click(QDialog& d, const char* button) {
        d.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }
    std::unique_ptr<catalogue::FrmUserDef> catalogue;
};

TEST_F(CoverSetting, TheCatalogueOpensAskingAndTheDialogShowsTheMarkedOption) {
    EXPECT_EQ(marks(), (QList<bool>{true, false, false}));
    tip(1)->trigger();
    EXPECT_EQ(marks(), (QList<bool>{false, true, false}));

    int shownOption = -2;
    QString caption;
    runCoverSetting([&](QDialog& d) {
        shownOption = static_cast<cover::FrmCoverSetting&>(d).chosenOption();
        caption = d.windowTitle();
        click(d, "CmdOk");
    });
    EXPECT_EQ(session.windows.shown, QStringList{QStringLiteral("cover::FrmCoverSetting")});
    EXPECT_EQ(shownOption, 1);
    EXPECT_EQ(caption, QStringLiteral("覆盖设置"));
    EXPECT_EQ(marks(), (QList<bool>{false, true, false}));  // OK on the same option
}

TEST_F(CoverSetting, OkMovesTheMarkAndCancelLeavesIt) {
    QStringList commands;
    QObject::connect(catalogue.get(), &catalogue::FrmUserDef::commandReceived,
                     [&](const QString& key) { commands << key; });
    runCoverSetting([](QDialog& d) {
        option(d, 2)->setChecked(true);
        click(d, "CmdOk");
    });
    EXPECT_EQ(marks(), (QList<bool>{false, false, true}));
    EXPECT_TRUE(commands.contains(QStringLiteral("mVouchTip2")));

    runCoverSetting([](QDialog& d) {
        option(d, 0)->setChecked(true);
        click(d, "CmdCancel");
    });
    EXPECT_EQ(marks(), (QList<bool>{false, false, true}));
}

TEST(CoverSettingAlone, NoMarkedEntryPreselectsNothingAndOkChangesNothing) {
    QAction a0, a1, a2;
    for (QAction* a : {&a0, &a1, &a2}) a->setCheckable(true);
    int commands = 0;
    cover::FrmCoverSetting dialog({&a0, &a1, &a2}, [&](const QString&) { ++commands; });
    EXPECT_EQ(dialog.chosenOption(), -1);
    dialog.accept();
    EXPECT_EQ(commands, 0);
    EXPECT_FALSE(a0.isChecked() || a1.isChecked() || a2.isChecked());
}

}  // namespace
