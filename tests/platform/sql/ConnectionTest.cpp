// Connection texts, opening connections, and the record sets a connection hands back.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "SqlTest.h"
#include "platform/sql/ConnectionText.h"

using namespace sqltest;
using platform::sql::ConnectionText;

namespace {

TEST(ConnectionTexts, ParseAndFormatRoundTrip) {
    const auto c = ConnectionText::parse(
        "Data Source=/d/ZxData_001.db;Initial Catalog=ZxData_001;Account=001;System=/d/zxsystem.db;"
        "Meta=/d/ZxMeta_001.db;Language=zh-TW");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->dataSource, "/d/ZxData_001.db");
    EXPECT_EQ(c->catalog, "ZxData_001");
    EXPECT_EQ(c->account, "001");
    EXPECT_EQ(c->systemPath, "/d/zxsystem.db");
    EXPECT_EQ(c->metaPath, "/d/ZxMeta_001.db");
    EXPECT_EQ(c->language, "zh-TW");
    EXPECT_EQ(ConnectionText::parse(c->format())->format(), c->format());

    // Keys in any case and order, blanks around them, unknown keys, a language in other spelling.
    const auto d = ConnectionText::parse(" language = EN_us ; data source = /x/a.db ; Provider=X");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->dataSource, "/x/a.db");
    EXPECT_EQ(d->language, "en-US");
    EXPECT_FALSE(ConnectionText::parse("Initial Catalog=ZxData_001"));
    EXPECT_FALSE(ConnectionText::parse(""));
}

TEST(ConnectionTexts, PathsWithSemicolonsAndQuotesSurvive) {
    ConnectionText c;
    c.dataSource = "/data/odd;name \"x\"/ZxData_001.db";
    c.catalog = "ZxData_001";
    c.account = "001";
    const auto back = ConnectionText::parse(c.format());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->dataSource, c.dataSource);
    EXPECT_EQ(back->catalog, "ZxData_001");
}

TEST(Connections, OpeningFailsClearly) {
    QString error;
    EXPECT_FALSE(platform::sql::TSqlConnection::open("Initial Catalog=x", &error));
    EXPECT_TRUE(error.contains("Data Source"));
    EXPECT_FALSE(platform::sql::TSqlConnection::open("Data Source=/no/such/file.db", &error));
    EXPECT_TRUE(error.contains("/no/such/file.db"));
    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok());
    auto text = *ConnectionText::parse(account.connectionText());
    text.systemPath = account.dataRoot() + "/missing.db";
    EXPECT_FALSE(platform::sql::TSqlConnection::open(text.format(), &error));
    EXPECT_TRUE(error.contains("missing.db"));
    EXPECT_FALSE(QFile::exists(account.dataRoot() + "/missing.db"));  // nothing made on the way
}

using AccountConnections = SqlTest;

TEST_F(AccountConnections, MetadataConnectionSeesItsOwnDatabaseUnderItsName) {
    QString error;
    auto meta = platform::sql::TSqlConnection::open(account.metaConnectionText(), &error);
    ASSERT_TRUE(meta) << qPrintable(error);
    EXPECT_EQ(meta->defaultDatabase(), "ZxMeta_001");
    auto rows = meta->open("Select A.cRefID, A.cRefMeta,a.cRefName From refdesign A Where A.IsUserDefRef=1 and isnull(a.cParentRefid,'')<>''  Order by a.cRefName");
    ASSERT_TRUE(rows) << qPrintable(meta->lastError());
    EXPECT_EQ(rows->recordCount(), 3);
    EXPECT_TRUE(meta->open("select count(*) from ZxMeta_001..AA_ColumnDic"));
    EXPECT_TRUE(meta->open("select count(*) from zxsystem..ua_subsys"));
}

using RecordSets = SqlTest;

