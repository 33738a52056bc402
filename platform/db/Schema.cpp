#include "platform/db/Schema.h"

#include <QStringList>

#include "host/Quote.h"
#include "platform/db/Database.h"

namespace platform::db {

namespace {

// Counter behind every row version of the database, and the schema version rows.
const char* const kCommonDdl = R"SQL(
CREATE TABLE zx_SchemaVersion(
  cPart nvarchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
  iVersion int NOT NULL);
CREATE TABLE zx_RowVersion(
  iKey int NOT NULL PRIMARY KEY CHECK (iKey = 1),
  iLast bigint NOT NULL);
INSERT INTO zx_RowVersion(iKey, iLast) VALUES (1, 0);
)SQL";

// A new GUID in registry form without braces, lower case, as a column default.
#define ZX_NEW_GUID                                                                          \
    "(lower(hex(randomblob(4))) || '-' || lower(hex(randomblob(2))) || '-4' || "             \
    "substr(lower(hex(randomblob(2))), 2) || '-' || "                                        \
    "substr('89ab', 1 + (abs(random()) % 4), 1) || substr(lower(hex(randomblob(2))), 2) || " \
    "'-' || lower(hex(randomblob(6))))"

}  // namespace

const char* const kNewGuidDefault = ZX_NEW_GUID;

namespace {

const char* const kSystemDdl = R"SQL(
CREATE TABLE UA_User(
  cUser_Id nvarchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cUser_Name nvarchar(40) COLLATE NOCASE,
  cSalt nvarchar(32),
  cPasswordHash nvarchar(64));
CREATE TABLE ua_account(
  cAcc_Id nvarchar(3) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cAcc_Name nvarchar(60) COLLATE NOCASE,
  cUnitName nvarchar(98) COLLATE NOCASE,
  ciscompanyver bit NOT NULL DEFAULT 0,
  iBeginYear smallint,
  dCreate datetime);
CREATE TABLE UA_Menu(
  cMenu_ID nvarchar(30) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cSupMenu_ID nvarchar(30) COLLATE NOCASE,
  Depends nvarchar(100) COLLATE NOCASE,
  iOrder int);
CREATE TABLE zxmenu_business_lang(
  MenuID nvarchar(30) COLLATE NOCASE NOT NULL,
  Caption nvarchar(100) COLLATE NOCASE,
  localeid nvarchar(10) COLLATE NOCASE NOT NULL,
  PRIMARY KEY (MenuID, localeid));
CREATE TABLE ua_subsys(
  csub_id nvarchar(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
  csub_name nvarchar(60) COLLATE NOCASE,
  ntype int);
CREATE TABLE UA_Account_sub(
  cAcc_id nvarchar(3) COLLATE NOCASE NOT NULL,
  cSub_Id nvarchar(10) COLLATE NOCASE NOT NULL,
  iYear smallint NOT NULL,
  dSubSysUsed datetime,
  PRIMARY KEY (cAcc_id, cSub_Id, iYear));
)SQL";

const char* const kMetaDdl = R"SQL(
CREATE TABLE refdesign(
  cRefID nvarchar(50) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cRefName nvarchar(100) COLLATE NOCASE,
  cRefMeta ntext,
  IsUserDefRef bit NOT NULL DEFAULT 0,
  cParentRefid nvarchar(50) COLLATE NOCASE);
CREATE TABLE AA_ColumnDic(
  cKey nvarchar(100) COLLATE NOCASE NOT NULL,
  cFld nvarchar(60) COLLATE NOCASE NOT NULL,
  cCaption nvarchar(100) COLLATE NOCASE,
  cQryField nvarchar(200) COLLATE NOCASE,
  iColWidth int,
  bDisp bit NOT NULL DEFAULT 1,
  iOrder int,
  PRIMARY KEY (cKey, cFld));
-- The user-defined references the item editor offers, with their column-setting key; filled
-- by the server procedure AA_CreateDefineRefDesignView.
CREATE TABLE AA_UserDefRefDesign(
  cRefID nvarchar(50) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cRefName nvarchar(100) COLLATE NOCASE,
  cParentRefid nvarchar(50) COLLATE NOCASE,
  cColSetKey nvarchar(100) COLLATE NOCASE NOT NULL);
-- Reference names and column captions in the other languages; refdesign and AA_ColumnDic keep
-- the simplified Chinese ones.
CREATE TABLE refdesign_lang(
  cRefID nvarchar(50) COLLATE NOCASE NOT NULL,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  cRefName nvarchar(100) COLLATE NOCASE,
  PRIMARY KEY (cRefID, LocaleID));
CREATE TABLE AA_ColumnDic_lang(
  cKey nvarchar(100) COLLATE NOCASE NOT NULL,
  cFld nvarchar(60) COLLATE NOCASE NOT NULL,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  cCaption nvarchar(100) COLLATE NOCASE,
  PRIMARY KEY (cKey, cFld, LocaleID));
)SQL";

