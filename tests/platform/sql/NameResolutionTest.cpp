// Names: owners, three-part and db..table names, tempdb and #temporary tables, OBJECT_ID,
// OBJECT_NAME and syscolumns over the account, the attached databases and temporary tables.
#include "SqlTest.h"

namespace sqltest {
namespace {

using Names = SqlTest;

TEST_F(Names, OwnersAndDatabasesReachTheirTables) {
    // The data database holds one menu row, the system database 14, the metadata 5 references.
    const std::pair<const char*, const char*> cases[] = {
        {"select N'甲' + [cItemName] from dbo.[UserDef] where cId = '1'", "甲合同号"},
        {"select count(*) from zxsystem.dbo.UA_Menu", "14"},
        {"select count(*) from ZxData_001..ua_menu", "1"},
        {"select count(*) from ZxMeta_001..refdesign", "5"},
    };
    for (const auto& [query, expected] : cases)
        EXPECT_EQ(first(QString::fromUtf8(query)), QString::fromUtf8(expected)) << query;
}

TEST_F(Names, ObjectIdFindsTablesAndViewsWhereTheNameSays) {
    const QString id = first("select object_id('UserDef_Base')");
    ASSERT_FALSE(id.isEmpty());
    EXPECT_EQ(first("select object_id(N'dbo.userdef_base')"), id);  // any case, with owner
    EXPECT_FALSE(first("select object_id('UserDef_Parent')").isEmpty());  // a view
    EXPECT_EQ(first("select object_name(object_id('userdef_base'))"), "UserDef_Base");
    EXPECT_EQ(first("select isnull(object_id('zxmenu_business_lang'), -1)"), "-1");  // system only
    EXPECT_EQ(first("select object_name(object_id('ZxMeta_001..refdesign'))"), "refdesign");
}

TEST_F(Names, TemporaryTablesAppearAndDisappear) {
    EXPECT_EQ(first("select isnull(object_id('Tempdb..#T1'), -1)"), "-1");
    ASSERT_TRUE(connection->execute("create table #T1(a nvarchar(10), v timestamp)"));
    const QString id = first("select object_id('Tempdb..#t1')");
    EXPECT_NE(id, "-1");
    EXPECT_EQ(first("select sum(length) from tempdb..syscolumns where id = object_id('tempdb..#T1')"), "28");
    ASSERT_TRUE(connection->execute("drop table #T1"));
    EXPECT_EQ(first("select isnull(object_id('Tempdb..#T1'), -1)"), "-1");
    EXPECT_EQ(first("select isnull(object_name(" + id + "), 'gone')"), "gone");
}

TEST_F(Names, SyscolumnsDescribesColumnsAsTheServerDoes) {
    auto rows = connection->open(
        "select c.name, c.xtype, c.length from syscolumns c where c.id = object_id('SA_OrderHead_extradefine') order by c.colid");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    QStringList seen;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        seen << rows->text("name") + ":" + rows->text("xtype") + ":" + rows->text("length");
    EXPECT_EQ(seen, (QStringList{"ID:56:4", "cHDefine1:231:60", "cHDefine2:61:8"}));
    EXPECT_EQ(first("select cast(xtype as varchar(5)) + ':' + cast(length as varchar(5)) from syscolumns where id = object_id('customer') and name = 'iCusCreLine'"),
              "106:13");
    EXPECT_EQ(first("select count(*) from zxsystem..syscolumns where id = object_id('zxsystem..ua_subsys')"), "3");
    EXPECT_EQ(first("select xtype from syscolumns where id = object_id('Userdefine') and name = 'pubzxts'"), "127");
}

}  // namespace
}  // namespace sqltest
