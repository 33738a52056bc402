// Values typed by users reach statements through host::sqlValue. Whatever they hold, they come
// back unchanged and never change what a statement selects or does.
#include <gtest/gtest.h>

#include "SqlTest.h"
#include "host/Quote.h"

using namespace sqltest;

namespace {

const QStringList kHostile = {
    QStringLiteral("O'Brien"),
    QStringLiteral("x' or '1'='1"),
    QStringLiteral("'; drop table Userdefine; --"),
    QStringLiteral("a -- b"),
    QStringLiteral("semi;colon"),
    QStringLiteral("<tag attr=\"1\">&amp;</tag>"),
    QStringLiteral("N'nested'"),
    QStringLiteral("[bracket]] ]"),
    QStringLiteral("@var #temp"),
    QStringLiteral("中文值"),
    QStringLiteral("𠮷野家 𩸽"),
    QStringLiteral("tab\there\r\nnewline"),
    QStringLiteral("  "),
    QString(2000, QLatin1Char('\'')),
};

class HostileValues : public SqlTest {
protected:
    void SetUp() override {
        SqlTest::SetUp();
        all = count("1=1");
    }
    int count(const QString& where) {
        auto rows = connection->open("select count(*) from Userdefine where " + where);
        return rows ? rows->text(0).toInt() : -1;
    }
    int all = 0;  // values of the account before the test
};

TEST_F(HostileValues, RoundTripThroughInsertAndSelect) {
    for (const QString& v : kHostile) {
        SCOPED_TRACE(qPrintable(v.left(40)));
        ASSERT_TRUE(connection->execute("insert into Userdefine (cId, cValue, cAlias) values ('90', N'" +
                                        host::sqlValue(v) + "', N'" + host::sqlValue(v) + "')"))
            << qPrintable(connection->lastError());
        auto rows = connection->open("select cValue, cAlias, cValue + N'|' + cAlias as joined from Userdefine where cId = '90' and cValue = N'" +
                                     host::sqlValue(v) + "'");
        ASSERT_TRUE(rows) << qPrintable(connection->lastError());
        ASSERT_EQ(rows->recordCount(), 1);
        EXPECT_EQ(rows->text("cValue"), v);
        EXPECT_EQ(rows->text("joined"), v + "|" + v);
        ASSERT_TRUE(connection->execute("delete from Userdefine where cId = '90' and cValue = N'" + host::sqlValue(v) + "'"));
    }
    EXPECT_EQ(count("1=1"), all);  // nothing else touched
}

TEST_F(HostileValues, CannotWidenWhatIsSelected) {
    for (const QString& v : kHostile) {
        SCOPED_TRACE(qPrintable(v.left(40)));
        EXPECT_EQ(count("cId='" + host::sqlValue(v) + "'"), 0);
        EXPECT_EQ(count("cValue like N'%" + host::sqlValue(v) + "%'"), 0);
        EXPECT_EQ(count("cId='20' and cValue<>N'" + host::sqlValue(v) + "'"), 4);
    }
    // The key that the value archive deletes by: item id and value joined into one literal.
    const QString key = "20' and cValue='" + host::sqlValue("红色' or '1'='1");
    EXPECT_EQ(count("cID='" + key + "'"), 0);
    EXPECT_EQ(count("cID='" + QString("20' and cValue='") + host::sqlValue(QStringLiteral("红色")) + "'"), 1);
}

TEST_F(HostileValues, VariablesAndProcedureTextsStayValues) {
    auto rows = connection->open("declare @v nvarchar(100) set @v = N'" + host::sqlValue("'); delete from Userdefine; --") +
                                 "' select count(*) as n from Userdefine where cValue = @v");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("n"), "0");
    EXPECT_EQ(count("1=1"), all);
}

}  // namespace
