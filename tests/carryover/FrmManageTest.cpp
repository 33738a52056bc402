// The rule editor as the administrator uses it: choosing the pair through the look-ups, the
// shared items, the existing rules of a pair, and what a save checks.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "carryover/CarryOverSql.h"
#include "carryover/FrmManage.h"
#include "controls/Grid.h"
#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using testsupport::SessionTest;

namespace {

class RuleEditor : public SessionTest {
protected:
    // Chooses the row of a chooser's look-up whose shown texts hold `text`; the number of rows
    // the look-up listed goes to listed.
    static void choose(controls::RefEdit* chooser, const QString& text, int* listed = nullptr) {
        chooser->setLookupRunner([&](controls::LookupWindow& lookup) {
            if (listed) *listed = lookup.visibleRowCount();
            lookup.setFilterText(text);
            lookup.choose();
            return lookup.choice();
        });
        chooser->lookup();
    }
    QStringList column(int col) const {
        QStringList out;
        for (int r = 1; r < editor.grid()->rows(); ++r) out << editor.grid()->text(r, col);
        return out;
    }
    // Path, carry flag, description and type of the rules of a source table for an item.
    QStringList rules(const char* source, const char* column) {
        QStringList out;
        auto rs = session.srv->OpenX(
            QStringLiteral("select cMakeVouchID,btrans,cdesc,ctype from AA_ExtendDefineMakeVouch_Set "
                           "where cTableName='") + source + "' and cextendfield='" + column + "'");
        for (int r = 0; rs && r < rs->recordCount(); ++r)
            out << rs->at(r, 0).toString() + "|" + rs->at(r, 1).toString().toLower() + "|" +
                       rs->at(r, 2).toString() + "|" + rs->at(r, 3).toString();
        return out;
    }
    // The user picks a grid row with the mouse.
    void pickRow(int r) {
        const QRect cell = editor.grid()->visualRect(editor.grid()->model()->index(r - 1, 1));
        QTest::mouseClick(editor.grid()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void showEditor() {
        editor.resize(900, 500);
        editor.show();
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
    }
    QString yes() { return session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.yes"); }
    QString no() { return session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.no"); }
    FrmManage editor;
};

TEST_F(RuleEditor, AddingListsTheItemsSharedByTheChosenPair) {
    editor.Add();
    editor.Load();
    EXPECT_EQ(editor.editMode(), 1);
    EXPECT_FALSE(editor.targetChooser()->isEnabled());
    EXPECT_FALSE(editor.saveEnabled());

    int sources = 0, targets = 0;
    choose(editor.sourceChooser(), QStringLiteral("销售订单主表"), &sources);
    EXPECT_EQ(sources, 10);
    EXPECT_EQ(editor.sourceTable(), QStringLiteral("SA_OrderHead"));
    EXPECT_EQ(editor.typeCode(), QStringLiteral("H"));
    EXPECT_TRUE(editor.targetChooser()->isEnabled());
    choose(editor.targetChooser(), QString(), &targets);
    EXPECT_EQ(targets, 1);  // a header source carries to the header tables of its pairs
    EXPECT_EQ(editor.targetTable(), QStringLiteral("SA_DispatchHead"));
    EXPECT_EQ(column(FrmManage::kColField), QStringList({"cHDefine1", "cHDefine2"}));
    EXPECT_EQ(column(FrmManage::kColTrans), QStringList({no(), no()}));
    EXPECT_EQ(column(FrmManage::kColGuid), QStringList({"", ""}));
    EXPECT_TRUE(editor.saveEnabled());

    // The pair has rules already: adding them again is refused with the service's reason.
    editor.Operating("SaveRs");
    ASSERT_EQ(session.prompter->asked().size(), 1);
    EXPECT_TRUE(session.prompter->asked()[0].text.contains("cHDefine1"));
    EXPECT_EQ(editor.editMode(), 1);
    EXPECT_FALSE(editor.saveEnabled());
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine1").size(), 1);
}

TEST_F(RuleEditor, AddingANewPairSavesARulePerItemAndASecondSaveModifiesThem) {
    editor.Add();
    editor.Load();
    choose(editor.sourceChooser(), QStringLiteral("调整"));
    ASSERT_EQ(editor.sourceTable(), QStringLiteral("PR_AdjustHead"));
    choose(editor.targetChooser(), QString());
    ASSERT_EQ(editor.targetTable(), QStringLiteral("PU_OrderHead"));
    ASSERT_EQ(editor.grid()->rows(), 2);
    editor.editRow(1, true, QStringLiteral("<carried> & 'quoted' 😀"));
    int refreshed = 0;
    editor.setAfterSave([&] { ++refreshed; });
    editor.Operating("SaveRs");
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_EQ(editor.editMode(), 2);
    EXPECT_EQ(refreshed, 1);
    EXPECT_FALSE(editor.saveEnabled());
    const QStringList added = rules("PR_AdjustHead", "cHDefine1");
    ASSERT_EQ(added.size(), 1);
    EXPECT_TRUE(added[0].endsWith("|true|<carried> & 'quoted' 😀|H")) << added[0].toStdString();
    EXPECT_FALSE(added[0].startsWith("|"));  // the pair's path

    editor.editRow(1, false, QStringLiteral("changed"));
    editor.Operating("SaveRs");
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_EQ(rules("PR_AdjustHead", "cHDefine1"),
              QStringList({added[0].section('|', 0, 0) + "|false|changed|H"}));
}

TEST_F(RuleEditor, ASourceOfBothKindsIsOfferedTargetsOfBothKinds) {
    editor.Add();
    editor.Load();
    int targets = 0;
    choose(editor.sourceChooser(), QStringLiteral("合同"));
    ASSERT_EQ(editor.sourceTable(), QStringLiteral("CM_Contract"));
    EXPECT_EQ(editor.typeCode(), QStringLiteral("B,H"));
    choose(editor.targetChooser(), QStringLiteral("销售订单主表"), &targets);
    EXPECT_EQ(targets, 2);
    EXPECT_EQ(column(FrmManage::kColField), QStringList({"cHDefine1"}));
}

TEST_F(RuleEditor, TheTargetLookUpWaitsForASource) {
    editor.Add();
    editor.Load();
    editor.targetChooser()->setEnabled(true);
    int listed = -1;
    choose(editor.targetChooser(), QString(), &listed);
    EXPECT_EQ(listed, -1);  // the look-up stayed shut
    ASSERT_EQ(session.prompter->asked().size(), 1);
    EXPECT_EQ(session.prompter->asked()[0].text,
              session.pub->GetResString("Q9.AA.ARCHIVE.FIELD.firsttochoosesourcetable"));
    EXPECT_EQ(session.prompter->asked()[0].buttons, host::MsgButtons::Ok);
}

TEST_F(RuleEditor, ModifyingShowsThePairsRulesAndSavesWhatTheUserTyped) {
    host::RecordSetPtr pair = session.srv->OpenX(RulesOfPairSql("SA_OrderHead", "SA_DispatchHead"));
    ASSERT_TRUE(pair);
    editor.init(pair, 1);
    showEditor();
    EXPECT_EQ(editor.editMode(), 2);
    EXPECT_EQ(editor.sourceChooser()->text(), QStringLiteral("销售订单主表"));
    EXPECT_EQ(column(FrmManage::kColField), QStringList({"cHDefine1", "cHDefine2"}));
    EXPECT_EQ(column(FrmManage::kColTrans), QStringList({yes(), no()}));
    EXPECT_EQ(column(FrmManage::kColDesc),
              QStringList({QStringLiteral("项目编号随订单带到发货单"), QStringLiteral("审批日期不带入")}));
    EXPECT_FALSE(editor.saveEnabled());
    EXPECT_TRUE(session.pub->isSaveRs(&editor));  // the close query: nothing changed, nothing asked
    EXPECT_TRUE(session.prompter->asked().isEmpty());

    // Row 2: carried, with a new description; F6 saves.
    pickRow(2);
    auto* carry = editor.findChild<QComboBox*>("CmbTrans");
    carry->setFocus();
    QTest::keyClick(carry, Qt::Key_Up);
    auto* desc = editor.findChild<QLineEdit*>("EdtDesc");
    desc->selectAll();
    QTest::keyClicks(desc, QStringLiteral("<with order> & 'all'"));
    QTest::keyClick(desc, Qt::Key_F6);
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine2"), QStringList({"SA01|true|<with order> & 'all'|H"}));
    EXPECT_EQ(rules("SA_OrderHead", "cHDefine1"), QStringList({"SA01|true|项目编号随订单带到发货单|H"}));
}

TEST_F(RuleEditor, OnlyTablesChosenInTheLookUpsAreSaved) {
    editor.Add();
    showEditor();
    choose(editor.sourceChooser(), QStringLiteral("调整"));
    choose(editor.targetChooser(), QString());
    ASSERT_EQ(editor.grid()->rows(), 2);
    // Typing over the source names no table: the save is refused.
    QTest::keyClicks(editor.sourceChooser()->lineEdit(), QStringLiteral("x"));
    editor.Operating("SaveRs");
    EXPECT_EQ(session.prompter->askedTexts().value(0),
              session.pub->GetResString("Q9.AA.ARCHIVE.FIELD.cannotnull"));
    EXPECT_TRUE(rules("PR_AdjustHead", "cHDefine1").isEmpty());
    // Another source drops the earlier source's target and its items.
    choose(editor.sourceChooser(), QStringLiteral("销售订单主表"));
    EXPECT_EQ(editor.targetChooser()->text(), QString());
    EXPECT_EQ(editor.grid()->rows(), 1);
}

TEST_F(RuleEditor, ASaveWithoutAPairOrWithoutSharedItemsIsRefusedWithItsReason) {
    editor.Add();
    editor.Load();
    editor.Operating("SaveRs");
    EXPECT_EQ(session.prompter->askedTexts().value(0),
              session.pub->GetResString("Q9.AA.ARCHIVE.FIELD.cannotnull"));
    EXPECT_FALSE(editor.saveEnabled());
    EXPECT_EQ(editor.editMode(), 1);
}

}  // namespace