// Items, their names, values and table links; the extension and carry-over catalogues; the
// archives whose extra columns regular items describe; function locks.
const char* const kAccountDdl = R"SQL(
CREATE TABLE UserDef_Base(
  cId nvarchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY
    CHECK (cId <> '' AND cId NOT GLOB '*[^0-9]*'),
  cClass nvarchar(20) COLLATE NOCASE NOT NULL,
  cItem nvarchar(40) COLLATE NOCASE,
  cType nvarchar(20) COLLATE NOCASE,
  IMaxLen int,
  cItemName nvarchar(60) COLLATE NOCASE,
  iLength int,
  iDecimalDigits int,
  bFixLength bit DEFAULT 0,
  bCheckVal bit DEFAULT 0,
  bInput bit DEFAULT 0,
  bArchive bit DEFAULT 0,
  bMultiSel bit DEFAULT 0,
  cParentID nvarchar(20) COLLATE NOCASE,
  bIsUserDefAttachFile bit DEFAULT 0,
  iDataSource smallint DEFAULT 0,
  cRelArchive nvarchar(60) COLLATE NOCASE,
  cRelField nvarchar(60) COLLATE NOCASE,
  cDefaultVal nvarchar(400) COLLATE NOCASE,
  cRefID nvarchar(60) COLLATE NOCASE,
  bIsUserDefPic bit DEFAULT 0,
  cDicDbName nvarchar(60) COLLATE NOCASE,
  cTableDesc nvarchar(100) COLLATE NOCASE,
  pubzxts bigint);
CREATE UNIQUE INDEX UX_UserDef_Base_cDicDbName ON UserDef_Base(cDicDbName)
  WHERE cDicDbName IS NOT NULL AND cDicDbName <> '';
CREATE INDEX IX_UserDef_Base_cClass ON UserDef_Base(cClass);
-- The items that have a parent, for naming parents without reading every item.
CREATE INDEX IX_UserDef_Base_cParentID ON UserDef_Base(cParentID, cId) WHERE cParentID <> '';

CREATE TABLE userdef_lang(
  cid nvarchar(20) COLLATE NOCASE NOT NULL REFERENCES UserDef_Base(cId) ON DELETE CASCADE,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  cItemName nvarchar(60) COLLATE NOCASE,
  PRIMARY KEY (cid, LocaleID));

CREATE TABLE UserDefDetail(
  cid nvarchar(20) COLLATE NOCASE NOT NULL REFERENCES UserDef_Base(cId) ON DELETE CASCADE,
  TableName nvarchar(100) COLLATE NOCASE NOT NULL,
  PRIMARY KEY (cid, TableName));
CREATE INDEX IX_UserDefDetail_TableName ON UserDefDetail(TableName);

