// Statements of the item numbering, the editor, its checks, the extended tables, the data-source
// references and the delete check.
#include <gtest/gtest.h>

#include "itemdef/DataSourceRefs.h"
#include "itemdef/DeleteCheck.h"
#include "itemdef/EditorQueries.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemValidation.h"
#include "itemdef/Numbering.h"
#include "tests/statements/StatementCase.h"

namespace statements {

namespace {

// Whether an archive of the class has a row whose item holds a value.
StatementCase inUse(const char* name, const QString& cClass, const QString& cItem,
                    const char* keyField, int rows) {
    return {name, itemdef::inUseProbeSql(cClass, cItem), {keyField}, rowCount(rows)};
}

}  // namespace

std::vector<StatementCase> itemStatements() {
    using namespace itemdef;
    using Run = StatementCase::Run;
    using Db = StatementCase::Db;
    const QStringList projectColumns = {"FieldName", "TableName", "TableDef",
                                        "FieldDef",  "FieldType", "FieldID"};
    const QStringList menuColumns = {"cMenu_ID", "Caption", "Depends", "iOrder"};
    const QStringList subsystemColumns = {"csub_id", "csub_name", "cSupMenu_ID", "iorder"};
    const QStringList tableColumns = {"cSub_ID", "cTableName", "TableDesc"};
    return {
        // Numbering of a new extended item: label, id, column name and row version.
        {"Numbering_LabelOfClass", itemLabelSql("单据头"), {"max_int"}, column("max_int", {"4"})},
        {"Numbering_LabelOfEmptyClass", itemLabelSql("供应商"), {"max_int"}, nullRow()},
        {"Numbering_IdOfHeaderRange", itemIdSql(idRange(kHeader)), {"maxcid"},
         column("maxcid", {"1004"})},
        {"Numbering_IdOfContactRange", itemIdSql(idRange(kContact)), {"maxcid"},
         column("maxcid", {"6001"})},
        {"Numbering_IdOfUnusedRange", itemIdSql(IdRange{4000, 5000, 4001}), {"maxcid"}, nullRow()},
        {"Numbering_ColumnName", columnNameSql(columnPrefix(kHeader)), {"max_int", "pubzxts"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "max_int"), QStringList({"4"}));
             // The largest row version as money text: "<number>.0000".
             EXPECT_TRUE(values(rows, "pubzxts").value(0).trimmed().endsWith(".0000"));
         }},
        {"Numbering_ColumnNameOfFirstItem", columnNameSql(columnPrefix(kContact)),
         {"max_int", "pubzxts"}, nullRow(), Run::Open,
         {"delete from UserDef_Base where cDicDbName like 'cLDefine%'"}},
        {"Numbering_RowVersion", rowVersionSql(), {"pubzxts"},
         [](const host::RecordSet& rows) {
             EXPECT_FALSE(values(rows, "pubzxts").value(0).trimmed().isEmpty());
         }},

        // The editor's parent choices and names.
        {"Fill_ParentChoicesOfNewItem", parentListSql("单据头", QString(), true), {"cID", "cItemName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 20);
             EXPECT_EQ(valueWhere(rows, "cID", "2", "cItemName"), QStringLiteral("自定义项2"));
             EXPECT_EQ(valueWhere(rows, "cID", "6", "cItemName"), QStringLiteral("省份"));
         }},
        {"Fill_ParentChoicesOfExistingItem", parentListSql("单据头", "6", false),
         {"cID", "cItemName"},
         [](const host::RecordSet& rows) {
             const QStringList ids = values(rows, "cID");
             EXPECT_EQ(ids.size(), 18);  // the item itself and its child are left out
             EXPECT_FALSE(ids.contains("6") || ids.contains("7"));
         }},
        {"Fill_ParentName", parentNameSql("6"), {"cID", "cItemName"},
         column("cItemName", {QStringLiteral("省份")})},

        // Whether an archive's item is in use, per archive and item kind.
        inUse("InUse_Customer", "客户", "自定义项3", "Ccuscode", 1),
        inUse("InUse_CustomerUnused", "客户", "自定义项4", "Ccuscode", 0),
        inUse("InUse_Vendor", "供应商", "自定义项1", "CVencode", 1),
        inUse("InUse_Contact", "联系人", "自定义项2", "cContactCode", 1),
        inUse("InUse_BatchProperty", "批次属性", "属性1", "cInvcode", 1),
        inUse("InUse_BatchPropertyUnused", "批次属性", "属性2", "cInvcode", 0),
        inUse("InUse_Inventory", "存货", "自定义项1", "CInvcode", 1),
        inUse("InUse_InventoryFreeItem", "存货", "自由项2", "CInvcode", 1),
        inUse("InUse_InventoryFreeItemUnused", "存货", "自由项3", "CInvcode", 0),

        // The checks before a save.
        {"CheckValid_DefaultInReportArchive", DefaultValueSql("Person", "cPersonName", "林晓峰"),
         {"cPersonName"}, rowCount(1)},
        {"CheckValid_DefaultNotInReportArchive",
         DefaultValueSql("Person", "cPersonName", "不存在的人"), {"cPersonName"}, rowCount(0)},
        // ID int (4) + cHDefine1 nvarchar(30) (30) + cHDefine2 datetime (8).
        {"CheckValid_RowSize", RowSizeSql("SA_OrderHead_extradefine"), {"SumFieldSize"},
         column("SumFieldSize", {"42"})},
        {"CheckValid_RowSizeOfMissingTable", RowSizeSql("ST_TransferHead_extradefine"),
         {"SumFieldSize"}, nullRow()},

