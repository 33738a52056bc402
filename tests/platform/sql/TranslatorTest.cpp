// How single constructs of the dialect come out in SQLite, and what they then answer.
#include <gtest/gtest.h>

#include "TestAccount.h"
#include "platform/sql/Translator.h"

using namespace sqltest;
using platform::sql::Translation;

namespace {

class Translate : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(account.ok()) << qPrintable(account.error());
        connection = account.connect();
        ASSERT_TRUE(connection);
    }
    // The SQLite text of one statement; empty with the reason in `error` when refused.
    QString sqlite(const QString& tsql) {
        Translation t;
        error.clear();
        if (!connection->translator().translate(tsql, &t, &error)) return {};
        return t.sql;
    }
    // The first value of a query's first row, as text.
    QString first(const QString& tsql) {
        const auto rows = connection->open(tsql);
        if (!rows) {
            ADD_FAILURE() << qPrintable(connection->lastError());
            return QStringLiteral("<failed>");
        }
        return rows->isEmpty() ? QStringLiteral("<no rows>") : rows->text(0);
    }
    TestAccount account;
    std::unique_ptr<platform::sql::TSqlConnection> connection;
    QString error;
};

TEST_F(Translate, LiteralsNamesAndOwners) {
    EXPECT_EQ(sqlite("select N'甲' as a from dbo.UserDef"), "SELECT '甲' AS a FROM UserDef");
    EXPECT_EQ(sqlite("select [cItem Name] from [UserDef]"), "SELECT \"cItem Name\" FROM UserDef");
    EXPECT_EQ(sqlite("select * from zxsystem.dbo.UA_Menu"), "SELECT * FROM zxsystem.UA_Menu");
    EXPECT_EQ(sqlite("select * from ZxMeta_001..refdesign"), "SELECT * FROM ZxMeta_001.refdesign");
    EXPECT_EQ(sqlite("select * from ZxData_001..ua_menu"), "SELECT * FROM main.ua_menu");
    EXPECT_EQ(sqlite("select * from zxdata_001.dbo.ua_menu"), "SELECT * FROM main.ua_menu");
    EXPECT_EQ(sqlite("select * from Tempdb..#X"), "SELECT * FROM \"temp\".\"#X\"");
    EXPECT_EQ(sqlite("select dbo.UDF_GetLocaleID()"), "SELECT UDF_GetLocaleID()");
    EXPECT_EQ(sqlite("select a.[key] from t a"), "SELECT a.\"key\" FROM t a");
    EXPECT_EQ(first("select N'文本' + N'𠮷'"), QStringLiteral("文本𠮷"));
}

TEST_F(Translate, TopBecomesLimitAlsoInsideUnionsAndSubSelects) {
    EXPECT_EQ(sqlite("select top 1 cId from UserDef order by cId"),
              "SELECT cId FROM UserDef ORDER BY cId LIMIT 1");
    EXPECT_EQ(sqlite("select TOP(2) cId from UserDef"), "SELECT cId FROM UserDef LIMIT (2)");
    EXPECT_EQ(sqlite("select x from (select top 3 cId as x from UserDef) t"),
              "SELECT x FROM (SELECT cId AS x FROM UserDef LIMIT 3) t");
    EXPECT_EQ(sqlite("select cId from UserDef union all select top 1 cId from UserDef_Base"),
              "SELECT cId FROM UserDef UNION ALL SELECT * FROM (SELECT cId FROM UserDef_Base LIMIT 1)");
    EXPECT_EQ(first("select count(*) from (select cId from UserDef_Base union all select top 1 cId from UserDef_Base) t"),
              "9");
    EXPECT_EQ(sqlite("select top 10 percent cId from UserDef"), QString());
    EXPECT_TRUE(error.contains("TOP … PERCENT"));
}

TEST_F(Translate, UnionOrderByNamesResultColumns) {
    EXPECT_EQ(sqlite("select a.cId, a.iLength from UserDef a union select b.cId, b.iLength from UserDef b order by a.iLength desc"),
              "SELECT a.cId, a.iLength FROM UserDef a UNION SELECT b.cId, b.iLength FROM UserDef b ORDER BY iLength DESC");
}

