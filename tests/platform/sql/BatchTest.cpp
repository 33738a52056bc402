// Batches: statements one after another on new lines, after blanks or semicolons, with
// variables, IF … ELSE, temporary tables and a final SELECT.
#include <gtest/gtest.h>

#include "SqlTest.h"
#include "platform/sql/Batch.h"

using namespace sqltest;
using platform::sql::Batch;
using platform::sql::Statement;

namespace {

QList<Statement::Kind> kinds(const std::vector<Statement>& list) {
    QList<Statement::Kind> out;
    for (const Statement& s : list) out << s.kind;
    return out;
}

TEST(BatchSplit, StatementsSeparatedOnlyByBlanks) {
    Batch b;
    QString error;
    ASSERT_TRUE(platform::sql::parseBatch(
        " DECLARE  @x NVARCHAR(100)  IF EXISTS (SELECT 1 FROM t WHERE a = 1) SET @x = N'GAG' Else  SET @x = N'MAG' "
        "SELECT * FROM (select a from t union all select b from u) AS q ORDER BY a",
        &b, &error)) << qPrintable(error);
    using K = Statement::Kind;
    ASSERT_EQ(kinds(b.statements), (QList<K>{K::Declare, K::If, K::Sql}));
    const Statement& ifs = b.statements[1];
    ASSERT_EQ(kinds(ifs.body), QList<K>{K::Set});
    ASSERT_EQ(kinds(ifs.elseBody), QList<K>{K::Set});
    EXPECT_EQ(ifs.body[0].source, "SET @x = N'GAG'");
    EXPECT_TRUE(b.statements[2].source.startsWith("SELECT * FROM (select a"));
}

TEST(BatchSplit, CaseElseAndInsertSelectStayInTheirStatement) {
    Batch b;
    QString error;
    ASSERT_TRUE(platform::sql::parseBatch(
        "select case when a = 1 then 'x' else 'y' end from t\n"
        "insert into u (a) select a from t where a in (select a from v)\r\n"
        "update t set a = 2 where a = 1 delete from t where a = 3; drop table t",
        &b, &error)) << qPrintable(error);
    ASSERT_EQ(b.statements.size(), 5u);
    EXPECT_TRUE(b.statements[0].source.endsWith("end from t"));
    EXPECT_TRUE(b.statements[1].source.endsWith("(select a from v)"));
    EXPECT_EQ(b.statements[2].source, "update t set a = 2 where a = 1");
}

TEST(BatchSplit, BrokenBatchesAreRefusedWithTheReason) {
    Batch b;
    QString error;
    EXPECT_FALSE(platform::sql::parseBatch("select (a from t", &b, &error));
    EXPECT_TRUE(error.contains(")"));
    EXPECT_FALSE(platform::sql::parseBatch("select 'open", &b, &error));
    EXPECT_TRUE(error.contains("unterminated string"));
    EXPECT_FALSE(platform::sql::parseBatch("select 1 else select 2", &b, &error));
    EXPECT_TRUE(error.contains("ELSE without"));
    EXPECT_FALSE(platform::sql::parseBatch("while 1 = 1 select 1", &b, &error));
    EXPECT_TRUE(error.contains("unsupported T-SQL construct: WHILE"));
}

using Batches = SqlTest;

TEST_F(Batches, VariablesAreSetAndUsedAsValues) {
    auto rows = connection->open(
        "declare @n int, @t nvarchar(3) set @n = (select count(*) from UserDef_Base where cClass = N'单据头') "
        "set @t = N'abcdef' select @n as n, @t as t");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("n"), "20");
    EXPECT_EQ(rows->text("t"), "abc");  // cut to the declared length
    EXPECT_FALSE(connection->open("select @nothing"));
    EXPECT_TRUE(connection->lastError().contains("must declare the scalar variable @nothing"));
    EXPECT_FALSE(connection->open("declare @a int declare @a int select 1"));
}

TEST_F(Batches, IfExistsChoosesTheBranch) {
    auto pick = [&](const QString& condition) {
        auto rows = connection->open("declare @r nvarchar(10) if " + condition +
                                     " set @r = N'yes' else set @r = N'no' select @r as r");
        return rows ? rows->text("r") : connection->lastError();
    };
    EXPECT_EQ(pick("not exists (select 1 from UserDef_Base where cId = '1001')"), "no");
    EXPECT_EQ(pick("(select count(*) from UserDef_Base) > 1000"), "no");
    EXPECT_EQ(pick("null = null"), "no");
    auto block = connection->open("if 1 = 1 begin declare @a int set @a = 5 end select @a as a");
    ASSERT_TRUE(block) << qPrintable(connection->lastError());
    EXPECT_EQ(block->text("a"), "5");
}

TEST_F(Batches, TemporaryTablesLiveWithTheConnection) {
    ASSERT_TRUE(connection->execute(
        "if not (select object_id('Tempdb..#X')) is null DROP TABLE #X\n"
        "CREATE TABLE #x(ctablename nvarchar(200), n int)\n"
        "INSERT INTO #X VALUES (N'Ab', 1), (N'cd', 2)"))
        << qPrintable(connection->lastError());
    auto rows = connection->open("select ctablename from #x where ctablename = 'AB'");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->recordCount(), 1);  // text of a temporary table compares without case
    EXPECT_EQ(rows->field(0).type, host::FieldType::VarWChar);
    EXPECT_EQ(rows->field(0).definedSize, 200);
    // The temporary table belongs to this connection only.
    auto other = connect();
    EXPECT_FALSE(other->open("select count(*) from #x"));
    EXPECT_TRUE(other->lastError().contains("#x"));
}

TEST_F(Batches, OpenNeedsRowsAndFailuresNameTheStatement) {
    EXPECT_FALSE(connection->open("declare @a int set @a = 1"));
    EXPECT_TRUE(connection->lastError().contains("returns no rows"));
    EXPECT_FALSE(connection->execute("select 1 insert into NoSuchTable values (1)"));
    EXPECT_TRUE(connection->lastError().contains("NoSuchTable"));
    EXPECT_TRUE(connection->lastError().contains("insert into NoSuchTable values (1)"));
    // Statements before the failure have run; the error clears on the next success.
    EXPECT_TRUE(connection->execute("select 1"));
    EXPECT_TRUE(connection->lastError().isEmpty());
    // A batch returns the rows of its last SELECT.
    auto rows = connection->open("select 1 as a select 2 as a");
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->text("a"), "2");
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