        // The extended item's table tree.
        {"TableTree_MenuGroups", MenuGroupsSql(), menuColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cMenu_ID"), QStringList({"AAAA", "GFI", "GSC", "MAG", "GHR"}));
             EXPECT_EQ(valueWhere(rows, "cMenu_ID", "GSC", "Caption"), QStringLiteral("供应链"));
         }},
        {"TableTree_MenuGroupsInEnglish", MenuGroupsSql(), menuColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "cMenu_ID", "AAAA", "Caption"), "Basic Settings");
         },
         Run::Open, {}, Db::Account, "en-US"},
        {"TableTree_Subsystems", SubsystemsSql("001", "ZxData_001"), subsystemColumns,
         [](const host::RecordSet& rows) {
             column("csub_id", {"AP", "AR", "BM", "CM", "GL", "IA", "PU", "QM", "SA", "ST"},
                    true)(rows);
             for (const auto& [sub, group] :
                  {std::pair{"SA", "GSC"}, {"QM", "GSC"}, {"CM", "AAAA"}, {"BM", "MAG"}})
                 EXPECT_EQ(valueWhere(rows, "csub_id", sub, "cSupMenu_ID"), group) << sub;
         }},
        {"TableTree_SubsystemsOfGroupAccount", SubsystemsSql("001", "ZxData_001"),
         subsystemColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "csub_id", "BM", "cSupMenu_ID"), QStringLiteral("GAG"));
         },
         Run::Open, {"update zxsystem..ua_account set ciscompanyver = 1 where cAcc_Id = '001'"}},
        {"TableTree_HeaderTables", ExtendTablesSql("H"), tableColumns,
         [](const host::RecordSet& rows) {
             const QStringList tables = values(rows, "cTableName");
             EXPECT_EQ(tables.size(), 14);
             EXPECT_TRUE(tables.contains("CM_Contract"));       // of both kinds
             EXPECT_FALSE(tables.contains("ST_TransferHead"));  // no such table
             EXPECT_EQ(valueWhere(rows, "cTableName", "PR_AdjustHead", "cSub_ID"), "SA,PU");
         }},
        {"TableTree_BodyTables", ExtendTablesSql("B"), tableColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 7);
             EXPECT_FALSE(values(rows, "cTableName").contains("SA_OrderBodyPlan"));  // a child
         }},
        {"TableTree_LinkedTables", LinkedTablesSql("1001"), {"tablename"}, rowCount(6)},
        {"TableTree_Groups", TableGroupsSql("H"), {"cTableName", "groupname"},
         column("cTableName", {"SA_DispatchHead", "SA_InvoiceHead"}, true)},

        // Whether an item may be deleted: its tables, their data, the rules on its column.
        {"CanDelete_TablesOfItem", DeleteCheckTablesSql("1004"),
         {"cTableName", "cPKName", "bDeleteIgnoreCheck", "cTableDesc", "cDicDbName"},
         [](const host::RecordSet& rows) {
             column("cTableName", {"AP_VouchHead", "AR_VouchHead", "IA_AdjustHead"}, true)(rows);
             EXPECT_EQ(valueWhere(rows, "cTableName", "IA_AdjustHead", "bDeleteIgnoreCheck"),
                       QStringLiteral("True"));
         }},
        {"CanDelete_DataInTable", ColumnDataSql("cHDefine4", "AP_VouchHead"), {"cHDefine4"},
         rowCount(1)},
        {"CanDelete_OnlyEmptyValues", ColumnDataSql("cIDefine1", "Inventory"), {"cIDefine1"},
         rowCount(0)},
        {"CanDelete_RulesOfColumn", ColumnRulesSql("cHDefine1"),
         {"cMakeVouchID", "cTableName", "cTargetTable"},
         [](const host::RecordSet& rows) {
             EXPECT_GE(rows.recordCount(), 2);
             EXPECT_TRUE(values(rows, "cMakeVouchID").contains(QStringLiteral("SA01")));
         }},

        // Data-source references.
        {"ArchiveList_ReportArchives", ReportArchivesFallbackSql(),
         {"TableName", "TableDefine", "SystemId"},
         column("TableName",
                {"Crm_Contact", "Customer", "Department", "Inventory", "Person", "SettleStyle",
                 "Vendor", "Warehouse"},
                true)},
        {"ArchiveList_UserDefinedReferences", UserDefinedReferencesSql(),
         {"cRefID", "cRefMeta", "cRefName"}, column("cRefID", {"UR0001", "UR0002", "UR0003"}, true),
         Run::Open, {}, Db::Meta},
        {"ArchiveFields_ProjectItems", ProjectItemFieldsSql("fitemss01"), projectColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 5);  // cMemo is not a reference field
             EXPECT_EQ(valueWhere(rows, "FieldName", "citemcode", "FieldDef"), "项目编号");
             EXPECT_EQ(valueWhere(rows, "FieldName", "fBudget", "FieldType"), "8");
         }},
        {"ArchiveFields_ProjectItemsInEnglish", ProjectItemFieldsSql("fitemss01"), projectColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "FieldName", "citemcode", "FieldDef"), "Project Code");
         },
         Run::Open, {}, Db::Account, "en-US"},
        {"ArchiveFields_ReportArchive", ReportArchiveFieldsSql("Customer"),
         {"TableName", "FieldName", "FieldDef", "FieldType", "FieldID"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 6);
             EXPECT_EQ(valueWhere(rows, "FieldName", "iCusCreLine", "FieldType"), "decimal");
         }},
    };
}

}  // namespace statements
