// The demo account holds together: what one table says, the others agree with. Each query
// lists what breaks a rule; it must list nothing.
#include <gtest/gtest.h>

#include "app/Credentials.h"
#include "tests/support/TestAccount.h"

namespace {

using testsupport::AccountTest;

const std::pair<const char*, const char*> kRules[] = {
    {"regular items stay below 1000",
     "SELECT cId FROM UserDef_Base WHERE cItem NOT LIKE '扩展自定义项%' AND CAST(cId AS int) >= 1000"},
    {"items 20 to 35 are all there",
     "SELECT 'missing' WHERE (SELECT count(*) FROM UserDef_Base WHERE CAST(cId AS int) BETWEEN 20 AND 35) <> 16"},
    {"extended items sit in their class's range with its column prefix",
     "SELECT cId FROM UserDef_Base WHERE cItem LIKE '扩展自定义项%' AND NOT ("
     "(cClass = '单据头' AND cId BETWEEN 1001 AND 1999 AND cDicDbName LIKE 'cHDefine%') OR "
     "(cClass = '单据体' AND cId BETWEEN 2001 AND 2999 AND cDicDbName LIKE 'cBDefine%') OR "
     "(cClass = '存货' AND cId BETWEEN 3001 AND 3999 AND cDicDbName LIKE 'cIDefine%') OR "
     "(cClass = '客户' AND cId BETWEEN 5001 AND 5999 AND cDicDbName LIKE 'cCDefine%') OR "
     "(cClass = '联系人' AND cId BETWEEN 6001 AND 6999 AND cDicDbName LIKE 'cLDefine%'))"},
    {"every linked table carries the item's column",
     "SELECT d.TableName || '.' || b.cDicDbName FROM UserDefDetail d JOIN UserDef_Base b ON b.cId = d.cid "
     "WHERE NOT EXISTS (SELECT 1 FROM pragma_table_info(d.TableName || '_extradefine') p "
     "WHERE p.name = b.cDicDbName COLLATE NOCASE)"},
    {"a rule's path is its pair's",
     "SELECT s.guid FROM AA_ExtendDefineMakeVouch_Set s LEFT JOIN AA_ExtendDefineMakeVouch_sub p "
     "ON p.cTableName = s.cTableName AND p.cTargetTable = s.cTargetTable WHERE p.cMakeVouchID IS NOT s.cMakeVouchID"},
    {"a rule's item is on both its tables",
     "SELECT s.guid FROM AA_ExtendDefineMakeVouch_Set s WHERE (SELECT count(DISTINCT d.TableName) FROM "
     "UserDefDetail d JOIN UserDef_Base b ON b.cId = d.cid WHERE b.cDicDbName = s.cextendfield "
     "AND d.TableName IN (s.cTableName, s.cTargetTable)) <> 2"},
    {"pairs join existing catalogue tables along a known path",
     "SELECT p.cTableName FROM AA_ExtendDefineMakeVouch_sub p WHERE "
     "p.cMakeVouchID NOT IN (SELECT cMakeVouchID FROM AA_ExtendDefineMakeVouch_base) "
     "OR p.cTableName NOT IN (SELECT name FROM sqlite_master WHERE type = 'table') "
     "OR p.cTargetTable NOT IN (SELECT name FROM sqlite_master WHERE type = 'table') "
     "OR p.cTableName NOT IN (SELECT cTableName FROM AA_DefineExtend) "
     "OR p.cTargetTable NOT IN (SELECT cTableName FROM AA_DefineExtend)"},
    {"parent values exist",
     "SELECT v.cValue FROM Userdefine v JOIN UserDef_Base i ON i.cId = v.cId WHERE IFNULL(v.cParentValue, '') <> '' "
     "AND NOT EXISTS (SELECT 1 FROM Userdefine p WHERE p.cId = i.cParentID AND p.cValue = v.cParentValue)"},
    {"a related field is a report archive's or in its reference's column setting",
     "SELECT i.cId FROM UserDef_Base i WHERE i.iDataSource = 1 AND NOT EXISTS (SELECT 1 FROM Rpt_ItmDef f "
     "WHERE f.TableName = i.cRelArchive AND f.FieldName = i.cRelField) AND NOT EXISTS (SELECT 1 FROM "
     "ZxMeta_001.refdesign r JOIN ZxMeta_001.AA_ColumnDic c ON c.cKey = r.cRefID || '_ColSet' "
     "WHERE '[' || r.cRefID || ']' = i.cRelArchive AND c.cFld = i.cRelField)"},
};

class DemoData : public AccountTest {};

TEST_F(DemoData, EveryRuleHolds) {
    for (const auto& [rule, sql] : kRules) {
        QString error;
        const host::RecordSetPtr rows = account.db().query(QString::fromUtf8(sql), {}, &error);
        ASSERT_TRUE(rows) << rule << ": " << error.toStdString();
        QStringList broken;
        for (int r = 0; r < rows->recordCount(); ++r) broken << rows->textAt(r, 0);
        EXPECT_TRUE(broken.isEmpty()) << rule << ": " << broken.join(", ").toStdString();
    }
}

TEST_F(DemoData, DemoUsersSignInWithTheirNamesAsPasswordsStoredAsArgon2id) {
    for (const char* user : {"demo", "admin2"})
        EXPECT_EQ(app::checkUser(account.dataRoot(), user, user).result, app::UserCheck::Ok) << user;
    const host::RecordSetPtr hashes =
        account.db().query(QStringLiteral("SELECT cPasswordHash FROM zxsystem.UA_User"));
    ASSERT_TRUE(hashes && hashes->recordCount() == 2);
    for (int r = 0; r < hashes->recordCount(); ++r)
        EXPECT_TRUE(hashes->textAt(r, 0).startsWith(QStringLiteral("$argon2id$"))) << r;
}

TEST(TestAccountCopies, AreIndependentOfEachOther) {
    testsupport::TestAccount first, second;
    ASSERT_TRUE(first.ok() && second.ok()) << first.error().toStdString() << second.error().toStdString();
    ASSERT_TRUE(first.srv().ExecuteX(QStringLiteral("delete from Userdefine")));
    EXPECT_EQ(second.srv().OpenX(QStringLiteral("select count(*) from Userdefine"))->value(0).toInt(), 22);
}

}  // namespace
