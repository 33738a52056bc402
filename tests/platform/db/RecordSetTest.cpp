// Record sets as queries fill them: values kept as the database gave them and converted when
// read, positions, field look-up; and the order text columns sort in.
#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <QTemporaryDir>
#include <random>

#include "platform/db/Collation.h"
#include "platform/db/Database.h"

using host::RecordSet;
using platform::db::Database;

namespace {

class Rows : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QString error;
        db = Database::open(dir.filePath("a.db"), true, &error);
        ASSERT_TRUE(db) << qPrintable(error);
    }
    host::RecordSetPtr query(const QString& sql, const QVariantList& params = {}) {
        QString error;
        auto rows = db->query(sql, params, &error);
        EXPECT_TRUE(rows) << qPrintable(error);
        return rows;
    }
    QStringList column(const QString& sql) {
        QStringList out;
        if (auto rows = query(sql))
            for (int r = 0; r < rows->recordCount(); ++r) out << rows->textAt(r, 0);
        return out;
    }
    QTemporaryDir dir;
    std::unique_ptr<Database> db;
};

TEST_F(Rows, NullStaysApartFromEmptyTextInEveryKindOfColumn) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(a nvarchar(10), b int, c bit, d decimal(28,6), e varbinary(4));"
                         "INSERT INTO t VALUES ('', 0, 0, 0, x'');"
                         "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL);"));
    auto rows = query("SELECT a, b, c, d, e, NULL AS f, '' AS g FROM t ORDER BY rowid");
    ASSERT_EQ(rows->recordCount(), 2);
    for (int c = 0; c < 5; ++c) {
        SCOPED_TRACE(c);
        EXPECT_FALSE(rows->isNullAt(0, c));
        EXPECT_FALSE(rows->at(0, c).isNull());
        EXPECT_TRUE(rows->isNullAt(1, c));
        EXPECT_FALSE(rows->at(1, c).isValid());
        EXPECT_EQ(rows->textAt(1, c), QString());
    }
    EXPECT_EQ(rows->at(0, 0).typeId(), QMetaType::QString);
    EXPECT_EQ(rows->at(0, 0).toString(), QString(""));
    EXPECT_TRUE(rows->isNullAt(0, 5));
    EXPECT_FALSE(rows->isNullAt(0, 6));
    rows->moveLast();
    EXPECT_TRUE(rows->isNull("A"));
    EXPECT_EQ(rows->text("a"), QString());
}

TEST_F(Rows, TextNumbersAndFlagsReadAsTheirDeclaredTypes) {
    const QString nonBmp = QStringLiteral("𠀀𝄞 存货 \"'<&>");
    ASSERT_TRUE(db->exec("CREATE TABLE t(a nvarchar(60), b int, c bigint, d bit, e decimal(28,6), f datetime,"
                         " g nvarchar(10), h bit, i float)"));
    ASSERT_TRUE(db->execParams("INSERT INTO t VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
                               {nonBmp, -2147483647 - 1, Q_INT64_C(9007199254740993), 2, 12.3456,
                                QStringLiteral("2024-02-29 23:59:58"), 42, QStringLiteral(" TRUE "), 1e-7}));
    auto rows = query("SELECT * FROM t");
    ASSERT_EQ(rows->recordCount(), 1);
    EXPECT_EQ(rows->value("a").toString(), nonBmp);
    EXPECT_EQ(rows->text(0), nonBmp);
    EXPECT_EQ(rows->value("b").typeId(), QMetaType::Int);
    EXPECT_EQ(rows->value("b").toInt(), -2147483647 - 1);
    EXPECT_EQ(rows->value("c").typeId(), QMetaType::LongLong);
    EXPECT_EQ(rows->value("c").toLongLong(), Q_INT64_C(9007199254740993));
    EXPECT_EQ(rows->text("c"), "9007199254740993");
    EXPECT_EQ(rows->value("d").typeId(), QMetaType::Bool);
    EXPECT_EQ(rows->text("d"), "True");
    EXPECT_EQ(rows->value("h").typeId(), QMetaType::Bool);  // a flag stored as text
    EXPECT_EQ(rows->value("e").typeId(), QMetaType::Double);
    EXPECT_EQ(rows->text("e"), "12.3456");
    EXPECT_EQ(rows->text("i"), "0.0000001");
    EXPECT_EQ(rows->text("f"), "2024-02-29 23:59:58");
    EXPECT_EQ(rows->value("g").typeId(), QMetaType::QString);  // a number in a text column
    EXPECT_EQ(rows->text("g"), "42");

    // Expressions take the type of their first value; integers beyond int are big integers.
    rows = query("SELECT 5000000000 AS big, 7 AS small, 1.5 AS real, x'00ff' AS bytes, 'x' AS txt");
    using namespace host::FieldType;
    EXPECT_EQ(rows->field(0).type, BigInt);
    EXPECT_EQ(rows->value(0).typeId(), QMetaType::LongLong);
    EXPECT_EQ(rows->field(1).type, Integer);
    EXPECT_EQ(rows->value(1).typeId(), QMetaType::Int);
    EXPECT_EQ(rows->field(2).type, Double);
    EXPECT_EQ(rows->field(3).type, VarBinary);
    EXPECT_EQ(rows->value(3).toByteArray(), QByteArray("\x00\xff", 2));
    EXPECT_EQ(rows->field(4).type, VarWChar);
}

