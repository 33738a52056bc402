#include "TestAccount.h"

#include "platform/db/Database.h"
#include "platform/sql/ConnectionText.h"

namespace sqltest {

namespace {

const char* const kSystem = R"SQL(
CREATE TABLE UA_Menu(cMenu_ID nvarchar(50) COLLATE NOCASE PRIMARY KEY, cSupMenu_ID nvarchar(50) COLLATE NOCASE,
  Depends nvarchar(200) COLLATE NOCASE, iOrder int);
CREATE TABLE zxmenu_business_lang(MenuID nvarchar(50) COLLATE NOCASE, Caption nvarchar(100) COLLATE NOCASE,
  localeid nvarchar(10) COLLATE NOCASE);
CREATE TABLE ua_subsys(csub_id nvarchar(10) COLLATE NOCASE PRIMARY KEY, csub_name nvarchar(60) COLLATE NOCASE, ntype int);
CREATE TABLE UA_Account_sub(cAcc_id nvarchar(10) COLLATE NOCASE, cSub_Id nvarchar(10) COLLATE NOCASE, iYear int,
  dSubSysUsed datetime);
CREATE TABLE ua_account(cAcc_id nvarchar(10) COLLATE NOCASE PRIMARY KEY, cAcc_Name nvarchar(60) COLLATE NOCASE,
  ciscompanyver bit);
INSERT INTO UA_Menu VALUES ('#1', '', '', 0), ('SC', '#1', '', 10), ('FI', '#1', '', 20),
  ('AI1', '#0', '', 5), ('SA', 'SC', '', 11), ('PU', 'SC', '', 12), ('GL', 'FI', '', 21),
  ('BM', 'FI', '', 30);
INSERT INTO zxmenu_business_lang VALUES ('SC', '供应链', 'zh-CN'), ('FI', '财务会计', 'zh-CN'),
  ('AI1', '基础设置', 'zh-CN'), ('SC', 'Supply chain', 'en-US'), ('FI', 'Finance', 'en-US'),
  ('AI1', 'Basics', 'en-US');
INSERT INTO ua_subsys VALUES ('SA', '销售管理', 1), ('PU', '采购管理', 1), ('GL', '总账', 3),
  ('BM', '预算管理', 2), ('AS', '系统服务', 1), ('ST', '库存管理', NULL);
INSERT INTO UA_Account_sub VALUES ('001', 'SA', 9999, '2024-01-01'), ('001', 'PU', 9999, '2024-01-01'),
  ('001', 'GL', 9999, NULL);
INSERT INTO ua_account VALUES ('001', '演示账套', 0), ('002', '集团账套', 1);
)SQL";

const char* const kAccount = R"SQL(
CREATE TABLE UserDef_Base(cId nvarchar(20) COLLATE NOCASE PRIMARY KEY, cClass nvarchar(20) COLLATE NOCASE,
  CItem nvarchar(30) COLLATE NOCASE, CType nvarchar(10) COLLATE NOCASE, IMaxLen int,
  cItemName nvarchar(60) COLLATE NOCASE, iLength int, iDecimalDigits int, bFixLength bit, bCheckVal bit,
  bInput bit, bArchive bit, bMultiSel bit, cParentID nvarchar(20) COLLATE NOCASE,
  bIsUserDefAttachFile bit, iDataSource smallint, cRelArchive nvarchar(60) COLLATE NOCASE,
  cRelField nvarchar(60) COLLATE NOCASE, cDefaultVal nvarchar(120) COLLATE NOCASE,
  cRefID nvarchar(60) COLLATE NOCASE, bIsUserDefPic bit, cDicDbName nvarchar(30) COLLATE NOCASE,
  ctabledesc nvarchar(60) COLLATE NOCASE, pubzxts timestamp);
CREATE TABLE userdef_lang(cid nvarchar(20) COLLATE NOCASE, LocaleID nvarchar(10) COLLATE NOCASE,
  cItemName nvarchar(60) COLLATE NOCASE);
CREATE VIEW UserDef AS SELECT b.*, (SELECT l.cItemName FROM userdef_lang l WHERE l.cid = b.cId
  AND l.LocaleID = UDF_GetLocaleID()) AS cItemLang FROM UserDef_Base b;
CREATE VIEW UserDef_Parent AS SELECT u.*, p.cItemName AS cParentItemName FROM UserDef u
  LEFT JOIN UserDef_Base p ON p.cId = u.cParentID;
CREATE TABLE Rpt_GRPDef(TableName nvarchar(60) COLLATE NOCASE, TableDefine nvarchar(60) COLLATE NOCASE,
  SystemId nvarchar(10) COLLATE NOCASE);
CREATE TABLE Rpt_GRPDef_Item(TableName nvarchar(60) COLLATE NOCASE, TableDefine nvarchar(60) COLLATE NOCASE,
  SystemId nvarchar(10) COLLATE NOCASE);
CREATE TABLE Rpt_ItmDef(TableName nvarchar(60) COLLATE NOCASE, FieldName nvarchar(60) COLLATE NOCASE,
  FieldDef nvarchar(60) COLLATE NOCASE, FieldType nvarchar(20) COLLATE NOCASE);
CREATE TABLE q9langdefine(LangID int, cLangName nvarchar(20) COLLATE NOCASE);
CREATE TABLE Customer(cCusCode nvarchar(20) COLLATE NOCASE, cCusName nvarchar(60) COLLATE NOCASE,
  cCusDefine1 nvarchar(60) COLLATE NOCASE, cCusDefine2 nvarchar(60) COLLATE NOCASE);
CREATE TABLE Vendor(cVenCode nvarchar(20) COLLATE NOCASE, cVenDefine1 nvarchar(60) COLLATE NOCASE);
CREATE TABLE Crm_Contact(cContactCode nvarchar(20) COLLATE NOCASE, cConDefine1 nvarchar(60) COLLATE NOCASE);
CREATE TABLE AA_BatchProperty(cInvCode nvarchar(20) COLLATE NOCASE, cBatchProperty1 ntext);
CREATE TABLE Inventory(cInvCode nvarchar(20) COLLATE NOCASE, cInvDefine1 nvarchar(60) COLLATE NOCASE,
  bFree1 bit);
CREATE TABLE UserDefDetail(cid nvarchar(20) COLLATE NOCASE, TableName nvarchar(60) COLLATE NOCASE);
CREATE TABLE AA_DefineExtend(cSub_ID nvarchar(60) COLLATE NOCASE, cTableName nvarchar(60) COLLATE NOCASE,
  TableDesc nvarchar(60) COLLATE NOCASE, cTableDesc nvarchar(60) COLLATE NOCASE, cType nvarchar(10) COLLATE NOCASE,
  cParentTableName nvarchar(60) COLLATE NOCASE, TableName nvarchar(60) COLLATE NOCASE,
  cPKName nvarchar(60) COLLATE NOCASE, bDeleteIgnoreCheck bit, guid nvarchar(40) COLLATE NOCASE);
CREATE TABLE AA_DefineExtendTables(cTableName nvarchar(60) COLLATE NOCASE, groupname nvarchar(60) COLLATE NOCASE,
  ctype nvarchar(20) COLLATE NOCASE);
CREATE TABLE SaleBill(cSBVCode nvarchar(30) COLLATE NOCASE);
CREATE TABLE SaleBill_extradefine(cSBVCode nvarchar(30) COLLATE NOCASE, cHDefine1 nvarchar(60) COLLATE NOCASE,
  cHDefine2 int, cHDefine3 datetime, cHDefine4 decimal(28,6));
CREATE TABLE DispatchList(cDLCode nvarchar(30) COLLATE NOCASE);
CREATE TABLE DispatchList_extradefine(cDLCode nvarchar(30) COLLATE NOCASE, cHDefine1 nvarchar(60) COLLATE NOCASE);
CREATE TABLE ua_menu(cMenu_ID nvarchar(50) COLLATE NOCASE, cSupMenu_ID nvarchar(50) COLLATE NOCASE, iOrder int);
CREATE TABLE Userdefine(cId nvarchar(20) COLLATE NOCASE, cValue nvarchar(120) COLLATE NOCASE,
  cAlias nvarchar(60) COLLATE NOCASE, cBarCode nvarchar(30) COLLATE NOCASE,
  cParentValue nvarchar(120) COLLATE NOCASE, bFreeStop bit, pubzxts timestamp);
CREATE TABLE AA_ExtendDefineMakeVouch_Set(cMakeVouchID nvarchar(40) COLLATE NOCASE,
  cTableName nvarchar(60) COLLATE NOCASE, cTargetTable nvarchar(60) COLLATE NOCASE,
  cextendfield nvarchar(30) COLLATE NOCASE, ctargetfield nvarchar(30) COLLATE NOCASE,
  ctype nvarchar(10) COLLATE NOCASE, btrans bit, cdesc nvarchar(200) COLLATE NOCASE,
  cSub_id nvarchar(60) COLLATE NOCASE, guid nvarchar(40) COLLATE NOCASE);
CREATE TABLE AA_ExtendDefineMakeVouch_sub(cMakeVouchID nvarchar(40) COLLATE NOCASE,
  cTableName nvarchar(60) COLLATE NOCASE, cTargetTable nvarchar(60) COLLATE NOCASE, cType nvarchar(10) COLLATE NOCASE);
CREATE TABLE AA_ExtendDefineMakeVouch_base(cMakeVouchID nvarchar(40) COLLATE NOCASE,
  cSub_id nvarchar(60) COLLATE NOCASE, cDesc nvarchar(200) COLLATE NOCASE);
CREATE TABLE AA_Enum(EnumCode nvarchar(20) COLLATE NOCASE, enumname nvarchar(60) COLLATE NOCASE,
  EnumType nvarchar(60) COLLATE NOCASE, localeID nvarchar(10) COLLATE NOCASE);
CREATE TABLE fitemstructure(cfield_name nvarchar(60) COLLATE NOCASE, ctext nvarchar(60) COLLATE NOCASE,
  itype nvarchar(20) COLLATE NOCASE, i_id int, bref bit, isubItem bit, citem_class nvarchar(10) COLLATE NOCASE);
CREATE TABLE fitemstrumode(cfield_name nvarchar(60) COLLATE NOCASE, ctext nvarchar(60) COLLATE NOCASE,
  LocaleID nvarchar(10) COLLATE NOCASE);

INSERT INTO UserDef_Base(cId, cClass, CItem, CType, IMaxLen, cItemName, iLength, iDecimalDigits, bFixLength,
  bCheckVal, bInput, bArchive, bMultiSel, cParentID, bIsUserDefAttachFile, iDataSource, cRelArchive, cRelField,
  cDefaultVal, cRefID, bIsUserDefPic, cDicDbName, ctabledesc, pubzxts) VALUES
  ('1', '单据头', '自定义项1', '文本', 20, '部门属性', 20, NULL, 0, 1, 0, 1, 0, NULL, 0, 0, NULL, NULL, NULL, NULL, 0, 'cDefine1', NULL, 101),
  ('2', '单据头', '自定义项2', '整数', NULL, '', NULL, NULL, 0, 0, 0, 0, 0, NULL, 0, 0, NULL, NULL, NULL, NULL, 0, 'cDefine2', NULL, 102),
  ('10', '单据体', '自定义项22', '文本', 60, '批号说明', 60, NULL, 0, 0, 0, 0, 0, NULL, 0, 1, 'Customer', 'cCusName', NULL, NULL, 0, 'cDefine22', NULL, 103),
  ('1001', '单据头', '扩展自定义项1', '文本', 60, '合同号', 60, NULL, 0, 0, 0, 0, 0, NULL, 0, 0, NULL, NULL, NULL, NULL, 0, 'cHDefine1', '', 104),
  ('1002', '单据头', '扩展自定义项2', '整型', NULL, '件数', NULL, NULL, 0, 0, 0, 0, 0, '1001', 0, 0, NULL, NULL, NULL, NULL, 0, 'cHDefine2', '', 123),
  ('2001', '单据体', '扩展自定义项1', '数字', NULL, '折扣率', NULL, 6, 0, 0, 0, 0, 0, NULL, 0, 0, NULL, NULL, NULL, NULL, 0, 'cBDefine1', '', 105),
  ('30', '存货', '自由项1', '文本', 20, '颜色', 20, NULL, 0, 1, 0, 1, 0, NULL, 0, 0, NULL, NULL, NULL, NULL, 0, '', NULL, 106),
  ('40', '供应商', '自定义项1', '文本', 20, '', 20, NULL, 0, 0, 0, 0, 0, NULL, 0, 0, '[R001]', 'cName', NULL, 'R001', 0, 'cVenDefine1', NULL, 107);
INSERT INTO userdef_lang VALUES ('1', 'zh-CN', '部门属性'), ('1', 'en-US', 'Department'),
  ('2', 'zh-CN', '订单类别'), ('2', 'en-US', 'Order kind'), ('1001', 'zh-CN', '合同号'),
  ('1001', 'zh-TW', '合同號'), ('1001', 'en-US', 'Contract'), ('40', 'zh-CN', '供应商等级');
INSERT INTO Rpt_GRPDef VALUES ('Customer', '客户档案', 'AR'), ('Vendor', '供应商档案', 'AP'),
  ('Inventory', '存货档案', 'IA'), ('fitemss01', '项目档案', 'FI');
INSERT INTO Rpt_GRPDef_Item VALUES ('Customer', '客户档案', 'AS'), ('Vendor', '供应商档案', 'AS');
INSERT INTO Rpt_ItmDef VALUES ('Customer', 'cCusCode', '客户编码', 'nvarchar'),
  ('Customer', 'cCusName', '客户名称', 'nvarchar'), ('Vendor', 'cVenCode', '供应商编码', 'nvarchar');
INSERT INTO q9langdefine VALUES (30, '简体中文'), (0, 'English');
INSERT INTO Customer VALUES ('C001', '星河商贸', '华东', ''), ('C002', '远山实业', '', NULL);
INSERT INTO Vendor VALUES ('V001', NULL);
INSERT INTO Crm_Contact VALUES ('P001', 'VIP');
INSERT INTO AA_BatchProperty VALUES ('I001', '一级');
INSERT INTO Inventory VALUES ('I001', '', 1), ('I002', '红', 0);
INSERT INTO UserDefDetail VALUES ('1001', 'SaleBill'), ('1001', 'DispatchList'), ('1002', 'SaleBill'),
  ('2001', 'SaleBillBody');
INSERT INTO AA_DefineExtend VALUES
  ('SA', 'SaleBill', '销售发票', '销售发票主表', 'H', NULL, 'SaleBill', 'cSBVCode', 0, 'g1'),
  ('SA,ST', 'DispatchList', '发货单', '发货单主表', 'H,B', '', 'DispatchList', 'cDLCode', 1, 'g2'),
  ('SA', 'SaleBillBody', '销售发票子表', '销售发票子表', 'B', 'SaleBill', 'SaleBillBody', 'id', 0, 'g3'),
  ('PU', 'NoSuchTable', '不存在', '不存在', 'H', NULL, 'NoSuchTable', 'id', 0, 'g4');
INSERT INTO AA_DefineExtendTables VALUES ('SaleBill', 'sales', 'H'), ('DispatchList', 'sales', 'H,B');
INSERT INTO SaleBill_extradefine(cSBVCode, cHDefine1) VALUES ('S001', ''), ('S002', NULL);
INSERT INTO DispatchList_extradefine VALUES ('D001', '合同A');
INSERT INTO ua_menu VALUES ('SA', 'SC', 11), ('XX', 'YY', 99);
INSERT INTO Userdefine VALUES ('1', '甲', 'A', '', '', 0, 1), ('1', '乙', 'B', '', '', 1, 2);
INSERT INTO AA_ExtendDefineMakeVouch_sub VALUES ('MV01', 'DispatchList', 'SaleBill', 'H'),
  ('MV02', 'SaleBill', 'DispatchList', 'H'), ('MV03', 'SaleBill', 'SaleBillBody', 'B');
INSERT INTO AA_ExtendDefineMakeVouch_base VALUES ('MV01', 'SA', '发货单生成发票'), ('MV02', 'SA', '发票生成发货单'),
  ('MV03', 'SA', '发票表头到表体');
INSERT INTO AA_ExtendDefineMakeVouch_Set VALUES
  ('MV01', 'DispatchList', 'SaleBill', 'cHDefine1', 'cHDefine1', 'H', 1, '合同号携带', 'SA,ST', 'r1'),
  ('MV02', 'SaleBill', 'DispatchList', 'cHDefine1', 'cHDefine1', 'H', 0, '', 'SA', 'r2');
INSERT INTO AA_Enum VALUES ('H', '单据头', 'Q9.AA.ARCHIVE.ExtendDefineTable.Type', 'zh-CN'),
  ('B', '单据体', 'Q9.AA.ARCHIVE.ExtendDefineTable.Type', 'zh-CN'),
  ('H,B', '单据头和单据体', 'Q9.AA.ARCHIVE.ExtendDefineTable.Type', 'zh-CN'),
  ('H', 'Header', 'Q9.AA.ARCHIVE.ExtendDefineTable.Type', 'en-US');
INSERT INTO fitemstructure VALUES ('citemcode', '项目编码', 'nvarchar', 1, 1, 0, '01'),
  ('citemname', '项目名称', 'nvarchar', 2, 1, 0, '01'), ('iqty', '数量', 'int', 3, 1, 0, '01');
INSERT INTO fitemstrumode VALUES ('citemname', '项目名', 'zh-CN');
)SQL";