CREATE TABLE Userdefine(
  cId nvarchar(20) COLLATE NOCASE NOT NULL REFERENCES UserDef_Base(cId) ON DELETE CASCADE,
  cValue nvarchar(120) COLLATE NOCASE NOT NULL CHECK (cValue <> ''),
  cAlias nvarchar(120) COLLATE NOCASE,
  cBarCode nvarchar(30) COLLATE NOCASE,
  cParentValue nvarchar(120) COLLATE NOCASE,
  bFreeStop bit DEFAULT 0,
  pubzxts bigint,
  PRIMARY KEY (cId, cValue));
CREATE INDEX IX_Userdefine_pubzxts ON Userdefine(cId, pubzxts);

CREATE TABLE AA_DefineExtend(
  cSub_ID nvarchar(50) COLLATE NOCASE,
  cTableName nvarchar(100) COLLATE NOCASE NOT NULL PRIMARY KEY,
  TableDesc nvarchar(100) COLLATE NOCASE,
  cTableDesc nvarchar(100) COLLATE NOCASE,
  cType nvarchar(20) COLLATE NOCASE,
  cParentTableName nvarchar(100) COLLATE NOCASE,
  TableName nvarchar(100) COLLATE NOCASE,
  cPKName nvarchar(60) COLLATE NOCASE,
  bDeleteIgnoreCheck bit DEFAULT 0,
  guid nvarchar(40) COLLATE NOCASE NOT NULL DEFAULT )SQL" ZX_NEW_GUID R"SQL( UNIQUE);

-- The host tables' descriptions in the other languages; AA_DefineExtend keeps the simplified
-- Chinese ones.
CREATE TABLE AA_DefineExtend_lang(
  cTableName nvarchar(100) COLLATE NOCASE NOT NULL,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  TableDesc nvarchar(100) COLLATE NOCASE,
  cTableDesc nvarchar(100) COLLATE NOCASE,
  PRIMARY KEY (cTableName, LocaleID));

CREATE TABLE AA_DefineExtendTables(
  cTableName nvarchar(100) COLLATE NOCASE NOT NULL,
  groupname nvarchar(60) COLLATE NOCASE NOT NULL,
  ctype nvarchar(20) COLLATE NOCASE,
  PRIMARY KEY (cTableName, groupname));

CREATE TABLE AA_ExtendDefineMakeVouch_base(
  cMakeVouchID nvarchar(50) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cSub_id nvarchar(50) COLLATE NOCASE,
  cDesc nvarchar(200) COLLATE NOCASE);
CREATE TABLE AA_ExtendDefineMakeVouch_sub(
  cMakeVouchID nvarchar(50) COLLATE NOCASE NOT NULL,
  cTableName nvarchar(100) COLLATE NOCASE NOT NULL,
  cTargetTable nvarchar(100) COLLATE NOCASE NOT NULL,
  cType nvarchar(10) COLLATE NOCASE,
  PRIMARY KEY (cTableName, cTargetTable));
CREATE TABLE AA_ExtendDefineMakeVouch_Set(
  cMakeVouchID nvarchar(50) COLLATE NOCASE,
  cTableName nvarchar(100) COLLATE NOCASE NOT NULL,
  cTargetTable nvarchar(100) COLLATE NOCASE NOT NULL,
  cextendfield nvarchar(60) COLLATE NOCASE NOT NULL,
  ctargetfield nvarchar(60) COLLATE NOCASE,
  ctype nvarchar(10) COLLATE NOCASE,
  btrans bit NOT NULL DEFAULT 0,
  cdesc nvarchar(200) COLLATE NOCASE,
  cSub_id nvarchar(50) COLLATE NOCASE,
  guid nvarchar(40) COLLATE NOCASE NOT NULL DEFAULT )SQL" ZX_NEW_GUID R"SQL( UNIQUE);
CREATE INDEX IX_MakeVouch_Set_Pair
  ON AA_ExtendDefineMakeVouch_Set(cTableName, cTargetTable, cextendfield);

