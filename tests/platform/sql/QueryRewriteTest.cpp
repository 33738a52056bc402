// Queries: TOP as LIMIT (also inside UNIONs and sub-selects), the ORDER BY of a UNION, the
// order text is compared in, and 'alias' = expr in select lists.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Queries = SqlTest;

TEST_F(Queries, TopBecomesLimitAlsoInsideUnionsAndSubSelects) {
    EXPECT_EQ(sqlite("select top 1 cId from UserDef order by cId"),
              "SELECT cId FROM UserDef ORDER BY cId COLLATE ZX_PINYIN LIMIT 1");
    EXPECT_EQ(sqlite("select TOP(2) cId from UserDef"), "SELECT cId FROM UserDef LIMIT (2)");
    EXPECT_EQ(sqlite("select x from (select top 3 cId as x from UserDef) t"),
              "SELECT x FROM (SELECT cId AS x FROM UserDef LIMIT 3) t");
    EXPECT_EQ(sqlite("select cId from UserDef union all select top 1 cId from UserDef_Base"),
              "SELECT cId FROM UserDef UNION ALL SELECT * FROM (SELECT cId FROM UserDef_Base LIMIT 1)");
    const int items = first("select count(*) from UserDef_Base").toInt();
    EXPECT_EQ(first("select count(*) from (select cId from UserDef_Base union all select top 1 cId from UserDef_Base) t"),
              QString::number(items + 1));
    EXPECT_EQ(sqlite("select top 10 percent cId from UserDef"), QString());
    EXPECT_TRUE(error.contains("TOP … PERCENT"));
}

TEST_F(Queries, UnionOrderByNamesResultColumns) {
    EXPECT_EQ(sqlite("select a.cId, a.iLength from UserDef a union select b.cId, b.iLength from UserDef b order by a.iLength desc"),
              "SELECT a.cId, a.iLength FROM UserDef a UNION SELECT b.cId, b.iLength FROM UserDef b ORDER BY iLength DESC");
}

// Wherever the dialect orders text it orders as a Chinese server (存货 cun, 单据头 dan,
// 供应商 gong), not by code points; tables and indexes keep the order every SQLite tool knows.
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
    const QString table = sqlite("create table T(c nvarchar(10) collate Chinese_PRC_CI_AS check (c > N''))");
    EXPECT_EQ(table, "CREATE TABLE T(c nvarchar(10) COLLATE NOCASE CHECK (c > ''))") << error.toStdString();
}

TEST_F(Queries, AliasAssignmentsInTheSelectList) {
    EXPECT_EQ(sqlite("select 'cSupMenu_ID' = case when 1=1 then N'A' else N'B' end from UserDef"),
              "SELECT CASE WHEN 1 = 1 THEN 'A' ELSE 'B' END AS cSupMenu_ID FROM UserDef");
    EXPECT_EQ(sqlite("select [Name X] = cItemName, n = 1 from UserDef"),
              "SELECT cItemName AS \"Name X\", 1 AS n FROM UserDef");
    EXPECT_EQ(sqlite("select cItemName as 'Name' from UserDef"), "SELECT cItemName AS Name FROM UserDef");
}

}  // namespace
}  // namespace sqltest
