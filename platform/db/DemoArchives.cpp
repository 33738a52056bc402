// Archive rows of the demo company (some regular items hold values there, which puts them in
// use), the report-archive dictionary that data-source items point into, the project item
// structure, the data of the user-defined references, type names and installed languages.
#include "platform/db/Database.h"
#include "platform/db/DemoData.h"

namespace platform::db::demo {

namespace {

const QVariant null;

bool archives(Database& db, QString* error) {
    return insertRows(db, "customer",
                      {"cCusCode", "cCusName", "cCusAbbName", "cCusDepart", "dCusDevDate",
                       "iCusCreLine", "cCusDefine3", "cCusDefine5"},
                      {{"C001", "华辰机电设备有限公司", "华辰机电", "D02", "2019-05-16 00:00:00",
                        500000, "A", "林晓峰"},
                       {"C002", "远帆电子科技有限公司", "远帆电子", "D02", "2021-08-01 00:00:00",
                        200000, "B", null},
                       {"C003", "青禾食品股份有限公司", "青禾食品", "D03", "2022-11-20 00:00:00",
                        80000, "", null},
                       {"C004", "北辰物流有限公司", "北辰物流", "D03", null, null, null, null}},
                      error) &&
           insertRows(db, "Vendor", {"cVenCode", "cVenName", "cVenAbbName", "cVenDefine1"},
                      {{"V001", "恒拓钢材贸易有限公司", "恒拓钢材", "华东"},
                       {"V002", "佳森包装材料厂", "佳森包装", "华南"},
                       {"V003", "明川化工有限公司", "明川化工", null}},
                      error) &&
           insertRows(db, "Crm_Contact",
                      {"cContactCode", "cContactName", "cCusCode", "cConDefine2"},
                      {{"L001", "王静怡", "C001", "wjy_2020"},
                       {"L002", "陈立", "C002", null},
                       {"L003", "赵敏", "C003", ""}},
                      error) &&
           insertRows(
               db, "Inventory",
               {"cInvCode", "cInvName", "cInvStd", "cComUnitCode", "fGrossW", "dSDate",
                "iSupplyDay", "cInvDefine1", "bFree1", "bFree2"},
               {{"I001", "不锈钢法兰盘", "DN50", "个", 2.35, "2024-01-01 00:00:00", 7, "江苏", 0,
                 1},
                {"I002", "铝合金外壳", "A型", "个", 0.8, "2024-03-15 00:00:00", 10, "浙江", 0, 0},
                {"I003", "劳保手套", "均码", "双", 0.05, "2025-06-01 00:00:00", 3, null, 1, 1},
                {"I004", "防静电周转箱", "600x400", "只", 1.6, null, null, null, 0, 0}},
               error) &&
           insertRows(
               db, "AA_BatchProperty", {"cInvCode", "cBatch", "cBatchProperty1", "cBatchProperty6"},
               {{"I001", "B260301", 12.5, "HN-2231"}, {"I002", "B260302", null, null}}, error);
}

bool referenceArchives(Database& db, QString* error) {
    const QString ddl = QStringLiteral(
        "CREATE TABLE UR0001(cStageCode nvarchar(10) COLLATE NOCASE NOT NULL PRIMARY KEY, "
        "cStageName nvarchar(30) COLLATE NOCASE);"
        "CREATE TABLE UR0002(cGradeCode nvarchar(10) COLLATE NOCASE NOT NULL PRIMARY KEY, "
        "cGradeName nvarchar(30) COLLATE NOCASE);");
    QString why;
    if (!db.exec(ddl, &why)) {
        if (error) *error = why;
        return false;
    }
    return insertRows(db, "Department", {"cDepCode", "cDepName"},
                      {{"D01", "总经理办公室"},
                       {"D02", "销售一部"},
                       {"D03", "销售二部"},
                       {"D04", "采购部"},
                       {"D05", "仓储部"}},
                      error) &&
           insertRows(db, "Person", {"cPersonCode", "cPersonName", "cDepCode"},
                      {{"P001", "林晓峰", "D02"},
                       {"P002", "苏婉清", "D03"},
                       {"P003", "周启明", "D04"},
                       {"P004", "何雨桐", "D05"}},
                      error) &&
           insertRows(db, "Warehouse", {"cWhCode", "cWhName", "cWhAddress"},
                      {{"W01", "原料仓", "滨江路18号"},
                       {"W02", "成品仓", "滨江路20号"},
                       {"W03", "备件仓", "工业园3栋"}},
                      error) &&
           insertRows(
               db, "SettleStyle", {"cSSCode", "cSSName"},
               {{"1", "现金"}, {"2", "银行转账"}, {"3", "银行承兑汇票"}, {"4", "商业承兑汇票"}},
               error) &&
           insertRows(db, "fitemss01",
                      {"citemcode", "citemname", "dEndDate", "iQuantity", "fBudget"},
                      {{"P-01", "新型减速器研发", "2026-12-31 00:00:00", 5, 1200000},
                       {"P-02", "智能传感模组", "2027-06-30 00:00:00", 20, 860000}},
                      error) &&
           insertRows(db, "UR0001", {"cStageCode", "cStageName"},
                      {{"01", "立项"}, {"02", "方案设计"}, {"03", "样机试制"}, {"04", "小批量产"}},
                      error) &&
           insertRows(db, "UR0002", {"cGradeCode", "cGradeName"},
                      {{"A", "战略客户"}, {"B", "重点客户"}, {"C", "普通客户"}}, error);
}

// The report archives and their fields with typed FieldType texts.
bool reportDictionary(Database& db, QString* error) {
    // Archive and field names with their traditional Chinese and English captions, which go to
    // the language tables beside the dictionary.
    const QList<QVariantList> groups = {
        {"Customer", "客户档案", "AS", "客戶檔案", "Customer"},
        {"Vendor", "供应商档案", "AS", "供應商檔案", "Vendor"},
        {"Inventory", "存货档案", "AS", "存貨檔案", "Inventory"},
        {"Department", "部门档案", "AS", "部門檔案", "Department"},
        {"Person", "职员档案", "AS", "職員檔案", "Employee"},
        {"Warehouse", "仓库档案", "AS", "倉庫檔案", "Warehouse"},
        {"SettleStyle", "结算方式", "AS", "結算方式", "Settlement Method"},
        {"Crm_Contact", "联系人档案", "AS", "聯絡人檔案", "Contact"},
        {"fitemss01", "研发项目", "AS", "研發項目", "R&D Project"},
    };
    QList<QVariantList> defs, items, groupNames;
    int order = 0;
    for (const QVariantList& g : groups) {
        defs << QVariantList{g[0], g[1], g[2]};
        items << QVariantList{g[0], g[1], g[2], ++order};
        groupNames << QVariantList{g[0], "zh-TW", g[3]} << QVariantList{g[0], "en-US", g[4]};
    }
    const QList<QVariantList> fields = {
        {"Customer", "cCusCode", "客户编码", "nvarchar", 1, "客戶編碼", "Customer Code"},
        {"Customer", "cCusName", "客户名称", "nvarchar", 2, "客戶名稱", "Customer Name"},
        {"Customer", "cCusAbbName", "客户简称", "nvarchar", 3, "客戶簡稱", "Customer Abbreviation"},
        {"Customer", "cCusDepart", "分管部门", "varchar", 4, "分管部門", "Department in Charge"},
        {"Customer", "dCusDevDate", "发展日期", "datetime", 5, "發展日期", "Development Date"},
        {"Customer", "iCusCreLine", "信用额度", "decimal", 6, "信用額度", "Credit Line"},
        {"Vendor", "cVenCode", "供应商编码", "nvarchar", 1, "供應商編碼", "Vendor Code"},
        {"Vendor", "cVenName", "供应商名称", "nvarchar", 2, "供應商名稱", "Vendor Name"},
        {"Vendor", "cVenAbbName", "供应商简称", "nvarchar", 3, "供應商簡稱", "Vendor Abbreviation"},
        {"Inventory", "cInvCode", "存货编码", "nvarchar", 1, "存貨編碼", "Inventory Code"},
        {"Inventory", "cInvName", "存货名称", "nvarchar", 2, "存貨名稱", "Inventory Name"},
        {"Inventory", "cInvStd", "规格型号", "varchar", 3, "規格型號", "Specification"},
        {"Inventory", "cComUnitCode", "计量单位", "nvarchar", 4, "計量單位", "Unit"},
        {"Inventory", "fGrossW", "毛重", "decimal", 5, "毛重", "Gross Weight"},
        {"Inventory", "dSDate", "启用日期", "datetime", 6, "啟用日期", "Start Date"},
        {"Inventory", "iSupplyDay", "供货天数", "int", 7, "供貨天數", "Supply Days"},
        {"Department", "cDepCode", "部门编码", "nvarchar", 1, "部門編碼", "Department Code"},
        {"Department", "cDepName", "部门名称", "nvarchar", 2, "部門名稱", "Department Name"},
        {"Person", "cPersonCode", "职员编码", "nvarchar", 1, "職員編碼", "Employee Code"},
        {"Person", "cPersonName", "职员名称", "nvarchar", 2, "職員名稱", "Employee Name"},
        {"Person", "cDepCode", "所属部门", "nvarchar", 3, "所屬部門", "Department"},
        {"Warehouse", "cWhCode", "仓库编码", "nvarchar", 1, "倉庫編碼", "Warehouse Code"},
        {"Warehouse", "cWhName", "仓库名称", "nvarchar", 2, "倉庫名稱", "Warehouse Name"},
        {"Warehouse", "cWhAddress", "仓库地址", "nvarchar", 3, "倉庫地址", "Warehouse Address"},
        {"SettleStyle", "cSSCode", "结算方式编码", "nvarchar", 1, "結算方式編碼", "Settlement Code"},
        {"SettleStyle", "cSSName", "结算方式名称", "nvarchar", 2, "結算方式名稱", "Settlement Name"},
        {"Crm_Contact", "cContactCode", "联系人编码", "nvarchar", 1, "聯絡人編碼", "Contact Code"},
        {"Crm_Contact", "cContactName", "联系人姓名", "nvarchar", 2, "聯絡人姓名", "Contact Name"},
    };
    // Project items: itype 3 text, 4 date, 5 integer, 8 number; bref 0 is not offered.
    const QList<QVariantList> structure = {
        {1, "01", "citemcode", "项目编号", 3, 1, 0}, {2, "01", "citemname", "项目名称", 3, 1, 0},
        {3, "01", "dEndDate", "结项日期", 4, 1, 0},  {4, "01", "iQuantity", "样机数量", 5, 1, 0},
        {5, "01", "fBudget", "预算金额", 8, 1, 0},   {6, "01", "cMemo", "备注", 3, 0, 0},
    };
    const QList<QVariantList> modes = {
        {"citemcode", "項目編號", "zh-TW"},  {"citemcode", "Project Code", "en-US"},
        {"citemname", "項目名稱", "zh-TW"},  {"citemname", "Project Name", "en-US"},
        {"dEndDate", "結項日期", "zh-TW"},   {"dEndDate", "Closing Date", "en-US"},
        {"iQuantity", "樣機數量", "zh-TW"},  {"iQuantity", "Prototypes", "en-US"},
        {"fBudget", "預算金額", "zh-TW"},    {"fBudget", "Budget", "en-US"},
    };
    QList<QVariantList> fieldDefs, fieldNames;
    for (const QVariantList& f : fields) {
        fieldDefs << f.mid(0, 5);
        fieldNames << QVariantList{f[0], f[1], "zh-TW", f[5]} << QVariantList{f[0], f[1], "en-US", f[6]};
    }
    return insertRows(db, "Rpt_GRPDef", {"TableName", "TableDefine", "SystemId"}, defs, error) &&
           insertRows(db, "Rpt_GRPDef_lang", {"TableName", "LocaleID", "TableDefine"}, groupNames,
                      error) &&
           insertRows(db, "Rpt_ItmDef_lang", {"TableName", "FieldName", "LocaleID", "FieldDef"},
                      fieldNames, error) &&
           insertRows(db, "Rpt_GRPDef_Item", {"TableName", "TableDefine", "SystemId", "iOrder"},
                      items, error) &&
           insertRows(db, "Rpt_ItmDef",
                      {"TableName", "FieldName", "FieldDef", "FieldType", "FieldID"}, fieldDefs,
                      error) &&
           insertRows(db, "fitemstructure",
                      {"i_id", "citem_class", "cfield_name", "ctext", "itype", "bref", "isubItem"},
                      structure, error) &&
           insertRows(db, "fitemstrumode", {"cfield_name", "ctext", "LocaleID"}, modes, error);
}

bool enumsAndLanguages(Database& db, QString* error) {
    const QString type = QStringLiteral("Q9.AA.ARCHIVE.ExtendDefineTable.Type");
    QList<QVariantList> enums;
    auto add = [&](const QString& code, int order, const QString& cn, const QString& tw,
                   const QString& en) {
        enums << QVariantList{type, code, cn, "zh-CN", order}
              << QVariantList{type, code, tw, "zh-TW", order}
              << QVariantList{type, code, en, "en-US", order};
    };
    add("H", 1, "表头", "表頭", "Header");
    add("B", 2, "表体", "表體", "Body");
    add("B,H", 3, "表体和表头", "表體和表頭", "Body and header");
    add("H,B", 4, "表头和表体", "表頭和表體", "Header and body");
    return insertRows(db, "AA_Enum", {"EnumType", "EnumCode", "enumname", "localeID", "iOrder"},
                      enums, error) &&
           insertRows(
               db, "q9langdefine", {"LangID", "LocaleID", "cLangName"},
               {{30, "zh-CN", "简体中文"}, {28, "zh-TW", "繁體中文"}, {0, "en-US", "English"}},
               error);
}

}  // namespace

bool fillArchives(Database& db, QString* error) {
    return archives(db, error) && referenceArchives(db, error) && reportDictionary(db, error) &&
           enumsAndLanguages(db, error);
}

bool fillMeta(Database& db, QString* error) {
    // Two user-defined references, their folder (no parent, so not listed), one whose column
    // setting lost its key (not offered) and one system reference.
    const QList<QVariantList> refs = {
        {"UR", "自定义参照", "<Ref cRefName='自定义参照'/>", 1, ""},
        {"UR0001", "研发阶段",
         "<Ref cRefName='研发阶段' cEntityKeyFld='cStageCode' cEntityNameFld='cStageName'>"
         "<RefSet bMultiSel='0' iRetStyle='3'/><DataSrc><DataGrid cUserDataSrcQrySelectPart="
         "'select cStageCode,cStageName from UR0001'/></DataSrc>"
         "<RefColSet cKey='UR0001_ColSet'/></Ref>",
         1, "UR"},
        {"UR0002", "客户等级",
         "<Ref cRefName='客户等级' cEntityKeyFld='cGradeCode' cEntityNameFld='cGradeName'>"
         "<RefSet bMultiSel='0' iRetStyle='3'/><DataSrc><DataGrid cUserDataSrcQrySelectPart="
         "'select cGradeCode,cGradeName from UR0002'/></DataSrc>"
         "<RefColSet cKey='UR0002_ColSet'/></Ref>",
         1, "UR"},
        {"UR0003", "停用区域", "<Ref cRefName='停用区域'><RefColSet/></Ref>", 1, "UR"},
        {"Department_Ref", "部门参照",
         "<Ref cRefName='部门参照'><RefColSet cKey='Department'/></Ref>", 0, ""},
    };
    const QList<QVariantList> columns = {
        {"UR0001_ColSet", "selcol", "选择", "", 400, 1, 0},
        {"UR0001_ColSet", "cStageCode", "阶段编码", "UR0001.cStageCode", 1200, 1, 1},
        {"UR0001_ColSet", "cStageName", "阶段名称", "", 2000, 1, 2},
        {"UR0001_ColSet", "cStageID", "PrimaryKey", "", 0, 0, 3},
        {"UR0002_ColSet", "cGradeCode", "等级编码", "", 1200, 1, 1},
        {"UR0002_ColSet", "cGradeName", "等级名称", "", 2000, 1, 2},
        {"Department", "cDepCode", "部门编码", "", 1200, 1, 1},
        {"Department", "cDepName", "部门名称", "", 2000, 1, 2},
    };
    const QList<QVariantList> refNames = {
        {"UR", "zh-TW", "自定義參照"},     {"UR", "en-US", "User-defined References"},
        {"UR0001", "zh-TW", "研發階段"},   {"UR0001", "en-US", "R&D Stage"},
        {"UR0002", "zh-TW", "客戶等級"},   {"UR0002", "en-US", "Customer Grade"},
        {"UR0003", "zh-TW", "停用區域"},   {"UR0003", "en-US", "Retired Region"},
        {"Department_Ref", "zh-TW", "部門參照"}, {"Department_Ref", "en-US", "Department Reference"},
    };
    const QList<QVariantList> captions = {
        {"UR0001_ColSet", "selcol", "zh-TW", "選擇"},       {"UR0001_ColSet", "selcol", "en-US", "Select"},
        {"UR0001_ColSet", "cStageCode", "zh-TW", "階段編碼"}, {"UR0001_ColSet", "cStageCode", "en-US", "Stage Code"},
        {"UR0001_ColSet", "cStageName", "zh-TW", "階段名稱"}, {"UR0001_ColSet", "cStageName", "en-US", "Stage Name"},
        {"UR0002_ColSet", "cGradeCode", "zh-TW", "等級編碼"}, {"UR0002_ColSet", "cGradeCode", "en-US", "Grade Code"},
        {"UR0002_ColSet", "cGradeName", "zh-TW", "等級名稱"}, {"UR0002_ColSet", "cGradeName", "en-US", "Grade Name"},
        {"Department", "cDepCode", "zh-TW", "部門編碼"},     {"Department", "cDepCode", "en-US", "Department Code"},
        {"Department", "cDepName", "zh-TW", "部門名稱"},     {"Department", "cDepName", "en-US", "Department Name"},
    };
    return insertRows(db, "refdesign_lang", {"cRefID", "LocaleID", "cRefName"}, refNames, error) &&
           insertRows(db, "AA_ColumnDic_lang", {"cKey", "cFld", "LocaleID", "cCaption"}, captions,
                      error) &&
           insertRows(db, "refdesign",
                      {"cRefID", "cRefName", "cRefMeta", "IsUserDefRef", "cParentRefid"}, refs,
                      error) &&
           insertRows(db, "AA_ColumnDic",
                      {"cKey", "cFld", "cCaption", "cQryField", "iColWidth", "bDisp", "iOrder"},
                      columns, error);
}

}  // namespace platform::db::demo
