// The check tree: keyed nodes in tree order, the tick rules, which tick changes are reported,
// the ticked-only view and the lock, all under QAbstractItemModelTester.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <functional>

#include "controls/CheckTree.h"

using controls::CheckTree;
using controls::CheckTreeModel;

namespace {

// Fails the running test on every complaint of the model tester.
class TesterMessages {
public:
    TesterMessages() { m_previous = qInstallMessageHandler(&TesterMessages::handler); }
    ~TesterMessages() { qInstallMessageHandler(m_previous); }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && context.category &&
            QByteArray(context.category) == "qt.modeltest")
            ADD_FAILURE() << text.toStdString();
    }
    QtMessageHandler m_previous;
};

struct Fixture {
    TesterMessages messages;
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

TEST(CheckTree, NodesAreKeyedAndListedDepthFirstInTheOrderAddedBelowEachParent) {
    Fixture f;
    EXPECT_EQ(f.model.nodeCount(), 8);
    EXPECT_EQ(f.model.keys(),
              QStringList({"G1", "SA", "Mark&&SA_OrderHead", "Mark&&SA_DispatchHead", "PU",
                           "Mark&&PU_OrderHead", "G2", "GL"}));
    EXPECT_EQ(f.model.childKeys("G1"), QStringList({"SA", "PU"}));
    EXPECT_EQ(f.model.childKeys({}), QStringList({"G1", "G2"}));
    EXPECT_EQ(f.model.parentKey("Mark&&PU_OrderHead"), "PU");
    EXPECT_EQ(f.model.parentKey("G2"), QString());
    EXPECT_EQ(f.model.text("GL"), "Ledger");
    EXPECT_EQ(f.model.depth("Mark&&SA_OrderHead"), 2);

    // Refused: a used key (also as another node's child), an unknown parent, an empty key.
    // Keys compare as given, so a key differing in case is a new node.
    EXPECT_FALSE(f.model.addNode("SA", "again", "G2"));
    EXPECT_FALSE(f.model.addNode("X", "orphan", "NoSuchParent"));
    EXPECT_FALSE(f.model.addNode("", "nameless"));
    EXPECT_TRUE(f.model.addNode("sa", "lower case", "G2"));
    EXPECT_EQ(f.model.text("SA"), "Sales");
    EXPECT_EQ(f.model.nodeCount(), 9);

    // Removing a node removes its subtree; its key can then be used again.
    EXPECT_TRUE(f.model.removeNode("SA"));
    EXPECT_FALSE(f.model.contains("Mark&&SA_DispatchHead"));
    EXPECT_FALSE(f.model.removeNode("SA"));
    EXPECT_EQ(f.model.keys(), QStringList({"G1", "PU", "Mark&&PU_OrderHead", "G2", "GL", "sa"}));
    EXPECT_TRUE(f.model.addNode("Mark&&SA_OrderHead", "Sales order", "GL"));
    EXPECT_EQ(f.model.childKeys("GL"), QStringList({"Mark&&SA_OrderHead"}));

    f.model.clear();
    EXPECT_EQ(f.model.nodeCount(), 0);
    EXPECT_TRUE(f.model.keys().isEmpty());
    EXPECT_TRUE(f.model.addNode("G1", "again"));
}

TEST(CheckTree, TickingMarksTheAncestorsAndUntickingLeavesThemAlone) {
    Fixture f;
    f.model.setTicked("Mark&&SA_OrderHead", true);
    EXPECT_EQ(f.model.tickedKeys(), QStringList({"G1", "SA", "Mark&&SA_OrderHead"}));
    EXPECT_EQ(f.model.data(f.model.indexOf("G1"), Qt::CheckStateRole).toInt(), Qt::Checked);

    f.model.setTicked("Mark&&SA_OrderHead", false);
    EXPECT_EQ(f.model.tickedKeys(), QStringList({"G1", "SA"}));

    f.model.setTicked("Mark&&SA_DispatchHead", true);
    f.model.setTicked("SA", false);  // the ticked child below keeps its tick
    EXPECT_EQ(f.model.tickedKeys(), QStringList({"G1", "Mark&&SA_DispatchHead"}));

    f.model.setAllTicked(true);
    EXPECT_EQ(f.model.tickedKeys(), f.model.keys());
    f.model.setAllTicked(false);
    EXPECT_TRUE(f.model.tickedKeys().isEmpty());

    f.model.setTicked("NoSuchNode", true);  // logged, nothing else
    EXPECT_TRUE(f.model.tickedKeys().isEmpty());
    EXPECT_EQ(f.ticked.size(), 0);  // none of the program's changes is reported
}

TEST(CheckTree, OnlyTheUsersTickChangesAreReported) {
    Fixture f;
    f.tree.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.tree));

    // Space toggles the current node; its ancestors are ticked with it, silently.
    ASSERT_TRUE(f.tree.setCurrentKey("Mark&&PU_OrderHead"));
    QTest::keyClick(&f.tree, Qt::Key_Space);
    ASSERT_EQ(f.ticked.size(), 1);
    EXPECT_EQ(f.ticked.at(0).at(0).toString(), "Mark&&PU_OrderHead");
    EXPECT_TRUE(f.ticked.at(0).at(1).toBool());
    EXPECT_TRUE(f.model.isTicked("PU"));
    EXPECT_TRUE(f.model.isTicked("G1"));
    QTest::keyClick(&f.tree, Qt::Key_Space);
    ASSERT_EQ(f.ticked.size(), 2);
    EXPECT_FALSE(f.ticked.at(1).at(1).toBool());
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
    EXPECT_TRUE(f.tree.isShown("GL"));

    f.tree.setShowOnlyTicked(false);
    f.tree.collapseAll();
    for (const QString& key : f.model.keys()) EXPECT_TRUE(f.tree.isShown(key));
    ASSERT_TRUE(f.tree.ensureVisible("Mark&&PU_OrderHead"));
    EXPECT_TRUE(f.tree.isExpanded(f.tree.QTreeView::model()->index(0, 0)));  // G1 opened
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
    EXPECT_FALSE(f.model.flags(f.model.indexOf("GL")).testFlag(Qt::ItemIsUserCheckable));
    EXPECT_EQ(f.ticked.size(), 0);

    f.model.setTicked("GL", true);
    EXPECT_TRUE(f.model.isTicked("GL"));

    f.tree.setLocked(false);
    f.tree.setCurrentKey("GL");
    QTest::keyClick(&f.tree, Qt::Key_Space);
    EXPECT_FALSE(f.model.isTicked("GL"));
    EXPECT_EQ(f.ticked.size(), 1);
}

