// Expressions: CAST/CONVERT, the server's functions, conditions, joins with hints, and LIKE as
// the server matches it.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Expressions = SqlTest;

TEST_F(Expressions, CastAndConvert) {
    EXPECT_EQ(sqlite("select convert(int,cID) from UserDef"), "SELECT CAST(cID AS INTEGER) FROM UserDef");
    EXPECT_EQ(sqlite("select cast(cid as integer) from UserDef"), "SELECT CAST(cid AS INTEGER) FROM UserDef");
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

TEST_F(Expressions, FunctionsOfTheServer) {
    EXPECT_EQ(first("select isnull(NULL, N'空')"), QStringLiteral("空"));
    EXPECT_EQ(first("select len('ab  ')"), "2");
    EXPECT_EQ(first("select substring('abcdef', 2, 3)"), "bcd");
    EXPECT_EQ(first("select charindex('CD', 'abcdef')"), "3");
    EXPECT_EQ(first("select left('abcdef', 2) + right('abcdef', 2)"), "abef");
    EXPECT_EQ(first("select len(newid())"), "36");
    EXPECT_EQ(first("select dbo.UDF_GetLocaleID()"), "zh-CN");
    EXPECT_EQ(connect("en-US")->open("select dbo.UDF_GetLocaleID() as l")->text("l"), "en-US");
    EXPECT_EQ(first("select dbo.getAllSubName_ExtendDefine('SA, XX,ST')"), QStringLiteral("销售管理,XX,库存管理"));
    EXPECT_EQ(first("select dbo.getAllSubName_ExtendDefine('sa')"), QStringLiteral("销售管理"));
    EXPECT_EQ(first("select isnull(dbo.getAllSubName_ExtendDefine(NULL), 'null')"), "null");
}

TEST_F(Expressions, ConditionsAndJoins) {
    EXPECT_EQ(first("select count(*) from UserDef_Base a, userdef_lang b where a.cId = b.cid and b.LocaleID = 'en-US' and a.cClass = N'单据头'"),
              "11");
    EXPECT_EQ(first("select count(*) from UserDef_Base a with (nolock) where a.cClass = N'单据头' and a.cId in (select cid from userdef_lang (nolock))"),
              "12");
    EXPECT_EQ(first("select count(*) from UserDef_Base where cClass = N'单据头' and cId != '1' and not cDicDbName = N'cDefine2'"), "18");
}

TEST_F(Expressions, LikeMatchesAsTheServerDoes) {
    // Letters without regard to case, also beyond ASCII; [sets] and [^sets]; % and _.
    EXPECT_EQ(first("select case when N'ÄBC' like N'äb_' then 1 else 0 end"), "1");
    EXPECT_EQ(first("select count(*) from UserDef_Base where cDicDbName like 'c[HB]Define[0-9]'"), "8");
    EXPECT_EQ(first("select count(*) from UserDef_Base where cDicDbName like 'c[^HBCL]Define%'"), "1");
    EXPECT_EQ(first("select case when '50%' like '50!%' escape '!' then 1 else 0 end"), "1");
    EXPECT_EQ(first("select case when '[x' like '[x' then 1 else 0 end"), "1");
    EXPECT_EQ(first("select case when N'𠮷a' like N'_a' then 1 else 0 end"), "1");
}

}  // namespace
}  // namespace sqltest