TEST_F(Translate, AliasAssignmentsInTheSelectList) {
    EXPECT_EQ(sqlite("select 'cSupMenu_ID' = case when 1=1 then N'A' else N'B' end from UserDef"),
              "SELECT CASE WHEN 1 = 1 THEN 'A' ELSE 'B' END AS cSupMenu_ID FROM UserDef");
    EXPECT_EQ(sqlite("select [Name X] = cItemName, n = 1 from UserDef"),
              "SELECT cItemName AS \"Name X\", 1 AS n FROM UserDef");
    EXPECT_EQ(sqlite("select cItemName as 'Name' from UserDef"), "SELECT cItemName AS Name FROM UserDef");
}

TEST_F(Translate, PlusJoinsTextsAndAddsNumbers) {
    EXPECT_EQ(sqlite("select '[' + a.cRefID + ']' from UserDef a"),
              "SELECT (('[' || a.cRefID) || ']') FROM UserDef a");
    EXPECT_EQ(sqlite("select N','+cType+',' from AA_DefineExtend"),
              "SELECT ((',' || cType) || ',') FROM AA_DefineExtend");
    // Two text columns join; a number column adds; numbers and literals add.
    EXPECT_EQ(sqlite("select cClass + cItemName from UserDef_Base"),
              "SELECT (cClass || cItemName) FROM UserDef_Base");
    EXPECT_EQ(sqlite("select IMaxLen + iLength + 1 from UserDef_Base"),
              "SELECT IMaxLen + iLength + 1 FROM UserDef_Base");
    EXPECT_EQ(first("select iLength + '5' from UserDef_Base where cId = '1'"), "25");
    EXPECT_EQ(first("select cast(IMaxLen as nvarchar(10)) + '5' from UserDef_Base where cId = '1'"), "205");
    EXPECT_EQ(first("select isnull(cItemName, '') + '-' + cClass from UserDef_Base where cId = '1'"),
              QStringLiteral("部门属性-单据头"));
    // Precedence stays as written: * binds before the join.
    EXPECT_EQ(first("select 'n' + cast(2 * 3 as varchar(5))"), "n6");
    EXPECT_EQ(first("select 1 + 2 * 3"), "7");
    // Text of a sub-select or CASE joins too.
    EXPECT_EQ(first("select (select top 1 cClass from UserDef_Base where cId = '1') + '!'"), QStringLiteral("单据头!"));
    EXPECT_EQ(first("select case when 1 = 1 then 'a' else 'b' end + 'c'"), "ac");
}

TEST_F(Translate, CastAndConvert) {
    EXPECT_EQ(sqlite("select convert(int,cID) from UserDef"), "SELECT CAST(cID AS INTEGER) FROM UserDef");
    EXPECT_EQ(sqlite("select cast(cid as integer) from UserDef"), "SELECT CAST(cid AS INTEGER) FROM UserDef");
    EXPECT_EQ(first("select convert(char,convert(money,MAX(pubzxts)),2) from userdef_base"), "123.0000");
    EXPECT_EQ(first("select convert(varchar(20), convert(money, 1234.5))"), "1234.50");
    EXPECT_EQ(first("select convert(varchar(20), convert(money, 1234567.5), 1)"), "1,234,567.50");
    EXPECT_EQ(first("select convert(char, cast(-0.12345 as money), 2)"), "-0.1235");
    EXPECT_EQ(first("select convert(money, 0x00000000000007D1)"), "0.2001");  // a row version's bytes
    EXPECT_EQ(first("select cast('abcdef' as nvarchar(3))"), "abc");
    EXPECT_EQ(first("select cast('12.345' as decimal(10,2))"), "12.35");
    EXPECT_EQ(first("select convert(char, 7)"), "7");
    EXPECT_EQ(sqlite("select convert(varchar(10), getdate(), 120)"), QString());
    EXPECT_TRUE(error.contains("CONVERT style 120"));
    EXPECT_EQ(sqlite("select cast(x as geography) from t"), QString());
    EXPECT_TRUE(error.contains("type geography"));
}

TEST_F(Translate, FunctionsOfTheServer) {
    EXPECT_EQ(first("select isnull(NULL, N'空')"), QStringLiteral("空"));
    EXPECT_EQ(first("select len('ab  ')"), "2");
    EXPECT_EQ(first("select substring('abcdef', 2, 3)"), "bcd");
    EXPECT_EQ(first("select charindex('CD', 'abcdef')"), "3");
    EXPECT_EQ(first("select left('abcdef', 2) + right('abcdef', 2)"), "abef");
    EXPECT_EQ(first("select len(newid())"), "36");
    EXPECT_EQ(first("select dbo.UDF_GetLocaleID()"), "zh-CN");
    EXPECT_EQ(account.connect("en-US")->open("select dbo.UDF_GetLocaleID() as l")->text("l"), "en-US");
    EXPECT_EQ(first("select dbo.getAllSubName_ExtendDefine('SA, XX,ST')"), QStringLiteral("销售管理,XX,库存管理"));
    EXPECT_EQ(first("select dbo.getAllSubName_ExtendDefine('sa')"), QStringLiteral("销售管理"));
    EXPECT_EQ(first("select isnull(dbo.getAllSubName_ExtendDefine(NULL), 'null')"), "null");
}

