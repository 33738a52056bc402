// "+" joins texts and adds numbers, decided left to right from literals, declared column and
// variable types, CAST/CONVERT, functions, CASE and sub-selects.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Plus = SqlTest;

TEST_F(Plus, JoinsTextsAndAddsNumbers) {
    EXPECT_EQ(sqlite("select '[' + a.cRefID + ']' from UserDef a"),
              "SELECT (('[' || a.cRefID) || ']') FROM UserDef a");
    // Two text columns join; a number column adds; numbers and literals add.
    EXPECT_EQ(sqlite("select cClass + cItemName from UserDef_Base"),
              "SELECT (cClass || cItemName) FROM UserDef_Base");
    EXPECT_EQ(sqlite("select IMaxLen + iLength + 1 from UserDef_Base"),
              "SELECT IMaxLen + iLength + 1 FROM UserDef_Base");
    EXPECT_EQ(first("select iLength + '5' from UserDef_Base where cId = '1'"), "35");
    EXPECT_EQ(first("select cast(IMaxLen as nvarchar(10)) + '5' from UserDef_Base where cId = '1'"), "305");
    EXPECT_EQ(first("select isnull(cItemName, '') + '-' + cClass from UserDef_Base where cId = '1'"),
              QStringLiteral("合同号-单据头"));
    EXPECT_EQ(first("select N'文本' + N'𠮷'"), QStringLiteral("文本𠮷"));
    // Precedence stays as written: * binds before the join.
    EXPECT_EQ(first("select 'n' + cast(2 * 3 as varchar(5))"), "n6");
    EXPECT_EQ(first("select 1 + 2 * 3"), "7");
    // Text of a sub-select or CASE joins too.
    EXPECT_EQ(first("select (select top 1 cClass from UserDef_Base where cId = '1') + '!'"), QStringLiteral("单据头!"));
    EXPECT_EQ(first("select case when 1 = 1 then 'a' else 'b' end + 'c'"), "ac");
}

TEST_F(Plus, VariablesJoinOrAddByTheirDeclaredType) {
    auto rows = connection->open(
        "declare @n int, @t nvarchar(3) set @n = 4 set @t = N'abcdef' "
        "select @n + 1 as m, @t + 'x' as j, @n + '5' as k");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("m"), "5");
    EXPECT_EQ(rows->text("j"), "abcx");  // cut to the declared length, then joined
    EXPECT_EQ(rows->text("k"), "9");
}

// A "+" that looked at column types is translated again after the schema changes.
TEST_F(Plus, RetypedAfterTheSchemaChanges) {
    ASSERT_TRUE(connection->execute("create table Later(a int, b int)"));
    ASSERT_TRUE(connection->execute("insert into Later values (1, 2)"));
    EXPECT_EQ(first("select a + b from Later"), "3");
    ASSERT_TRUE(connection->execute("drop table Later"));
    ASSERT_TRUE(connection->execute("create table Later(a nvarchar(5), b nvarchar(5))"));
    ASSERT_TRUE(connection->execute("insert into Later values (N'1', N'2')"));
    EXPECT_EQ(first("select a + b from Later"), "12");
}

}  // namespace
}  // namespace sqltest