CREATE TABLE AA_Enum(
  EnumType nvarchar(100) COLLATE NOCASE NOT NULL,
  EnumCode nvarchar(20) COLLATE NOCASE NOT NULL,
  enumname nvarchar(100) COLLATE NOCASE,
  localeID nvarchar(10) COLLATE NOCASE NOT NULL,
  iOrder int,
  PRIMARY KEY (EnumType, EnumCode, localeID));

CREATE TABLE q9langdefine(
  LangID int NOT NULL PRIMARY KEY,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL UNIQUE,
  cLangName nvarchar(40) COLLATE NOCASE);

CREATE TABLE Rpt_GRPDef(
  TableName nvarchar(60) COLLATE NOCASE NOT NULL PRIMARY KEY,
  TableDefine nvarchar(100) COLLATE NOCASE,
  SystemId nvarchar(10) COLLATE NOCASE);
CREATE TABLE Rpt_GRPDef_Item(
  TableName nvarchar(60) COLLATE NOCASE NOT NULL,
  TableDefine nvarchar(100) COLLATE NOCASE,
  SystemId nvarchar(10) COLLATE NOCASE NOT NULL,
  iOrder int,
  PRIMARY KEY (TableName, SystemId));
CREATE TABLE Rpt_ItmDef(
  TableName nvarchar(60) COLLATE NOCASE NOT NULL,
  FieldName nvarchar(60) COLLATE NOCASE NOT NULL,
  FieldDef nvarchar(100) COLLATE NOCASE,
  FieldType nvarchar(30) COLLATE NOCASE,
  FieldID int,
  PRIMARY KEY (TableName, FieldName));
-- The report dictionary's archive and field names in the other languages.
CREATE TABLE Rpt_GRPDef_lang(
  TableName nvarchar(60) COLLATE NOCASE NOT NULL,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  TableDefine nvarchar(100) COLLATE NOCASE,
  PRIMARY KEY (TableName, LocaleID));
CREATE TABLE Rpt_ItmDef_lang(
  TableName nvarchar(60) COLLATE NOCASE NOT NULL,
  FieldName nvarchar(60) COLLATE NOCASE NOT NULL,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  FieldDef nvarchar(100) COLLATE NOCASE,
  PRIMARY KEY (TableName, FieldName, LocaleID));
CREATE TABLE fitemstructure(
  i_id int NOT NULL PRIMARY KEY,
  citem_class nvarchar(10) COLLATE NOCASE NOT NULL,
  cfield_name nvarchar(60) COLLATE NOCASE NOT NULL,
  ctext nvarchar(100) COLLATE NOCASE,
  itype int,
  bref bit DEFAULT 0,
  isubItem bit DEFAULT 0);
CREATE TABLE fitemstrumode(
  cfield_name nvarchar(60) COLLATE NOCASE NOT NULL,
  ctext nvarchar(100) COLLATE NOCASE,
  LocaleID nvarchar(10) COLLATE NOCASE NOT NULL,
  PRIMARY KEY (cfield_name, LocaleID));

CREATE TABLE ua_menu(
  cMenu_ID nvarchar(30) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cSupMenu_ID nvarchar(30) COLLATE NOCASE,
  Depends nvarchar(100) COLLATE NOCASE,
  iOrder int);

-- Document layouts: the fields of each layout's header (H) and body (B) with their captions;
-- a field bound to a user-defined item shows the item by its name.
CREATE TABLE DocLayout(
  cLayoutId nvarchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,
  cLayoutName nvarchar(60) COLLATE NOCASE NOT NULL,
  cTableName nvarchar(100) COLLATE NOCASE);