TEST_F(Rows, PositionsAndFieldsAsTheComponentMovesThroughThem) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(cId nvarchar(20), iOrder int);"
                         "INSERT INTO t VALUES ('a', 1), ('b', 2), ('c', 3);"));
    auto rows = query("SELECT cId, iOrder FROM t ORDER BY iOrder");
    EXPECT_EQ(rows->absolutePosition(), 1);
    EXPECT_FALSE(rows->bof());
    EXPECT_EQ(rows->fieldIndex(" CID "), 0);
    EXPECT_EQ(rows->fieldIndex("IORDER"), 1);
    EXPECT_EQ(rows->fieldIndex("nothing"), -1);
    EXPECT_FALSE(rows->value("nothing").isValid());
    EXPECT_EQ(rows->text("CiD"), "a");
    rows->movePrevious();
    EXPECT_TRUE(rows->bof());
    EXPECT_FALSE(rows->value(0).isValid());
    rows->moveLast();
    EXPECT_EQ(rows->text("cid"), "c");
    rows->moveNext();
    EXPECT_TRUE(rows->eof());
    EXPECT_EQ(rows->absolutePosition(), 4);
    rows->moveNext();  // stays after the last record
    EXPECT_EQ(rows->absolutePosition(), 4);
    EXPECT_EQ(rows->text(0), QString());
    rows->setAbsolutePosition(2);
    EXPECT_EQ(rows->value("iorder").toInt(), 2);
    EXPECT_FALSE(rows->at(3, 0).isValid());  // out of range
    EXPECT_FALSE(rows->at(0, 2).isValid());

    auto none = query("SELECT cId FROM t WHERE 1 = 2");
    EXPECT_TRUE(none->isEmpty());
    EXPECT_TRUE(none->bof());
    EXPECT_TRUE(none->eof());
    EXPECT_EQ(none->fieldCount(), 1);
    EXPECT_EQ(none->field(0).definedSize, 20);
}

TEST_F(Rows, HandBuiltSetsKeepTheirValues) {
    const QDate day(2024, 5, 6);
    RecordSet set({{QStringLiteral("cCode")}, {QStringLiteral("dDate"), host::FieldType::Date}},
                  {{QStringLiteral("01"), day}, {QString(), QVariant()}});
    EXPECT_EQ(set.recordCount(), 2);
    EXPECT_EQ(set.value("DDATE").toDate(), day);
    EXPECT_EQ(set.at(0, 0).toString(), "01");
    EXPECT_TRUE(set.isNullAt(1, 1));
    EXPECT_FALSE(set.at(1, 1).isValid());
    RecordSet copy = set;  // copies are independent
    copy.moveLast();
    EXPECT_EQ(set.absolutePosition(), 1);
    EXPECT_EQ(RecordSet({{QStringLiteral("a")}}, {}).recordCount(), 0);
}

// Text order (ZX_PINYIN): Chinese by pinyin, letters without case; = still ignores only the case.
TEST_F(Rows, TextSortsAsAChineseServerSortsIt) {
    ASSERT_TRUE(db->exec("CREATE TABLE t(c nvarchar(20) COLLATE NOCASE PRIMARY KEY);"
                         "INSERT INTO t VALUES ('供应商'), ('单据头'), ('存货'), ('Beta'), ('alpha'), ('单据体');"
                         "CREATE INDEX ix ON t(c);"));
    EXPECT_EQ(column("SELECT c FROM t WHERE length(c) = 3 ORDER BY c COLLATE ZX_PINYIN"),
              QStringList({"单据体", "单据头", "供应商"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE length(c) < 4 ORDER BY c COLLATE ZX_PINYIN DESC"),
              QStringList({"供应商", "单据头", "单据体", "存货"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE unicode(c) < 128 ORDER BY c COLLATE ZX_PINYIN"), QStringList({"alpha", "Beta"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE c = 'ALPHA'"), QStringList({"alpha"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE c = '单据头'"), QStringList({"单据头"}));
    EXPECT_EQ(column("SELECT c FROM t WHERE c IN ('BETA', '存货')").size(), 2);
    EXPECT_EQ(column("SELECT c FROM t WHERE c COLLATE ZX_PINYIN BETWEEN '存' AND '单据头' ORDER BY c COLLATE ZX_PINYIN"),
              QStringList({"存货", "单据体", "单据头"}));
    QString error;
    EXPECT_FALSE(db->exec("INSERT INTO t VALUES ('BETA')", &error));  // still one key in any case
    EXPECT_TRUE(error.contains("UNIQUE"));
    EXPECT_TRUE(db->exec("INSERT INTO t VALUES ('Ｂeta')"));  // a full-width letter is another text
    EXPECT_EQ(column("PRAGMA integrity_check"), QStringList({"ok"}));
}

TEST_F(Rows, ManyDistinctChineseTextsSortAsTheCollatorSortsThem) {
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
        if (collated != 0) EXPECT_EQ(collated < 0, ordered < 0) << a.constData() << " " << b.constData();
        EXPECT_EQ(ordered == 0, a.compare(b, Qt::CaseInsensitive) == 0);
    }
}

}  // namespace
