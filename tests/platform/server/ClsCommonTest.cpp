// The server database service on good and bad connection texts and statements.
#include <gtest/gtest.h>

#include <QFile>
#include <tuple>

#include "platform/server/AccountConnection.h"
#include "platform/sql/PgFunctions.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/TestAccount.h"

namespace {

using platform::server::ClsCommon;
using testsupport::AccountTest;

class Connecting : public AccountTest {};

TEST_F(Connecting, TheLanguageOfTheConnectionTextNamesTheItems) {
    ClsCommon srv;
    const std::pair<const char*, QStringList> cases[] = {
        {"zh-CN", {"合同号", "自定义项2", "业务员"}},
        {"zh-TW", {"合同號", "自定义项2", "業務員"}},
        // An item without an English name falls back to its simplified-Chinese name.
        {"en-US", {"Contract No.", "自定义项2", "业务员"}}};
    for (const auto& [language, names] : cases) {
        srv.init(account.connectionText(QString::fromLatin1(language)));
        ASSERT_TRUE(srv.Status()) << srv.lastError().toStdString();
        const host::RecordSetPtr rows = srv.OpenX(
            "select cId, citemlang from UserDef where cId in ('1','8','2') order by cast(cId as int)");
        ASSERT_TRUE(rows) << srv.lastError().toStdString();
        QStringList seen;
        for (int r = 0; r < rows->recordCount(); ++r) seen << rows->textAt(r, 1);
        EXPECT_EQ(seen, names) << language;
    }
}

TEST_F(Connecting, BadTextsLeaveTheServiceDownAndMakeNoFile) {
    ClsCommon srv;
    const QString missing = platform::server::accountConnectionText(account.dataRoot(), "999", "zh-CN");
    for (const QString& text : {QString(), QStringLiteral("garbage"),
                                QStringLiteral("Initial Catalog=ZxData_001;Account=001"), missing}) {
        srv.init(text);
        EXPECT_FALSE(srv.Status()) << text.toStdString();
        EXPECT_EQ(srv.OpenX("select 1 as x"), nullptr);
        EXPECT_FALSE(srv.lastError().isEmpty());
        EXPECT_FALSE(srv.ExecuteX("AA_CreateDefineRefDesignView"));
    }
    EXPECT_FALSE(QFile::exists(account.dataRoot() + "/999/ZxData_999.db"));
    // A later good text brings the service up again.
    srv.init(account.connectionText());
    EXPECT_TRUE(srv.Status()) << srv.lastError().toStdString();
}

class Statements : public AccountTest {};

TEST_F(Statements, TemporaryTablesLiveWithTheirConnectionAndCompareWithoutCase) {
    // The rule editor's check opens the field-pair join before any batch made the table.
    const QString join = QStringLiteral(
        " SELECT  Sub.cMakeVouchID FROM #AA_ExtendDefineFieldsForMakeVouch source"
        " INNER JOIN AA_ExtendDefineMakeVouch_sub Sub ON source.ctablename = Sub.ctablename");
    ClsCommon& srv = account.srv();
    EXPECT_EQ(srv.OpenX(join), nullptr);
    EXPECT_TRUE(srv.lastError().contains("AA_ExtendDefineFieldsForMakeVouch")) << srv.lastError().toStdString();
    ASSERT_TRUE(srv.ExecuteX(
        "Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename nvarchar(200),cextendfield nvarchar(200))\r\n"
        "Insert into #AA_ExtendDefineFieldsForMakeVouch values('sa_orderhead','cHDefine1')"))
        << srv.lastError().toStdString();
    const host::RecordSetPtr rows = srv.OpenX(join);
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    EXPECT_EQ(rows->text(0), "SA01");
    ClsCommon other;  // another service does not see it
    other.init(account.connectionText());
    EXPECT_EQ(other.OpenX(join), nullptr);
}

TEST_F(Statements, SoundnessConstraintsRefuseDuplicates) {
    // One id, one column name, one value per item, one name per item and language, numeric ids;
    // empty column names are not unique and a value of another item may repeat.
    const std::pair<const char*, bool> cases[] = {
        {"insert into UserDef_Base(cId,cClass,cItem) values('1001',N'单据头',N'扩展自定义项9')", false},
        {"insert into UserDef_Base(cId,cClass,cItem,cDicDbName) values('1009',N'单据头',N'扩展自定义项9','chdefine1')", false},
        {"insert into Userdefine(cId,cValue) values('20',N'红色')", false},
        {"insert into userdef_lang(cid,LocaleID,cItemName) values('1','zh-CN',N'又一个')", false},
        {"insert into UserDef_Base(cId,cClass,cItem) values('12a',N'单据头',N'扩展自定义项9')", false},
        {"insert into UserDef_Base(cId,cClass,cItem,cDicDbName) values('1010',N'单据头',N'扩展自定义项10','')", true},
        {"insert into Userdefine(cId,cValue) values('6',N'红色')", true},
    };
    for (const auto& [sql, accepted] : cases)
        EXPECT_EQ(account.srv().ExecuteX(QString::fromUtf8(sql)), accepted)
            << sql << ": " << account.srv().lastError().toStdString();
}

TEST_F(Statements, DeletingAnItemTakesItsNamesValuesAndLinks) {
    ClsCommon& srv = account.srv();
    ASSERT_TRUE(srv.ExecuteX("delete from UserDef_Base where cId='1003'")) << srv.lastError().toStdString();
    for (const char* table : {"userdef_lang", "Userdefine", "UserDefDetail"}) {
        const host::RecordSetPtr rows =
            srv.OpenX(QStringLiteral("select count(*) as n from %1 where cId='1003'").arg(QLatin1String(table)));
        ASSERT_TRUE(rows) << srv.lastError().toStdString();
        EXPECT_EQ(rows->value(0).toInt(), 0) << table;
    }
}


// A number item's column, added by this service or by another one after the statements had
// read the table, is read with its type: the delete check's "isnull(column,'')" works at once.
class ColumnsAddedMeanwhile : public AccountTest,
                              public ::testing::WithParamInterface<testsupport::TestAccount::Kind> {
protected:
    ColumnsAddedMeanwhile() : AccountTest(GetParam()) {}
};

TEST_P(ColumnsAddedMeanwhile, AreReadWithTheirType) {
    ClsCommon& srv = account.srv();
    ClsCommon other;
    other.init(account.connectionText());
    const auto used = [&](const char* column) {
        const host::RecordSetPtr rows = srv.OpenX(
            QStringLiteral("select count(*) from SA_DispatchHead_extradefine where isnull(%1,'')<>''")
                .arg(QLatin1String(column)));
        return rows ? rows->textAt(0, 0) : srv.lastError();
    };
    ASSERT_EQ(used("cHDefine1"), "0");  // the table as read before the items
    for (auto [service, id, column] : {std::tuple{&other, "1097", 7}, std::tuple{&srv, "1098", 8}}) {
        testsupport::ItemDoc item =
            testsupport::newItem("单据头", id, "cHDefine", column, {"SA_DispatchHead"}, "数字");
        item["iDecimalDigits"] = "2";
        QString error;
        ASSERT_TRUE(service->Add(item.xml(), "Userdef_base", &error)) << error.toStdString();
    }
    EXPECT_EQ(used("cHDefine7"), "0");
    EXPECT_EQ(used("cHDefine8"), "0");
}

INSTANTIATE_TEST_SUITE_P(Kinds, ColumnsAddedMeanwhile,
                         ::testing::Values(testsupport::TestAccount::Kind::Embedded,
                                           testsupport::TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });

}  // namespace

namespace {

class ServerFunctions : public AccountTest {
protected:
    ServerFunctions() : AccountTest(testsupport::TestAccount::Kind::Server) {}
};

// A server whose functions an older desk installed gets this desk's as its account opens.
TEST_F(ServerFunctions, AreBroughtUpToDateWhenAnAccountOpens) {
    QString why;
    ASSERT_TRUE(account.conn().exec(
        "COMMENT ON SCHEMA zxsystem IS 'zx functions of an older desk'; "
        "DROP FUNCTION zxsystem.zx_len(text); DROP FUNCTION zxsystem.zx_len(double precision)",
        &why))
        << why.toStdString();
    ClsCommon srv;
    srv.init(account.connectionText());
    const host::RecordSetPtr rows = srv.OpenX("select len('abc ') as n");
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    EXPECT_EQ(rows->textAt(0, 0), "3");
    EXPECT_EQ(account.rows("SELECT obj_description('zxsystem'::regnamespace, 'pg_namespace')"),
              QStringList{platform::sql::pgFunctionsStamp()});
}

}  // namespace
