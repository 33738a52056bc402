// The grid as a user meets it: header, widths in twips, hidden columns, current row, clicks,
// redraw and scrolling; a record set shown in it, refreshed, printed and exported.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "controls/Grid.h"
#include "controls/PrintControl.h"
#include "controls/Twips.h"
#include "platform/pub/PrintData.h"
#include "tests/support/TestAccount.h"

using controls::Grid;
using testsupport::TestAccount;

namespace {

void fillRows(Grid& g, int rows, int cols) {
    g.setRedraw(false);
    g.setCols(cols);
    g.setRows(rows + 1);
    for (int c = 0; c < cols; ++c) g.setText(0, c, QStringLiteral("Col %1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        g.setText(r, 0, QString::number(r));
        for (int c = 1; c < cols; ++c) g.setText(r, c, QStringLiteral("v%1.%2").arg(r).arg(c));
    }
    g.setRedraw(true);
}

}  // namespace

TEST(Grid, ShowsTheHeaderRowAsItsHeaderAndNoRowHeader) {
    Grid g;
    fillRows(g, 3, 4);
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Col 1"));
    EXPECT_TRUE(g.verticalHeader()->isHidden());
    EXPECT_EQ(g.text(0, 3), QStringLiteral("Col 3"));
    EXPECT_EQ(g.rows(), 4);
    EXPECT_EQ(g.cols(), 4);
}

TEST(Grid, WidthsAreKeptInTwipsAndZeroHidesAColumn) {
    Grid g;
    fillRows(g, 2, 4);
    g.setColWidth(1, 0);
    g.setColWidth(2, 1500);
    g.setColWidth(3, 3000);
    g.setColHidden(0, true);

    EXPECT_TRUE(g.isColumnHidden(1));
    EXPECT_EQ(g.colWidth(1), 0);
    EXPECT_TRUE(g.colHidden(1));
    EXPECT_EQ(g.columnWidth(2), controls::twipsToPixels(1500));
    EXPECT_EQ(g.colWidth(3), 3000);
    EXPECT_TRUE(g.isColumnHidden(0));

    // A refill that resets the view keeps widths and hidden columns.
    fillRows(g, 30, 4);
    EXPECT_TRUE(g.isColumnHidden(1));
    EXPECT_TRUE(g.isColumnHidden(0));
    EXPECT_EQ(g.columnWidth(3), controls::twipsToPixels(3000));

    g.setColHidden(0, false);
    EXPECT_FALSE(g.isColumnHidden(0));
    EXPECT_FALSE(g.colHidden(0));

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

TEST(Grid, RedrawOffBatchesAndSwitchingOnRepaintsOnce) {
    Grid g;
    g.resize(400, 300);
    g.show();
    QSignalSpy reset(g.model(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(g.model(), &QAbstractItemModel::dataChanged);

    g.setRedraw(false);
    EXPECT_FALSE(g.redraw());
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
    EXPECT_EQ(g.repaintCount() - before, 2);
    g.setRedraw(true);
    EXPECT_EQ(g.repaintCount() - before, 3);
    EXPECT_EQ(reset.size(), 1);    // the new shape, announced once at row 200
    EXPECT_EQ(changed.size(), 2);  // rows 201-400, then 401-450
    EXPECT_EQ(g.model()->rowCount(), 450);

    g.setRedraw(true);  // already on: nothing
    EXPECT_EQ(g.repaintCount() - before, 3);
}

TEST(Grid, CurrentRowFollowsTheSelectionAndIsZeroAfterARefill) {
    Grid g;
    fillRows(g, 5, 3);
    QSignalSpy rowChanged(&g, &Grid::currentRowChanged);

    EXPECT_EQ(g.currentRow(), 0);
    g.setCurrentRow(3);
    EXPECT_EQ(g.currentRow(), 3);
    ASSERT_EQ(rowChanged.size(), 1);
    EXPECT_EQ(rowChanged.at(0).at(0).toInt(), 3);
    EXPECT_TRUE(g.selectionModel()->isRowSelected(2, {}));

    g.setCurrentRow(3);  // same row: no signal
    EXPECT_EQ(rowChanged.size(), 1);

    fillRows(g, 2, 3);
    EXPECT_EQ(g.currentRow(), 0);
    ASSERT_EQ(rowChanged.size(), 2);
    EXPECT_EQ(rowChanged.at(1).at(0).toInt(), 0);

    g.setCurrentRow(9);  // beyond the rows: nothing current
    EXPECT_EQ(g.currentRow(), 0);
}

TEST(Grid, CurrentRowMovesWithItsRowWhenSorted) {
    Grid g;
    fillRows(g, 3, 2);
    g.setText(1, 1, QStringLiteral("30"));
    g.setText(2, 1, QStringLiteral("10"));
    g.setText(3, 1, QStringLiteral("20"));
    g.setCurrentRow(1);
    g.sort(1, Qt::AscendingOrder);
    EXPECT_EQ(g.currentRow(), 3);
    EXPECT_EQ(g.text(g.currentRow(), 1), QStringLiteral("30"));
}

TEST(Grid, ClicksAndDoubleClicksReportGridRowAndColumn) {
    Grid g;
    g.resize(600, 300);
    fillRows(g, 5, 3);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    QSignalSpy clicked(&g, &Grid::cellClicked);
    QSignalSpy doubled(&g, &Grid::cellDoubleClicked);
    QSignalSpy rowChanged(&g, &Grid::currentRowChanged);

    const QRect cell = g.visualRect(g.model()->index(1, 2));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
    EXPECT_EQ(clicked.at(0).at(1).toInt(), 2);
    EXPECT_EQ(g.currentRow(), 2);
    EXPECT_EQ(g.currentCol(), 2);
    ASSERT_EQ(rowChanged.size(), 1);

    QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(doubled.size(), 1);
    EXPECT_EQ(doubled.at(0).at(0).toInt(), 2);
}

TEST(Grid, TopRowScrollsTheListAndIsReadBack) {
    Grid g;
    g.resize(400, 200);
    fillRows(g, 100, 2);
    g.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&g));
    EXPECT_EQ(g.topRow(), 1);
    g.setTopRow(40);
    EXPECT_EQ(g.topRow(), 40);
    g.setTopRow(500);  // no such row: stays
    EXPECT_EQ(g.topRow(), 40);
}

TEST(Grid, CheckColumnsShowBoxesAndKeepStatesFromCode) {
    Grid g;
    fillRows(g, 3, 3);
    g.setCheckColumn(2, true);
    g.setCheckState(2, 2, Qt::Checked);
    EXPECT_TRUE(g.isCheckColumn(2));
    EXPECT_EQ(g.checkState(2, 2), Qt::Checked);
    EXPECT_EQ(g.model()->data(g.model()->index(1, 2), Qt::CheckStateRole).toInt(),
              int(Qt::Checked));
    EXPECT_EQ(g.model()->data(g.model()->index(0, 2), Qt::CheckStateRole).toInt(),
              int(Qt::Unchecked));
}

TEST(Grid, AShownRecordSetIsPrintedAndExportedAsShownAndARefreshLeavesNoRowCurrent) {
    TestAccount account;
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    const QString sql = QStringLiteral(
        "select cValue, cAlias, bFreeStop from userdefine where cId='20' order by pubzxts");
    using F = host::GridField;
    const std::vector<F> columns = {{F::Counter, -1, {}}, {F::Text, 0, {}}, {F::Text, 1, {}},
                                    {F::Check, 2, {}}};
    Grid g;
    g.resize(600, 400);
    g.setCols(4);
    const QStringList headers = {"No.", "Value", "Alias", "Stop"};
    for (int c = 0; c < 4; ++c) g.setText(0, c, headers[c]);
    g.setColWidth(2, 0);  // hidden: neither printed nor exported
    g.showRecordSet(account.srv().OpenX(sql), columns);
    g.show();
    g.setText(4, 1, QStringLiteral("白色, \"雪\""));
    g.sort(1, Qt::DescendingOrder);

    controls::PrintControl prn;
    ASSERT_TRUE(prn.SetDataStyleXML(
        platform::pub::printData(g, {QStringLiteral("Colours"), "001", "demo", "Demo", "Y"}), {}));
    const QString path = QDir::temp().filePath(QStringLiteral("grid-export-%1.csv")
                                                   .arg(QCoreApplication::applicationPid()));
    const controls::ExportResult exported = prn.ExportToFile(path, QStringLiteral("csv"));
    ASSERT_EQ(exported.count, 4) << exported.error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString csv = QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF));
    file.close();
    file.remove();
    EXPECT_EQ(csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
              QStringList({"No.,Value,Stop", "2,蓝色,", "1,红色,", "4,\"白色, \"\"雪\"\"\",",
                           "3,墨绿,Y"}));

    g.setCurrentRow(2);
    QSignalSpy rowChanged(&g, &Grid::currentRowChanged);
    ASSERT_TRUE(account.db().exec(QStringLiteral("DELETE FROM Userdefine WHERE cValue='蓝色'")));
    g.showRecordSet(account.srv().OpenX(sql), columns);
    EXPECT_EQ(g.currentRow(), 0);
    ASSERT_EQ(rowChanged.size(), 1);
    EXPECT_EQ(rowChanged.at(0).at(0).toInt(), 0);
    EXPECT_EQ(g.rows(), 4);
    EXPECT_EQ(g.text(2, 1), QStringLiteral("墨绿"));  // in the order read, the edit gone
    EXPECT_EQ(g.text(3, 1), QStringLiteral("白色"));
    EXPECT_EQ(g.colWidth(2), 0);
}
