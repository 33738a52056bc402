// The look-up box and its window: filtering as the user types, sorting, choosing by keyboard
// and mouse, reference definitions run on a demo account, and definitions that cannot be used.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>
#include <QTest>

#include "controls/LookupWindow.h"
#include "controls/RefEdit.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

using controls::LookupWindow;
using controls::RefEdit;
using host::RecordSetPtr;

namespace {

const QString kArchiveRef = QStringLiteral(
    "<Ref><RefSet bMultiSel='0' cRetFld='key' cShowFld='name' iShowStyle='0' /></Ref>");

// The archive list as the item editor offers it: key, name and the subsystem.
RecordSetPtr archives() {
    QVector<QVector<QVariant>> rows = {
        {"Customer", "Customer", "AR"},     {"Vendor", "Vendor", "AP"},
        {"Inventory", "Inventory", "IA"},   {"[R001]", "Customer grade", QVariant()},
        {"Department", "Department", "AA"}, {"CustomerClass", "Customer class", "AR"},
    };
    return std::make_shared<host::RecordSet>(QVector<host::FieldInfo>{{"key"}, {"name"}, {"sub"}},
                                             rows);
}

// A runner that lets `drive` act on the window as the user would, then reads the choice.
RefEdit::LookupRunner driving(std::function<void(LookupWindow&)> drive) {
    return [drive](LookupWindow& w) {
        w.show();
        drive(w);
        return w.choice();
    };
}

// What a double click delivers: press, release, double click, release. (QTest's own double
// click does not reach the item views of this Qt version.)
void doubleClick(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &dbl);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

}  // namespace

TEST(RefEdit, TypingFiltersAndTheKeyboardOrMouseChoosesTheRow) {
    RefEdit box;
    box.show();
    ASSERT_TRUE(box.setReference(archives(), kArchiveRef));
    box.setText("Vendor");
    QStringList seen;
    const struct {
        const char* what;
        std::function<void(LookupWindow&)> drive;
        const char* value;  // "" when the window returns nothing
    } cases[] = {
        {"typing filters any shown column in any case, Down and Enter choose",
         [&](LookupWindow& w) {
             QTest::keyClicks(w.filterEdit(), "CUSTomer c");
             EXPECT_EQ(w.visibleRowCount(), 1);
             QTest::keyClick(w.filterEdit(), Qt::Key_Backspace);
             QTest::keyClick(w.filterEdit(), Qt::Key_Backspace);
             QTest::keyClick(w.filterEdit(), Qt::Key_Down);
             for (int r = 0; r < w.visibleRowCount(); ++r) seen << w.visibleText(r, 1);
             QTest::keyClick(w.filterEdit(), Qt::Key_Return);
         },
         "[R001]"},
        {"Escape returns nothing",
         [](LookupWindow& w) {
             QTest::keyClicks(w.filterEdit(), "dep");
             QTest::keyClick(w.filterEdit(), Qt::Key_Escape);
         },
         ""},
        {"a double click chooses",
         [](LookupWindow& w) {
             QTableView* view = w.view();
             doubleClick(view->viewport(), view->visualRect(view->model()->index(2, 1)).center());
         },
         "Inventory"},
        {"Enter with nothing left by the filter keeps the window open",
         [](LookupWindow& w) {
             QTest::keyClicks(w.filterEdit(), "no such archive");
             QTest::keyClick(w.filterEdit(), Qt::Key_Return);
             EXPECT_TRUE(w.isVisible());
             w.reject();
         },
         ""},
    };
    QString value = "Vendor";
    RecordSetPtr returned;
    QObject::connect(&box, &RefEdit::lookupReturned, &box, [&](RecordSetPtr rows) { returned = rows; });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        returned = std::make_shared<host::RecordSet>();
        box.setLookupRunner(driving(c.drive));
        QTest::keyClick(box.lineEdit(), Qt::Key_F2);
        if (*c.value) {
            value = QString::fromUtf8(c.value);
            ASSERT_TRUE(returned && returned->recordCount() == 1);
            EXPECT_EQ(returned->fieldCount(), 3);  // every field of the data source
        } else {
            EXPECT_EQ(returned, nullptr);
        }
        EXPECT_EQ(box.value(), value);
    }
    EXPECT_EQ(seen, QStringList({"Customer", "Customer grade", "Customer class"}));
    EXPECT_EQ(box.text(), "Inventory");

    // What a typed text stands for, without opening the window.
    EXPECT_EQ(box.rowsMatching("customer CLASS")->text("key"), "CustomerClass");
    EXPECT_EQ(box.rowsMatching("Custom")->recordCount(), 0);
}

