// The check tree under QAbstractItemModelTester: keyed nodes in tree order, the tick rules,
// which tick changes are reported, the ticked-only view and the lock.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <functional>

#include "controls/CheckTree.h"
#include "tests/controls/ModelTesterFailures.h"
#include "tests/support/Printing.h"

using controls::CheckTree;
using controls::CheckTreeModel;

namespace {

struct Fixture {
    ModelTesterFailures failures;
    CheckTree tree;
    CheckTreeModel& model = *tree.model();
    QAbstractItemModelTester tester{&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning};
    QSignalSpy ticked{&tree, &CheckTree::nodeTicked};

    Fixture() {
        // Menu group, subsystems, tables: the shape of the extended-item table tree.
        model.addNode("G1", "Supply chain");
        model.addNode("G2", "Finance");
        model.addNode("SA", "Sales", "G1");
        model.addNode("Mark&&SA_OrderHead", "Sales order", "SA");
        model.addNode("GL", "Ledger", "G2");
        model.addNode("PU", "Purchase", "G1");  // added after G2's child, listed under G1
        model.addNode("Mark&&PU_OrderHead", "Purchase order", "PU");
        model.addNode("Mark&&SA_DispatchHead", "Dispatch", "SA");
        tree.resize(300, 400);
        tree.expandAll();
    }
};

// Where the view draws the tick box of a node.
QRect checkBoxRect(CheckTree& tree, const QString& key) {
    tree.ensureVisible(key);
    const QAbstractItemModel* shown = tree.QTreeView::model();
    std::function<QModelIndex(const QModelIndex&)> find = [&](const QModelIndex& parent) {
        for (int r = 0; r < shown->rowCount(parent); ++r) {
            const QModelIndex c = shown->index(r, 0, parent);
            if (c.data(CheckTreeModel::KeyRole).toString() == key) return c;
            if (const QModelIndex d = find(c); d.isValid()) return d;
        }
        return QModelIndex();
    };
    const QModelIndex index = find({});
    QStyleOptionViewItem option;
    option.initFrom(&tree);
    option.rect = tree.visualRect(index);
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    option.text = index.data().toString();
    return tree.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &tree);
}

}  // namespace

TEST(CheckTree, NodesAreKeyedListedInTreeOrderAndPrunedInOneUpdate) {
    Fixture f;
    EXPECT_EQ(f.model.keys(),
              QStringList({"G1", "SA", "Mark&&SA_OrderHead", "Mark&&SA_DispatchHead", "PU",
                           "Mark&&PU_OrderHead", "G2", "GL"}));

    // Refused: a used key (also as another node's child), an unknown parent, an empty key.
    // Keys compare as given, so a key differing in case is a new node.
    EXPECT_FALSE(f.model.addNode("SA", "again", "G2"));
    EXPECT_FALSE(f.model.addNode("X", "orphan", "NoSuchParent"));
    EXPECT_FALSE(f.model.addNode("", "nameless"));
    EXPECT_TRUE(f.model.addNode("sa", "lower case", "G2"));
    EXPECT_EQ(f.model.text("SA"), "Sales");

    // Removing a node removes its subtree; its key can then be used again.
    EXPECT_TRUE(f.model.removeNode("SA"));
    EXPECT_FALSE(f.model.contains("Mark&&SA_DispatchHead"));
    EXPECT_EQ(f.model.keys(), QStringList({"G1", "PU", "Mark&&PU_OrderHead", "G2", "GL", "sa"}));
    EXPECT_TRUE(f.model.addNode("Mark&&SA_OrderHead", "Sales order", "GL"));

    // The pruning a table tree does: tick what is wanted, remove the rest.
    f.model.beginUpdate();
    f.model.setTicked("Mark&&PU_OrderHead", true);
    for (const QString& key : f.model.keys())
        if (!f.model.isTicked(key)) f.model.removeNode(key);
    f.model.endUpdate();
    EXPECT_EQ(f.model.keys(), QStringList({"G1", "PU", "Mark&&PU_OrderHead"}));
    EXPECT_EQ(f.tree.QTreeView::model()->rowCount(), 1);
}

