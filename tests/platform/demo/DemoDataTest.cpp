// The demo account holds together: what one table says, the others agree with.
#include <gtest/gtest.h>


#include "platform/db/UserTable.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::AccountTest;

// The first column of every row of a plain SQLite query, as text.
QStringList firstColumn(platform::db::Database& db, const QString& sql) {
    QString error;
    const host::RecordSetPtr rows = db.query(sql, {}, &error);
    EXPECT_TRUE(rows) << error.toStdString() << "\n" << sql.toStdString();
    QStringList out;
    if (rows)
        for (int r = 0; r < rows->recordCount(); ++r) out << host::variantText(rows->at(r, 0));
    return out;
}

class DemoData : public AccountTest {};

TEST_F(DemoData, ItemIdsFollowTheRangesOfTheirKind) {
    auto& db = account.db();
    // Regular items stay below 1000 and include 20–35; extended items sit in their class's range.
    EXPECT_TRUE(
        firstColumn(
            db, QStringLiteral("SELECT cId FROM UserDef_Base WHERE cItem NOT LIKE '扩展自定义项%' "
                               "AND CAST(cId AS int) >= 1000"))
            .isEmpty());
    EXPECT_EQ(firstColumn(db, QStringLiteral("SELECT count(*) FROM UserDef_Base "
                                             "WHERE CAST(cId AS int) BETWEEN 20 AND 35")),
              QStringList({"16"}));
    EXPECT_TRUE(
        firstColumn(
            db,
            QStringLiteral("SELECT cId FROM UserDef_Base WHERE cItem LIKE '扩展自定义项%' AND NOT ("
                           "(cClass = '单据头' AND cId BETWEEN 1001 AND 1999 AND cDicDbName LIKE "
                           "'cHDefine%') OR "
                           "(cClass = '单据体' AND cId BETWEEN 2001 AND 2999 AND cDicDbName LIKE "
                           "'cBDefine%') OR "
                           "(cClass = '存货' AND cId BETWEEN 3001 AND 3999 AND cDicDbName LIKE "
                           "'cIDefine%') OR "
                           "(cClass = '客户' AND cId BETWEEN 5001 AND 5999 AND cDicDbName LIKE "
                           "'cCDefine%') OR "
                           "(cClass = '联系人' AND cId BETWEEN 6001 AND 6999 AND cDicDbName LIKE "
                           "'cLDefine%'))"))
            .isEmpty());
}

TEST_F(DemoData, EveryLinkedTableCarriesTheItemsColumn) {
    EXPECT_TRUE(
        firstColumn(
            account.db(),
            QStringLiteral("SELECT d.TableName || '.' || b.cDicDbName FROM UserDefDetail d "
                           "JOIN UserDef_Base b ON b.cId = d.cid WHERE NOT EXISTS (SELECT 1 FROM "
                           "pragma_table_info(d.TableName || '_extradefine') p "
                           "WHERE p.name = b.cDicDbName COLLATE NOCASE)"))
            .isEmpty());
}

