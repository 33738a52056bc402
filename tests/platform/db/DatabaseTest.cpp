// The SQLite layer: opening, settings, parameters, transactions and the order text sorts in.
#include <gtest/gtest.h>

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <random>

#include "platform/db/Collation.h"
#include "platform/db/Database.h"

using platform::db::Database;
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
    QStringList column(const QString& sql) {
        QStringList out;
        auto rows = db->query(sql);
        for (int r = 0; rows && r < rows->recordCount(); ++r) out << rows->textAt(r, 0);
        return out;
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

TEST_F(Db, ParametersBindByTypeAndNullStaysNull) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(a nvarchar(10), b int, c bit, e varbinary(4))"));
    QString error;
    ASSERT_TRUE(db->execParams("INSERT INTO t VALUES (?1, ?2, ?3, ?4)", {QString(""), 3, true, QByteArray("\x01\x02", 2)}, &error))
        << qPrintable(error);
    ASSERT_TRUE(db->execParams("INSERT INTO t VALUES (?, ?, ?, ?)", {QVariant(), QVariant(), false, QVariant()}));
    EXPECT_EQ(single("SELECT count(*) FROM t WHERE a = '' AND b = 3 AND c = 1 AND e = x'0102'"), "1");
    EXPECT_EQ(single("SELECT count(*) FROM t WHERE a IS NULL AND b IS NULL AND c = 0 AND e IS NULL"), "1");
    EXPECT_FALSE(db->query("SELECT ?1, ?2", {1}, &error));
    EXPECT_TRUE(error.contains("2 parameters"));
    EXPECT_FALSE(db->query("SELECT 1; SELECT 2", {}, &error));
    EXPECT_TRUE(error.contains("one statement"));
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

// Text order (ZX_PINYIN): Chinese by pinyin, letters without case; = still ignores only the case.
TEST_F(Db, TextSortsAsAChineseServerSortsIt) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(c nvarchar(20) COLLATE NOCASE PRIMARY KEY);"
                         "INSERT INTO t VALUES ('供应商'), ('单据头'), ('存货'), ('Beta'), ('alpha'), ('单据体');"
                         "CREATE INDEX ix ON t(c);"));
    EXPECT_EQ(column("SELECT c FROM t WHERE unicode(c) > 127 ORDER BY c COLLATE ZX_PINYIN DESC"),
              QStringList({"供应商", "单据头", "单据体", "存货"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE unicode(c) < 128 ORDER BY c COLLATE ZX_PINYIN"), QStringList({"alpha", "Beta"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE c IN ('ALPHA', '单据头')").size(), 2);
    QString error;
    EXPECT_FALSE(db->exec("INSERT INTO t VALUES ('BETA')", &error));  // still one key in any case
    EXPECT_TRUE(error.contains("UNIQUE"));
    EXPECT_TRUE(db->exec("INSERT INTO t VALUES ('Ｂeta')"));  // a full-width letter is another text
    EXPECT_EQ(column("PRAGMA integrity_check"), QStringList({"ok"}));
}

TEST_F(Db, ManyDistinctChineseTextsSortAsTheCollatorSortsThem) {
    // Enough texts that the connection's cache of sort keys grows and is emptied mid-sort.
    ASSERT_TRUE(db->exec("CREATE TABLE n(c nvarchar(20) COLLATE NOCASE)"));
    QStringList texts;
    for (int i = 0; i < 60000; ++i)
        texts << QString(QChar(0x4E00 + (i * 7919) % 20000)) + QString(QChar(0x4E00 + i % 997)) +
                     QString::number(i % 13);
    ASSERT_TRUE(db->exec("BEGIN"));
    for (const QString& t : texts) ASSERT_TRUE(db->execParams("INSERT INTO n VALUES (?)", {t}));
    ASSERT_TRUE(db->exec("COMMIT"));
    const QStringList sorted = column("SELECT c FROM n ORDER BY c COLLATE ZX_PINYIN");
    ASSERT_EQ(sorted.size(), texts.size());
    QCollator chinese(QLocale(QLocale::Chinese, QLocale::China));
    chinese.setCaseSensitivity(Qt::CaseInsensitive);
    for (int i = 1; i < sorted.size(); ++i)
        ASSERT_LE(chinese.compare(sorted.at(i - 1), sorted.at(i)), 0) << i;
}

TEST(TextOrder, LettersAndDigitsOrderAsTheChineseCollationOrdersThem) {
    // Texts of letters and digits alone skip the collator; they must land where it puts them.
    std::mt19937 random(7);
    const QByteArray alphabet = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    auto word = [&] {
        QByteArray w;
        for (int n = int(random() % 6); n >= 0; --n) w += alphabet.at(int(random() % alphabet.size()));
        return w;
    };
    QCollator chinese(QLocale(QLocale::Chinese, QLocale::China));
    chinese.setCaseSensitivity(Qt::CaseInsensitive);
    for (int i = 0; i < 2000; ++i) {
        const QByteArray a = word(), b = word();
        const int collated = chinese.compare(QString::fromLatin1(a), QString::fromLatin1(b));
        const int ordered = platform::db::compareText(a, b);
        if (collated != 0) {
            EXPECT_EQ(collated < 0, ordered < 0) << a.constData() << " " << b.constData();
        }
        EXPECT_EQ(ordered == 0, a.compare(b, Qt::CaseInsensitive) == 0);
    }
}

}  // namespace
