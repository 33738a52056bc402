// Batches: statements one after another on new lines, after blanks or semicolons, with
// variables, IF … ELSE, temporary tables, procedures and a final SELECT.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Batches = SqlTest;

TEST_F(Batches, StatementsFollowEachOtherAfterBlanksNewLinesOrSemicolons) {
    // IF … ELSE between statements, CASE … ELSE and sub-selects inside one.
    auto rows = connection->open(
        " DECLARE  @x NVARCHAR(100)  IF EXISTS (SELECT 1 FROM UserDef_Base WHERE cId = '1') SET @x = N'GAG' Else  SET @x = N'MAG' "
        "SELECT @x + (select case when 1 = 2 then 'x' else 'y' end) AS r");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("r"), "GAGy");
    ASSERT_TRUE(connection->execute(
        "create table #b(a int)\n"
        "insert into #b (a) select iLength from UserDef_Base where cId in (select cId from UserDef_Base where cId in ('1', '8'))\r\n"
        "update #b set a = 2 where a = 30 delete from #b where a = 40; insert into #b values (7)"))
        << qPrintable(connection->lastError());
    EXPECT_EQ(first("select count(*) from #b"), "2");
    EXPECT_EQ(first("select sum(a) from #b"), "9");
}

TEST_F(Batches, VariablesKeepTheirDeclaredTypeAndIfChoosesTheBranch) {
    auto rows = connection->open(
        "declare @n int, @t nvarchar(3) set @n = (select count(*) from UserDef_Base where cClass = N'单据头') "
        "set @t = N'abcdef' select @n as n, @t as t, @n + '5' as k");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("n"), "20");
    EXPECT_EQ(rows->text("t"), "abc");  // cut to the declared length
    EXPECT_EQ(rows->text("k"), "25");
    EXPECT_FALSE(connection->open("select @nothing"));
    EXPECT_TRUE(connection->lastError().contains("must declare the scalar variable @nothing"));

    auto pick = [&](const QString& condition) {
        auto rows = connection->open("declare @r nvarchar(10) if " + condition +
                                     " set @r = N'yes' else set @r = N'no' select @r as r");
        return rows ? rows->text("r") : connection->lastError();
    };
    EXPECT_EQ(pick("not exists (select 1 from UserDef_Base where cId = '1001')"), "no");
    EXPECT_EQ(pick("(select count(*) from UserDef_Base) > 100"), "yes");
    EXPECT_EQ(pick("null = null"), "no");
    EXPECT_EQ(first("if 1 = 1 begin declare @a int set @a = 5 end select @a as a"), "5");
}

TEST_F(Batches, OpenNeedsRowsAndFailuresNameTheStatement) {
    EXPECT_FALSE(connection->open("declare @a int set @a = 1"));
    EXPECT_TRUE(connection->lastError().contains("returns no rows"));
    EXPECT_FALSE(connection->execute("create table #s(a int) insert into NoSuchTable values (1)"));
    EXPECT_TRUE(connection->lastError().contains("insert into NoSuchTable values (1)"));
    // Statements before the failure have run; the error clears on the next success.
    EXPECT_TRUE(connection->execute("insert into #s values (1)"));
    EXPECT_TRUE(connection->lastError().isEmpty());
    // A batch returns the rows of its last SELECT.
    EXPECT_EQ(first("select 1 as a select 2 as a"), "2");
}

TEST_F(Batches, ProceduresRunByNameOrExec) {
    QStringList calls;
    connection->registerProcedure("AA_CreateDefineRefDesignView",
                                  [&](platform::sql::TSqlConnection&, const QStringList& args, QString*) {
                                      calls << args.join('|');
                                      return true;
                                  });
    EXPECT_TRUE(connection->execute("AA_CreateDefineRefDesignView"));
    EXPECT_TRUE(connection->execute("exec dbo.AA_CreateDefineRefDesignView N'a', 2"));
    EXPECT_EQ(calls, (QStringList{"", "a|2"}));
    EXPECT_FALSE(connection->execute("exec NoSuchProcedure"));
    EXPECT_TRUE(connection->lastError().contains("unknown procedure: NoSuchProcedure"));
}

}  // namespace
}  // namespace sqltest