CREATE TABLE DocLayoutField(
  cLayoutId nvarchar(20) COLLATE NOCASE NOT NULL REFERENCES DocLayout(cLayoutId) ON DELETE CASCADE,
  cPart nvarchar(1) COLLATE NOCASE NOT NULL CHECK (cPart IN ('H', 'B')),
  iOrder int NOT NULL,
  cFieldName nvarchar(60) COLLATE NOCASE NOT NULL,
  cCaption nvarchar(60) COLLATE NOCASE,
  cItemId nvarchar(20) COLLATE NOCASE REFERENCES UserDef_Base(cId) ON DELETE SET NULL,
  PRIMARY KEY (cLayoutId, cPart, cFieldName));
CREATE INDEX IX_DocLayoutField_cItemId ON DocLayoutField(cItemId);

CREATE TABLE zx_FunctionLock(
  cFunction nvarchar(60) COLLATE NOCASE NOT NULL,
  iMode int NOT NULL,
  cRecordKey nvarchar(200) COLLATE NOCASE,
  cSessionId nvarchar(40) COLLATE NOCASE NOT NULL,
  cUserId nvarchar(20) COLLATE NOCASE,
  cHost nvarchar(100) COLLATE NOCASE,
  iPid int,
  dHeartbeat datetime);
CREATE INDEX IX_zx_FunctionLock ON zx_FunctionLock(cFunction, cRecordKey);
)SQL";

// The change history: one row per applied document (who, when, from where, what, the rows
// before and after as JSON), and the values of columns a change dropped.
const char* const kHistoryDdl = R"SQL(
CREATE TABLE zx_History(
  iChange INTEGER PRIMARY KEY AUTOINCREMENT,
  dWhen datetime NOT NULL,
  cUserId nvarchar(20) COLLATE NOCASE,
  cOrigin nvarchar(60) COLLATE NOCASE,
  cOperation nvarchar(10) COLLATE NOCASE NOT NULL,
  cTable nvarchar(60) COLLATE NOCASE NOT NULL,
  cKey nvarchar(200) COLLATE NOCASE,
  cItemId nvarchar(20) COLLATE NOCASE,
  iUndoOf int,
  iUndoneBy int,
  cScope ntext,
  cBefore ntext,
  cAfter ntext);
CREATE INDEX IX_zx_History_cItemId ON zx_History(cItemId, iChange);
CREATE TABLE zx_HistoryValue(
  iChange int NOT NULL REFERENCES zx_History(iChange) ON DELETE CASCADE,
  cTable nvarchar(100) COLLATE NOCASE NOT NULL,
  cColumn nvarchar(60) COLLATE NOCASE NOT NULL,
  vKey,
  vValue);
CREATE INDEX IX_zx_HistoryValue ON zx_HistoryValue(iChange, cTable);
)SQL";

