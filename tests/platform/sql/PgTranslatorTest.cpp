// The dialect on a server account: the same statements, translated for SQLite and for
// PostgreSQL, run on two databases built by the same T-SQL and give the same rows, cell by cell.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/sql/Batch.h"
#include "platform/sql/ConnectionSchema.h"
#include "platform/sql/PgConnectionSchema.h"
#include "platform/sql/PgFunctions.h"
#include "platform/sql/ServerFunctions.h"
#include "tests/support/PgTestServer.h"

namespace {

using namespace platform;

// One database with its translator; runs T-SQL and answers rows as text.
struct Side {
    db::Connection* db = nullptr;
    std::unique_ptr<sql::SchemaInfo> schema;
    std::unique_ptr<sql::Translator> translator;
    std::function<void()> forget;

    // The rows joined as "a|b;c|d" (after "name:" of each field with `names`), or "error: …".
    // `variables`: name → declared type and value.
    QString run(const QString& tsql, const QHash<QString, std::pair<QString, QVariant>>& variables = {},
                bool names = false) {
        sql::Translation t;
        sql::Batch batch;
        sql::VariableTypes types;
        QVariantList values;
        for (auto v = variables.begin(); v != variables.end(); ++v) types.insert(v.key(), v->first);
        QString why;
        if (!sql::parseBatch(tsql, &batch, &why) || !translator->translate(batch.statements.front(), types, &t, &why))
            return "error: " + why;
        for (const QString& p : t.parameters) values << variables.value(p).second;
        QString rows;
        if (t.returnsRows) {
            const auto rs = db->query(t.sql, values, &why);
            if (!rs) return "error: " + why + " in " + t.sql;
            for (int c = 0; names && c < rs->fieldCount(); ++c) rows += rs->fields()[c].name + ":";
            for (int r = 0; r < rs->recordCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < rs->fieldCount(); ++c) cells << host::variantText(rs->at(r, c));
                rows += (r ? ";" : "") + cells.join('|');
            }
        } else if (!db->exec(t.sql, &why)) {
            return "error: " + why + " in " + t.sql;
        }
        if (t.changesSchema) translator->schemaChanged(), forget();
        return rows;
    }
};

class PgDialect : public testsupport::PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        QString why;
        sqlite = db::Database::open(dir.filePath("ZxData_T.db"), true, &why);
        ASSERT_TRUE(sqlite && sqlite->attach(dir.filePath("zxsystem.db"), "zxsystem", &why, true)) << why.toStdString();
        functions = sql::ServerFunctions::install(*sqlite, "zh-CN", "ZxData_T", &why);
        ASSERT_TRUE(functions) << why.toStdString();
        auto local = std::make_unique<sql::ConnectionSchema>(*sqlite);
        lite.forget = [s = local.get()] { s->forget(); };
        lite.translator = std::make_unique<sql::Translator>("ZxData_T", QStringList{"zxsystem"}, local.get());
        lite.schema = std::move(local);
        lite.db = sqlite.get();

        ASSERT_TRUE(sql::installPgFunctions(*pg.db, &why)) << why.toStdString();
        ASSERT_TRUE(sql::installPgFunctions(*pg.db, &why)) << why.toStdString();  // again, as every copy does
        ASSERT_TRUE(pg.db->exec("CREATE SCHEMA zxdata_t; SET search_path = zxdata_t, zxsystem", &why)) << why.toStdString();
        auto remote = std::make_unique<sql::PgConnectionSchema>(*pg.db, "zxdata_t", QStringList{"zxsystem"});
        server.forget = [s = remote.get()] { s->forget(); };
        server.translator = std::make_unique<sql::Translator>("ZxData_T", QStringList{"zxsystem"},
                                                              remote.get(), sql::Target::Postgres);
        server.schema = std::move(remote);
        server.db = pg.db.get();
    }

    QTemporaryDir dir;
    std::unique_ptr<db::Database> sqlite;
    std::unique_ptr<sql::ServerFunctions> functions;
    Side lite, server;
};