const char* const kMeta = R"SQL(
CREATE TABLE refdesign(cRefID nvarchar(60) COLLATE NOCASE, cRefMeta ntext, cRefName nvarchar(60) COLLATE NOCASE,
  IsUserDefRef bit, cParentRefid nvarchar(60) COLLATE NOCASE);
CREATE TABLE AA_ColumnDic(cKey nvarchar(60) COLLATE NOCASE, cFld nvarchar(60) COLLATE NOCASE,
  cCaption nvarchar(60) COLLATE NOCASE);
INSERT INTO refdesign VALUES ('R001', '<Ref><RefColSet cKey="K_R001"/></Ref>', '供应商等级参照', 1, 'ROOT'),
  ('R002', '<Ref/>', '未启用', 0, 'ROOT');
INSERT INTO AA_ColumnDic VALUES ('K_R001', 'cName', '等级名称');
)SQL";

bool build(const QString& path, const char* sql, QString* error) {
    auto db = platform::db::Database::open(path, true, error);
    if (!db) return false;
    return db->exec(QString::fromUtf8(sql), error);
}

}  // namespace

TestAccount::TestAccount() {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    if (!build(m_dir.filePath(QStringLiteral("zxsystem.db")), kSystem, &m_error)) return;
    if (!build(m_dir.filePath(QStringLiteral("ZxData_001.db")), kAccount, &m_error)) return;
    build(m_dir.filePath(QStringLiteral("ZxMeta_001.db")), kMeta, &m_error);
}

QString TestAccount::connectionText(const QString& language) const {
    platform::sql::ConnectionText c;
    c.dataSource = m_dir.filePath(QStringLiteral("ZxData_001.db"));
    c.catalog = QStringLiteral("ZxData_001");
    c.account = QStringLiteral("001");
    c.systemPath = m_dir.filePath(QStringLiteral("zxsystem.db"));
    c.metaPath = m_dir.filePath(QStringLiteral("ZxMeta_001.db"));
    c.language = language;
    return c.format();
}

QString TestAccount::metaConnectionText() const {
    platform::sql::ConnectionText c = *platform::sql::ConnectionText::parse(connectionText());
    c.dataSource = c.metaPath;
    c.catalog = QStringLiteral("ZxMeta_001");
    return c.format();
}

std::unique_ptr<platform::sql::TSqlConnection> TestAccount::connect(const QString& language) const {
    QString error;
    auto c = platform::sql::TSqlConnection::open(connectionText(language), &error);
    if (!c) qWarning("cannot connect: %s", qPrintable(error));
    return c;
}

}  // namespace sqltest
