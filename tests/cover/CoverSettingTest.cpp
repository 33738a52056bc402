// The cover setting as the administrator uses it from the catalogue: the dialog shows the option
// the menu marks, OK moves the mark (through the catalogue's command), Cancel leaves it; an item
// saved afterwards covers the document captions as the mark says.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "cover/FrmCoverSetting.h"
#include "itemdef/FrmZAM.h"
#include "tests/catalogue/CatalogueFixture.h"

using namespace testsupport;

namespace {

// On either kind of account.
class CoverSetting : public SessionTest, public ::testing::WithParamInterface<TestAccount::Kind> {
protected:
    CoverSetting() : SessionTest(GetParam()) {}
};

TEST_P(CoverSetting, TheDialogShowsTheMarkOkMovesItCancelLeavesItAndASaveCoversAsMarked) {
    auto window = cattest::openCatalogue();
    catalogue::FrmUserDef& catalogue = *window;
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
        {2, 1, "CmdOk", 1},  // always
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
    EXPECT_EQ(session.windows.shown.size(), 4);
    EXPECT_TRUE(session.pub->helpWindow());

    // Marked "always": an inventory item renamed in its editor gives every document caption bound
    // to it the new name, without a question.
    ASSERT_TRUE(catalogue.selectClass(QStringLiteral("存货")));
    catalogue.grid()->setCurrentRow(cattest::rowOfId(catalogue, QStringLiteral("80")));
    session.windows.onModal = [&](QDialog* d) {
        auto* editor = qobject_cast<itemdef::FrmZAM*>(d);
        EXPECT_NE(editor, nullptr);
        if (!editor) return int(QDialog::Rejected);
        editor->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor));
        editor->findChild<QTableWidget*>(QStringLiteral("Grid"))->item(0, 0)->setText(
            QStringLiteral("原产国"));
        QTest::keyClick(editor->findChild<QLineEdit*>(QStringLiteral("EdtIMaxLen")), Qt::Key_F6);
        editor->close();
        return editor->result();
    };
    session.prompter->clear();
    catalogue.RunCommand(QStringLiteral("Define"));
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    const QStringList captions = session.account.rows(QStringLiteral(
        R"(SELECT DISTINCT "cCaption" FROM "DocLayoutField" WHERE "cItemId" = '80')"));
    EXPECT_EQ(captions, QStringList{QStringLiteral("原产国")});
    EXPECT_EQ(session.account.rows(QStringLiteral(R"(SELECT "cItemName" FROM "userdef_lang" )"
                                                  R"(WHERE "cid" = '80' AND "LocaleID" = 'zh-CN')")),
              QStringList{QStringLiteral("原产国")});
}

INSTANTIATE_TEST_SUITE_P(Kinds, CoverSetting,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(kindName(info.param)); });

}  // namespace