TEST(CheckTree, TenThousandNodesFillTickAndPruneInOneAnnouncementEach) {
    TesterMessages messages;
    CheckTree tree;
    CheckTreeModel& model = *tree.model();
    QAbstractItemModelTester tester(&model,
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);

    model.beginUpdate();
    for (int g = 0; g < 100; ++g) {
        const QString group = QStringLiteral("G%1").arg(g);
        ASSERT_TRUE(model.addNode(group, group));
        for (int t = 0; t < 99; ++t)
            model.addNode(QStringLiteral("Mark&&T%1_%2").arg(g).arg(t), QStringLiteral("t"), group);
    }
    model.endUpdate();
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(inserts.size(), 0);
    ASSERT_EQ(model.nodeCount(), 10000);
    ASSERT_EQ(tree.QTreeView::model()->rowCount(), 100);
    const QStringList keys = model.keys();
    ASSERT_EQ(keys.size(), 10000);
    EXPECT_EQ(keys.at(0), "G0");
    EXPECT_EQ(keys.at(1), "Mark&&T0_0");
    EXPECT_EQ(keys.at(100), "G1");

    // The pruning a table tree does: tick what is wanted, remove what stayed unticked.
    model.beginUpdate();
    for (int g = 0; g < 100; g += 2)
        for (const QString& key : model.childKeys(QStringLiteral("G%1").arg(g)))
            model.setTicked(key, true);
    for (const QString& key : keys)
        if (!model.isTicked(key)) model.removeNode(key);
    model.endUpdate();
    EXPECT_EQ(resets.size(), 2);
    EXPECT_EQ(model.nodeCount(), 5000);
    EXPECT_EQ(model.childKeys({}).size(), 50);
    EXPECT_EQ(model.childKeys("G98").size(), 99);

    model.setAllTicked(false);
    EXPECT_TRUE(model.tickedKeys().isEmpty());
    model.setTicked("Mark&&T98_98", true);
    tree.setShowOnlyTicked(true);
    EXPECT_EQ(tree.QTreeView::model()->rowCount(), 1);
    EXPECT_TRUE(tree.ensureVisible("Mark&&T98_98"));
}
