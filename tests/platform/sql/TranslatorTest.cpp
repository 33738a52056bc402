// The dialect as the component writes it: each statement gives the value the server would give
// (names of owners, databases, views and temporary tables included), text is ordered by pinyin,
// and a construct the translator does not know is refused with a message naming it.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Translate = SqlTest;

TEST_F(Translate, StatementsGiveTheServersValues) {
    const std::pair<const char*, const char*> cases[] = {
        // Owners, databases, three-part names: the data database holds one menu row, the
        // system database 14, the metadata 5 references; OBJECT_ID in any case, views too.
        {"select N'甲' + [cItemName] from dbo.[UserDef] where cId = '1'", "甲合同号"},
        {"select count(*) from zxsystem.dbo.UA_Menu", "14"},
        {"select count(*) from ZxData_001..ua_menu", "1"},
        {"select count(*) from ZxMeta_001..refdesign", "5"},
        {"select object_name(object_id(N'dbo.userdef_base'))", "UserDef_Base"},
        {"select object_name(object_id('userdef_parent'))", "UserDef_Parent"},
        {"select isnull(object_id('zxmenu_business_lang'), -1)", "-1"},  // system database only
        {"select object_name(object_id('ZxMeta_001..refdesign'))", "refdesign"},
        {"select cast(xtype as varchar(5)) + ':' + cast(length as varchar(5)) from syscolumns "
         "where id = object_id('customer') and name = 'iCusCreLine'", "106:13"},
        {"select count(*) from zxsystem..syscolumns where id = object_id('zxsystem..ua_subsys')", "3"},
        {"select xtype from syscolumns where id = object_id('Userdefine') and name = 'pubzxts'", "127"},
        // TOP as a limit, also inside sub-selects and UNIONs.
        {"select count(*) from (select TOP(2) cId from UserDef) t", "2"},
        {"select count(*) - (select count(*) from UserDef_Base) from (select cId from UserDef_Base "
         "union all select top 1 cId from UserDef_Base) t", "1"},
        // "+" joins texts and adds numbers, decided from column types, CAST, sub-selects and
        // CASE; * still binds first.
        {"select cClass + cItemName from UserDef_Base where cId = '1'", "单据头合同号"},
        {"select IMaxLen + iLength + 1 from UserDef_Base where cId = '1'", "61"},
        {"select iLength + '5' from UserDef_Base where cId = '1'", "35"},
        {"select cast(IMaxLen as nvarchar(10)) + '5' from UserDef_Base where cId = '1'", "305"},
        {"select isnull(cItemName, '') + '-' + cClass from UserDef_Base where cId = '1'", "合同号-单据头"},
        {"select 1 + 2 * 3", "7"},
        {"select (select top 1 cClass from UserDef_Base where cId = '1') + '!'", "单据头!"},
        {"select case when 1 = 1 then 'a' else 'b' end + 'c'", "ac"},
        // CAST and CONVERT with the server's money styles.
        {"select convert(int, cId) + 1 from UserDef where cId = '9'", "10"},
        {"select convert(varchar(20), convert(money, 1234567.5), 1)", "1,234,567.50"},
        {"select cast('abcdef' as nvarchar(3))", "abc"},
        {"select cast('12.345' as decimal(10,2))", "12.35"},
        // The server's functions.
        {"select dbo.UDF_GetLocaleID()", "zh-CN"},
        {"select dbo.getAllSubName_ExtendDefine('SA, XX,ST')", "销售管理,XX,库存管理"},
        // Conditions, old-style joins and table hints.
        {"select count(*) from UserDef_Base a, userdef_lang b where a.cId = b.cid and b.LocaleID = 'en-US' and a.cClass = N'单据头'", "11"},
        {"select count(*) from UserDef_Base a with (nolock) where a.cClass = N'单据头' and a.cId in (select cid from userdef_lang (nolock))", "12"},
        {"select count(*) from UserDef_Base where cClass = N'单据头' and cId != '1' and not cDicDbName = N'cDefine2'", "18"},
        // LIKE as the server matches: case beyond ASCII, [sets], [^sets], ESCAPE, non-BMP "_".
        {"select case when N'ÄBC' like N'äb_' then 1 else 0 end", "1"},
        {"select count(*) from UserDef_Base where cDicDbName like 'c[HB]Define[0-9]'", "8"},
        {"select count(*) from UserDef_Base where cDicDbName like 'c[^HBCL]Define%'", "1"},
        {"select case when '50%' like '50!%' escape '!' then 1 else 0 end", "1"},
        {"select case when N'𠮷a' like N'_a' then 1 else 0 end", "1"},
    };
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(first(QString::fromUtf8(query)), QString::fromUtf8(expected)) << query;
}