// The archives. Their numbered columns are what the regular items of a class describe.
QString archiveDdl() {
    auto defines = [](const QString& prefix) {
        QStringList cols;
        for (int n = 1; n <= 16; ++n) {
            QString type = QStringLiteral("nvarchar(120) COLLATE NOCASE");
            if (n == 11 || n == 12) type = QStringLiteral("int");
            if (n == 13 || n == 14) type = QStringLiteral("decimal(28,6)");
            if (n >= 15) type = QStringLiteral("datetime");
            cols << QStringLiteral("  %1%2 %3").arg(prefix).arg(n).arg(type);
        }
        return cols.join(QStringLiteral(",\n"));
    };
    QStringList frees;
    for (int n = 1; n <= 10; ++n) frees << QStringLiteral("  bFree%1 bit DEFAULT 0").arg(n);
    QStringList props;
    for (int n = 1; n <= 10; ++n) {
        const QString type = n <= 5   ? QStringLiteral("decimal(28,6)")
                             : n <= 8 ? QStringLiteral("nvarchar(120) COLLATE NOCASE")
                                      : QStringLiteral("datetime");
        props << QStringLiteral("  cBatchProperty%1 %2").arg(n).arg(type);
    }
    const QString text = QStringLiteral("COLLATE NOCASE");
    QString sql;
    sql += QStringLiteral(
               "CREATE TABLE customer(\n  cCusCode nvarchar(20) %1 NOT NULL PRIMARY KEY,\n"
               "  cCusName nvarchar(98) %1,\n  cCusAbbName nvarchar(60) %1,\n"
               "  cCusDepart nvarchar(12) %1,\n  dCusDevDate datetime,\n"
               "  iCusCreLine decimal(28,6),\n%2);\n")
               .arg(text, defines(QStringLiteral("cCusDefine")));
    sql += QStringLiteral(
               "CREATE TABLE Vendor(\n  cVenCode nvarchar(20) %1 NOT NULL PRIMARY KEY,\n"
               "  cVenName nvarchar(98) %1,\n  cVenAbbName nvarchar(60) %1,\n%2);\n")
               .arg(text, defines(QStringLiteral("cVenDefine")));
    sql += QStringLiteral(
               "CREATE TABLE Crm_Contact(\n  cContactCode nvarchar(20) %1 NOT NULL PRIMARY KEY,\n"
               "  cContactName nvarchar(60) %1,\n  cCusCode nvarchar(20) %1,\n%2);\n")
               .arg(text, defines(QStringLiteral("cConDefine")));
    sql += QStringLiteral(
               "CREATE TABLE Inventory(\n  cInvCode nvarchar(60) %1 NOT NULL PRIMARY KEY,\n"
               "  cInvName nvarchar(255) %1,\n  cInvStd nvarchar(255) %1,\n"
               "  cComUnitCode nvarchar(35) %1,\n  fGrossW decimal(28,6),\n  dSDate datetime,\n"
               "  iSupplyDay int,\n%2,\n%3);\n")
               .arg(text, defines(QStringLiteral("cInvDefine")), frees.join(QStringLiteral(",\n")));
    sql += QStringLiteral(
               "CREATE TABLE AA_BatchProperty(\n  cInvCode nvarchar(60) %1 NOT NULL,\n"
               "  cBatch nvarchar(60) %1 NOT NULL,\n%2,\n  PRIMARY KEY (cInvCode, cBatch));\n")
               .arg(text, props.join(QStringLiteral(",\n")));
    sql += QStringLiteral(
        "CREATE TABLE Department(\n  cDepCode nvarchar(12) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
        "  cDepName nvarchar(255) COLLATE NOCASE);\n"
        "CREATE TABLE Person(\n  cPersonCode nvarchar(20) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
        "  cPersonName nvarchar(40) COLLATE NOCASE,\n  cDepCode nvarchar(12) COLLATE NOCASE);\n"
        "CREATE TABLE Warehouse(\n  cWhCode nvarchar(10) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
        "  cWhName nvarchar(20) COLLATE NOCASE,\n  cWhAddress nvarchar(255) COLLATE NOCASE);\n"
        "CREATE TABLE SettleStyle(\n  cSSCode nvarchar(3) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
        "  cSSName nvarchar(20) COLLATE NOCASE);\n"
        "CREATE TABLE fitemss01(\n  citemcode nvarchar(60) COLLATE NOCASE NOT NULL PRIMARY KEY,\n"
        "  citemname nvarchar(255) COLLATE NOCASE,\n  dEndDate datetime,\n"
        "  iQuantity int,\n  fBudget decimal(28,6));\n");
    return sql;
}

// The item views. citemlang is the name in the connection's language, else the simplified
// Chinese name, else the stored label; UserDef_Parent adds the parent item's shown name.
const char* const kAccountViews = R"SQL(
CREATE VIEW UserDef AS
SELECT b.cId, b.cClass, b.cItem, b.cType, b.IMaxLen, b.cItemName, b.iLength, b.iDecimalDigits,
       b.bFixLength, b.bCheckVal, b.bInput, b.bArchive, b.bMultiSel, b.cParentID,
       b.bIsUserDefAttachFile, b.iDataSource, b.cRelArchive, b.cRelField, b.cDefaultVal,
       b.cRefID, b.bIsUserDefPic, b.cDicDbName, b.cTableDesc, b.pubzxts,
       COALESCE(
         (SELECT NULLIF(l.cItemName, '') FROM userdef_lang l
           WHERE l.cid = b.cId AND l.LocaleID = UDF_GetLocaleID()),
         (SELECT NULLIF(l.cItemName, '') FROM userdef_lang l
           WHERE l.cid = b.cId AND l.LocaleID = 'zh-CN'),
         b.cItem) AS citemlang
  FROM UserDef_Base b;

