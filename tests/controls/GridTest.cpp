// The grid as a user meets it, its model under QAbstractItemModelTester throughout: the header
// row, cells through shape changes, batched fills, sorting, widths in twips, the current row,
// clicks and tick boxes; a record set shown in it, refreshed, printed and exported.
#include <QAbstractItemModelTester>
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
#include "tests/controls/ModelTesterFailures.h"
#include "tests/support/Printing.h"
#include "tests/support/TestAccount.h"

using controls::Grid;
using controls::GridModel;
using testsupport::TestAccount;

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

TEST(Grid, AShownRecordSetIsPrintedAndExportedAsShownAndARefreshLeavesNoRowCurrent) {
    TestAccount account;
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    const QString sql = QStringLiteral(
        "select cValue, cAlias, bFreeStop from userdefine where cId='20' order by pubzxts");
    using F = host::GridField;
    const std::vector<F> columns = {{F::Counter, -1, {}}, {F::Text, 0, {}}, {F::Text, 1, {}},
                                    {F::Check, 2, {}}};
    CheckedGrid checked;
    Grid& g = checked.g;
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

namespace {

// A bare grid model under the model tester, and the signals it sends.
struct CheckedModel {
    ModelTesterFailures failures;
    GridModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Warning};
};

struct SignalCounter {
    explicit SignalCounter(GridModel& m)
        : reset(&m, &QAbstractItemModel::modelReset),
          data(&m, &QAbstractItemModel::dataChanged),
          header(&m, &QAbstractItemModel::headerDataChanged),
          rowsIn(&m, &QAbstractItemModel::rowsInserted),
          rowsOut(&m, &QAbstractItemModel::rowsRemoved),
          layout(&m, &QAbstractItemModel::layoutChanged) {}
    int total() const {
        return int(reset.size() + data.size() + header.size() + rowsIn.size() + rowsOut.size() + layout.size());
    }
    QSignalSpy reset, data, header, rowsIn, rowsOut, layout;
};

// Item 20's colours as the value archive lists them: 红色, 蓝色, 墨绿 (stopped), 白色.
host::RecordSetPtr colours(TestAccount& account) {
    return account.srv().OpenX(QStringLiteral(
        "select cValue, cAlias, bFreeStop from userdefine where cId='20' order by pubzxts"));
}

std::vector<host::GridField> colourColumns() {
    using F = host::GridField;
    return {{F::Counter, -1, {}},
            {F::Text, 0, {}},
            {F::Text, 1, [](const host::RecordSet& rs, int r, int f) { return rs.textAt(r, f).toLower(); }},
            {F::Check, 2, {}}};
}

QStringList column(const GridModel& m, int col) {
    QStringList out;
    for (int r = 1; r < m.rows(); ++r) out << m.text(r, col);
    return out;
}

}  // namespace

TEST(GridModel, ShowsARecordSetAndKeepsWhatIsWrittenOverItUntilTheNextOne) {
    TestAccount account;
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    CheckedModel f;
    f.model.setCols(4);
    f.model.setText(0, 1, QStringLiteral("值"));
    f.model.setColAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    SignalCounter spy(f.model);

    f.model.showRecordSet(colours(account), colourColumns());
    EXPECT_EQ(spy.reset.size(), 1);
    EXPECT_EQ(spy.total(), 1);
    EXPECT_EQ(f.model.text(0, 1), QStringLiteral("值"));  // header and formats stay
    EXPECT_EQ(column(f.model, 0), QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(column(f.model, 1), QStringList({"红色", "蓝色", "墨绿", "白色"}));
    EXPECT_EQ(f.model.data(f.model.index(2, 2)).toString(), QStringLiteral("dkgreen"));
    EXPECT_EQ(f.model.data(f.model.index(2, 2), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_TRUE(f.model.isCheckColumn(3));
    EXPECT_EQ(f.model.checkState(3, 3), Qt::Checked);
    EXPECT_EQ(f.model.checkState(1, 3), Qt::Unchecked);

    // What the component writes is shown over the record set and travels with its row.
    f.model.data(f.model.index(1, 1));  // on screen before it is written over
    f.model.setText(2, 1, QStringLiteral("天蓝"));
    f.model.setBackColor(2, 1, Qt::yellow);
    EXPECT_TRUE(f.model.setData(f.model.index(0, 3), int(Qt::Checked), Qt::CheckStateRole));
    EXPECT_EQ(f.model.data(f.model.index(1, 1)).toString(), QStringLiteral("天蓝"));
    f.model.sortRows(1, Qt::AscendingOrder);  // by code point
    EXPECT_EQ(column(f.model, 1), QStringList({"墨绿", "天蓝", "白色", "红色"}));
    EXPECT_EQ(column(f.model, 0), QStringList({"3", "2", "4", "1"}));
    EXPECT_EQ(f.model.data(f.model.index(3, 2)).toString(), QStringLiteral("red"));
    EXPECT_EQ(f.model.data(f.model.index(2, 2)).toString(), QString());  // 白色, no alias
    EXPECT_EQ(f.model.backColor(2, 1), QColor(Qt::yellow));
    EXPECT_EQ(f.model.data(f.model.index(1, 1), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(Qt::yellow));
    EXPECT_EQ(f.model.checkState(4, 3), Qt::Checked);   // 红色, ticked above
    EXPECT_EQ(f.model.checkState(1, 3), Qt::Checked);   // 墨绿, stopped in the account

    // The next record set, read after the account changed, replaces all of it; in a batch the
    // views hear of it once, at the end.
    ASSERT_TRUE(account.db().exec(QStringLiteral(
        "UPDATE Userdefine SET bFreeStop=1 WHERE cId='20' AND cValue='白色'")));
    f.model.setBatching(true);
    f.model.showRecordSet(colours(account), colourColumns());
    EXPECT_EQ(spy.reset.size(), 1);
    f.model.setBatching(false);
    EXPECT_EQ(spy.reset.size(), 2);
    EXPECT_EQ(column(f.model, 1), QStringList({"红色", "蓝色", "墨绿", "白色"}));
    EXPECT_FALSE(f.model.backColor(2, 1).isValid());
    EXPECT_EQ(f.model.checkState(1, 3), Qt::Unchecked);
    EXPECT_EQ(f.model.checkState(4, 3), Qt::Checked);

    // Rows added by hand after the records are the component's own.
    f.model.setRows(6);
    f.model.setText(5, 1, QStringLiteral("新值"));
    EXPECT_EQ(f.model.text(5, 1), QStringLiteral("新值"));
    EXPECT_EQ(f.model.text(5, 0), QString());
    f.model.clear();
    EXPECT_EQ(f.model.text(1, 1), QString());
}
