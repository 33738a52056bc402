// The grid's model: its shape, header row, batched changes, sorting and check columns, and a
// record set of the demo account shown through it, all under QAbstractItemModelTester.
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "controls/GridModel.h"
#include "tests/support/TestAccount.h"

using controls::GridModel;
using testsupport::TestAccount;

namespace {

// Fails the running test on every complaint of the model tester.
class TesterMessages {
public:
    TesterMessages() {
        s_failures = 0;
        m_previous = qInstallMessageHandler(&TesterMessages::handler);
    }
    ~TesterMessages() { qInstallMessageHandler(m_previous); }
    int failures() const { return s_failures; }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && context.category && QByteArray(context.category) == "qt.modeltest") {
            ++s_failures;
            ADD_FAILURE() << text.toStdString();
        }
    }
    static inline int s_failures = 0;
    QtMessageHandler m_previous;
};

struct CheckedModel {
    TesterMessages messages;
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
          colsIn(&m, &QAbstractItemModel::columnsInserted),
          layout(&m, &QAbstractItemModel::layoutChanged) {}
    int total() const {
        return int(reset.size() + data.size() + header.size() + rowsIn.size() + rowsOut.size() +
                   colsIn.size() + layout.size());
    }
    QSignalSpy reset, data, header, rowsIn, rowsOut, colsIn, layout;
};

void fill(GridModel& m, int rows, int cols) {
    m.setCols(cols);
    m.setRows(rows + 1);
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < cols; ++c) m.setText(r, c, QStringLiteral("r%1c%2").arg(r).arg(c));
}

}  // namespace

TEST(GridModel, HeaderRowIsTheHorizontalHeaderAndDataRowsFollowIt) {
    CheckedModel f;
    fill(f.model, 3, 4);
    f.model.setText(0, 2, QStringLiteral("名称"));

    EXPECT_EQ(f.model.rows(), 4);
    EXPECT_EQ(f.model.rowCount(), 3);
    EXPECT_EQ(f.model.columnCount(), 4);
    EXPECT_EQ(f.model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("名称"));
    EXPECT_EQ(f.model.text(0, 2), QStringLiteral("名称"));
    EXPECT_EQ(f.model.data(f.model.index(0, 1)).toString(), QStringLiteral("r1c1"));
    EXPECT_EQ(f.model.data(f.model.index(2, 3)).toString(), QStringLiteral("r3c3"));
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, ShapeChangesKeepTheCellsThatRemain) {
    CheckedModel f;
    fill(f.model, 5, 3);
    SignalCounter spy(f.model);

    f.model.setCols(5);
    f.model.setRows(3);  // header and two data rows
    EXPECT_EQ(spy.colsIn.size(), 1);
    EXPECT_EQ(spy.rowsOut.size(), 1);
    EXPECT_EQ(f.model.text(2, 2), QStringLiteral("r2c2"));
    EXPECT_EQ(f.model.text(2, 4), QString());

    f.model.setCols(2);
    f.model.setRows(0);  // never fewer than the header row
    EXPECT_EQ(f.model.rows(), 1);
    EXPECT_EQ(f.model.rowCount(), 0);
    EXPECT_EQ(f.model.cols(), 2);
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, BatchedChangesAreAnnouncedOnceWhenTheBatchEnds) {
    CheckedModel f;
    fill(f.model, 2, 3);
    SignalCounter spy(f.model);

    // A new shape while batching: nothing on the way, one reset at the end.
    f.model.setBatching(true);
    f.model.setRows(451);
    for (int r = 1; r <= 450; ++r) f.model.setText(r, 0, QString::number(r));
    EXPECT_EQ(spy.total(), 0);
    EXPECT_EQ(f.model.rowCount(), 2);  // views keep the shape they were told
    f.model.setBatching(false);
    EXPECT_EQ(spy.reset.size(), 1);
    EXPECT_EQ(spy.total(), 1);
    EXPECT_EQ(f.model.rowCount(), 450);

    // Only cells changed: one dataChanged covering them, and nothing else.
    f.model.setBatching(true);
    f.model.setText(10, 1, QStringLiteral("a"));
    f.model.setText(20, 2, QStringLiteral("b"));
    f.model.setBackColor(15, 0, Qt::yellow);
    EXPECT_EQ(spy.total(), 1);
    f.model.setBatching(false);
    EXPECT_EQ(spy.reset.size(), 1);
    ASSERT_EQ(spy.data.size(), 1);
    const auto topLeft = spy.data.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = spy.data.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(topLeft.row(), 9);
    EXPECT_EQ(topLeft.column(), 0);
    EXPECT_EQ(bottomRight.row(), 19);
    EXPECT_EQ(bottomRight.column(), 2);

    // A header change in a batch comes out as a header change.
    f.model.setBatching(true);
    f.model.setText(0, 1, QStringLiteral("H"));
    f.model.setBatching(false);
    EXPECT_EQ(spy.header.size(), 1);
    EXPECT_EQ(spy.data.size(), 1);

    // Ending a batch that changed nothing says nothing.
    const int before = spy.total();
    f.model.setBatching(true);
    f.model.setText(5, 0, QStringLiteral("5"));  // same text as before
    f.model.setBatching(false);
    EXPECT_EQ(spy.total(), before);
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, SortsDataRowsNumericallyAndLeavesTheHeader) {
    CheckedModel f;
    f.model.setCols(2);
    f.model.setRows(6);
    f.model.setText(0, 1, QStringLiteral("Id"));
    const QStringList ids = {"10", "9", "abc", "100", "9"};
    for (int r = 1; r <= 5; ++r) {
        f.model.setText(r, 0, QString::number(r));
        f.model.setText(r, 1, ids[r - 1]);
    }
    f.model.setCheckColumn(0, true);
    f.model.setCheckState(4, 0, Qt::Checked);  // travels with row "100"

    f.model.sortRows(1, Qt::AscendingOrder);
    QStringList sorted, original;
    for (int r = 1; r <= 5; ++r) {
        sorted << f.model.text(r, 1);
        original << f.model.text(r, 0);
    }
    EXPECT_EQ(sorted, QStringList({"9", "9", "10", "100", "abc"}));
    EXPECT_EQ(original, QStringList({"2", "5", "1", "4", "3"}));  // equal keys keep their order
    EXPECT_EQ(f.model.checkState(4, 0), Qt::Checked);
    EXPECT_EQ(f.model.text(0, 1), QStringLiteral("Id"));

    f.model.sortRows(1, Qt::DescendingOrder);
    EXPECT_EQ(f.model.text(1, 1), QStringLiteral("abc"));
    EXPECT_EQ(f.model.text(5, 1), QStringLiteral("9"));
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, SortKeepsPersistentIndexesOnTheirRows) {
    CheckedModel f;
    f.model.setCols(1);
    f.model.setRows(4);
    f.model.setText(1, 0, QStringLiteral("3"));
    f.model.setText(2, 0, QStringLiteral("1"));
    f.model.setText(3, 0, QStringLiteral("2"));
    QPersistentModelIndex three(f.model.index(0, 0));
    f.model.sortRows(0, Qt::AscendingOrder);
    EXPECT_EQ(three.row(), 2);
    EXPECT_EQ(three.data().toString(), QStringLiteral("3"));
}

