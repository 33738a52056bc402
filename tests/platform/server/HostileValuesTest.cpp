// Values joined into statements with the quoting helper arrive unchanged, whatever they hold.
#include <gtest/gtest.h>

#include "host/Quote.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::AccountTest;

const QStringList& hostileValues() {
    static const QStringList values = {
        QStringLiteral("O'Brien"),
        QStringLiteral("''"),
        QStringLiteral("x'); DROP TABLE Userdefine; --"),
        QStringLiteral("-- not a comment"),
        QStringLiteral("a;b; select 1"),
        QStringLiteral("<b>&amp; \"quoted\" </b>"),
        QStringLiteral("中文值，含全角标点"),
        QString::fromUtf8(
            "\xF0\x9F\x98\x80 \xF0\x9D\x84\x9E 𠀋"),  // emoji, musical symbol, CJK ext. B
        QStringLiteral("[UR0001]"),
        QStringLiteral("100%_like"),
        QStringLiteral("tab\tand\nnewline"),
        QString(120, QChar(0x4E2D)),  // the column's full length
    };
    return values;
}

class HostileValues : public AccountTest {};

TEST_F(HostileValues, RoundTripThroughInsertSelectUpdateAndDelete) {
    platform::server::ClsCommon& srv = account.srv();
    int n = 0;
    for (const QString& value : hostileValues()) {
        const QString v = host::sqlValue(value);
        const QString alias = QStringLiteral("alias%1").arg(++n);
        ASSERT_TRUE(srv.ExecuteX(QStringLiteral("insert into Userdefine(cId,cValue,cAlias) "
                                                "values('20',N'%1',N'%2')")
                                     .arg(v, alias)))
            << value.toStdString() << ": " << srv.lastError().toStdString();
        const host::RecordSetPtr rows = srv.OpenX(
            QStringLiteral("select cValue, cAlias from userdefine where cId='20' and cValue=N'%1'")
                .arg(v));
        ASSERT_TRUE(rows) << value.toStdString() << ": " << srv.lastError().toStdString();
        ASSERT_EQ(rows->recordCount(), 1) << value.toStdString();
        EXPECT_EQ(rows->text(QStringLiteral("cValue")), value);
        EXPECT_EQ(rows->text(QStringLiteral("cAlias")), alias);

        ASSERT_TRUE(srv.ExecuteX(QStringLiteral("update Userdefine set cParentValue=N'%1' "
                                                "where cId='20' and cValue=N'%1'")
                                     .arg(v)))
            << value.toStdString() << ": " << srv.lastError().toStdString();
        const host::RecordSetPtr parent = srv.OpenX(
            QStringLiteral("select cParentValue from userdefine where cId='20' and cValue=N'%1'")
                .arg(v));
        ASSERT_TRUE(parent);
        EXPECT_EQ(parent->text(0), value);
    }
    // Nothing was dropped or touched besides the new rows.
    const host::RecordSetPtr all =
        srv.OpenX(QStringLiteral("select count(*) from Userdefine where cId='20'"));
    ASSERT_TRUE(all) << srv.lastError().toStdString();
    EXPECT_EQ(all->value(0).toInt(), 4 + hostileValues().size());

    for (const QString& value : hostileValues())
        ASSERT_TRUE(
            srv.ExecuteX(QStringLiteral("delete from Userdefine where cId='20' and cValue=N'%1'")
                             .arg(host::sqlValue(value))))
            << value.toStdString() << ": " << srv.lastError().toStdString();
    const host::RecordSetPtr left =
        srv.OpenX(QStringLiteral("select cValue from userdefine where cId='20' order by pubzxts"));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->recordCount(), 4);
}

TEST_F(HostileValues, InABatchWithTheFieldPairTable) {
    platform::server::ClsCommon& srv = account.srv();
    const QString column = QStringLiteral("c'H\"D; --<&>𠀋");
    const QString batch =
        QStringList{
            " if not (select object_id('Tempdb..#AA_ExtendDefineFieldsForMakeVouch')) is null ",
            " DROP TABLE #AA_ExtendDefineFieldsForMakeVouch ",
            " Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename "
            "nvarchar(200),cextendfield "
            "nvarchar(200))",
            " Insert into #AA_ExtendDefineFieldsForMakeVouch values('SA_OrderHead','" +
                host::sqlValue(column) + "') ",
            " Insert into #AA_ExtendDefineFieldsForMakeVouch values('" +
                host::sqlValue(QStringLiteral("x' or '1'='1")) + "','" + host::sqlValue(column) +
                "') "}
            .join(QStringLiteral("\r\n"));
    ASSERT_TRUE(srv.ExecuteX(batch)) << srv.lastError().toStdString();
    const host::RecordSetPtr rows =
        srv.OpenX(QStringLiteral("select ctablename, cextendfield from "
                                 "#AA_ExtendDefineFieldsForMakeVouch order by ctablename"));
    ASSERT_TRUE(rows) << srv.lastError().toStdString();
    ASSERT_EQ(rows->recordCount(), 2);
    EXPECT_EQ(rows->text(QStringLiteral("ctablename")), QStringLiteral("SA_OrderHead"));
    EXPECT_EQ(rows->text(QStringLiteral("cextendfield")), column);
    rows->moveNext();
    EXPECT_EQ(rows->text(QStringLiteral("ctablename")), QStringLiteral("x' or '1'='1"));
}

}  // namespace
