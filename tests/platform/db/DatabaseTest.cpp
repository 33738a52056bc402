// The SQLite layer: opening, settings, statements, record sets and transactions.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/db/Database.h"

using platform::db::Database;
using platform::db::DeclaredType;
using platform::db::Transaction;

namespace {

class Db : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QString error;
        db = Database::open(dir.filePath("a.db"), true, &error);
        ASSERT_TRUE(db) << qPrintable(error);
    }
    QString single(const QString& sql) {
        auto rows = db->query(sql);
        return rows && !rows->isEmpty() ? rows->text(0) : QStringLiteral("<none>");
    }
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

TEST_F(Db, OpensWithWalForeignKeysAndRefusesMissingFiles) {
    EXPECT_EQ(single("PRAGMA journal_mode"), "wal");
    EXPECT_EQ(single("PRAGMA foreign_keys"), "1");
    EXPECT_EQ(single("PRAGMA busy_timeout"), "5000");
    QString error;
    EXPECT_FALSE(Database::open(dir.filePath("none.db"), false, &error));
    EXPECT_TRUE(error.contains("none.db"));
    EXPECT_FALSE(QFile::exists(dir.filePath("none.db")));
    ASSERT_TRUE(db->exec("CREATE TABLE p(id int PRIMARY KEY); CREATE TABLE c(p int REFERENCES p(id));"));
    EXPECT_FALSE(db->exec("INSERT INTO c VALUES (1)", &error));
    EXPECT_TRUE(error.contains("FOREIGN KEY"));
}

TEST_F(Db, AttachesExistingFilesUnderAName) {
    QString error;
    EXPECT_FALSE(db->attach(dir.filePath("other.db"), "zxsystem", &error));
    EXPECT_FALSE(db->isAttached("zxsystem"));
    ASSERT_TRUE(Database::open(dir.filePath("other.db"), true, &error)->exec("CREATE TABLE t(a int); INSERT INTO t VALUES (4)"));
    ASSERT_TRUE(db->attach(dir.filePath("other.db"), "zxsystem", &error)) << qPrintable(error);
    EXPECT_TRUE(db->isAttached("ZXSYSTEM"));
    EXPECT_EQ(single("SELECT a FROM zxsystem.t"), "4");
    EXPECT_FALSE(db->attach(dir.filePath("other.db"), "zxsystem", &error));
    EXPECT_TRUE(db->schemas().contains("zxsystem"));
}

TEST_F(Db, RecordSetTypesFollowTheDeclaredTypes) {
    ASSERT_TRUE(db->exec(
        "CREATE TABLE t(a nvarchar(60), b nchar(4), c ntext, d varchar(10), e char(3), f text, g int, h smallint,"
        " i tinyint, j bigint, k bit, l decimal(28,6), m money, n float, o real, p datetime, q date,"
        " r binary(8), s varbinary(20), u timestamp, v image);"
        "INSERT INTO t VALUES ('x', 'y', 'z', 'd', 'e', 'f', 1, 2, 3, 5000000000, 1, 1.5, 2.25, 3.5, 4.5,"
        " '2024-01-02 03:04:05', '2024-01-02', x'01', x'0203', 7, x'04');"));
    auto rows = db->query("SELECT * FROM t");
    ASSERT_TRUE(rows);
    using namespace host::FieldType;
    const std::vector<std::pair<int, int>> expected = {
        {VarWChar, 60}, {WChar, 4},   {LongVarWChar, 1073741823}, {VarChar, 10}, {Char, 3},
        {LongVarChar, 2147483647},    {Integer, 4}, {SmallInt, 2}, {TinyInt, 1}, {BigInt, 8},
        {Boolean, 2}, {Numeric, 19},  {Currency, 8}, {Double, 8}, {Double, 8}, {DBTimeStamp, 16},
        {DBTimeStamp, 16}, {Binary, 8}, {VarBinary, 20}, {VarBinary, 8}, {LongVarBinary, 2147483647}};
    ASSERT_EQ(rows->fieldCount(), int(expected.size()));
    for (int c = 0; c < rows->fieldCount(); ++c) {
        SCOPED_TRACE(qPrintable(rows->field(c).name));
        EXPECT_EQ(rows->field(c).type, expected[size_t(c)].first);
        EXPECT_EQ(rows->field(c).definedSize, expected[size_t(c)].second);
    }
    EXPECT_EQ(rows->value("k").typeId(), QMetaType::Bool);
    EXPECT_EQ(rows->text("k"), "True");
    EXPECT_EQ(rows->value("j").toLongLong(), 5000000000LL);
    EXPECT_EQ(rows->value("m").toDouble(), 2.25);
    EXPECT_EQ(rows->text("p"), "2024-01-02 03:04:05");
    EXPECT_EQ(rows->value("u").toByteArray(), QByteArray::fromHex("0000000000000007"));
    EXPECT_EQ(rows->value("s").toByteArray(), QByteArray::fromHex("0203"));
}

