// The server database service on good and bad connection texts and statements.
#include <gtest/gtest.h>

#include "host/IConnection.h"
#include "platform/server/AccountConnection.h"
#include "tests/support/TestAccount.h"

namespace {

using platform::server::ClsCommon;
using testsupport::AccountTest;

class Connecting : public AccountTest {};

TEST_F(Connecting, GoodConnectionTextGivesAWorkingService) {
    ClsCommon srv;
    EXPECT_FALSE(srv.Status());  // nothing before init
    EXPECT_EQ(srv.m_cnn(), nullptr);
    srv.init(account.connectionText());
    ASSERT_TRUE(srv.Status()) << srv.lastError().toStdString();
    ASSERT_NE(srv.m_cnn(), nullptr);
    EXPECT_EQ(srv.m_cnn()->defaultDatabase(), QStringLiteral("ZxData_001"));
    const host::RecordSetPtr rows = srv.OpenX(QStringLiteral("select count(*) as n from UserDef"));
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    EXPECT_EQ(rows->value(QStringLiteral("n")).toInt(), 128);
    // Record sets opened directly on the connection see the same database.
    const host::RecordSetPtr direct =
        srv.m_cnn()->open(QStringLiteral("select top 1 cCusName from customer order by cCusCode"));
    ASSERT_TRUE(direct);
    EXPECT_EQ(direct->text(0), QStringLiteral("华辰机电设备有限公司"));
}

TEST_F(Connecting, LanguageOfTheConnectionTextNamesTheItems) {
    ClsCommon srv;
    srv.init(account.connectionText(QStringLiteral("zh-TW")));
    ASSERT_TRUE(srv.Status());
    const host::RecordSetPtr rows =
        srv.OpenX(QStringLiteral("select citemlang from UserDef where cId='1'"));
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    EXPECT_EQ(rows->text(0), QStringLiteral("合同號"));
    // An item without an English name falls back to its simplified-Chinese name.
    srv.init(account.connectionText(QStringLiteral("en-US")));
    const host::RecordSetPtr en =
        srv.OpenX(QStringLiteral("select cId, citemlang from UserDef where cId in ('1','8','2') "
                                 "order by cast(cId as int)"));
    ASSERT_TRUE(en) << srv.lastError().toStdString();
    en->moveFirst();
    EXPECT_EQ(en->text(QStringLiteral("citemlang")), QStringLiteral("Contract No."));
    en->moveNext();
    EXPECT_EQ(en->text(QStringLiteral("citemlang")), QStringLiteral("自定义项2"));
    en->moveNext();
    EXPECT_EQ(en->text(QStringLiteral("citemlang")), QStringLiteral("业务员"));
}

TEST_F(Connecting, MissingDatabaseFileLeavesTheServiceDown) {
    ClsCommon srv;
    srv.init(platform::server::accountConnectionText(account.dataRoot(), QStringLiteral("999"),
                                                     QStringLiteral("zh-CN")));
    EXPECT_FALSE(srv.Status());
    EXPECT_FALSE(srv.lastError().isEmpty());
    EXPECT_EQ(srv.m_cnn(), nullptr);
    EXPECT_EQ(srv.OpenX(QStringLiteral("select 1 as x")), nullptr);
    EXPECT_FALSE(srv.lastError().isEmpty());
    EXPECT_FALSE(srv.ExecuteX(QStringLiteral("AA_CreateDefineRefDesignView")));
    // No database file was made on the way.
    EXPECT_FALSE(QFile::exists(account.dataRoot() + QStringLiteral("/999/ZxData_999.db")));
}

TEST_F(Connecting, ConnectionTextWithoutDataSourceIsRefused) {
    ClsCommon srv;
    for (const QString& text : {QString(), QStringLiteral("garbage"),
                                QStringLiteral("Initial Catalog=ZxData_001;Account=001")}) {
        srv.init(text);
        EXPECT_FALSE(srv.Status()) << text.toStdString();
        EXPECT_FALSE(srv.lastError().isEmpty());
    }
    // A later good text brings the service up again.
    srv.init(account.connectionText());
    EXPECT_TRUE(srv.Status()) << srv.lastError().toStdString();
}

class Statements : public AccountTest {};

TEST_F(Statements, BadSqlFailsWithAReasonAndTheServiceGoesOn) {
    ClsCommon& srv = account.srv();
    EXPECT_EQ(srv.OpenX(QStringLiteral("select nosuchcolumn from UserDef")), nullptr);
    EXPECT_TRUE(srv.lastError().contains(QStringLiteral("nosuchcolumn"), Qt::CaseInsensitive))
        << srv.lastError().toStdString();
    EXPECT_EQ(srv.OpenX(QStringLiteral("selec * from UserDef")), nullptr);
    EXPECT_FALSE(srv.lastError().isEmpty());
    EXPECT_FALSE(srv.ExecuteX(QStringLiteral("update NoSuchTable set x = 1")));
    EXPECT_TRUE(srv.lastError().contains(QStringLiteral("NoSuchTable"), Qt::CaseInsensitive))
        << srv.lastError().toStdString();

    const host::RecordSetPtr rows =
        srv.OpenX(QStringLiteral("select count(*) as n from Userdefine"));
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    EXPECT_TRUE(srv.lastError().isEmpty());  // a success clears the last failure
    EXPECT_EQ(rows->value(0).toInt(), 22);
}

TEST_F(Statements, TemporaryTablesLiveWithTheirConnection) {
    // The rule editor's check opens the field-pair join before any batch made the table.
    const QString join = QStringLiteral(
        " SELECT  Sub.cMakeVouchID FROM #AA_ExtendDefineFieldsForMakeVouch source"
        " INNER JOIN AA_ExtendDefineMakeVouch_sub Sub ON source.ctablename = Sub.ctablename");
    ClsCommon& srv = account.srv();
    EXPECT_EQ(srv.OpenX(join), nullptr);
    EXPECT_TRUE(srv.lastError().contains(QStringLiteral("AA_ExtendDefineFieldsForMakeVouch")))
        << srv.lastError().toStdString();
    ASSERT_TRUE(srv.ExecuteX(QStringLiteral(
        "Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename nvarchar(200),cextendfield "
        "nvarchar(200))\r\nInsert into #AA_ExtendDefineFieldsForMakeVouch "
        "values('SA_OrderHead','cHDefine1')")))
        << srv.lastError().toStdString();
    const host::RecordSetPtr rows = srv.OpenX(join);
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    EXPECT_EQ(rows->text(0), QStringLiteral("SA01"));
    // Another service does not see it.
    ClsCommon other;
    other.init(account.connectionText());
    EXPECT_EQ(other.OpenX(join), nullptr);
}

TEST_F(Statements, ExecuteChangesRowsAndOpenReadsThem) {
    ClsCommon& srv = account.srv();
    ASSERT_TRUE(
        srv.ExecuteX(QStringLiteral("update UserDef_Base set cItemName=N'备注' where cId='2'")))
        << srv.lastError().toStdString();
    const host::RecordSetPtr rows =
        srv.OpenX(QStringLiteral("select cItemName from UserDef where cId='2'"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->text(0), QStringLiteral("备注"));
}

TEST_F(Statements, SoundnessConstraintsRefuseDuplicates) {
    ClsCommon& srv = account.srv();
    // One id, one column name, one value per item, one name per item and language.
    EXPECT_FALSE(srv.ExecuteX(QStringLiteral(
        "insert into UserDef_Base(cId,cClass,cItem) values('1001',N'单据头',N'扩展自定义项9')")));
    EXPECT_FALSE(
        srv.ExecuteX(QStringLiteral("insert into UserDef_Base(cId,cClass,cItem,cDicDbName) "
                                    "values('1009',N'单据头',N'扩展自定义项9','chdefine1')")));
    EXPECT_FALSE(
        srv.ExecuteX(QStringLiteral("insert into Userdefine(cId,cValue) values('20',N'红色')")));
    EXPECT_FALSE(srv.ExecuteX(QStringLiteral(
        "insert into userdef_lang(cid,LocaleID,cItemName) values('1','zh-CN',N'又一个')")));
    EXPECT_FALSE(srv.ExecuteX(QStringLiteral(
        "insert into UserDef_Base(cId,cClass,cItem) values('12a',N'单据头',N'扩展自定义项9')")));
    // Empty column names are not unique; a value of another item may repeat.
    EXPECT_TRUE(
        srv.ExecuteX(QStringLiteral("insert into UserDef_Base(cId,cClass,cItem,cDicDbName) "
                                    "values('1010',N'单据头',N'扩展自定义项10','')")))
        << srv.lastError().toStdString();
    EXPECT_TRUE(
        srv.ExecuteX(QStringLiteral("insert into Userdefine(cId,cValue) values('6',N'红色')")))
        << srv.lastError().toStdString();
}

TEST_F(Statements, RowVersionGrowsWithEveryInsertAndUpdate) {
    ClsCommon& srv = account.srv();
    auto version = [&](const QString& where) {
        const host::RecordSetPtr r =
            srv.OpenX(QStringLiteral("select pubzxts from Userdefine where ") + where);
        return r && !r->isEmpty() ? r->value(0).toLongLong() : -1;
    };
    const qint64 before = version(QStringLiteral("cId='20' and cValue=N'白色'"));
    ASSERT_TRUE(
        srv.ExecuteX(QStringLiteral("insert into Userdefine(cId,cValue) values('20',N'灰色')")));
    const qint64 inserted = version(QStringLiteral("cId='20' and cValue=N'灰色'"));
    EXPECT_GT(inserted, before);
    ASSERT_TRUE(srv.ExecuteX(
        QStringLiteral("update Userdefine set cAlias='GREY' where cId='20' and cValue=N'红色'")));
    const qint64 updated = version(QStringLiteral("cId='20' and cValue=N'红色'"));
    EXPECT_GT(updated, inserted);
    // The value list in entry order now ends with the changed value.
    const host::RecordSetPtr list =
        srv.OpenX(QStringLiteral("select cValue from userdefine where cId='20' order by pubzxts"));
    ASSERT_TRUE(list);
    list->moveLast();
    EXPECT_EQ(list->text(0), QStringLiteral("红色"));
    // Items carry a row version too.
    const host::RecordSetPtr item =
        srv.OpenX(QStringLiteral("select pubzxts from UserDef_Base where cId='1001'"));
    ASSERT_TRUE(item);
    EXPECT_GT(item->value(0).toLongLong(), 0);
}

TEST_F(Statements, DeletingAnItemTakesItsNamesValuesAndLinks) {
    ClsCommon& srv = account.srv();
    ASSERT_TRUE(srv.ExecuteX(QStringLiteral("delete from UserDef_Base where cId='1003'")))
        << srv.lastError().toStdString();
    for (const char* table : {"userdef_lang", "Userdefine", "UserDefDetail"}) {
        const host::RecordSetPtr rows =
            srv.OpenX(QStringLiteral("select count(*) as n from %1 where cId='1003'")
                          .arg(QLatin1String(table)));
        ASSERT_TRUE(rows) << srv.lastError().toStdString();
        EXPECT_EQ(rows->value(0).toInt(), 0) << table;
    }
}

}  // namespace