CREATE VIEW UserDef_Parent AS
SELECT u.*,
       CASE WHEN p.cId IS NULL THEN ''
            WHEN IFNULL(p.cItemName, '') = '' THEN p.citemlang
            ELSE p.cItemName END AS cParentItemName
  FROM UserDef u LEFT JOIN UserDef p ON p.cId = u.cParentID AND IFNULL(u.cParentID, '') <> '';
)SQL";

bool run(Database& db, const QString& sql, QString* error) {
    QString why;
    if (db.exec(sql, &why)) return true;
    if (error) *error = why;
    return false;
}

bool createSchema(Database& db, const QString& part, const QStringList& scripts,
                  const QStringList& rowVersionTables, QString* error) {
    Transaction t(db);
    if (!t.ok()) {
        if (error) *error = QStringLiteral("Cannot begin a transaction on %1.").arg(db.path());
        return false;
    }
    if (!run(db, QString::fromUtf8(kCommonDdl), error)) return false;
    for (const QString& script : scripts)
        if (!run(db, script, error)) return false;
    for (const QString& table : rowVersionTables)
        if (!addRowVersion(db, table, error)) return false;
    if (!db.execParams(
            QStringLiteral("INSERT INTO zx_SchemaVersion(cPart, iVersion) VALUES (?, ?)"),
            {part, kSchemaVersion}, error))
        return false;
    return t.commit(error);
}

}  // namespace

bool createSystemSchema(Database& db, QString* error) {
    return createSchema(db, QString::fromLatin1(kSystemPart), {QString::fromUtf8(kSystemDdl)}, {},
                        error);
}

bool createMetaSchema(Database& db, QString* error) {
    return createSchema(db, QString::fromLatin1(kMetaPart), {QString::fromUtf8(kMetaDdl)}, {},
                        error);
}

bool createAccountSchema(Database& db, QString* error) {
    return createSchema(
        db, QString::fromLatin1(kAccountPart),
        {QString::fromUtf8(kAccountDdl), QString::fromUtf8(kHistoryDdl), archiveDdl(),
         QString::fromUtf8(kAccountViews)},
        {QStringLiteral("UserDef_Base"), QStringLiteral("Userdefine")}, error);
}

int schemaVersion(Database& db, const QString& part, const QString& schema) {
    const QString sql = QStringLiteral("SELECT iVersion FROM %1.zx_SchemaVersion WHERE cPart = ?")
                            .arg(host::sqlIdent(schema));
    QString error;
    const host::RecordSetPtr rs = db.query(sql, {part}, &error);
    if (!rs || rs->isEmpty()) return 0;
    return rs->value(0).toInt();
}

