// Grid helpers of the public service on the real grid control.
#include <gtest/gtest.h>

#include <QDomDocument>

#include "controls/Grid.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;
using host::FieldInfo;
using host::RecordSet;
namespace FT = host::FieldType;

namespace {

class PubGrid : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setCols(4);
        grid.setRows(1);
        grid.setText(0, 0, "#");
        grid.setText(0, 1, "Value");
        grid.setText(0, 2, "Alias");
        grid.setText(0, 3, "Count");
        for (int c = 0; c < 4; ++c) grid.setColWidth(c, 1500);
    }
    void addRow(const QString& value, const QString& alias, const QString& count) {
        const int r = grid.rows();
        grid.setRows(r + 1);
        grid.setText(r, 0, QString::number(r));
        grid.setText(r, 1, value);
        grid.setText(r, 2, alias);
        grid.setText(r, 3, count);
    }

    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
    Pub pub{prompter, "en-us"};
    controls::Grid grid;
};

RecordSet fieldsOnly(QVector<FieldInfo> fields) { return RecordSet(std::move(fields), {}); }

}  // namespace

TEST_F(PubGrid, FormatGridAlignsByTypeUnlessTheAlignmentTextSaysOtherwise) {
    const RecordSet fields = fieldsOnly({{"cValue", FT::VarWChar, 60},
                                         {"iDataSource", FT::Integer, 0},
                                         {"iCount", FT::Integer, 0}});
    pub.FormatGrid(&grid, fields, "<Align><iDataSource>1</iDataSource><cvalue>2</cvalue></Align>");
    EXPECT_TRUE(grid.colAlignment(1) & Qt::AlignRight);    // named: right, though text
    EXPECT_TRUE(grid.colAlignment(2) & Qt::AlignHCenter);  // named: centre
    EXPECT_TRUE(grid.colAlignment(3) & Qt::AlignRight);    // a number

    // A broken alignment text changes nothing but the named columns: defaults apply.
    pub.FormatGrid(&grid, fields, "<Align><iDataSource>1</Align");
    EXPECT_TRUE(grid.colAlignment(1) & Qt::AlignLeft);
    EXPECT_TRUE(grid.colAlignment(2) & Qt::AlignRight);
}

TEST_F(PubGrid, SetGridRowSelectsTheRowHoldingTheText) {
    addRow("red", "r", "1");
    addRow("green", "g", "2");
    addRow("blue", "b", "3");
    pub.SetGridRow(&grid, "green", "value", 0, 2);
    EXPECT_EQ(grid.currentRow(), 2);

    // Without text the row itself is restored; unknown text leaves the selection alone.
    pub.SetGridRow(&grid, "", "", 3, 1);
    EXPECT_EQ(grid.currentRow(), 3);
    pub.SetGridRow(&grid, "violet", "Value", 0, 0);
    EXPECT_EQ(grid.currentRow(), 3);
    pub.SetGridRow(&grid, "", "", 9, 0);
    EXPECT_EQ(grid.currentRow(), 3);
}

TEST_F(PubGrid, FindPosAsksAndMovesToTheNextMatchWrappingRound) {
    addRow("Alpha", "x", "1");
    addRow("beta", "alpha-2", "2");
    addRow("gamma", "", "3");
    grid.setCurrentRow(1);

    prompter->queueText(QString("ALPHA"));
    EXPECT_TRUE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(grid.currentRow(), 2);  // the alias matches, ignoring case
    prompter->queueText(QString("alpha"));
    EXPECT_TRUE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(grid.currentRow(), 1);  // wrapped round
    EXPECT_EQ(prompter->asked().last().buttons, -1);

    // Text in a hidden column is not found; the user is told.
    grid.setColHidden(2, true);
    grid.setCurrentRow(1);
    prompter->queueText(QString("alpha-2"));
    EXPECT_FALSE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(prompter->asked().last().text, "\"alpha-2\" was not found.");

    // Cancelling asks nothing more.
    const int asked = prompter->asked().size();
    EXPECT_FALSE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(prompter->asked().size(), asked + 1);
}

TEST_F(PubGrid, GridSortSortsDataRowsOfTheCurrentColumn) {
    addRow("b", "", "2");
    addRow("c", "", "3");
    addRow("a", "", "1");
    pub.GridSort(&grid, 1, Qt::AscendingOrder);
    EXPECT_EQ(grid.text(0, 1), "Value");
    EXPECT_EQ(grid.text(1, 1), "a");
    EXPECT_EQ(grid.text(3, 1), "c");
    grid.setCurrentIndex(grid.model()->index(0, 3));
    pub.GridSortNew(&grid, "mDesc");
    EXPECT_EQ(grid.text(1, 3), "3");
    EXPECT_EQ(grid.text(3, 3), "1");
    pub.GridSortNew(&grid, "mSomethingElse");  // not a sort command
    EXPECT_EQ(grid.text(1, 3), "3");
}

TEST_F(PubGrid, PrintDataHoldsVisibleColumnsAndEscapedCells) {
    addRow("<b>&\"x\"", "'quote'", "7");
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
    const QDomNodeList cells = root.firstChildElement("Rows").elementsByTagName("Cell");
    ASSERT_EQ(cells.size(), 3);
    EXPECT_EQ(cells.at(0).toElement().text(), "<b>&\"x\"");
    EXPECT_EQ(cells.at(1).toElement().text(), "'quote'");
    EXPECT_EQ(cells.at(2).toElement().text(), "Yes");
}

TEST_F(PubGrid, ExportCountIsReported) {
    pub.PrintMsg(12, "UserDef");
    EXPECT_EQ(prompter->last()->text, "12 rows exported.");
    EXPECT_EQ(prompter->last()->buttons, 64);
    pub.PrintMsg(-1, "UserDef");
    EXPECT_EQ(prompter->last()->text, "The export failed.");
}

TEST_F(PubGrid, TypeSizesKeepDeclaredSizesAndFillTheRest) {
    const auto sizes = pub.GetTypeSize(fieldsOnly(
        {{"cValue", FT::VarWChar, 60}, {"bFreeStop", FT::Boolean, 0}, {"dWhen", FT::Date, 0},
         {"cMemo", FT::LongVarWChar, 0}}));
    ASSERT_EQ(sizes.size(), 4);
    EXPECT_EQ(sizes[0].definedSize, 60);
    EXPECT_EQ(sizes[1].definedSize, 1);
    EXPECT_EQ(sizes[2].definedSize, 19);
    EXPECT_GT(sizes[3].definedSize, 0);
    EXPECT_EQ(sizes[1].name, "bFreeStop");
}

TEST(PubLook, ColoursAndFontAreUsable) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    EXPECT_TRUE(pub.MustInputColor().isValid());
    EXPECT_NE(pub.MustInputColor(), pub.UnEditedColor());
    QWidget w;
    pub.FrmUniteFont(&w);
    EXPECT_EQ(w.font().family(), Pub::uniteFontFamily());
    EXPECT_GE(w.font().pointSize(), 9);
    pub.FrmUniteFont(nullptr);
}

TEST(PubReports, ReportArchiveStatementTakesPlainColumnListsOnly) {
    Pub pub(std::make_shared<ScriptedPrompter>(), "zh-cn");
    const QString sql = pub.GetRptArchSQL("tableName, TableDefine, SystemId");
    EXPECT_TRUE(sql.startsWith("select tableName, TableDefine, SystemId from Rpt_GRPDef "));
    EXPECT_TRUE(pub.GetRptArchSQL("x from t; drop table UserDef --").isEmpty());
    EXPECT_TRUE(pub.GetRptArchSQL("").isEmpty());
}