TEST(GridModel, ClearEmptiesEveryCellAndKeepsTheShape) {
    CheckedModel f;
    fill(f.model, 3, 3);
    f.model.setText(0, 0, QStringLiteral("No."));
    f.model.setBackColor(1, 1, Qt::red);
    f.model.setCheckColumn(2, true);
    f.model.setCheckState(2, 2, Qt::Checked);

    f.model.clear();
    EXPECT_EQ(f.model.rows(), 4);
    EXPECT_EQ(f.model.cols(), 3);
    EXPECT_EQ(f.model.text(0, 0), QString());
    EXPECT_EQ(f.model.text(3, 2), QString());
    EXPECT_FALSE(f.model.backColor(1, 1).isValid());
    EXPECT_EQ(f.model.checkState(2, 2), Qt::Unchecked);
    EXPECT_TRUE(f.model.isCheckColumn(2));
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, CheckColumnsAreTickedByTheUserAndReportIt) {
    CheckedModel f;
    fill(f.model, 2, 3);
    f.model.setCheckColumn(1, true);
    QSignalSpy toggled(&f.model, &GridModel::checkToggled);

    EXPECT_TRUE(f.model.flags(f.model.index(0, 1)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(f.model.flags(f.model.index(0, 2)) & Qt::ItemIsUserCheckable);
    EXPECT_TRUE(f.model.setData(f.model.index(1, 1), int(Qt::Checked), Qt::CheckStateRole));
    EXPECT_FALSE(f.model.setData(f.model.index(1, 2), int(Qt::Checked), Qt::CheckStateRole));
    EXPECT_FALSE(f.model.setData(f.model.index(1, 1), QStringLiteral("x"), Qt::EditRole));

    EXPECT_EQ(f.model.checkState(2, 1), Qt::Checked);
    EXPECT_EQ(f.model.data(f.model.index(1, 1), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_FALSE(f.model.data(f.model.index(1, 2), Qt::CheckStateRole).isValid());
    ASSERT_EQ(toggled.size(), 1);
    EXPECT_EQ(toggled.at(0).at(0).toInt(), 2);
    EXPECT_EQ(toggled.at(0).at(1).toInt(), 1);

    // Setting a state from code is not a user's tick.
    f.model.setCheckState(1, 1, Qt::Checked);
    EXPECT_EQ(toggled.size(), 1);
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, CellsOutsideTheGridAreIgnored) {
    CheckedModel f;
    fill(f.model, 2, 2);
    f.model.setText(5, 0, QStringLiteral("x"));
    f.model.setText(-1, 0, QStringLiteral("x"));
    f.model.setCheckState(1, 9, Qt::Checked);
    f.model.setBackColor(9, 9, Qt::red);
    EXPECT_EQ(f.model.text(5, 0), QString());
    EXPECT_EQ(f.model.checkState(1, 9), Qt::Unchecked);
    EXPECT_EQ(f.model.rows(), 3);
    EXPECT_EQ(f.messages.failures(), 0);
}

TEST(GridModel, HoldsTenThousandRowsOfTwentyColumnsInOneFill) {
    CheckedModel f;
    SignalCounter spy(f.model);
    f.model.setBatching(true);
    f.model.setCols(20);
    f.model.setRows(10001);
    for (int r = 1; r <= 10000; ++r)
        for (int c = 0; c < 20; ++c) f.model.setText(r, c, QString::number(r * 100 + c));
    f.model.setBatching(false);

    EXPECT_EQ(spy.reset.size(), 1);
    EXPECT_EQ(spy.total(), 1);
    EXPECT_EQ(f.model.rowCount(), 10000);
    EXPECT_EQ(f.model.text(10000, 19), QStringLiteral("1000019"));
    EXPECT_EQ(f.messages.failures(), 0);
}

namespace {

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
    EXPECT_EQ(f.messages.failures(), 0);
}
