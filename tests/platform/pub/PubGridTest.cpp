// Grid helpers of the public service on the real grid control: finding, sorting, choosing a
// row and the print data.
#include <gtest/gtest.h>

#include <QDomDocument>

#include "controls/Grid.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"

using namespace platform::pub;

namespace {

class PubGrid : public ::testing::Test {
protected:
    void SetUp() override {
        grid.setCols(4);
        addRow({"#", "Value", "Alias", "Count"}, 0);  // the title row
        for (int c = 0; c < 4; ++c) grid.setColWidth(c, 1500);
    }
    void addRow(const QStringList& cells, int r = -1) {
        if (r < 0) grid.setRows((r = grid.rows()) + 1);
        for (int c = 0; c < cells.size(); ++c) grid.setText(r, c, cells[c]);
    }

    std::shared_ptr<ScriptedPrompter> prompter = std::make_shared<ScriptedPrompter>();
    Pub pub{prompter, "en-us"};
    controls::Grid grid;
};

}  // namespace

TEST_F(PubGrid, RowsAreChosenByTextFoundWrappingRoundAndSorted) {
    addRow({"1", "Alpha", "x", "1"});
    addRow({"2", "beta", "alpha-2", "2"});
    addRow({"3", "gamma", "", "3"});
    pub.SetGridRow(&grid, "gamma", "value", 0, 2);
    EXPECT_EQ(grid.currentRow(), 3);
    pub.SetGridRow(&grid, "violet", "Value", 1, 0);  // unknown text: the selection stays
    EXPECT_EQ(grid.currentRow(), 3);

    // Find asks for the text and moves to the next row holding it, ignoring case.
    for (const int expected : {1 /* wrapped round */, 2 /* the alias */}) {
        prompter->queueText(QString("ALPHA"));
        EXPECT_TRUE(pub.FindPos(nullptr, &grid));
        EXPECT_EQ(grid.currentRow(), expected);
    }
    // Text in a hidden column is not found, and the user is told; cancelling asks nothing more.
    grid.setColHidden(2, true);
    prompter->queueText(QString("alpha-2"));
    EXPECT_FALSE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(prompter->asked().last().text, "\"alpha-2\" was not found.");
    const int asked = prompter->asked().size();
    EXPECT_FALSE(pub.FindPos(nullptr, &grid));
    EXPECT_EQ(prompter->asked().size(), asked + 1);

    // The sort commands sort the data rows by the current column; the title row stays.
    grid.setCurrentIndex(grid.model()->index(1, 3));
    pub.GridSortNew(&grid, "mDesc");
    EXPECT_EQ(grid.text(0, 1), "Value");
    EXPECT_EQ(grid.text(1, 1), "gamma");
    pub.GridSortNew(&grid, "mSomethingElse");
    EXPECT_EQ(grid.text(1, 3), "3");
    pub.GridSortNew(&grid, "mAsc");
    EXPECT_EQ(grid.text(1, 3), "1");
}

TEST_F(PubGrid, PrintDataHoldsVisibleColumnsAndCellsAsTheyStand) {
    addRow({"1", "<b>&\"x\"]]>", "'quote'; --", "7"});
    grid.setColWidth(0, 0);  // hidden by width
    grid.setCheckColumn(3, true);
    grid.setCheckState(1, 3, Qt::Checked);
    const QString xml = pub.GetData(&grid, "Items & values", "001", "demo", "Demo <admin>");
    QDomDocument doc;
    ASSERT_TRUE(doc.setContent(xml)) << xml.toStdString();
    const QDomElement root = doc.documentElement();
    EXPECT_EQ(root.firstChildElement("Title").text(), "Items & values");
    const QDomNodeList cols = root.firstChildElement("Columns").elementsByTagName("Column");
    ASSERT_EQ(cols.size(), 3);
    EXPECT_EQ(cols.at(0).toElement().text(), "Value");
    QStringList cells;
    const QDomNodeList cellNodes = root.firstChildElement("Rows").elementsByTagName("Cell");
    for (int i = 0; i < cellNodes.size(); ++i) cells << cellNodes.at(i).toElement().text();
    EXPECT_EQ(cells, QStringList({"<b>&\"x\"]]>", "'quote'; --", "Yes"}));
    // The report archive statement takes plain column lists only.
    EXPECT_TRUE(pub.GetRptArchSQL("x from t; drop table UserDef --").isEmpty());
}
