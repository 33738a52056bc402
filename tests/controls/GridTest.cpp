// The grid as a user meets it, its model under QAbstractItemModelTester throughout: the header
// row, cells through shape changes, batched fills, sorting, widths in twips, the current row,
// clicks and tick boxes.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/Grid.h"
#include "controls/Twips.h"
#include "tests/controls/ModelTesterFailures.h"
#include "tests/support/Printing.h"

using controls::Grid;
using controls::GridModel;

namespace {

// A grid whose model fails the running test on every complaint of the model tester.
struct CheckedGrid {
    ModelTesterFailures failures;
    Grid g;
    QAbstractItemModelTester tester{g.model(), QAbstractItemModelTester::FailureReportingMode::Warning};
};

void fillRows(Grid& g, int rows, int cols) {
    g.setRedraw(false);
    g.setCols(cols);
    g.setRows(rows + 1);
    for (int c = 0; c < cols; ++c) g.setText(0, c, QStringLiteral("Col %1").arg(c));
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < cols; ++c) g.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
    g.setRedraw(true);
}

QStringList column(const Grid& g, int col) {
    QStringList out;
    for (int r = 1; r < g.rows(); ++r) out << g.text(r, col);
    return out;
}

}  // namespace

TEST(Grid, TheHeaderRowIsTheHeaderAndCellsSurviveShapeChanges) {
    CheckedGrid f;
    Grid& g = f.g;
    fillRows(g, 5, 3);
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Col 1"));
    EXPECT_EQ(g.model()->data(g.model()->index(0, 1)).toString(), QStringLiteral("r1c1"));
    EXPECT_TRUE(g.verticalHeader()->isHidden());

    g.setCols(5);
    g.setRows(3);  // header and two data rows
    EXPECT_EQ(g.text(2, 2), QStringLiteral("r2c2"));
    EXPECT_EQ(g.text(2, 4), QString());
    g.setText(9, 0, QStringLiteral("x"));  // outside: ignored
    g.setCheckState(1, 9, Qt::Checked);
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(g.checkState(1, 9), Qt::Unchecked);

    g.setCheckColumn(2, true);
    g.setCheckState(2, 2, Qt::Checked);
    g.setBackColor(1, 1, Qt::red);
    g.clear();
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(g.text(0, 0), QString());
    EXPECT_EQ(g.checkState(2, 2), Qt::Unchecked);
    EXPECT_FALSE(g.backColor(1, 1).isValid());
    EXPECT_TRUE(g.isCheckColumn(2));

    g.setRows(0);  // never fewer than the header row
    EXPECT_EQ(g.rows(), 1);
    EXPECT_EQ(g.model()->rowCount(), 0);
}