TEST_F(RecordSets, FieldTypesAndSizesComeFromDeclaredTypes) {
    auto rows = connection->open("select cId, IMaxLen, iDataSource, bFixLength, pubzxts, cItemName, "
                                 "cItemName + 'x' as joined, 1.5 as ratio, 7 as seven from UserDef_Base where cId = '1'");
    ASSERT_TRUE(rows) << qPrintable(connection->lastError());
    auto type = [&](const char* name) { return rows->field(rows->fieldIndex(name)).type; };
    auto size = [&](const char* name) { return rows->field(rows->fieldIndex(name)).definedSize; };
    EXPECT_EQ(type("cId"), host::FieldType::VarWChar);
    EXPECT_EQ(size("cId"), 20);
    EXPECT_EQ(rows->value("bFixLength").typeId(), QMetaType::Bool);
    EXPECT_EQ(type("pubzxts"), host::FieldType::BigInt);
    EXPECT_EQ(type("joined"), host::FieldType::VarWChar);  // expressions: from the value
    EXPECT_EQ(type("ratio"), host::FieldType::Double);
    EXPECT_EQ(type("seven"), host::FieldType::Integer);
    EXPECT_EQ(rows->text("bCheckVal"), QString());  // no such field: null, not a crash
    // A row version of the server's kind reads as its eight bytes.
    ASSERT_TRUE(connection->execute("create table #v(v timestamp) insert into #v values (101)"));
    auto versions = connection->open("select v from #v");
    ASSERT_TRUE(versions) << qPrintable(connection->lastError());
    EXPECT_EQ(versions->field(0).type, host::FieldType::VarBinary);
    EXPECT_EQ(versions->value("v").toByteArray(), QByteArray::fromHex("0000000000000065"));
}

TEST_F(RecordSets, NullStaysDistinctFromEmptyText) {
    auto rows = connection->open(
        "select cCusCode, cCusDefine3, cCusName from Customer where cCusCode in ('C003', 'C004') order by cCusCode");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->recordCount(), 2);
    EXPECT_FALSE(rows->isNull("cCusDefine3"));  // ''
    EXPECT_EQ(rows->text("cCusDefine3"), QString());
    rows->moveNext();
    EXPECT_TRUE(rows->isNull("cCusDefine3"));  // NULL
    EXPECT_FALSE(rows->isNull("cCusName"));
    EXPECT_EQ(rows->text("CCUSNAME"), QStringLiteral("北辰物流有限公司"));  // fields by name in any case
}

TEST_F(RecordSets, NavigationKeepsPosition) {
    auto rows = connection->open("select cId from UserDef_Base where cClass = N'单据头' order by cast(cId as int)");
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->recordCount(), 20);
    EXPECT_EQ(rows->absolutePosition(), 1);
    rows->moveLast();
    EXPECT_EQ(rows->text("cId"), "1004");
    rows->moveNext();
    EXPECT_TRUE(rows->eof());
    rows->setAbsolutePosition(2);
    EXPECT_EQ(rows->text("cId"), "2");
    rows->moveFirst();
    rows->movePrevious();
    EXPECT_TRUE(rows->bof());
    auto none = connection->open("select cId from UserDef_Base where 1=2");
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->bof() && none->eof());
    EXPECT_EQ(none->fieldCount(), 1);
}

}  // namespace

namespace {

TEST_F(AccountConnections, SeeSchemaChangesMadeThroughAnotherConnection) {
    auto& first = connection;
    auto second = connect();
    // The first connection learns that the table is missing …
    EXPECT_FALSE(first->open("select cA + cB as joined from zz_Later"));
    // … another client then creates it with text columns …
    ASSERT_TRUE(second->execute("create table zz_Later(cA nvarchar(10), cB nvarchar(10))"));
    ASSERT_TRUE(second->execute("insert into zz_Later values (N'ab', N'12')"));
    // … and the first one now reads the columns as text: + joins them instead of adding.
    auto rows = first->open("select cA + cB as joined from zz_Later");
    ASSERT_TRUE(rows) << qPrintable(first->lastError());
    EXPECT_EQ(rows->text("joined"), "ab12");
}

}  // namespace