TEST_F(Translate, ConditionsAndJoins) {
    EXPECT_EQ(first("select count(*) from UserDef_Base where convert(int, cId) between 1000 and 2000"), "2");
    EXPECT_EQ(first("select count(*) from UserDef_Base a, userdef_lang b where a.cId = b.cid and b.LocaleID = 'en-US'"), "3");
    EXPECT_EQ(first("select count(*) from UserDef_Base a with (nolock) where a.cId in (select cid from userdef_lang (nolock))"), "4");
    EXPECT_EQ(first("select count(*) from UserDef_Base where cId != '1' and not cClass = N'存货'"), "6");
}

TEST_F(Translate, LikeMatchesAsTheServerDoes) {
    // Letters without regard to case, also beyond ASCII; [sets] and [^sets]; % and _.
    EXPECT_EQ(first("select count(*) from UserDef_Base where cDicDbName like 'CHDEFINE%'"), "2");
    EXPECT_EQ(first("select case when N'ÄBC' like N'äb_' then 1 else 0 end"), "1");
    EXPECT_EQ(first("select count(*) from UserDef_Base where cDicDbName like 'c[HB]Define[0-9]'"), "3");
    EXPECT_EQ(first("select count(*) from UserDef_Base where cDicDbName like 'c[^H]Define%'"), "1");
    EXPECT_EQ(first("select case when '50%' like '50!%' escape '!' then 1 else 0 end"), "1");
    EXPECT_EQ(first("select case when '[x' like '[x' then 1 else 0 end"), "1");
    EXPECT_EQ(first("select case when N'𠮷a' like N'_a' then 1 else 0 end"), "1");
}

TEST_F(Translate, UnknownConstructsAreNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"select * from t pivot (sum(x) for y in ([a])) p", "PIVOT"},
        {"select * from t cross apply f(t.x)", "APPLY"},
        {"select row_number() over (order by x) from t", "OVER"},
        {"select dbo.fn_Nothing(cItemName) from UserDef", "function fn_Nothing"},
        {"update a set x = 1 from t a join u on u.id = a.id", "UPDATE … FROM"},
        {"select @@rowcount", "@@ROWCOUNT"},
        {"select cId into #copy from UserDef", "SELECT … INTO"},
        {"select x from t for xml path('')", "FOR"},
        {"select 1 ^ 2", "^"},
        {"select * from master..sysobjects", "unknown database: master"},
        {"create table t (id int identity(1,1))", "IDENTITY"},
    };
    for (const auto& [sql, named] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(sqlite(QString::fromUtf8(sql)), QString());
        EXPECT_TRUE(error.contains(QString::fromUtf8(named))) << qPrintable(error);
        // The connection reports it, naming the statement.
        EXPECT_FALSE(connection->open(QString::fromUtf8(sql)));
        EXPECT_TRUE(connection->lastError().contains(QString::fromUtf8(named)));
    }
}

TEST_F(Translate, TranslationsAreKeptByStatementText) {
    auto& translator = connection->translator();
    const int before = translator.cachedCount();
    const QString sql = QStringLiteral("select cId from UserDef_Base where cId = '1'");
    ASSERT_TRUE(connection->open(sql));
    ASSERT_TRUE(connection->open(sql));
    EXPECT_EQ(translator.cachedCount(), before + 1);
    // A "+" that looked at column types is translated again after the schema changes.
    ASSERT_TRUE(connection->execute("create table Later(a int, b int)"));
    ASSERT_TRUE(connection->execute("insert into Later values (1, 2)"));
    EXPECT_EQ(first("select a + b from Later"), "3");
    ASSERT_TRUE(connection->execute("drop table Later"));
    ASSERT_TRUE(connection->execute("create table Later(a nvarchar(5), b nvarchar(5))"));
    ASSERT_TRUE(connection->execute("insert into Later values (N'1', N'2')"));
    EXPECT_EQ(first("select a + b from Later"), "12");
}

}  // namespace