TEST(RefEdit, HeaderClickSortsAndTheChoiceFollowsTheSortedRow) {
    QVector<QVector<QVariant>> rows;
    for (int i : {9, 10, 1, 100, 25}) rows.append({i, QStringLiteral("item %1").arg(i)});
    auto data = std::make_shared<host::RecordSet>(
        QVector<host::FieldInfo>{{"iNo", host::FieldType::Integer}, {"cName"}}, rows);
    RefEdit box;
    box.show();
    ASSERT_TRUE(
        box.setReference(data,
                         "<Ref><RefSet cRetFld='iNo' cShowFld='cName'/><RefColSet><Q9ColSet><Data>"
                         "<ColSet cFld='iNo' bDisp='1' cCaption='No.' iColWidth='1000'/>"
                         "<ColSet cFld='cName' bDisp='1' cCaption='Name' iColWidth='3000'/>"
                         "</Data></Q9ColSet></RefColSet></Ref>"));
    QStringList sortedOrder;
    box.setLookupRunner(driving([&](LookupWindow& w) {
        auto column = [&w](int c) {
            QStringList out;
            for (int r = 0; r < w.visibleRowCount(); ++r) out << w.visibleText(r, c);
            return out;
        };
        QHeaderView* header = w.view()->horizontalHeader();
        const QPoint first(header->sectionViewportPosition(0) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, first);
        sortedOrder = column(0);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, first);  // descending
        QTest::keyClick(w.filterEdit(), Qt::Key_Home, Qt::ControlModifier);  // to the top
        QTest::keyClick(w.filterEdit(), Qt::Key_Return);
    }));
    const RecordSetPtr chosen = box.lookup();
    EXPECT_EQ(sortedOrder, QStringList({"1", "9", "10", "25", "100"}));
    ASSERT_TRUE(chosen);
    EXPECT_EQ(box.text(), "item 100");
    EXPECT_EQ(box.value(), "100");
}

TEST(RefEdit, MultipleSelectionReturnsEveryChosenRowInListOrder) {
    RefEdit box;
    ASSERT_TRUE(box.setReference(
        archives(), "<Ref><RefSet bMultiSel='1' cRetFld='key' cShowFld='name'/></Ref>"));
    box.setLookupRunner(driving([](LookupWindow& w) {
        QTableView* view = w.view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(4, 0)).center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          view->visualRect(view->model()->index(1, 0)).center());
        QTest::keyClick(view, Qt::Key_Return);
    }));
    const RecordSetPtr chosen = box.lookup();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->recordCount(), 2);
    EXPECT_EQ(box.value(), "Vendor,Department");
}

TEST(RefEdit, UnusableDefinitionsAreRefusedWithAClearReasonAndTheOldOneKept) {
    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok());
    RefEdit box;
    ASSERT_TRUE(box.setReference(archives(), kArchiveRef));
    const QList<std::pair<std::function<bool()>, const char*>> cases = {
        {[&] { return box.setReference(archives(), "<Ref><RefSet cRetFld='key'"); }, "not valid XML"},
        {[&] { return box.setReference(archives(), ""); }, ""},
        {[&] { return box.setReference(archives(), "<Other/>"); }, "<Ref>"},
        {[&] { return box.setReference(&account.srv(), kArchiveRef); }, "no data source"},
    };
    for (int i = 0; i < cases.size(); ++i) {
        EXPECT_FALSE(cases[i].first()) << i;
        EXPECT_FALSE(box.lastError().isEmpty()) << i;
        EXPECT_TRUE(box.lastError().contains(QLatin1String(cases[i].second))) << box.lastError().toStdString();
    }
    EXPECT_TRUE(box.isReferenceMode());
    EXPECT_EQ(box.loadRows()->recordCount(), 6);
}