TEST(Grid, RedrawOffBatchesAndSwitchingOnAnnouncesAndRepaintsOnce) {
    CheckedGrid f;
    Grid& g = f.g;
    g.resize(400, 300);
    g.show();
    QSignalSpy reset(g.model(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(g.model(), &QAbstractItemModel::dataChanged);
    QSignalSpy header(g.model(), &QAbstractItemModel::headerDataChanged);

    g.setRedraw(false);
    g.setCols(3);
    g.setRows(451);
    const int before = g.repaintCount();
    for (int r = 1; r <= 450; ++r) {
        g.setText(r, 1, QString::number(r));
        if (r % 200 == 0) {  // the fill's progress repaint
            g.setRedraw(true);
            g.setRedraw(false);
        }
    }
    g.setRedraw(true);
    EXPECT_EQ(g.repaintCount() - before, 3);
    EXPECT_EQ(reset.size(), 1);    // the new shape, announced once at row 200
    EXPECT_EQ(changed.size(), 2);  // rows 201-400, then 401-450
    EXPECT_EQ(g.model()->rowCount(), 450);
    g.setRedraw(true);  // already on: nothing
    EXPECT_EQ(g.repaintCount() - before, 3);

    // A header changed in a batch reaches the header; a batch that changed nothing says nothing.
    g.setRedraw(false);
    g.setText(0, 1, QStringLiteral("H"));
    g.setText(5, 1, QStringLiteral("5"));  // the text it had
    g.setRedraw(true);
    EXPECT_EQ(header.size(), 1);
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("H"));
    EXPECT_EQ(changed.size(), 2);
}

TEST(Grid, SortsNumericallyAndStablyCarryingTicksAndTheCurrentRow) {
    CheckedGrid f;
    Grid& g = f.g;
    fillRows(g, 5, 2);
    const QStringList ids = {"10", "9", "abc", "100", "9"};
    for (int r = 1; r <= 5; ++r) {
        g.setText(r, 0, QString::number(r));
        g.setText(r, 1, ids[r - 1]);
    }
    g.setCheckColumn(0, true);
    g.setCheckState(4, 0, Qt::Checked);  // row "100"
    g.setCurrentRow(1);                  // row "10"
    QPersistentModelIndex hundred(g.model()->index(3, 1));

    g.sort(1, Qt::AscendingOrder);
    EXPECT_EQ(column(g, 1), QStringList({"9", "9", "10", "100", "abc"}));
    EXPECT_EQ(column(g, 0), QStringList({"2", "5", "1", "4", "3"}));  // equal keys keep their order
    EXPECT_EQ(g.checkState(4, 0), Qt::Checked);
    EXPECT_EQ(g.text(g.currentRow(), 1), QStringLiteral("10"));
    EXPECT_EQ(hundred.data().toString(), QStringLiteral("100"));
    EXPECT_EQ(g.text(0, 1), QStringLiteral("Col 1"));

    g.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(column(g, 1), QStringList({"abc", "100", "10", "9", "9"}));
}

TEST(Grid, WidthsAreKeptInTwipsAndZeroHidesAColumn) {
    Grid g;
    fillRows(g, 2, 4);
    g.setColWidth(1, 0);
    g.setColWidth(3, 3000);
    g.setColHidden(0, true);
    EXPECT_TRUE(g.isColumnHidden(1));
    EXPECT_EQ(g.columnWidth(3), controls::twipsToPixels(3000));

    // A refill that resets the view keeps widths and hidden columns.
    fillRows(g, 30, 4);
    EXPECT_TRUE(g.isColumnHidden(1));
    EXPECT_TRUE(g.isColumnHidden(0));
    EXPECT_EQ(g.columnWidth(3), controls::twipsToPixels(3000));
    g.setColHidden(0, false);
    EXPECT_FALSE(g.isColumnHidden(0));

    // A width given while redraw is off, for a column the view does not know yet.
    g.setRedraw(false);
    g.setCols(6);
    g.setColWidth(5, 2250);
    g.setRedraw(true);
    EXPECT_EQ(g.columnWidth(5), controls::twipsToPixels(2250));

    // A user's drag is remembered in twips.
    g.horizontalHeader()->resizeSection(2, 200);
    EXPECT_EQ(g.colWidth(2), controls::pixelsToTwips(200));
}

TEST(Grid, ClicksMoveTheCurrentRowAndARefillResetsIt) {
    Grid g;
    g.resize(600, 200);
    fillRows(g, 100, 3);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy clicked(&g, &Grid::cellClicked);
    QSignalSpy doubled(&g, &Grid::cellDoubleClicked);
    QSignalSpy rowChanged(&g, &Grid::currentRowChanged);

    const QRect cell = g.visualRect(g.model()->index(1, 2));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0), (QVariantList{2, 2}));
    EXPECT_EQ(g.currentRow(), 2);
    EXPECT_EQ(g.currentCol(), 2);
    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(doubled.size(), 1);
    EXPECT_EQ(doubled.at(0).at(0).toInt(), 2);
    g.setCurrentRow(2);  // same row: no signal
    EXPECT_EQ(rowChanged.size(), 1);

    g.setTopRow(40);
    EXPECT_EQ(g.topRow(), 40);
    g.setTopRow(500);  // no such row: stays
    EXPECT_EQ(g.topRow(), 40);

    fillRows(g, 2, 3);
    EXPECT_EQ(g.currentRow(), 0);
    EXPECT_EQ(rowChanged.last().at(0).toInt(), 0);
    g.setCurrentRow(9);  // beyond the rows: nothing current
    EXPECT_EQ(g.currentRow(), 0);
}

TEST(Grid, OnlyTheUsersTickOfACheckColumnIsReported) {
    CheckedGrid f;
    Grid& g = f.g;
    fillRows(g, 2, 3);
    g.setCheckColumn(1, true);
    QSignalSpy toggled(g.gridModel(), &GridModel::checkToggled);
    QAbstractItemModel& m = *g.model();

    EXPECT_TRUE(m.flags(m.index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(m.flags(m.index(0, 2)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(m.setData(m.index(1, 2), int(Qt::Checked), Qt::CheckStateRole));
    EXPECT_FALSE(m.setData(m.index(1, 1), QStringLiteral("x"), Qt::EditRole));
    EXPECT_TRUE(m.setData(m.index(1, 1), int(Qt::Checked), Qt::CheckStateRole));  // the view's tick
    EXPECT_EQ(g.checkState(2, 1), Qt::Checked);
    EXPECT_EQ(toggled.size(), 1);
    EXPECT_EQ(toggled.at(0), (QVariantList{2, 1}));

    g.setCheckState(1, 1, Qt::Checked);  // from code: not a user's tick
    EXPECT_EQ(m.data(m.index(0, 1), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(toggled.size(), 1);
}
