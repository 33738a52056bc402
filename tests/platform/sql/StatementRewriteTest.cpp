// Statements other than queries: what CREATE, ALTER, DROP, INSERT, UPDATE and DELETE become,
// and those the host refuses.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Statements = SqlTest;

TEST_F(Statements, TablesAndColumnsAreMadeWithTextsComparedWithoutCase) {
    EXPECT_EQ(sqlite("create table dbo.T(a nvarchar(20), b int, c nvarchar(max) collate Chinese_PRC_CS_AS)"),
              "CREATE TABLE T(a nvarchar(20) COLLATE NOCASE, b int, c ntext COLLATE BINARY)");
    EXPECT_EQ(sqlite("create table #t(a varchar(max))"), "CREATE TEMP TABLE \"#t\"(a text COLLATE NOCASE)");
    EXPECT_EQ(sqlite("alter table SA_OrderHead_extradefine add cHDefine9 nvarchar(60) null"),
              "ALTER TABLE SA_OrderHead_extradefine ADD COLUMN cHDefine9 nvarchar(60) COLLATE NOCASE NULL");
    EXPECT_EQ(sqlite("drop table zxsystem..T"), "DROP TABLE zxsystem.T");
    EXPECT_EQ(sqlite("truncate table T"), "DELETE FROM T");
    EXPECT_EQ(sqlite("insert T (a) select a from U"), "INSERT INTO T (a) SELECT a FROM U");
}

TEST_F(Statements, FormsTheHostDoesNotHaveAreRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"update a set x = 1 from t a join u on u.id = a.id", "UPDATE … FROM"},
        {"delete top (1) from t", "DELETE TOP"},
        {"delete from t from t join u on u.id = t.id", "DELETE … FROM … JOIN"},
        {"create table t (id int identity(1,1))", "IDENTITY"},
        {"create procedure p as select 1", "CREATE PROCEDURE"},
        {"alter table t add a int, b int", "ALTER TABLE ADD of several columns"},
        {"drop table a, b", "DROP of several objects"},
    };
    for (const auto& [sql, named] : cases) {
        SCOPED_TRACE(sql);
        EXPECT_EQ(sqlite(QString::fromUtf8(sql)), QString());
        EXPECT_TRUE(error.contains(QString::fromUtf8(named))) << qPrintable(error);
    }
}

}  // namespace
}  // namespace sqltest
