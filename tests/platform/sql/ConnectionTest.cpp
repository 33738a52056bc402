// Connection texts, opening connections, and the record sets a connection hands back: types
// and sizes from the declared types, NULL apart from empty text.
#include <gtest/gtest.h>

#include <QFile>

#include "SqlTest.h"
#include "platform/sql/ConnectionText.h"

using namespace sqltest;
using platform::sql::ConnectionText;

namespace {

TEST(ConnectionTexts, KeysInAnySpellingAndPathsWithSemicolonsAndQuotes) {
    const auto d = ConnectionText::parse(" language = EN_us ; data source = /x/a.db ; Provider=X");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->dataSource, "/x/a.db");
    EXPECT_EQ(d->language, "en-US");
    EXPECT_FALSE(ConnectionText::parse("Initial Catalog=ZxData_001"));
    ConnectionText c;
    c.dataSource = "/data/odd;name \"x\"/ZxData_001.db";
    c.catalog = "ZxData_001";
    c.systemPath = "/d/zx;system.db";
    const auto back = ConnectionText::parse(c.format());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->dataSource, c.dataSource);
    EXPECT_EQ(back->systemPath, c.systemPath);
    EXPECT_EQ(back->catalog, "ZxData_001");
    c.server = "host=/run/pg;x port=5432 dbname='a \"b\"'";  // a server account's text
    const auto server = ConnectionText::parse(c.format());
    ASSERT_TRUE(server);
    EXPECT_EQ(server->server, c.server);
    EXPECT_EQ(server->dataSource, QString());
}

using Connections = SqlTest;

TEST_F(Connections, AMissingAttachedFileIsNamedAndNotMade) {
    QString error;
    auto text = *ConnectionText::parse(account.connectionText());
    text.systemPath = account.dataRoot() + "/missing.db";
    EXPECT_FALSE(platform::sql::TSqlConnection::open(text.format(), &error));
    EXPECT_TRUE(error.contains("missing.db"));
    EXPECT_FALSE(QFile::exists(account.dataRoot() + "/missing.db"));
}

using RecordSets = SqlTest;

TEST_F(RecordSets, TypesSizesAndValuesFollowTheDeclaredTypes) {
    ASSERT_TRUE(account.db().exec(
        "CREATE TABLE zz_t(a nvarchar(60), c ntext, g int, j bigint, k bit, l decimal(28,6), "
        "m money, n float, p datetime, s varbinary(20), u timestamp, w nvarchar(10), x bit)"));
    const QString nonBmp = QStringLiteral("𠀀𝄞 存货 \"'<&>");
    ASSERT_TRUE(account.db().execParams(
        "INSERT INTO zz_t VALUES (?, 'z', ?, ?, 2, 12.3456, 2.25, 1e-7, '2024-02-29 23:59:58', "
        "x'0203', 7, 42, ' TRUE ')",
        {nonBmp, -2147483647 - 1, Q_INT64_C(9007199254740993)}));
    auto rows = connection->open("select * from zz_t");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    using namespace host::FieldType;
    const std::vector<std::pair<int, int>> expected = {
        {VarWChar, 60}, {LongVarWChar, 1073741823}, {Integer, 4}, {BigInt, 8}, {Boolean, 2},
        {Numeric, 19}, {Currency, 8}, {Double, 8}, {DBTimeStamp, 16}, {VarBinary, 20},
        {VarBinary, 8}, {VarWChar, 10}, {Boolean, 2}};
    ASSERT_EQ(rows->fieldCount(), int(expected.size()));
    for (int c = 0; c < rows->fieldCount(); ++c) {
        EXPECT_EQ(rows->field(c).type, expected[size_t(c)].first) << qPrintable(rows->field(c).name);
        EXPECT_EQ(rows->field(c).definedSize, expected[size_t(c)].second) << qPrintable(rows->field(c).name);
    }
    const std::pair<const char*, QString> texts[] = {
        {"a", nonBmp}, {"g", "-2147483648"}, {"j", "9007199254740993"}, {"k", "True"},
        {"l", "12.3456"}, {"n", "0.0000001"}, {"p", "2024-02-29 23:59:58"}, {"w", "42"}};
    for (const auto& [field, text] : texts) EXPECT_EQ(rows->text(field), text) << field;
    EXPECT_EQ(rows->value("x").typeId(), QMetaType::Bool);  // a flag stored as text
    EXPECT_EQ(rows->value("w").typeId(), QMetaType::QString);  // a number in a text column
    EXPECT_EQ(rows->value("u").toByteArray(), QByteArray::fromHex("0000000000000007"));

    // Expressions take the type of their value; integers beyond int are big integers.
    rows = connection->open("select 5000000000, 7, 1.5, cItemName + 'x', pubzxts from UserDef_Base");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    const int types[] = {BigInt, Integer, Double, VarWChar, BigInt};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(rows->field(c).type, types[c]) << c;
}

TEST_F(RecordSets, NullStaysApartFromEmptyTextInEveryKindOfColumn) {
    ASSERT_TRUE(connection->execute(
        "create table #t(a nvarchar(10), b int, c bit, d decimal(28,6), e varbinary(4)) "
        "insert into #t values ('', 0, 0, 0, 0x) insert into #t values (NULL, NULL, NULL, NULL, NULL)"))
        << qPrintable(connection->lastError());
    auto rows = connection->open("select a, b, c, d, e, NULL as f, '' as g from #t order by b desc");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    ASSERT_EQ(rows->recordCount(), 2);
    for (int c = 0; c < 5; ++c) {
        EXPECT_FALSE(rows->isNullAt(0, c)) << c;
        EXPECT_TRUE(rows->isNullAt(1, c)) << c;
        EXPECT_EQ(rows->textAt(1, c), QString()) << c;
    }
    EXPECT_TRUE(rows->isNullAt(0, 5));
    EXPECT_FALSE(rows->isNullAt(0, 6));
    // As the demo account holds them: '' and NULL extended values of two customers.
    rows = connection->open("select cCusDefine3, cCusName from Customer where cCusCode in ('C003', 'C004') order by cCusCode");
    ASSERT_TRUE(rows);
    EXPECT_FALSE(rows->isNull("cCusDefine3"));
    rows->moveNext();
    EXPECT_TRUE(rows->isNull("cCusDefine3"));
    EXPECT_EQ(rows->text("CCUSNAME"), QStringLiteral("北辰物流有限公司"));  // fields by name in any case
}

}  // namespace