TEST_F(PgDialect, StatementsGiveTheSameRowsOnBothDatabases) {
    const char* flow[] = {
        // The tables, from one T-SQL script.
        "create table zxsystem..ua_subsys (csub_id nvarchar(10) not null primary key, csub_name nvarchar(60), ntype int)",
        "create table zxsystem..zxmenu_business_lang (MenuID nvarchar(30) not null, Caption nvarchar(100), "
        "localeid nvarchar(10) not null, primary key (MenuID, localeid))",
        "create table dbo.Item (cId nvarchar(20) not null primary key, cName nvarchar(60), iLen int default 0, "
        "bFixLength bit default 0, mPrice money null, dRate decimal(10,2), cNote nvarchar(max))",
        "insert into zxsystem..ua_subsys (csub_id, csub_name, ntype) values ('SA', N'销售管理', 1), ('ST', N'库存管理', 2)",
        "insert into zxsystem..zxmenu_business_lang (MenuID, Caption, localeid) values ('SA', 'Sales', 'en-US')",
        "insert item (cId, cName, iLen, bFixLength, mPrice, dRate) values ('1', N'单据头', 10, 1, 1234567.5, 1.25)",
        "insert into Item (cId, cName, iLen, bFixLength, mPrice, dRate, cNote) values ('2', N'存货', 20, 0, -3.456, 2.5, N'注'), "
        "('3', N'供应商', 5, 1, 0, 10, null), ('4', N'ABC', null, null, null, null, 'x''y')",
        "insert into Item (cId, cName, iLen, bFixLength) select '1' + cast(ntype as nvarchar(5)), csub_name, ntype, 1 from zxsystem..ua_subsys",
        // Text order and comparisons: pinyin, = without case.
        "select cName from Item where cId < '5' order by cName",
        "select max(cName), min(cName), count(*) from Item where cName > N'存货' and cId between '1' and '4'",
        "select count(*) from Item where cName = N'abc' and cName in (N'aBc') and cId <> -1",
        "select distinct cName from Item where cId in ('1', '2', '3') order by cName desc",
        "select cName from Item where iLen > 5 union select csub_name from zxsystem..ua_subsys order by cName",
        // LIKE with the dialect's patterns.
        "select cId from Item where cName like N'单%' or cName like 'ab_' order by cId",
        "select cId from Item where cId like '[2-3]' or cId like '1[^A-Z]%' order by cId",
        "select cId from Item where cNote not like '%''%' and cNote like N'%' + N'注' + '%' order by cId",
        "select case when '50%' like '50!%' escape '!' then 1 else 0 end, case when N'ÄBC' like N'äb_' then 1 else 0 end",
        // An escaped character stands for itself, whatever it means in a set; ESCAPE NULL matches nothing.
        "select case when N'a^b' like 'a!^b' escape '!' then 1 else 0 end, case when N'!' like '[!!]' escape '!' "
        "then 1 else 0 end, case when N'a!' like 'a!' escape '!' then 1 else 0 end, case when 'ab' like 'ab' escape "
        "null then 1 else 0 end, case when N'a]%' not like 'a!]!%' escape '!' then 1 else 0 end",
        // ISNULL, "+" on text and numbers, functions.
        "select isnull(cNote, N'无') + '-' + cName, iLen + 1, cId + 1, iLen + '5', isnull(iLen, '') from Item "
        "where cId < '5' order by cId",
        "select len(cName), len(iLen), charindex('b', cName), left(cName, 1), substring(cName, 2, 1) from Item "
        "where cId < '5' order by cId",
        "select top 2 cId, 'Name' = cName from Item order by iLen desc, cId",
        // Conversions, money included.
        "select cast(mPrice as nvarchar(20)), convert(varchar(20), mPrice, 1), convert(int, dRate), "
        "cast(dRate as decimal(10,1)), cast(cId as int) * 2, convert(money, '12.34567') from Item where cId < '5' order by cId",
        // bit columns compared, computed and assigned as numbers.
        "select count(*), sum(cast(bFixLength as int)), max(isnull(bFixLength, 0)) from Item where bFixLength = 1",
        "update Item set bFixLength = 0, iLen = iLen + 1 where cId = '1'",
        "select cId, bFixLength, iLen, case bFixLength when 1 then 'y' else 'n' end from Item "
        "where bFixLength <> 1 or bFixLength is null or bFixLength not in (1) order by cId",
        "select count(*) from Item where exists (select 1 from zxsystem..ua_subsys where csub_name = Item.cName)",
        "select cId, case when iLen > 5 then N'大' when iLen is null then null else N'小' end from Item order by 2, 1",
        "select isnull(max(iLen), 0) + 1, sum(mPrice), avg(dRate), avg(iLen), sum(iLen) / 3, 10 / 4.0 from Item",
        "select cName + cast(iLen as nvarchar(10)), cName + convert(nvarchar(10), dRate) from Item order by cId",
        "select cName, count(*) from Item group by cName having count(*) >= 1 order by count(*) desc, cName",
        "update Item set cNote = null, mPrice = mPrice * 2 where cName like '[存供]%'",
        "select cId, mPrice, cNote from Item order by cId",
        "delete from Item where cId not in (select cId from Item where iLen > 5 or iLen is null)",
        "select cId from Item order by cId",
        "select upper(cName), lower('ABC'), ltrim('  a'), rtrim('a  ') + '|', datalength(cName), datalength(iLen), "
        "isnumeric(cId), isnumeric('1e3'), isnumeric('abc'), charindex(N'据', cName, 2), right(cName, 2), left(cName, 0), "
        "len(newid()) from Item where cId = '1'",
        "select cast(1 as bit), convert(bit, 0), convert(money, mPrice) + 1, abs(-iLen), round(dRate, 1), round(mPrice, 0) "
        "from Item where cId = '2'",
        // The catalogue and the server's functions.
        "select name, xtype, length, colid from syscolumns where id = object_id('dbo.item') order by colid",
        "select o.name, o.xtype, count(*) from sysobjects o join syscolumns c on c.id = o.id "
        "where o.id = object_id('Item') group by o.name, o.xtype",
        "select name from zxsystem..sysobjects where xtype = 'U' order by name",
        // Their columns in any letter case; names in the text order.
        "create table Item_extradefine (ID int not null primary key, Zeta nvarchar(20), alpha decimal(18,3), dWhen datetime)",
        "select c.Name, c.XType, c.Length, c.Prec, c.Scale from syscolumns c where c.ID = object_id('Item_extradefine') "
        "order by c.Name",
        "select min(Name), max(name) from SysColumns where id = object_id('ITEM_EXTRADEFINE') and name < 'z'",
        "select o.Name, o.XType from sysobjects o where o.name like 'item%' order by o.NAME desc",
        "select object_name(object_id('ITEM')), isnull(object_id('ua_subsys'), -1), "
        "object_name(object_id('zxsystem..UA_SUBSYS'))",
        "select dbo.getAllSubName_ExtendDefine('SA, XX,ST'), dbo.UDF_GetLocaleID()",
        "select dbo.getAllSubName_ExtendDefine(csub_id + ',' + csub_id), object_id(csub_id), "
        "replace(csub_id, 's', 'x') from zxsystem..ua_subsys where ntype <> '' and csub_id like 'S%' order by csub_id",
        // Columns added and dropped, temporary tables.
        "alter table Item add cExtra nvarchar(30) null",
        "update Item set cExtra = cName + '!' where cId = '2'",
        "select cExtra, count(*) from Item group by cExtra order by cExtra",
        "select a.cId from Item a where a.cId in (select a.CSUB_ID from zxsystem..ua_subsys a where a.NType = 1) "
        "or a.cExtra = (select max(a.csub_name) from zxsystem..ua_subsys a)",
        "alter table Item drop column cExtra",
        // A date against an empty text, as the checks for values do.
        "alter table Item add dDue datetime null",
        "update Item set dDue = '2024-02-29' where cId = '2'",
        "select count(*), sum(case when isnull(dDue, '') <> '' then 1 else 0 end) from Item where dDue <> '' or dDue is null",
        "alter table Item drop column dDue",
        "select count(*) from syscolumns where id = object_id('Item')",
        "create table #t (CSUB_ID nvarchar(10), n int)",
        "insert into #t (csub_id, n) select cId, iLen from Item where iLen >= 10",
        "select csub_id, n, object_name(object_id('tempdb..#t')) from #t order by csub_id",
        // A bare column is the one of the SELECT it stands in.
        "select count(*) from zxsystem..ua_subsys where csub_id in (select csub_id from #t)",
        "drop table #t",
        "select isnull(object_id('tempdb..#t'), -1)",
    };
    for (const char* step : flow) {
        const QString tsql = QString::fromUtf8(step);
        const QString expected = lite.run(tsql);
        EXPECT_FALSE(expected.startsWith("error:")) << step << "\n" << expected.toStdString();
        EXPECT_EQ(server.run(tsql), expected) << step;
    }
    // A derived table's columns, ordered by their names.
    const QString derived = "select * from (select cid, cName from Item union all select csub_id, csub_name "
                            "from zxsystem..ua_subsys) t where t.CID > '3' order by cname";
    EXPECT_EQ(server.run(derived), lite.run(derived));
    // Columns without a name read under the names an embedded account gives them.
    const QString unnamed = "select 1, cName, N'x' + cName, count(*) n from Item where cId = '2' group by cName";
    EXPECT_EQ(server.run(unnamed, {}, true), lite.run(unnamed, {}, true));
    // Variables are parameters of their declared types.
    const QString query = "select top (@n) cName + @tail, iLen * @n from Item where cId like @id and bFixLength = @b order by cId";
    const QHash<QString, std::pair<QString, QVariant>> variables = {
        {"@n", {"int", 2}}, {"@tail", {"nvarchar(5)", "!"}}, {"@id", {"nvarchar(20)", "%"}}, {"@b", {"bit", 0}}};
    EXPECT_EQ(server.run(query, variables), lite.run(query, variables));
}

