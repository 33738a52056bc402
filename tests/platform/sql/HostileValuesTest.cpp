// Values typed by users reach statements through host::sqlValue. Whatever they hold, they come
// back unchanged and never change what a statement selects or does.
#include <gtest/gtest.h>

#include "TestAccount.h"
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

class HostileValues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(account.ok()) << qPrintable(account.error());
        connection = account.connect();
        ASSERT_TRUE(connection);
    }
    int count(const QString& where) {
        auto rows = connection->open("select count(*) from Userdefine where " + where);
        return rows ? rows->text(0).toInt() : -1;
    }
    TestAccount account;
    std::unique_ptr<platform::sql::TSqlConnection> connection;
};

TEST_F(HostileValues, RoundTripThroughInsertAndSelect) {
    for (const QString& v : kHostile) {
        SCOPED_TRACE(qPrintable(v.left(40)));
        ASSERT_TRUE(connection->execute("insert into Userdefine (cId, cValue, cAlias) values ('77', N'" +
                                        host::sqlValue(v) + "', N'" + host::sqlValue(v) + "')"))
            << qPrintable(connection->lastError());
        auto rows = connection->open("select cValue, cAlias, cValue + N'|' + cAlias as joined from Userdefine where cId = '77' and cValue = N'" +
                                     host::sqlValue(v) + "'");
        ASSERT_TRUE(rows) << qPrintable(connection->lastError());
        ASSERT_EQ(rows->recordCount(), 1);
        EXPECT_EQ(rows->text("cValue"), v);
        EXPECT_EQ(rows->text("joined"), v + "|" + v);
        ASSERT_TRUE(connection->execute("delete from Userdefine where cId = '77' and cValue = N'" + host::sqlValue(v) + "'"));
    }
    EXPECT_EQ(count("1=1"), 2);  // the two rows of the account, nothing else touched
}

TEST_F(HostileValues, CannotWidenWhatIsSelected) {
    for (const QString& v : kHostile) {
        SCOPED_TRACE(qPrintable(v.left(40)));
        EXPECT_EQ(count("cId='" + host::sqlValue(v) + "'"), 0);
        EXPECT_EQ(count("cValue like N'%" + host::sqlValue(v) + "%'"), 0);
        EXPECT_EQ(count("cId='1' and cValue<>N'" + host::sqlValue(v) + "'"), 2);
    }
    // The key that the value archive deletes by: item id and value joined into one literal.
    const QString key = "1' and cValue='" + host::sqlValue("乙' or '1'='1");
    EXPECT_EQ(count("cID='" + key + "'"), 0);
    EXPECT_EQ(count("cID='" + QString("1' and cValue='") + host::sqlValue(QStringLiteral("乙")) + "'"), 1);
}

TEST_F(HostileValues, VariablesAndProcedureTextsStayValues) {
    auto rows = connection->open("declare @v nvarchar(100) set @v = N'" + host::sqlValue("'); delete from Userdefine; --") +
                                 "' select count(*) as n from Userdefine where cValue = @v");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    EXPECT_EQ(rows->text("n"), "0");
    EXPECT_EQ(count("1=1"), 2);
}

}  // namespace
