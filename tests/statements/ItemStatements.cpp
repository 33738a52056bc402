// Statements of the item editor: parent choices, in-use probes, the extended table tree in the
// cases its window tests do not reach, the delete check and the data-source fields.
#include <gtest/gtest.h>

#include "itemdef/DataSourceRefs.h"
#include "itemdef/DeleteCheck.h"
#include "itemdef/EditorQueries.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/ItemValidation.h"
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
    return {
        // The editor's parent choices.
        {"Fill_ParentChoicesOfNewItem", parentListSql("单据头", QString(), true), {"cID", "cItemName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 20);
             EXPECT_EQ(valueWhere(rows, "cID", "2", "cItemName"), QStringLiteral("自定义项2"));
             EXPECT_EQ(valueWhere(rows, "cID", "6", "cItemName"), QStringLiteral("省份"));
         }},

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

        // The extended item's table tree.
        {"TableTree_MenuGroupsInEnglish", MenuGroupsSql(), menuColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "cMenu_ID", "AAAA", "Caption"), "Basic Settings");
         },
         Run::Open, {}, Db::Account, "en-US"},
        {"TableTree_SubsystemsOfGroupAccount", SubsystemsSql("001", "ZxData_001"),
         subsystemColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "csub_id", "BM", "cSupMenu_ID"), QStringLiteral("GAG"));
         },
         Run::Open, {"update zxsystem..ua_account set ciscompanyver = 1 where cAcc_Id = '001'"}},

        // Whether an item may be deleted: its tables, their data, the rules on its column.
        {"CanDelete_DataInTable", ColumnDataSql("cHDefine4", {"AP_VouchHead"}), {"iTable"},
         rowCount(1)},
        {"CanDelete_OnlyEmptyValues", ColumnDataSql("cIDefine1", {"Inventory"}), {"iTable"},
         rowCount(0)},
        {"CanDelete_CompanionsExist", CompanionExistsSql({"SA_OrderHead", "NoSuchTable"}),
         {"id0", "id1"},
         [](const host::RecordSet& rows) {
             ASSERT_EQ(rows.recordCount(), 1);
             EXPECT_FALSE(rows.textAt(0, 0).isEmpty());
             EXPECT_TRUE(rows.textAt(0, 1).isEmpty());
         }},
        {"RowSize_OfEachCompanion", RowSizeSql({"NoSuchTable_extradefine", "SA_OrderHead_extradefine"}),
         {"iTable", "SumFieldSize"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "iTable", "0", "SumFieldSize"), QString());
             EXPECT_GT(valueWhere(rows, "iTable", "1", "SumFieldSize").toInt(), 0);
         }},
        {"CanDelete_RulesOfColumn", ColumnRulesSql("cHDefine1"),
         {"cMakeVouchID", "cTableName", "cTargetTable"},
         [](const host::RecordSet& rows) {
             EXPECT_GE(rows.recordCount(), 2);
             EXPECT_TRUE(values(rows, "cMakeVouchID").contains(QStringLiteral("SA01")));
         }},

        // Data-source references.
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
