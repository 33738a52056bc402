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
    const QList<QVariantList> groups = {
        {"Customer", "客户档案", "AS"},    {"Vendor", "供应商档案", "AS"},
        {"Inventory", "存货档案", "AS"},   {"Department", "部门档案", "AS"},
        {"Person", "职员档案", "AS"},      {"Warehouse", "仓库档案", "AS"},
        {"SettleStyle", "结算方式", "AS"}, {"Crm_Contact", "联系人档案", "AS"},
        {"fitemss01", "研发项目", "AS"},
    };
    QList<QVariantList> items;
    int order = 0;
    for (const QVariantList& g : groups) items << QVariantList{g[0], g[1], g[2], ++order};
    const QList<QVariantList> fields = {
        {"Customer", "cCusCode", "客户编码", "nvarchar", 1},
        {"Customer", "cCusName", "客户名称", "nvarchar", 2},
        {"Customer", "cCusAbbName", "客户简称", "nvarchar", 3},
        {"Customer", "cCusDepart", "分管部门", "varchar", 4},
        {"Customer", "dCusDevDate", "发展日期", "datetime", 5},
        {"Customer", "iCusCreLine", "信用额度", "decimal", 6},
        {"Vendor", "cVenCode", "供应商编码", "nvarchar", 1},
        {"Vendor", "cVenName", "供应商名称", "nvarchar", 2},
        {"Vendor", "cVenAbbName", "供应商简称", "nvarchar", 3},
        {"Inventory", "cInvCode", "存货编码", "nvarchar", 1},
        {"Inventory", "cInvName", "存货名称", "nvarchar", 2},
        {"Inventory", "cInvStd", "规格型号", "varchar", 3},
        {"Inventory", "cComUnitCode", "计量单位", "nvarchar", 4},
        {"Inventory", "fGrossW", "毛重", "decimal", 5},
        {"Inventory", "dSDate", "启用日期", "datetime", 6},
        {"Inventory", "iSupplyDay", "供货天数", "int", 7},
        {"Department", "cDepCode", "部门编码", "nvarchar", 1},
        {"Department", "cDepName", "部门名称", "nvarchar", 2},
        {"Person", "cPersonCode", "职员编码", "nvarchar", 1},
        {"Person", "cPersonName", "职员名称", "nvarchar", 2},
        {"Person", "cDepCode", "所属部门", "nvarchar", 3},
        {"Warehouse", "cWhCode", "仓库编码", "nvarchar", 1},
        {"Warehouse", "cWhName", "仓库名称", "nvarchar", 2},
        {"Warehouse", "cWhAddress", "仓库地址", "nvarchar", 3},
        {"SettleStyle", "cSSCode", "结算方式编码", "nvarchar", 1},
        {"SettleStyle", "cSSName", "结算方式名称", "nvarchar", 2},
        {"Crm_Contact", "cContactCode", "联系人编码", "nvarchar", 1},
        {"Crm_Contact", "cContactName", "联系人姓名", "nvarchar", 2},
    };
    // Project items: itype 3 text, 4 date, 5 integer, 8 number; bref 0 is not offered.
    const QList<QVariantList> structure = {
        {1, "01", "citemcode", "项目编号", 3, 1, 0}, {2, "01", "citemname", "项目名称", 3, 1, 0},
        {3, "01", "dEndDate", "结项日期", 4, 1, 0},  {4, "01", "iQuantity", "样机数量", 5, 1, 0},
        {5, "01", "fBudget", "预算金额", 8, 1, 0},   {6, "01", "cMemo", "备注", 3, 0, 0},
    };
    const QList<QVariantList> modes = {
        {"citemcode", "項目編號", "zh-TW"},
        {"citemcode", "Project Code", "en-US"},
        {"citemname", "項目名稱", "zh-TW"},
        {"citemname", "Project Name", "en-US"},
    };
    return insertRows(db, "Rpt_GRPDef", {"TableName", "TableDefine", "SystemId"}, groups, error) &&
           insertRows(db, "Rpt_GRPDef_Item", {"TableName", "TableDefine", "SystemId", "iOrder"},
                      items, error) &&
           insertRows(db, "Rpt_ItmDef",
                      {"TableName", "FieldName", "FieldDef", "FieldType", "FieldID"}, fields,
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
    return insertRows(db, "refdesign",
                      {"cRefID", "cRefName", "cRefMeta", "IsUserDefRef", "cParentRefid"}, refs,
                      error) &&
           insertRows(db, "AA_ColumnDic",
                      {"cKey", "cFld", "cCaption", "cQryField", "iColWidth", "bDisp", "iOrder"},
                      columns, error);
}

}  // namespace platform::db::demo