TEST_F(Db, DeclaredTypesParseWithArgumentsAndExtras) {
    EXPECT_EQ(DeclaredType::parse("NVARCHAR (60) COLLATE NOCASE NOT NULL").definedSize, 60);
    EXPECT_EQ(DeclaredType::parse("decimal(28, 6)").scale, 6);
    EXPECT_EQ(DeclaredType::parse("character varying(5)").fieldType, host::FieldType::VarChar);
    EXPECT_EQ(DeclaredType::parse("nvarchar(max)").fieldType, host::FieldType::LongVarWChar);
    EXPECT_EQ(DeclaredType::parse("").fieldType, 0);
    EXPECT_EQ(DeclaredType::parse("whatever").fieldType, 0);
}

TEST_F(Db, ParametersBindByTypeAndNullStaysNull) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(a nvarchar(10), b int, c bit, d float, e varbinary(4))"));
    QString error;
    ASSERT_TRUE(db->execParams("INSERT INTO t VALUES (?1, ?2, ?3, ?4, ?5)",
                               {QString(""), 3, true, 1.25, QByteArray("\x01\x02", 2)}, &error))
        << qPrintable(error);
    ASSERT_TRUE(db->execParams("INSERT INTO t VALUES (?, ?, ?, ?, ?)", {QVariant(), QVariant(), false, QVariant(), QVariant()}));
    EXPECT_EQ(db->changes(), 1);
    auto rows = db->query("SELECT a, b, c, d, e FROM t WHERE c = ?1", {true});
    ASSERT_TRUE(rows);
    ASSERT_EQ(rows->recordCount(), 1);
    EXPECT_FALSE(rows->isNull("a"));
    EXPECT_EQ(rows->value("b").toInt(), 3);
    rows = db->query("SELECT a, b FROM t WHERE c = 0");
    EXPECT_TRUE(rows->isNull("a"));
    EXPECT_TRUE(rows->isNull("b"));
    EXPECT_FALSE(db->query("SELECT ?1, ?2", {1}, &error));
    EXPECT_TRUE(error.contains("2 parameters"));
    EXPECT_FALSE(db->query("SELECT 1; SELECT 2", {}, &error));
    EXPECT_TRUE(error.contains("one statement"));
    EXPECT_FALSE(db->query("SELECT * FROM nowhere", {}, &error));
    EXPECT_TRUE(error.contains("nowhere"));
}

TEST_F(Db, TransactionsRollBackUnlessCommittedAndNestAsSavepoints) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(a int)"));
    {
        Transaction t(*db);
        ASSERT_TRUE(t.ok());
        db->exec("INSERT INTO t VALUES (1)");
    }
    EXPECT_EQ(single("SELECT count(*) FROM t"), "0");
    {
        Transaction outer(*db);
        db->exec("INSERT INTO t VALUES (1)");
        {
            Transaction inner(*db);
            ASSERT_TRUE(inner.ok());
            db->exec("INSERT INTO t VALUES (2)");
        }  // the editor cancels its part only
        {
            Transaction inner(*db);
            db->exec("INSERT INTO t VALUES (3)");
            EXPECT_TRUE(inner.commit());
        }
        EXPECT_TRUE(outer.commit());
        EXPECT_FALSE(outer.commit());
    }
    EXPECT_EQ(single("SELECT group_concat(a) FROM (SELECT a FROM t ORDER BY a)"), "1,3");
    EXPECT_FALSE(db->inTransaction());
}

}  // namespace
