// The rule list: carrying rules only, the editor opened for the selected row's whole pair or for
// a new pair, deleting without a question.
#include <gtest/gtest.h>

#include "carryover/FrmMakeVouchSet.h"
#include "carryover/FrmManage.h"
#include "controls/Grid.h"
#include "tests/support/TestSession.h"

using namespace carryover;
using testsupport::SessionTest;

namespace {

class RuleList : public SessionTest {
protected:
    QStringList column(int col) const {
        QStringList out;
        for (int r = 1; r < list.grid()->rows(); ++r) out << list.grid()->text(r, col);
        return out;
    }
    int rowOfGuid(const QString& guid) const { return int(column(FrmMakeVouchSet::kColGuid).indexOf(guid)) + 1; }
    FrmMakeVouchSet list;
};

TEST_F(RuleList, ListsOnlyCarryingRulesWithTheirNames) {
    EXPECT_EQ(FrmMakeVouchSet::shared(), &list);
    EXPECT_EQ(list.grid()->cols(), 15);
    EXPECT_EQ(list.grid()->rows(), 8);  // seven rules carry; the three that do not are not listed
    EXPECT_EQ(list.grid()->colWidth(12), 5000);
    EXPECT_EQ(list.grid()->colWidth(FrmMakeVouchSet::kColGuid), 0);
    const int row = rowOfGuid("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001");
    ASSERT_GT(row, 0);
    EXPECT_EQ(list.grid()->text(row, 3), QStringLiteral("销售订单主表"));
    EXPECT_EQ(list.grid()->text(row, 7), QStringLiteral("项目编号"));
    EXPECT_EQ(rowOfGuid("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0002"), 0);  // btrans 0
}

TEST_F(RuleList, PrintingAnEmptyListSaysThereIsNoData) {
    ASSERT_TRUE(session.srv->ExecuteX("update AA_ExtendDefineMakeVouch_Set set btrans = 0"));
    list.ButtonClick("refresh");
    EXPECT_EQ(list.grid()->rows(), 1);
    list.ButtonClick("print");
    EXPECT_EQ(session.prompter->askedTexts().value(0),
              session.pub->GetResString("Q9.AA.ARCHIVE.COMMON.nodata"));
}

TEST_F(RuleList, EditOpensTheEditorWithEveryRuleOfTheRowsPair) {
    QStringList fields;
    int mode = 0;
    list.setEditorHook([&](FrmManage& editor) {
        mode = editor.editMode();
        for (int r = 1; r < editor.grid()->rows(); ++r)
            fields << editor.grid()->text(r, FrmManage::kColField) + "/" +
                          editor.grid()->text(r, FrmManage::kColGuid).right(4);
    });
    const int row = rowOfGuid("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001");
    list.grid()->setCurrentRow(row);
    list.ButtonClick("Edit");
    EXPECT_EQ(session.windows.shown, QStringList{"carryover::FrmManage"});
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(fields, QStringList({"cHDefine1/0001", "cHDefine2/0002"}));  // also the rule that does not carry
    EXPECT_EQ(list.grid()->currentRow(), row);

    list.setEditorHook([&](FrmManage& editor) { mode = editor.editMode(); });
    list.ButtonClick("add");
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(session.windows.shown.size(), 2);
}

TEST_F(RuleList, DeleteRemovesTheSelectedRuleWithoutAsking) {
    const int row = rowOfGuid("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0003");
    ASSERT_GT(row, 0);
    list.grid()->setCurrentRow(row);
    list.ButtonClick("delete");
    EXPECT_TRUE(session.prompter->asked().isEmpty());
    EXPECT_EQ(list.grid()->rows(), 7);
    EXPECT_EQ(rowOfGuid("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0003"), 0);
    const auto count = [&] {
        return session.account.db().query("select count(*) from AA_ExtendDefineMakeVouch_Set")->at(0, 0).toInt();
    };
    EXPECT_EQ(count(), 9);  // the rules that do not carry stay

    // A list that cannot be read says so and keeps no stale row to delete.
    ASSERT_TRUE(session.account.db().exec("ALTER TABLE AA_DefineExtend RENAME TO AA_DefineExtend_gone"));
    list.grid()->setCurrentRow(1);
    list.ButtonClick("refresh");
    EXPECT_TRUE(session.prompter->askedTexts().value(0).startsWith(
        session.pub->GetResString("Q9.AA.ARCHIVE.USERDEF.MakeVouch.ReadFailed").arg(QString())));
    list.ButtonClick("delete");
    EXPECT_EQ(count(), 9);
}

}  // namespace
