// Queries: TOP as LIMIT (also inside UNIONs and sub-selects), the ORDER BY of a UNION, and
// 'alias' = expr in select lists.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Queries = SqlTest;

TEST_F(Queries, TopBecomesLimitAlsoInsideUnionsAndSubSelects) {
    EXPECT_EQ(sqlite("select top 1 cId from UserDef order by cId"),
              "SELECT cId FROM UserDef ORDER BY cId LIMIT 1");
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

TEST_F(Queries, AliasAssignmentsInTheSelectList) {
    EXPECT_EQ(sqlite("select 'cSupMenu_ID' = case when 1=1 then N'A' else N'B' end from UserDef"),
              "SELECT CASE WHEN 1 = 1 THEN 'A' ELSE 'B' END AS cSupMenu_ID FROM UserDef");
    EXPECT_EQ(sqlite("select [Name X] = cItemName, n = 1 from UserDef"),
              "SELECT cItemName AS \"Name X\", 1 AS n FROM UserDef");
    EXPECT_EQ(sqlite("select cItemName as 'Name' from UserDef"), "SELECT cItemName AS Name FROM UserDef");
}

}  // namespace
}  // namespace sqltest
