// Column settings of the demo account's references, as the look-up windows ask for them.
#include <gtest/gtest.h>

#include <QDomDocument>

#include "platform/colset/ColSetSvr.h"
#include "platform/db/Database.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

using platform::colset::ColSetSvr;

namespace {

// "field|caption|query field|shown" of every column, in order.
QStringList columns(const QString& xml) {
    QDomDocument doc;
    EXPECT_TRUE(doc.setContent(xml)) << xml.toStdString();
    QStringList out;
    const QDomNodeList nodes = doc.elementsByTagName("ColSet");
    for (int i = 0; i < nodes.size(); ++i) {
        const QDomElement e = nodes.at(i).toElement();
        out << QStringList{e.attribute("cFld"), e.attribute("cCaption"), e.attribute("cQryField"),
                           e.attribute("bDisp")}
                   .join('|');
    }
    return out;
}

class ColSet : public testsupport::AccountTest,
               public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    ColSet() : AccountTest(GetParam()) {}
    void SetUp() override {
        AccountTest::SetUp();
        svr.init(account.connectionText(), "demo");
        ASSERT_TRUE(svr.isOpen()) << svr.lastError().toStdString();
    }
    ColSetSvr svr;
};

}  // namespace

TEST_P(ColSet, ColumnsOfAReferenceInTheirOrderHiddenOnesOnlyWhenAskedFor) {
    const QStringList all = columns(svr.getColInfo("UR0001_ColSet", "", true));
    ASSERT_EQ(all.size(), 4);
    EXPECT_EQ(all[1], "cStageCode|阶段编码|UR0001.cStageCode|1");
    EXPECT_EQ(all[3].section('|', 1, 1), "PrimaryKey");
    EXPECT_TRUE(all[3].endsWith("|0"));
    const QStringList shown = columns(svr.getColInfo("ur0001_colset", "", false));  // key ignores case
    EXPECT_EQ(shown.size(), 3);
    for (const QString& c : shown) EXPECT_TRUE(c.endsWith("|1")) << c.toStdString();
    const QStringList some = columns(svr.getColInfo("UR0001_ColSet", "cstagename, selcol", true));
    ASSERT_EQ(some.size(), 2);
    EXPECT_TRUE(some[0].startsWith("selcol|") && some[1].startsWith("cStageName|"));
    EXPECT_TRUE(columns(svr.getColInfo("NoSuchKey", "", true)).isEmpty());
}

TEST_P(ColSet, HostileKeysFindNothingAndHostileCaptionsArriveUnchanged) {
    int n = 0;
    for (const QString& text : testsupport::hostileTexts(100)) {
        SCOPED_TRACE(testsupport::traceText(text));
        EXPECT_TRUE(columns(svr.getColInfo(text, "", true)).isEmpty());
        const QString key = QStringLiteral("Odd%1").arg(++n);
        QString error;
        ASSERT_TRUE(account.conn().execParams(
            R"(INSERT INTO ZxMeta_001."AA_ColumnDic"("cKey", "cFld", "cCaption", "cQryField", )"
            R"("iColWidth", "iOrder") VALUES (?, 'cA', ?, 'T.cA', 1000, 1))",
            {key, text}, &error))
            << error.toStdString();
        const QDomElement e = [&] {
            QDomDocument doc;
            doc.setContent(svr.getColInfo(key, "", true));
            return doc.elementsByTagName("ColSet").at(0).toElement();
        }();
        EXPECT_EQ(e.attribute("cCaption"), text);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ColSet,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });
