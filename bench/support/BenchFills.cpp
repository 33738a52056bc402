#include "BenchFills.h"

#include <QStringList>

#include "host/Quote.h"
#include "platform/db/Database.h"

namespace benchsupport {

// The classes the items go to and how many each gets (besides the demo account's own).
const std::map<int, QString>& refreshClasses() {
    static const std::map<int, QString> classes = {{1000, QStringLiteral("单据头")},
                                                   {10000, QStringLiteral("单据体")},
                                                   {100000, QStringLiteral("存货")}};
    return classes;
}

// The items of each class; related archives on every fifth, over report archives, user-defined
// references and one archive that is neither.
bool fillRefreshClasses(BenchAccount& account) {
    int first = 1;
    for (const auto& [count, cls] : refreshClasses()) {
        const QString sql = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i+1 FROM n WHERE i < %2), "
            "r(k, arch, fld) AS (VALUES (0,'Person','cPersonName'),(1,'Warehouse','cWhName'),"
            "(2,'SettleStyle','cSSName'),(3,'[UR0001]','cStageName'),(4,'Customer','cCusName'),"
            "(5,'Inventory','cInvName'),(6,'Department','cDepName'),(7,'LegacyArchive','cCode')) "
            "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,bInput,"
            "bArchive,iDataSource,cRelArchive,cRelField,cDicDbName) "
            "SELECT 100000+i, '%3', '扩展自定义项'||(1000+i), "
            "  CASE i % 5 WHEN 0 THEN '文本' WHEN 1 THEN '日期' WHEN 2 THEN '整型' WHEN 3 THEN '数字' "
            "  ELSE '文本' END, 60, '批量项目'||i, 60, i % 2, i % 3 = 0, "
            "  CASE WHEN i % 5 = 0 THEN 1 ELSE 0 END, "
            "  CASE WHEN i % 5 = 0 THEN r.arch END, CASE WHEN i % 5 = 0 THEN r.fld END, 'cBench'||i "
            "FROM n JOIN r ON r.k = i % 8");
        if (!account.exec(sql.arg(first).arg(first + count - 1).arg(cls))) return false;
        first += count;
    }
    return true;
}

namespace matrixfill {

// Tables BT0…BT49 of type H; pair k: source k/20, target source+1+k%20 (mod 50). Items
// cHDefine5…cHDefine300 join the demo's four header items. Item j is on the ten tables j, j+5, …
// (mod 50). Rule k: pair k%1000, item 6·(k/1000) + (k%1000)%6, so every (pair, item) has one
// rule at most; two in three carry.
bool fill(BenchAccount& account) {
    const auto n = [](int v) { return QString::number(v); };
    const auto count = [&n](int upTo) {
        return "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < " +
               n(upTo) + ") ";
    };
    const QStringList statements = {
        count(kTables) + "INSERT INTO AA_DefineExtend(cSub_ID,cTableName,TableDesc,cTableDesc,cType) "
                "SELECT 'BN','BT'||i,'试算单据'||i,'试算单据'||i,'H' FROM n WHERE i < " +
            n(kTables),
        count(kPairs) + "INSERT INTO AA_ExtendDefineMakeVouch_sub(cMakeVouchID,cTableName,cTargetTable,cType) "
                "SELECT 'BP'||i,'BT'||(i/20),'BT'||((i/20+1+i%20)%" +
            n(kTables) + "),'H' FROM n WHERE i < " + n(kPairs),
        count(kItems) + "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,cDicDbName) "
                "SELECT 1100+i,'单据头','扩展自定义项'||(4+i),'文本',60,'试算项目'||i,60,"
                "'cHDefine'||(4+i) FROM n WHERE i >= 1 AND i <= " +
            n(kItems - 4),
        count(kItems) + ", m(k) AS (SELECT 0 UNION ALL SELECT k+1 FROM m WHERE k < " +
            n(kLinksPerItem) + ") "
                "INSERT OR IGNORE INTO UserDefDetail(cid,TableName) "
                "SELECT b.cId,'BT'||((n.i + m.k*5) % " +
            n(kTables) + ") FROM n, m JOIN UserDef_Base b ON b.cDicDbName='cHDefine'||(n.i+1) "
                         "WHERE n.i < " +
            n(kItems) + " AND m.k < " + n(kLinksPerItem),
        count(kRules) + "INSERT INTO AA_ExtendDefineMakeVouch_Set(cMakeVouchID,cTableName,cTargetTable,"
                "cextendfield,ctargetfield,ctype,btrans,cdesc,cSub_id) "
                "SELECT s.cMakeVouchID,s.cTableName,s.cTargetTable,"
                "'cHDefine'||(6*(n.i/" + n(kPairs) + ")+(n.i%" + n(kPairs) + ")%6+1),"
                "'cHDefine'||(6*(n.i/" + n(kPairs) + ")+(n.i%" + n(kPairs) + ")%6+1),"
                "'H',n.i%3<>0,'','BN' FROM n JOIN AA_ExtendDefineMakeVouch_sub s "
                "ON s.cMakeVouchID='BP'||(n.i%" + n(kPairs) + ") WHERE n.i < " + n(kRules)};
    for (const QString& sql : statements)
        if (!account.exec(sql)) return false;
    return true;
}

}  // namespace matrixfill