// A length change is the server's own DDL: values that do not fit refuse it, the rest keeps.
TEST_F(PgDialect, ServerDdlAndRefusalsNameTheirCause) {
    ASSERT_EQ(server.run("create table Item (cId nvarchar(20) not null, cName nvarchar(60), b bit default 1, n nchar(4))"), "");
    ASSERT_EQ(server.run("insert Item (cId, cName, n) values ('1', N'单据头单据头', '42')"), "");
    EXPECT_TRUE(server.run("alter table Item alter column cName nvarchar(3)").contains("too long"));
    EXPECT_EQ(server.run("alter table Item alter column cName nvarchar(100) not null"), "");
    EXPECT_EQ(server.run("alter table Item alter column n int"), "");
    EXPECT_EQ(server.run("select length, isnullable from syscolumns where id = object_id('Item') and colid > 1 "
                         "order by colid"), "200|0;1|1;4|1");
    EXPECT_EQ(server.run("select count(*) from Item where b = 1 and n = 42 and cName = N'单据头单据头'"), "1");
    const std::pair<const char*, const char*> refused[] = {
        {"select row_number() over (order by cId) from Item", "OVER"},
        {"alter table Item alter column cName nvarchar(10) collate Latin1_General_CS_AS", "ALTER COLUMN … COLLATE"},
        {"select cast(cId as geography) from Item", "type geography"},
        {"update Item set cName = 'x' from Item a join Item b on a.cId = b.cId", "UPDATE … FROM"},
    };
    for (const auto& [tsql, named] : refused)
        EXPECT_TRUE(server.run(tsql).contains(QString::fromUtf8(named))) << tsql << ": " << server.run(tsql).toStdString();
}

}  // namespace
