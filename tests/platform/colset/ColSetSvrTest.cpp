// Column settings of the demo account's references.
#include <gtest/gtest.h>

#include <QDomDocument>

#include "platform/colset/ColSetSvr.h"
#include "platform/db/Database.h"
#include "tests/support/TestAccount.h"

using platform::colset::ColSetSvr;

namespace {

struct Column {
    QString fld, caption, qry, disp;
};

QVector<Column> columns(const QString& xml) {
    QDomDocument doc;
    EXPECT_TRUE(doc.setContent(xml)) << xml.toStdString();
    QVector<Column> out;
    const QDomNodeList nodes = doc.elementsByTagName("ColSet");
    for (int i = 0; i < nodes.size(); ++i) {
        const QDomElement e = nodes.at(i).toElement();
        out.push_back({e.attribute("cFld"), e.attribute("cCaption"), e.attribute("cQryField"),
                       e.attribute("bDisp")});
    }
    return out;
}

class ColSet : public testsupport::AccountTest {
protected:
    void SetUp() override {
        AccountTest::SetUp();
        svr.init(account.connectionText(), "demo");
        ASSERT_TRUE(svr.isOpen()) << svr.lastError().toStdString();
    }
    ColSetSvr svr;
};

}  // namespace

TEST_F(ColSet, ColumnsOfAReferenceInTheirOrder) {
    const auto cols = columns(svr.getColInfo("UR0001_ColSet", "", true));
    ASSERT_EQ(cols.size(), 4);
    EXPECT_EQ(cols[0].fld, "selcol");
    EXPECT_EQ(cols[1].fld, "cStageCode");
    EXPECT_EQ(cols[1].caption, "阶段编码");
    EXPECT_EQ(cols[1].qry, "UR0001.cStageCode");
    EXPECT_EQ(cols[3].caption, "PrimaryKey");
    EXPECT_EQ(cols[3].disp, "0");
}

TEST_F(ColSet, HiddenColumnsOnlyWhenAllAreAskedFor) {
    const auto cols = columns(svr.getColInfo("ur0001_colset", "", false));  // key ignores case
    ASSERT_EQ(cols.size(), 3);
    for (const Column& c : cols) EXPECT_EQ(c.disp, "1");
    const auto some = columns(svr.getColInfo("UR0001_ColSet", "cstagename, selcol", true));
    ASSERT_EQ(some.size(), 2);
    EXPECT_EQ(some[0].fld, "selcol");
    EXPECT_EQ(some[1].fld, "cStageName");
}

TEST_F(ColSet, UnknownKeysAndHostileTextAnswerAnEmptyDocument) {
    EXPECT_TRUE(columns(svr.getColInfo("NoSuchKey", "", true)).isEmpty());
    EXPECT_TRUE(columns(svr.getColInfo("x' OR '1'='1", "", true)).isEmpty());
}

TEST_F(ColSet, MarkupInSettingsIsEscaped) {
    ASSERT_TRUE(account.db().exec(
        "INSERT INTO ZxMeta_001.AA_ColumnDic(cKey, cFld, cCaption, cQryField, iColWidth, bDisp, "
        "iOrder) VALUES ('Odd', 'cA', 'A & <b>\"quoted\"</b> ''x''', 'T.cA', 1000, 1, 1)"));
    const auto cols = columns(svr.getColInfo("Odd", "", true));
    ASSERT_EQ(cols.size(), 1);
    EXPECT_EQ(cols[0].caption, "A & <b>\"quoted\"</b> 'x'");
}

TEST(ColSetSvr, AServiceThatCannotOpenSaysWhy) {
    ColSetSvr svr;
    svr.init("not a connection", "demo");
    EXPECT_FALSE(svr.isOpen());
    EXPECT_FALSE(svr.lastError().isEmpty());
    QDomDocument doc;
    EXPECT_TRUE(doc.setContent(svr.getColInfo("UR0001_ColSet", "", true)));
    svr.init("Data Source=/nonexistent/ZxData_001.db;Meta=/nonexistent/ZxMeta_001.db", "demo");
    EXPECT_FALSE(svr.isOpen());
}