TEST_F(DemoData, RulesMatchTheirPairsAndItems) {
    auto& db = account.db();
    // Each rule's path is its pair's, and its item is on both tables.
    EXPECT_TRUE(
        firstColumn(db,
                    QStringLiteral(
                        "SELECT s.guid FROM AA_ExtendDefineMakeVouch_Set s "
                        "LEFT JOIN AA_ExtendDefineMakeVouch_sub p ON p.cTableName = s.cTableName "
                        "AND p.cTargetTable = s.cTargetTable "
                        "WHERE p.cMakeVouchID IS NOT s.cMakeVouchID"))
            .isEmpty());
    EXPECT_TRUE(
        firstColumn(
            db, QStringLiteral(
                    "SELECT s.guid FROM AA_ExtendDefineMakeVouch_Set s WHERE "
                    "(SELECT count(DISTINCT d.TableName) FROM UserDefDetail d JOIN UserDef_Base b "
                    "ON b.cId = d.cid WHERE b.cDicDbName = s.cextendfield "
                    "AND d.TableName IN (s.cTableName, s.cTargetTable)) <> 2"))
            .isEmpty());
    // Pairs join tables of the catalogue that exist, along a known path.
    EXPECT_TRUE(
        firstColumn(
            db,
            QStringLiteral(
                "SELECT p.cTableName FROM AA_ExtendDefineMakeVouch_sub p WHERE "
                "p.cMakeVouchID NOT IN (SELECT cMakeVouchID FROM AA_ExtendDefineMakeVouch_base) "
                "OR p.cTableName NOT IN (SELECT name FROM sqlite_master WHERE type = 'table') "
                "OR p.cTargetTable NOT IN (SELECT name FROM sqlite_master WHERE type = 'table') "
                "OR p.cTableName NOT IN (SELECT cTableName FROM AA_DefineExtend) "
                "OR p.cTargetTable NOT IN (SELECT cTableName FROM AA_DefineExtend)"))
            .isEmpty());
}

TEST_F(DemoData, ParentValuesAndRelatedFieldsExist) {
    auto& db = account.db();
    EXPECT_TRUE(
        firstColumn(
            db,
            QStringLiteral("SELECT v.cValue FROM Userdefine v JOIN UserDef_Base i ON i.cId = v.cId "
                           "WHERE IFNULL(v.cParentValue, '') <> '' AND NOT EXISTS (SELECT 1 FROM "
                           "Userdefine p WHERE p.cId = i.cParentID AND p.cValue = v.cParentValue)"))
            .isEmpty());
    // A related archive is a report archive with that field, or a reference whose column setting
    // has it.
    EXPECT_TRUE(
        firstColumn(
            db,
            QStringLiteral(
                "SELECT i.cId FROM UserDef_Base i WHERE i.iDataSource = 1 AND NOT EXISTS ("
                "SELECT 1 FROM Rpt_ItmDef f WHERE f.TableName = i.cRelArchive "
                "AND f.FieldName = i.cRelField) AND NOT EXISTS (SELECT 1 FROM "
                "ZxMeta_001.refdesign r JOIN ZxMeta_001.AA_ColumnDic c "
                "ON c.cKey = r.cRefID || '_ColSet' WHERE '[' || r.cRefID || ']' = i.cRelArchive "
                "AND c.cFld = i.cRelField)"))
            .isEmpty());
}

TEST_F(DemoData, DemoUsersSignInWithTheirPasswords) {
    QString error;
    const host::RecordSetPtr users = account.db().query(
        QStringLiteral(
            "SELECT cUser_Id, cSalt, cPasswordHash FROM zxsystem.UA_User ORDER BY cUser_Id"),
        {}, &error);
    ASSERT_TRUE(users) << error.toStdString();
    ASSERT_EQ(users->recordCount(), 2);
    for (int r = 0; r < users->recordCount(); ++r) {
        const QString id = users->at(r, 0).toString();  // the password equals the id
        const QString hash = users->at(r, 2).toString();
        EXPECT_TRUE(hash.startsWith(QStringLiteral("$argon2id$"))) << id.toStdString();
        EXPECT_TRUE(platform::db::verifyPassword(hash, id)) << id.toStdString();
    }
}

TEST(TestAccountCopies, AreIndependentOfEachOther) {
    testsupport::TestAccount first, second;
    ASSERT_TRUE(first.ok()) << first.error().toStdString();
    ASSERT_TRUE(second.ok()) << second.error().toStdString();
    EXPECT_NE(first.dataRoot(), second.dataRoot());
    ASSERT_TRUE(first.srv().ExecuteX(QStringLiteral("delete from Userdefine")));
    const host::RecordSetPtr rows =
        second.srv().OpenX(QStringLiteral("select count(*) from Userdefine"));
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->value(0).toInt(), 22);
}

}  // namespace