TEST_F(Translate, UnknownConstructsAreRefusedByName) {
    const std::pair<const char*, const char*> cases[] = {
        {"select * from t pivot (sum(x) for y in ([a])) p", "PIVOT"},
        {"select * from t cross apply f(t.x)", "APPLY"},
        {"select row_number() over (order by x) from t", "OVER"},
        {"select dbo.fn_Nothing(cItemName) from UserDef", "function fn_Nothing"},
        {"select @@rowcount", "@@ROWCOUNT"},
        {"select cId into #copy from UserDef", "SELECT … INTO"},
        {"select x from t for xml path('')", "FOR"},
        {"select 1 ^ 2", "^"},
        {"select convert(varchar(10), getdate(), 120)", "CONVERT style 120"},
        {"select cast(x as geography) from t", "type geography"},
        {"select top 10 percent cId from UserDef", "TOP … PERCENT"},
        {"select * from master..sysobjects", "unknown database: master"},
        {"select * from zxsystem..#t", "a temporary table lives in tempdb"},
        {"update a set x = 1 from t a join u on u.id = a.id", "UPDATE … FROM"},
        {"delete from t from t join u on u.id = t.id", "DELETE … FROM … JOIN"},
        {"create table t (id int identity(1,1))", "IDENTITY"},
        {"create procedure p as select 1", "CREATE PROCEDURE"},
        {"alter table t add a int, b int", "ALTER TABLE ADD of several columns"},
        {"select 'open", "unterminated string"},
        {"while 1 = 1 select 1", "unsupported T-SQL construct: WHILE"},
    };
    for (const auto& [sql, named] : cases) {
        EXPECT_FALSE(connection->execute(QString::fromUtf8(sql))) << sql;
        EXPECT_TRUE(connection->lastError().contains(QString::fromUtf8(named)))
            << sql << ": " << qPrintable(connection->lastError());
    }
}

TEST_F(Translate, TablesCompareTextAsDeclared) {
    ASSERT_TRUE(connection->execute(
        "create table dbo.T(a nvarchar(20), c nvarchar(max) collate Chinese_PRC_CS_AS)\n"
        "insert T (a, c) select N'Ab', cItemName from UserDef_Base where cId = '9'\n"
        "alter table T add b nvarchar(60) null\n"
        "update T set b = N'Xy'"))
        << qPrintable(connection->lastError());
    EXPECT_EQ(first("select count(*) from T where a = 'AB' and b = 'xY'"), "1");  // without case
    EXPECT_EQ(first("select count(*) from T where c = N'研发阶段'"), "1");
    ASSERT_TRUE(connection->execute("update T set c = N'Ab'"));
    EXPECT_EQ(first("select count(*) from T where c = 'AB'"), "0");  // with case, as declared
}

TEST_F(Translate, NamesOfTemporaryTablesAndColumnsAsTheServerKeepsThem) {
    EXPECT_EQ(first("select isnull(object_id('Tempdb..#T1'), -1)"), "-1");
    ASSERT_TRUE(connection->execute("create table #T1(a nvarchar(10), v timestamp)"));
    const QString id = first("select object_id('Tempdb..#t1')");
    EXPECT_NE(id, "-1");
    EXPECT_EQ(first("select sum(length) from tempdb..syscolumns where id = object_id('tempdb..#T1')"), "28");
    ASSERT_TRUE(connection->execute("drop table #T1"));
    EXPECT_EQ(first("select isnull(object_id('Tempdb..#T1'), -1)"), "-1");
    EXPECT_EQ(first("select isnull(object_name(" + id + "), 'gone')"), "gone");

    auto rows = connection->open(
        "select c.name, c.xtype, c.length from syscolumns c where c.id = object_id('SA_OrderHead_extradefine') order by c.colid");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    QStringList seen;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        seen << rows->text("name") + ":" + rows->text("xtype") + ":" + rows->text("length");
    EXPECT_EQ(seen, (QStringList{"ID:56:4", "cHDefine1:231:60", "cHDefine2:61:8"}));
}

// Wherever the dialect orders text it orders as a Chinese server (存货 cun, 单据头 dan,
// 供应商 gong), not by code points; the ORDER BY of a UNION names its result columns.
TEST_F(Translate, TextIsOrderedByPinyinWhereOrderIsAskedFor) {
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
        {"select a.iLength from UserDef a union select b.iLength from UserDef b order by a.iLength desc",
         first("select max(iLength) from UserDef")},
    };
    for (const auto& [query, expected] : cases) EXPECT_EQ(first(query), expected) << query.toStdString();
}

TEST_F(Translate, AliasAssignmentsInTheSelectListNameTheColumns) {
    auto rows = connection->open("select 'cSupMenu_ID' = case when 1=1 then N'A' else N'B' end, "
                                 "[Name X] = cItemName, cItemName as 'Name' from UserDef where cId = '1'");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("cSupMenu_ID"), "A");
    EXPECT_EQ(rows->text("Name X"), QStringLiteral("合同号"));
    EXPECT_EQ(rows->text("Name"), QStringLiteral("合同号"));
}

// A "+" that looked at column types is translated again when another client changes them.
TEST_F(Translate, PlusIsRetypedWhenAnotherConnectionChangesTheSchema) {
    auto second = connect();
    EXPECT_FALSE(connection->open("select a + b from Later"));
    ASSERT_TRUE(second->execute("create table Later(a int, b int) insert into Later values (1, 2)"));
    EXPECT_EQ(first("select a + b from Later"), "3");
    ASSERT_TRUE(second->execute("drop table Later create table Later(a nvarchar(5), b nvarchar(5)) "
                                "insert into Later values (N'1', N'2')"));
    EXPECT_EQ(first("select a + b from Later"), "12");
}

}  // namespace
}  // namespace sqltest
