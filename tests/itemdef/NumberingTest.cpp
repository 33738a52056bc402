// Numbers of a new extended item: label, id and column name per class, read from the database.
#include "common/Globals.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/Numbering.h"
#include "tests/support/TestSession.h"

using namespace itemdef;

namespace {

class Numbering : public testsupport::SessionTest {
protected:
    void exec(const QString& sql) {
        QString error;
        ASSERT_TRUE(session.account.db().exec(sql, &error)) << error.toStdString();
    }
    // Leaves only the regular items (ids below 1000).
    void dropExtendedItems() {
        exec(QStringLiteral("DELETE FROM Userdefine WHERE CAST(cId AS INT) >= 1000; "
                            "DELETE FROM UserDefDetail WHERE CAST(cid AS INT) >= 1000; "
                            "DELETE FROM UserDef_Base WHERE CAST(cId AS INT) >= 1000"));
    }
    void addItem(const QString& id, const QString& cClass, const QString& label,
                 const QString& column = {}) {
        exec(QStringLiteral("INSERT INTO UserDef_Base(cId,cClass,cItem,cType,cItemName,cDicDbName) "
                            "VALUES ('%1','%2','%3','文本','x',%4)")
                 .arg(id, cClass, label, column.isEmpty() ? QStringLiteral("NULL") : "'" + column + "'"));
    }
    QString nextId(const QString& cClass) {
        QString id, error;
        EXPECT_TRUE(NextItemId(cClass, &id, &error)) << error.toStdString();
        return id;
    }
    QString nextColumn(const QString& cClass) {
        QString name, pubzxts, error;
        EXPECT_TRUE(NextColumnName(cClass, &name, &pubzxts, &error)) << error.toStdString();
        return name;
    }
};

}  // namespace

TEST_F(Numbering, FirstNumbersOfEveryNumberedClass) {
    dropExtendedItems();
    for (const auto& [cClass, id, column] :
         {std::tuple{"单据头", "1001", "cHDefine1"}, {"单据体", "2001", "cBDefine1"},
          {"存货", "3001", "cIDefine1"}, {"客户", "5001", "cCDefine1"}, {"联系人", "6001", "cLDefine1"}}) {
        const QString cls = QString::fromUtf8(cClass);
        QString error;
        EXPECT_EQ(NextItemLabelNumber(cls, &error), 1) << id;
        EXPECT_EQ(nextId(cls), QString::fromLatin1(id));
        EXPECT_EQ(nextColumn(cls), QString::fromLatin1(column));
    }
}

TEST_F(Numbering, NextNumbersFollowTheExistingItems) {
    // The demo account has customer items in cCDefine1–2.
    QString error;
    EXPECT_EQ(nextColumn(QStringLiteral("客户")), QStringLiteral("cCDefine3"));
    // Labels are numbered per class, ids across every class of the range.
    addItem(QStringLiteral("1006"), QStringLiteral("序列号"), QStringLiteral("扩展自定义项9"));
    EXPECT_EQ(NextItemLabelNumber(QStringLiteral("单据头"), &error), 5);
    EXPECT_EQ(NextItemLabelNumber(QStringLiteral("序列号"), &error), 10);
    EXPECT_EQ(nextId(QStringLiteral("单据头")), QStringLiteral("1007"));
}

TEST_F(Numbering, AFullRangeIsRefusedWithAMessage) {
    addItem(QStringLiteral("1999"), QStringLiteral("单据头"), QStringLiteral("扩展自定义项98"));
    EXPECT_EQ(nextId(QStringLiteral("单据头")), QStringLiteral("2000"));  // the upper bound is usable
    addItem(QStringLiteral("2000"), QStringLiteral("单据头"), QStringLiteral("扩展自定义项99"));

    QString id = QStringLiteral("stale"), error;
    EXPECT_FALSE(NextItemId(QStringLiteral("单据头"), &id, &error));
    EXPECT_TRUE(id.isEmpty());
    EXPECT_EQ(error, userdef::g_Pub->GetResString(QStringLiteral("Q9.AA.USERDEF.idrangefull")));
    // The body's own numbers are untouched by the full header range.
    EXPECT_EQ(nextId(QStringLiteral("单据体")), QStringLiteral("2005"));

    // Inventory ends at 4000: the unused range above it is never handed out.
    addItem(QStringLiteral("4000"), QStringLiteral("存货"), QStringLiteral("扩展自定义项50"));
    EXPECT_FALSE(NextItemId(QStringLiteral("存货"), &id, &error));
}

TEST_F(Numbering, ClassesWithoutARangeGetNoNumbers) {
    QString id = QStringLiteral("stale"), error;
    EXPECT_TRUE(NextItemId(QStringLiteral("供应商"), &id, &error));
    EXPECT_TRUE(id.isEmpty());
    // Quotes in a class value reach no statement.
    EXPECT_EQ(NextItemLabelNumber(QStringLiteral("单据头' or '1'='1"), &error), 1);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}