TEST(RefEdit, ADefinitionRunsItsStatementOnTheAccountAndShowsItsColumns) {
    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    // As stored definitions are: bare '&' and '<>' in attributes. The conditions join the
    // statement's own WHERE, not the one inside the derived table.
    RefEdit box;
    ASSERT_TRUE(box.setReference(
        &account.srv(),
        "<Ref cRefName='Cities' cEntityKeyFld='cValue' cEntityNameFld='cAlias'><DataSrc><DataGrid "
        "cUserDataSrcQrySelectPart=\"SELECT cValue, cAlias FROM (SELECT cValue, cAlias FROM Userdefine "
        "WHERE cId='7') x where cValue<>N'杭州'\" cUserDataSrcQryWherePart=\"cValue like N'%州' \" "
        "cUserDataSrcQryOrderPart='cValue'/></DataSrc><RefConditions><sql>and cValue<>N'广州'</sql>"
        "</RefConditions><RefConditions/><RefColSet><Q9ColSet><Data>"
        "<ColSet cFld='cValue' bDisp='0' cCaption='City'/><ColSet cFld='cAlias' bDisp='1' "
        "cCaption='Code & kind'/></Data></Q9ColSet></RefColSet></Ref>"))
        << box.lastError().toStdString();
    QStringList captions;
    box.setLookupRunner(driving([&](LookupWindow& w) {
        EXPECT_EQ(w.windowTitle(), "Cities");
        for (int c = 0; c < w.view()->model()->columnCount(); ++c)
            captions << w.view()->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_EQ(w.visibleRowCount(), 1);
        QTest::keyClick(w.filterEdit(), Qt::Key_Return);
    }));
    ASSERT_TRUE(box.lookup());
    EXPECT_EQ(captions, QStringList{"Code & kind"});
    EXPECT_EQ(box.value(), "苏州");  // cEntityKeyFld
    EXPECT_EQ(box.text(), "SZ");    // cEntityNameFld

    // A statement the database refuses: nothing opens, the reason is reported.
    ASSERT_TRUE(box.setReference(&account.srv(),
                                 "<Ref><DataSrc><DataGrid cUserDataSrcQrySelectPart='SELECT x FROM "
                                 "NoSuchTable'/></DataSrc></Ref>"));
    QString failure;
    QObject::connect(&box, &RefEdit::lookupFailed, [&](const QString& e) { failure = e; });
    box.setLookupRunner([&](LookupWindow&) {
        ADD_FAILURE() << "opened on a refused statement";
        return RecordSetPtr();
    });
    EXPECT_EQ(box.lookup(), nullptr);
    EXPECT_TRUE(failure.contains("NoSuchTable")) << failure.toStdString();
    EXPECT_EQ(box.value(), "苏州");
}

TEST(LookupWindow, FilterFindsHostileTextsAsPlainTextAndFoldsCase) {
    const QStringList names = testsupport::hostileTexts() << QStringLiteral("\u00DCN\u00CFCODE");
    QVector<QVector<QVariant>> rows;
    for (int i = 0; i < names.size(); ++i) rows.append({QStringLiteral("K%1").arg(i), names[i]});
    LookupWindow w;
    w.setRows(std::make_shared<host::RecordSet>(QVector<host::FieldInfo>{{"key"}, {"name"}}, rows));
    w.show();
    for (const QString& name : names) {
        SCOPED_TRACE(testsupport::traceText(name));
        w.setFilterText(name.toUpper());
        QStringList found;
        for (int r = 0; r < w.visibleRowCount(); ++r) found << w.visibleText(r, 1);
        EXPECT_TRUE(found.contains(name));
        for (const QString& other : found) EXPECT_TRUE(other.contains(name, Qt::CaseInsensitive));
    }
    w.setFilterText(QStringLiteral("\u00FCn\u00EF"));
    QTest::keyClick(w.filterEdit(), Qt::Key_Return);
    ASSERT_TRUE(w.choice());
    EXPECT_EQ(w.choice()->text("key"), QStringLiteral("K%1").arg(names.size() - 1));
}
