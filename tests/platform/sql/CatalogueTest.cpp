// OBJECT_ID, OBJECT_NAME and syscolumns over the account, the attached databases and the
// connection's temporary tables.
#include <gtest/gtest.h>

#include "TestAccount.h"

using namespace sqltest;

namespace {

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(account.ok()) << qPrintable(account.error());
        connection = account.connect();
        ASSERT_TRUE(connection);
    }
    QString first(const QString& sql) {
        const auto rows = connection->open(sql);
        if (!rows) return QStringLiteral("<failed> ") + connection->lastError();
        return rows->isEmpty() ? QStringLiteral("<no rows>") : rows->text(0);
    }
    TestAccount account;
    std::unique_ptr<platform::sql::TSqlConnection> connection;
};

TEST_F(Catalogue, ObjectIdFindsTablesAndViewsWhereTheNameSays) {
    const QString id = first("select object_id('UserDef_Base')");
    EXPECT_FALSE(id.isEmpty());
    EXPECT_EQ(first("select object_id(N'dbo.userdef_base')"), id);  // any case, with owner
    EXPECT_EQ(first("select object_id('[ZxData_001].[dbo].[UserDef_Base]')"), id);
    EXPECT_FALSE(first("select object_id('UserDef_Parent')").isEmpty());  // a view
    EXPECT_EQ(first("select object_name(object_id('userdef_base'))"), "UserDef_Base");
    EXPECT_EQ(first("select isnull(object_id('NoSuchTable'), -1)"), "-1");
    EXPECT_EQ(first("select isnull(object_id('zxmenu_business_lang'), -1)"), "-1");  // system only
    EXPECT_EQ(first("select object_name(object_id('zxsystem.dbo.UA_Menu'))"), "UA_Menu");
    EXPECT_EQ(first("select object_name(object_id('ZxMeta_001..refdesign'))"), "refdesign");
    EXPECT_EQ(first("select isnull(object_id('other..refdesign'), -1)"), "-1");
}

TEST_F(Catalogue, TemporaryTablesAppearAndDisappear) {
    EXPECT_EQ(first("select isnull(object_id('Tempdb..#T1'), -1)"), "-1");
    ASSERT_TRUE(connection->execute("create table #T1(a nvarchar(10))"));
    const QString id = first("select object_id('Tempdb..#t1')");
    EXPECT_NE(id, "-1");
    EXPECT_EQ(first("select object_name(object_id('tempdb.dbo.#T1'))"), "#T1");
    EXPECT_EQ(first("select sum(length) from tempdb..syscolumns where id = object_id('tempdb..#T1')"), "20");
    ASSERT_TRUE(connection->execute("drop table #T1"));
    EXPECT_EQ(first("select isnull(object_id('Tempdb..#T1'), -1)"), "-1");
    EXPECT_EQ(first("select isnull(object_name(" + id + "), 'gone')"), "gone");
}

TEST_F(Catalogue, SyscolumnsDescribesColumnsAsTheServerDoes) {
    auto rows = connection->open(
        "select c.name, c.xtype, c.length from syscolumns c where c.id = object_id('SaleBill_extradefine') order by c.colid");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    QStringList seen;
    for (rows->moveFirst(); !rows->eof(); rows->moveNext())
        seen << rows->text("name") + ":" + rows->text("xtype") + ":" + rows->text("length");
    EXPECT_EQ(seen, (QStringList{"cSBVCode:231:60", "cHDefine1:231:120", "cHDefine2:56:4",
                                 "cHDefine3:61:8", "cHDefine4:106:13"}));
    EXPECT_EQ(first("select count(*) from syscolumns where id = object_id('UserDef_Base') and xtype = 104"), "7");
    EXPECT_EQ(first("select count(*) from zxsystem..syscolumns where id = object_id('zxsystem..ua_subsys')"), "3");
    EXPECT_EQ(first("select length from syscolumns where id = object_id('Userdefine') and name = 'pubzxts'"), "8");
    EXPECT_EQ(first("select xtype from syscolumns where id = object_id('Userdefine') and name = 'pubzxts'"), "189");
}

}  // namespace
