// The table tree of an extended item on the demo account: what it shows, how ticks follow one
// another, and hostile ids. What a save does with the ticks
// is read back from the account in the save tests.
#include "common/Globals.h"
#include "controls/CheckTreeModel.h"
#include "itemdef/ExtendTables.h"
#include "tests/support/TestSession.h"

using namespace itemdef;

namespace {

const QString kHeader = QStringLiteral("单据头");
const QString kBody = QStringLiteral("单据体");

class ExtendTree : public testsupport::SessionTest {
protected:
    // Opens the tree as the editor does for an item of a class (existing when cId is given).
    void open(const QString& cClass, const QString& cId = {}, bool adding = false) {
        state = {};
        state.cClass = cClass;
        state.cId = cId;
        state.adding = adding;
        state.extended = true;
        QString error;
        ASSERT_TRUE(BuildExtendTree(tree, state, &error)) << error.toStdString();
        ASSERT_TRUE(LoadExtendTables(tree, state, &error)) << error.toStdString();
    }
    // What a click on a node's check box does in the editor.
    void click(const QString& key, bool ticked) {
        ASSERT_TRUE(tree.contains(key)) << key.toStdString();
        tree.setTicked(key, ticked);
        TableNodeTicked(tree, state, key, ticked);
    }
    void exec(const QString& sql) {
        QString error;
        ASSERT_TRUE(session.account.db().exec(sql, &error)) << error.toStdString();
    }
    QStringList tableKeys() const {
        QStringList out;
        for (const QString& key : tree.keys())
            if (isTableNode(key)) out << key;
        return out;
    }
    QStringList tickedTables() const {
        QStringList out;
        for (const QString& key : tableKeys())
            if (tree.isTicked(key) && !out.contains(tableOfNode(key))) out << tableOfNode(key);
        out.sort(Qt::CaseInsensitive);
        return out;
    }

    controls::CheckTreeModel tree;
    ExtendEditorState state;
};

}  // namespace

TEST_F(ExtendTree, TreeHoldsMenuGroupsSubsystemsAndTheTablesOfTheClass) {
    open(kHeader);
    // Menu groups at the top, subsystems below, tables below their subsystem.
    for (const auto& [key, parent] :
         {std::pair{"SA", "GSC"}, {"CM", "AAAA"}, {"BM", "MAG"}, {"Mark&&SA_OrderHead", "SA"},
          {"Mark&&PR_AdjustHeadSA&&", "SA"}, {"Mark&&PR_AdjustHeadPU&&", "PU"}})
        EXPECT_EQ(tree.parentKey(QString::fromLatin1(key)), QLatin1String(parent)) << key;
    EXPECT_EQ(tree.text("Mark&&SA_OrderHead"), QStringLiteral("销售订单表头"));
    // Only header tables of subsystems the account has; groups without a table are gone and
    // everything starts unticked.
    for (const char* gone : {"Mark&&PR_AdjustHead", "Mark&&SA_OrderBody", "Mark&&HR_LeaveHead", "GL"})
        EXPECT_FALSE(tree.contains(gone)) << gone;
    for (const QString& key : tree.keys()) {
        EXPECT_FALSE(tree.isTicked(key)) << key.toStdString();
        if (!isTableNode(key)) { EXPECT_FALSE(tree.childKeys(key).isEmpty()) << key.toStdString(); }
    }

    open(kBody);
    EXPECT_TRUE(tree.contains("Mark&&SA_OrderBody"));
    EXPECT_FALSE(tree.contains("Mark&&SA_OrderHead"));
    // Archive classes have no tree: nothing is offered, nothing is left over.
    open(QStringLiteral("客户"));
    EXPECT_EQ(tree.nodeCount(), 0);
}

TEST_F(ExtendTree, TicksFollowSubsystemsAndGroups) {
    open(kHeader, "1001");
    EXPECT_EQ(tickedTables(), QStringList({"CM_Contract", "PR_AdjustHead", "PU_OrderHead",
                                           "SA_DispatchHead", "SA_InvoiceHead", "SA_OrderHead"}));
    EXPECT_TRUE(tree.isTicked("GSC"));
    EXPECT_FALSE(tree.isTicked("AP"));

    // A table is ticked under all its subsystems or none, tables of one group together, and
    // a subsystem ticks its tables and their group members wherever they are.
    open(kHeader, "1004");
    click("Mark&&PR_AdjustHeadPU&&", true);
    EXPECT_TRUE(tree.isTicked("Mark&&PR_AdjustHeadSA&&"));
    EXPECT_TRUE(tree.isTicked("GSC"));
    click("Mark&&PR_AdjustHeadSA&&", false);
    EXPECT_FALSE(tree.isTicked("Mark&&PR_AdjustHeadPU&&"));
    EXPECT_FALSE(tree.isTicked("PU"));  // nothing below it is ticked any more
    click("Mark&&SA_DispatchHead", true);
    click("Mark&&SA_InvoiceHead", false);
    EXPECT_FALSE(tree.isTicked("Mark&&SA_DispatchHead"));
    click("SA", true);
    EXPECT_TRUE(tree.isTicked("Mark&&SA_OrderHead"));
    EXPECT_TRUE(tree.isTicked("Mark&&PR_AdjustHeadPU&&"));
    click("SA", false);
    EXPECT_EQ(tickedTables(), QStringList({"AP_VouchHead", "AR_VouchHead", "IA_AdjustHead"}));
}

TEST_F(ExtendTree, EmptyValuesAndHostileIdsAskNothing) {
    // Inventory_extradefine holds only NULL and '' for item 3001's column; 1003's tables have
    // no rows at all: removing their columns asks nothing.
    EXPECT_TRUE(CanDeleteExtendColumn("3001"));
    EXPECT_TRUE(CanDeleteExtendColumn("1003"));
    const QString hostile = QStringLiteral("1001' OR '1'='1");
    open(kHeader, hostile);
    EXPECT_TRUE(tickedTables().isEmpty());  // no item has that id
    EXPECT_TRUE(CanDeleteExtendColumn(hostile));
    EXPECT_TRUE(session.prompter->asked().isEmpty());

    // Tables named with quotes and brackets are still checked without breaking the statement.
    exec("UPDATE AA_DefineExtend SET cTableName = 'AP''Vouch]Head' WHERE cTableName = "
         "'AP_VouchHead'");
    EXPECT_TRUE(CanDeleteExtendColumn("1004"));
}
