// Grid helpers of the public service on the real grid control: alignment, finding, sorting,
// choosing a row and the print data.
#include <gtest/gtest.h>

#include <QDomDocument>

#include "controls/Grid.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;
namespace FT = host::FieldType;

namespace {

class PubGrid : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setCols(4);
        grid.setRows(1);
        for (int c = 0; const char* title : {"#", "Value", "Alias", "Count"}) {
            grid.setColWidth(c, 1500);
            grid.setText(0, c++, title);
        }
    }
    void addRow(const QString& a, const QString& b, const QString& c, const QString& d) {
        const int r = grid.rows();
        grid.setRows(r + 1);
        for (int col = 0; const QString& text : {a, b, c, d}) grid.setText(r, col++, text);
    }
    void addRows(std::initializer_list<std::pair<const char*, const char*>> rows) {
        for (const auto& [value, alias] : rows)
            addRow(QString::number(grid.rows()), value, alias, QString::number(grid.rows()));
    }

    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
    Pub pub{prompter, "en-us"};
    controls::Grid grid;
};

}  // namespace

TEST_F(PubGrid, FormatGridAlignsByTypeUnlessTheAlignmentTextSaysOtherwise) {
    const host::RecordSet fields({{"cValue", FT::VarWChar, 60},
                                  {"iDataSource", FT::Integer, 0},
                                  {"iCount", FT::Integer, 0}},
                                 {});
    pub.FormatGrid(&grid, fields, "<Align><iDataSource>1</iDataSource><cvalue>2</cvalue></Align>");
    EXPECT_TRUE(grid.colAlignment(1) & Qt::AlignRight);    // named: right, though text
    EXPECT_TRUE(grid.colAlignment(2) & Qt::AlignHCenter);  // named: centre
    EXPECT_TRUE(grid.colAlignment(3) & Qt::AlignRight);    // a number
    // A broken alignment text changes nothing but the named columns: defaults apply.
    pub.FormatGrid(&grid, fields, "<Align><iDataSource>1</Align");
    EXPECT_TRUE(grid.colAlignment(1) & Qt::AlignLeft);
    EXPECT_TRUE(grid.colAlignment(2) & Qt::AlignRight);
}

TEST_F(PubGrid, RowsAreChosenByTextFoundWrappingRoundAndSorted) {
    addRows({{"Alpha", "x"}, {"beta", "alpha-2"}, {"gamma", ""}});
    pub.SetGridRow(&grid, "gamma", "value", 0, 2);
    EXPECT_EQ(grid.currentRow(), 3);
    // Without text the row itself is restored; unknown text or row leaves the selection alone.
    pub.SetGridRow(&grid, "", "", 1, 0);
    pub.SetGridRow(&grid, "violet", "Value", 0, 0);
    pub.SetGridRow(&grid, "", "", 9, 0);
    EXPECT_EQ(grid.currentRow(), 1);

    // Find asks for the text and moves to the next row holding it, ignoring case.
    for (const int expected : {2 /* the alias */, 1 /* wrapped round */}) {
        prompter->queueText(QString("ALPHA"));
        EXPECT_TRUE(pub.FindPos(nullptr, &grid));
        EXPECT_EQ(grid.currentRow(), expected);
    }
    // Text in a hidden column is not found, and the user is told; cancelling asks nothing more.
    grid.setColHidden(2, true);
    prompter->queueText(QString("alpha-2"));
    EXPECT_FALSE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(prompter->asked().last().text, "\"alpha-2\" was not found.");
    const int asked = prompter->asked().size();
    EXPECT_FALSE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(prompter->asked().size(), asked + 1);

    // Sorting moves the data rows only.
    pub.GridSort(&grid, 1, Qt::DescendingOrder);
    EXPECT_EQ(grid.text(0, 1), "Value");
    EXPECT_EQ(grid.text(1, 1), "gamma");
    grid.setCurrentIndex(grid.model()->index(0, 3));
    pub.GridSortNew(&grid, "mSomethingElse");  // not a sort command
    EXPECT_EQ(grid.text(1, 3), "3");
    pub.GridSortNew(&grid, "mAsc");
    EXPECT_EQ(grid.text(1, 3), "1");
}

TEST_F(PubGrid, PrintDataHoldsVisibleColumnsAndCellsAsTheyStand) {
    addRow("1", "<b>&\"x\"]]>", "'quote'; --", "7");
    grid.setColWidth(0, 0);  // hidden by width
    grid.setCheckColumn(3, true);
    grid.setCheckState(1, 3, Qt::Checked);
    const QString xml = pub.GetData(&grid, "Items & values", "001", "demo", "Demo <admin>");
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml)) << xml.toStdString();
    const QDomElement root = doc.documentElement();
    EXPECT_EQ(root.firstChildElement("Title").text(), "Items & values");
    EXPECT_EQ(root.firstChildElement("UserName").text(), "Demo <admin>");
    const QDomNodeList cols = root.firstChildElement("Columns").elementsByTagName("Column");
    ASSERT_EQ(cols.size(), 3);
    EXPECT_EQ(cols.at(0).toElement().text(), "Value");
    EXPECT_EQ(cols.at(0).toElement().attribute("width"), "1500");
    QStringList cells;
    const QDomNodeList cellNodes = root.firstChildElement("Rows").elementsByTagName("Cell");
    for (int i = 0; i < cellNodes.size(); ++i) cells << cellNodes.at(i).toElement().text();
    EXPECT_EQ(cells, QStringList({"<b>&\"x\"]]>", "'quote'; --", "Yes"}));
}

TEST_F(PubGrid, ReportArchiveStatementTakesPlainColumnListsOnly) {
    EXPECT_TRUE(pub.GetRptArchSQL("x from t; drop table UserDef --").isEmpty());
    EXPECT_TRUE(pub.GetRptArchSQL("").isEmpty());
}