bool upgradeSchema(Database& db, const QString& schema, QString* error) {
    constexpr int kChineseNocase = 4;  // the last version whose NOCASE indexes kept that order
    constexpr int kNoHistory = 5;      // the last version without the change history
    const QString s = host::sqlIdent(schema);
    const auto stored = [&] {  // the version to upgrade from; 0 none; -1 cannot tell
        host::RecordSetPtr rows = db.query(
            QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND "
                           "name = 'zx_SchemaVersion'")
                .arg(s),
            {}, error);
        if (!rows) return -1;
        if (rows->isEmpty()) return 0;
        rows = db.query(QStringLiteral("SELECT min(iVersion) FROM %1.zx_SchemaVersion").arg(s), {},
                        error);
        if (!rows) return -1;
        const int version = rows->isEmpty() ? 0 : rows->at(0, 0).toInt();
        return version == kChineseNocase || version == kNoHistory ? version : 0;
    };
    int found = stored();
    if (found <= 0) return found == 0;
    Transaction t(db, error);
    if (!t.ok()) return false;
    found = stored();  // another connection may have done it while this one waited
    if (found <= 0) return found == 0;
    if (found == kChineseNocase) {
        const host::RecordSetPtr indexes = db.query(
            QStringLiteral("SELECT DISTINCT i.name FROM %1.sqlite_master m, "
                           "pragma_index_list(m.name, ?1) i, pragma_index_xinfo(i.name, ?1) x "
                           "WHERE m.type = 'table' AND x.key AND x.coll = 'NOCASE' COLLATE "
                           "NOCASE")
                .arg(s),
            {schema}, error);
        if (!indexes) return false;
        for (int r = 0; r < indexes->recordCount(); ++r) {
            const QString index = host::sqlIdent(indexes->at(r, 0).toString());
            if (!run(db, QStringLiteral("REINDEX %1.%2").arg(s, index), error)) return false;
        }
    }
    const host::RecordSetPtr account = db.query(
        QStringLiteral("SELECT 1 FROM %1.zx_SchemaVersion WHERE cPart = ?").arg(s),
        {QString::fromLatin1(kAccountPart)}, error);
    if (!account) return false;
    if (!account->isEmpty()) {
        QString ddl = QString::fromUtf8(kHistoryDdl);
        ddl.replace(QStringLiteral("CREATE TABLE "),
                    QStringLiteral("CREATE TABLE IF NOT EXISTS %1.").arg(s));
        ddl.replace(QStringLiteral("CREATE INDEX "),
                    QStringLiteral("CREATE INDEX IF NOT EXISTS %1.").arg(s));
        if (!run(db, ddl, error)) return false;
    }
    return db.execParams(
               QStringLiteral("UPDATE %1.zx_SchemaVersion SET iVersion = ?").arg(s),
               {kSchemaVersion}, error) &&
           t.commit(error);
}

bool addRowVersion(Database& db, const QString& table, QString* error) {
    const host::RecordSetPtr cols =
        db.query(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {table}, error);
    if (!cols) return false;
    QStringList others;
    bool hasRowVersion = false;
    for (int r = 0; r < cols->recordCount(); ++r) {
        const QString name = cols->at(r, 0).toString();
        if (name.compare(QStringLiteral("pubzxts"), Qt::CaseInsensitive) == 0)
            hasRowVersion = true;
        else
            others << host::sqlIdent(name);
    }
    if (!hasRowVersion) {
        if (error) *error = QStringLiteral("Table %1 has no column pubzxts.").arg(table);
        return false;
    }
    // Updating only pubzxts fires nothing, so the trigger's own update never recurses.
    const QString t = host::sqlIdent(table);
    const QString bump =
        QStringLiteral(
            " BEGIN UPDATE zx_RowVersion SET iLast = iLast + 1 WHERE iKey = 1; "
            "UPDATE %1 SET pubzxts = (SELECT iLast FROM zx_RowVersion WHERE iKey = 1) "
            "WHERE rowid = NEW.rowid; END;")
            .arg(t);
    const QString sql =
        QStringLiteral(
            "CREATE TRIGGER %1 AFTER INSERT ON %2%3\nCREATE TRIGGER %4 AFTER UPDATE OF %5 ON %2%3")
            .arg(host::sqlIdent(QStringLiteral("trg_%1_rowversion_ins").arg(table)), t, bump,
                 host::sqlIdent(QStringLiteral("trg_%1_rowversion_upd").arg(table)),
                 others.join(QLatin1Char(',')));
    return run(db, sql, error);
}

}  // namespace platform::db
