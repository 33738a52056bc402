// Values joined into statements with the quoting helper arrive unchanged, whatever they hold,
// and never widen what a statement selects or does.
#include <gtest/gtest.h>

#include "host/Quote.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::AccountTest;

// Cut to the length of Userdefine.cValue.
const QStringList& hostileValues() {
    static const QStringList values = testsupport::hostileTexts(120);
    return values;
}

class HostileValues : public AccountTest {
protected:
    int count(const QString& where) {
        const host::RecordSetPtr rows = account.srv().OpenX("select count(*) from Userdefine where " + where);
        return rows ? rows->value(0).toInt() : -1;
    }
};

TEST_F(HostileValues, RoundTripThroughInsertSelectUpdateAndDelete) {
    platform::server::ClsCommon& srv = account.srv();
    const int all = count("1=1");
    for (const QString& value : hostileValues()) {
        SCOPED_TRACE(testsupport::traceText(value));
        const QString v = host::sqlValue(value);
        // Nothing matches before it is stored, however the value is used in a condition.
        EXPECT_EQ(count("cId='" + v + "'"), 0);
        EXPECT_EQ(count("cValue like N'%" + v + "%'"), 0);
        EXPECT_EQ(count("cId='20' and cValue<>N'" + v + "'"), 4);
        ASSERT_TRUE(srv.ExecuteX("insert into Userdefine(cId,cValue,cAlias) values('20',N'" + v + "',N'" + v + "')"))
            << srv.lastError().toStdString();
        ASSERT_TRUE(srv.ExecuteX("update Userdefine set cParentValue=N'" + v + "' where cId='20' and cValue=N'" + v + "'"))
            << srv.lastError().toStdString();
        const host::RecordSetPtr rows = srv.OpenX(
            "select cValue, cValue + N'|' + cAlias as joined, cParentValue from userdefine where cId='20' and cValue=N'" + v + "'");
        ASSERT_TRUE(rows) << srv.lastError().toStdString();
        ASSERT_EQ(rows->recordCount(), 1);
        EXPECT_EQ(rows->text("cValue"), value);
        EXPECT_EQ(rows->text("joined"), value + "|" + value);
        EXPECT_EQ(rows->text("cParentValue"), value);
        ASSERT_TRUE(srv.ExecuteX("delete from Userdefine where cId='20' and cValue=N'" + v + "'"))
            << srv.lastError().toStdString();
        EXPECT_EQ(count("1=1"), all);  // nothing else touched
    }
}

TEST_F(HostileValues, InABatchWithVariablesAndTheFieldPairTable) {
    platform::server::ClsCommon& srv = account.srv();
    const QString column = QStringLiteral("c'H\"D; --<&>𠀋");
    const QString batch = QStringList{
        " if not (select object_id('Tempdb..#AA_ExtendDefineFieldsForMakeVouch')) is null ",
        " DROP TABLE #AA_ExtendDefineFieldsForMakeVouch ",
        " Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename nvarchar(200),cextendfield nvarchar(200))",
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('SA_OrderHead','" + host::sqlValue(column) + "') ",
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('" + host::sqlValue("x' or '1'='1") + "','" +
            host::sqlValue(column) + "') "}.join("\r\n");
    ASSERT_TRUE(srv.ExecuteX(batch)) << srv.lastError().toStdString();
    const host::RecordSetPtr rows = srv.OpenX(
        "select ctablename, cextendfield from #AA_ExtendDefineFieldsForMakeVouch order by ctablename");
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    ASSERT_EQ(rows->recordCount(), 2);
    EXPECT_EQ(rows->text("ctablename"), "SA_OrderHead");
    EXPECT_EQ(rows->text("cextendfield"), column);
    rows->moveNext();
    EXPECT_EQ(rows->text("ctablename"), "x' or '1'='1");
    const host::RecordSetPtr n = srv.OpenX("declare @v nvarchar(100) set @v = N'" +
                                           host::sqlValue("'); delete from Userdefine; --") +
                                           "' select count(*) as n from Userdefine where cValue = @v");
    ASSERT_TRUE(n) << srv.lastError().toStdString();
    EXPECT_EQ(n->text("n"), "0");
    EXPECT_EQ(count("1=1"), 22);
}

}  // namespace
