// Queries: TOP as LIMIT (also inside UNIONs and sub-selects), the ORDER BY of a UNION, the
// order text is compared in, and 'alias' = expr in select lists.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Queries = SqlTest;

TEST_F(Queries, TopLimitsRowsAlsoInsideUnionsAndSubSelects) {
    const int items = first("select count(*) from UserDef_Base").toInt();
    EXPECT_EQ(first("select count(*) from (select TOP(2) cId from UserDef) t"), "2");
    EXPECT_EQ(first("select count(*) from (select cId from UserDef_Base union all select top 1 cId from UserDef_Base) t"),
              QString::number(items + 1));
    // The ORDER BY of a UNION names the result columns, whatever alias it is written with.
    auto rows = connection->open("select a.cId, a.iLength from UserDef a union select b.cId, b.iLength "
                                 "from UserDef b order by a.iLength desc");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->recordCount(), items);
    EXPECT_EQ(rows->text("iLength"), first("select max(iLength) from UserDef"));
}

// Wherever the dialect orders text it orders as a Chinese server (存货 cun, 单据头 dan,
// 供应商 gong), not by code points.
TEST_F(Queries, TextIsOrderedByPinyinWhereOrderIsAskedFor) {
    const QString three = QStringLiteral(" from UserDef_Base where cClass in (N'单据头', N'存货', N'供应商') ");
    const std::pair<QString, QString> cases[] = {
        {"select top 1 cClass" + three + "order by cClass", "存货"},
        {"select top 1 cClass" + three + "order by cClass desc, cId", "供应商"},
        {"select top 1 cClass" + three + "order by cClass collate Chinese_PRC_CI_AS", "存货"},
        {"select max(cClass)" + three, "供应商"},
        {"select min(cClass)" + three, "存货"},
        {"select top 1 cClass" + three + "and cClass > N'存货' order by cClass", "单据头"},
        {"select count(distinct cClass)" + three + "and cClass between N'存货' and N'单据头'", "2"},
        {"select cClass from UserDef_Base where cClass = N'供应商' union select cClass"
         " from UserDef_Base where cClass = N'存货' order by cClass", "存货"},
    };
    for (const auto& [query, expected] : cases) EXPECT_EQ(first(query), expected) << query.toStdString();
}

TEST_F(Queries, AliasAssignmentsInTheSelectListNameTheColumns) {
    auto rows = connection->open("select 'cSupMenu_ID' = case when 1=1 then N'A' else N'B' end, "
                                 "[Name X] = cItemName, cItemName as 'Name' from UserDef where cId = '1'");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("cSupMenu_ID"), "A");
    EXPECT_EQ(rows->text("Name X"), QStringLiteral("合同号"));
    EXPECT_EQ(rows->text("Name"), QStringLiteral("合同号"));
}

}  // namespace
}  // namespace sqltest