TEST(CheckTree, TickingMarksTheAncestorsAndUntickingLeavesThemAlone) {
    Fixture f;
    f.model.setTicked("Mark&&SA_OrderHead", true);
    EXPECT_EQ(f.model.tickedKeys(), QStringList({"G1", "SA", "Mark&&SA_OrderHead"}));

    f.model.setTicked("Mark&&SA_OrderHead", false);
    EXPECT_EQ(f.model.tickedKeys(), QStringList({"G1", "SA"}));

    f.model.setTicked("Mark&&SA_DispatchHead", true);
    f.model.setTicked("SA", false);  // the ticked child below keeps its tick
    EXPECT_EQ(f.model.tickedKeys(), QStringList({"G1", "Mark&&SA_DispatchHead"}));

    f.model.setAllTicked(true);
    EXPECT_EQ(f.model.tickedKeys(), f.model.keys());
}

TEST(CheckTree, OnlyTheUsersTickChangesAreReported) {
    Fixture f;
    f.tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.tree));

    // Space toggles the current node; its ancestors are ticked with it, silently.
    ASSERT_TRUE(f.tree.setCurrentKey("Mark&&PU_OrderHead"));
    QTest::keyClick(&f.tree, Qt::Key_Space);
    ASSERT_EQ(f.ticked.size(), 1);
    EXPECT_EQ(f.ticked.at(0), (QVariantList{"Mark&&PU_OrderHead", true}));
    EXPECT_TRUE(f.model.isTicked("PU"));
    EXPECT_TRUE(f.model.isTicked("G1"));
    QTest::keyClick(&f.tree, Qt::Key_Space);
    ASSERT_EQ(f.ticked.size(), 2);
    EXPECT_FALSE(f.model.isTicked("Mark&&PU_OrderHead"));

    // A click on the tick box.
    const QRect box = checkBoxRect(f.tree, "GL");
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, box.center());
    ASSERT_EQ(f.ticked.size(), 3);
    EXPECT_EQ(f.ticked.at(2).at(0).toString(), "GL");
    EXPECT_TRUE(f.model.isTicked("G2"));

    // The program's own changes, also in answer to the signal, are not reported.
    QObject::connect(&f.tree, &CheckTree::nodeTicked, &f.tree, [&](const QString& key, bool on) {
        if (key == "Mark&&SA_OrderHead") f.model.setTicked("Mark&&PU_OrderHead", on);
    });
    f.tree.setCurrentKey("Mark&&SA_OrderHead");
    QTest::keyClick(&f.tree, Qt::Key_Space);
    EXPECT_EQ(f.ticked.size(), 4);
    EXPECT_TRUE(f.model.isTicked("Mark&&PU_OrderHead"));
}

TEST(CheckTree, ShowOnlyTickedHidesTheRestAndKeepsThePathToTickedNodes) {
    Fixture f;
    f.model.setTicked("Mark&&SA_DispatchHead", true);
    f.model.setTicked("SA", false);  // the path to the ticked table stays visible all the same
    f.tree.setShowOnlyTicked(true);
    for (const char* key : {"G1", "SA", "Mark&&SA_DispatchHead"})
        EXPECT_TRUE(f.tree.isShown(key)) << key;
    for (const char* key : {"G2", "GL", "PU", "Mark&&SA_OrderHead"})
        EXPECT_FALSE(f.tree.isShown(key)) << key;
    EXPECT_FALSE(f.tree.ensureVisible("GL"));

    f.model.setTicked("GL", true);  // a tick while filtered shows the node and its parent
    EXPECT_TRUE(f.tree.isShown("GL"));
    EXPECT_TRUE(f.tree.isShown("G2"));

    f.tree.setShowOnlyTicked(false);
    for (const QString& key : f.model.keys()) EXPECT_TRUE(f.tree.isShown(key));
}

TEST(CheckTree, ALockedTreeRefusesTheUserButNotTheProgram) {
    Fixture f;
    f.tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.tree));
    f.tree.setLocked(true);
    ASSERT_TRUE(f.tree.setCurrentKey("GL"));
    QTest::keyClick(&f.tree, Qt::Key_Space);
    QTest::mouseClick(f.tree.viewport(), Qt::LeftButton, {}, checkBoxRect(f.tree, "GL").center());
    EXPECT_FALSE(f.model.isTicked("GL"));
    EXPECT_EQ(f.ticked.size(), 0);
    f.model.setTicked("GL", true);
    EXPECT_TRUE(f.model.isTicked("GL"));
}