namespace itemsave {

QString tableName(int n) { return QStringLiteral("BN_Head%1").arg(n, 2, 10, QLatin1Char('0')); }

bool openWithTables(BenchAccount& account) {
    if (!account.open()) return false;
    platform::db::Database& db = account.db();
    platform::db::Transaction t(db);
    for (int n = 1; n <= kTables; ++n) {
        const QString name = tableName(n);
        if (!db.exec(
                QStringLiteral("CREATE TABLE %1(ID int NOT NULL PRIMARY KEY, cCode nvarchar(30));"
                               "CREATE TABLE %2(ID int NOT NULL PRIMARY KEY);")
                    .arg(host::sqlIdent(name),
                         host::sqlIdent(name + QStringLiteral("_extradefine")))) ||
            !db.execParams(
                QStringLiteral("INSERT INTO AA_DefineExtend(cSub_ID, cTableName, TableDesc, "
                               "cTableDesc, cType, TableName, cPKName) VALUES ('SA', ?, ?, ?, "
                               "'H', ?, 'ID')"),
                {name, name, name, name}))
            return false;
    }
    return t.commit();
}

QString document(int id, int column) {
    QString share;
    for (int n = 1; n <= kTables; ++n)
        share +=
            QStringLiteral("<UserDefDetail><cId>%1</cId><Tablename>%2</Tablename></UserDefDetail>")
                .arg(id)
                .arg(tableName(n));
    return QStringLiteral(
               "<Userdef_base "
               "bCoverVouchBody=''><cId>%1</cId><cClass>单据头</cClass><cItem>扩展自定义项%2</"
               "cItem>"
               "<pubzxts>1</pubzxts><IMaxLen>40</IMaxLen><cItemName>项目%2</cItemName>"
               "<cItemName_zh_TW>項目%2</cItemName_zh_TW><cItemName_en_US>Item %2</cItemName_en_US>"
               "<cType>文本</cType><iLength>40</iLength><cDefaultVal></cDefaultVal><iDataSource>0</"
               "iDataSource>"
               "<bFixLength>0</bFixLength><bInput>0</bInput><bArchive>0</bArchive><bMultiSel>0</"
               "bMultiSel>"
               "<bIsUserDefAttachFile>0</bIsUserDefAttachFile><bIsUserDefPic>0</bIsUserDefPic>"
               "<bCheckVal>0</bCheckVal><bCoverVouch></bCoverVouch><cRelArchive> "
               "</cRelArchive><cRelField></cRelField>"
               "<CTableDesc></CTableDesc><cDicDbName>cHDefine%2</"
               "cDicDbName><cFieldName>cHDefine%2</cFieldName>"
               "<AddUserDefDetail>%3</AddUserDefDetail><ModifyUserDefDetail></ModifyUserDefDetail>"
               "<DeleteUserDefDetail></DeleteUserDefDetail></Userdef_base>")
        .arg(id)
        .arg(column)
        .arg(share);
}

}  // namespace itemsave

}  // namespace benchsupport
