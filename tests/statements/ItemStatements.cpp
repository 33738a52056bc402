// Statements of the item record and numbering, the editor and its save, the extended tables,
// the data-source references and the value archive.
#include <gtest/gtest.h>

#include "itemdef/DataSourceRefs.h"
#include "itemdef/EditorQueries.h"
#include "itemdef/InUseProbe.h"
#include "itemdef/DeleteCheck.h"
#include "itemdef/ExtendTables.h"
#include "itemdef/ItemValidation.h"
#include "itemdef/ItemRecord.h"
#include "itemdef/Numbering.h"
#include "tests/statements/StatementCase.h"

namespace statements {

namespace {

QStringList sorted(QStringList list) {
    list.sort(Qt::CaseInsensitive);
    return list;
}

}  // namespace

std::vector<StatementCase> itemStatements() {
    using itemdef::kItemColumns;
    const QString kItemRead = kItemColumns + itemdef::kItemExtraColumns;
    const QStringList editorFields = fieldNames(kItemRead);
    const QStringList projectColumns = {"FieldName", "TableName", "TableDef",
                                        "FieldDef",  "FieldType", "FieldID"};
    std::vector<StatementCase> list = {
        // Numbering of a new extended item: label, id, column name and row version.
        {"Numbering_LabelOfClass",
         itemdef::itemLabelSql(QStringLiteral("单据头")),
         {"max_int"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "max_int"), QStringList({"4"}));
         }},
        {"Numbering_LabelOfEmptyClass",
         itemdef::itemLabelSql(QStringLiteral("供应商")),
         {"max_int"},
         [](const host::RecordSet& rows) {
             ASSERT_EQ(rows.recordCount(), 1);
             EXPECT_TRUE(rows.at(0, 0).isNull());
         }},
        {"Numbering_IdOfHeaderRange",
         itemdef::itemIdSql(itemdef::idRange(itemdef::kHeader)),
         {"maxcid"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "maxcid"), QStringList({"1004"}));
         }},
        {"Numbering_IdOfContactRange",
         itemdef::itemIdSql(itemdef::idRange(itemdef::kContact)),
         {"maxcid"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "maxcid"), QStringList({"6001"}));
         }},
        {"Numbering_IdOfUnusedRange",
         itemdef::itemIdSql(itemdef::IdRange{4000, 5000, 4001}),
         {"maxcid"},
         [](const host::RecordSet& rows) {
             ASSERT_EQ(rows.recordCount(), 1);
             EXPECT_TRUE(rows.at(0, 0).isNull());
         }},
        {"Numbering_ColumnName",
         itemdef::columnNameSql(itemdef::columnPrefix(itemdef::kHeader)),
         {"max_int", "pubzxts"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "max_int"), QStringList({"4"}));
             // The largest row version as money text: "<number>.0000".
             EXPECT_TRUE(values(rows, "pubzxts").value(0).trimmed().endsWith(".0000"));
         }},
        {"Numbering_ColumnNameOfFirstItem",
         itemdef::columnNameSql(itemdef::columnPrefix(itemdef::kContact)),
         {"max_int", "pubzxts"},
         [](const host::RecordSet& rows) {
             ASSERT_EQ(rows.recordCount(), 1);
             EXPECT_TRUE(rows.at(0, 0).isNull());
             EXPECT_TRUE(rows.at(0, 1).isNull());  // no row version either: read on its own
         },
         StatementCase::Run::Open,
         {QStringLiteral("delete from UserDef_Base where cDicDbName like 'cLDefine%'")}},
        {"Numbering_RowVersion",
         itemdef::rowVersionSql(),
         {"pubzxts"},
         [](const host::RecordSet& rows) {
             EXPECT_FALSE(values(rows, "pubzxts").value(0).trimmed().isEmpty());
         }},

        // The editor filling its fields.
        {"Fill_ParentChoicesOfNewItem",
         itemdef::parentListSql(QStringLiteral("单据头"), QString(), true),
         {"cID", "cItemName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 20);
             EXPECT_EQ(valueWhere(rows, "cID", "2", "cItemName"), QStringLiteral("自定义项2"));
             EXPECT_EQ(valueWhere(rows, "cID", "6", "cItemName"), QStringLiteral("省份"));
         }},
        {"Fill_ParentChoicesOfExistingItem",
         itemdef::parentListSql(QStringLiteral("单据头"), QStringLiteral("6"), false),
         {"cID", "cItemName"},
         [](const host::RecordSet& rows) {
             const QStringList ids = values(rows, "cID");
             EXPECT_EQ(ids.size(), 18);  // the item itself and its child are left out
             EXPECT_FALSE(ids.contains("6"));
             EXPECT_FALSE(ids.contains("7"));
         }},
        {"Fill_NamesByLanguage",
         "select * from userdef_lang where cid='1'",
         {"cid", "LocaleID", "cItemName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "LocaleID", "zh-CN", "cItemName"),
                       QStringLiteral("合同号"));
             EXPECT_EQ(valueWhere(rows, "LocaleID", "zh-TW", "cItemName"),
                       QStringLiteral("合同號"));
             EXPECT_EQ(valueWhere(rows, "LocaleID", "en-US", "cItemName"),
                       QStringLiteral("Contract No."));
         }},
        {"Fill_ParentName",
         itemdef::parentNameSql(QStringLiteral("6")),
         {"cID", "cItemName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cItemName"), QStringList({QStringLiteral("省份")}));
         }},
        {"InUse_Customer",
         itemdef::inUseProbeSql(QStringLiteral("客户"), QStringLiteral("自定义项3")),
         {"Ccuscode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"InUse_CustomerUnused",
         itemdef::inUseProbeSql(QStringLiteral("客户"), QStringLiteral("自定义项4")),
         {"Ccuscode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"InUse_Vendor",
         itemdef::inUseProbeSql(QStringLiteral("供应商"), QStringLiteral("自定义项1")),
         {"CVencode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"InUse_Contact",
         itemdef::inUseProbeSql(QStringLiteral("联系人"), QStringLiteral("自定义项2")),
         {"cContactCode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"InUse_BatchProperty",
         itemdef::inUseProbeSql(QStringLiteral("批次属性"), QStringLiteral("属性1")),
         {"cInvcode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"InUse_BatchPropertyUnused",
         itemdef::inUseProbeSql(QStringLiteral("批次属性"), QStringLiteral("属性2")),
         {"cInvcode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"InUse_Inventory",
         itemdef::inUseProbeSql(QStringLiteral("存货"), QStringLiteral("自定义项1")),
         {"CInvcode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"InUse_InventoryFreeItem",
         itemdef::inUseProbeSql(QStringLiteral("存货"), QStringLiteral("自由项2")),
         {"CInvcode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"InUse_InventoryFreeItemUnused",
         itemdef::inUseProbeSql(QStringLiteral("存货"), QStringLiteral("自由项3")),
         {"CInvcode"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"Fill_InputLimits",
         "select " + kItemRead + " from Userdef where 1=2",
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.field(rows.fieldIndex("cItemName")).definedSize, 60);
         }},
        {"Fill_InstalledLanguages",
         "select * from q9langdefine",
         {"LangID", "LocaleID", "cLangName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "LangID")), QStringList({"0", "28", "30"}));
         }},

        // Validation and save.
        {"CheckValid_DefaultInReportArchive",
         "select top 1 cPersonName from Person where cPersonName='林晓峰'",
         {"cPersonName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"CheckValid_DefaultNotInReportArchive",
         "select top 1 cPersonName from Person where cPersonName='不存在的人'",
         {"cPersonName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"CheckValid_DefaultInReference",
         "select top 1 cStageName from [UR0001] where cStageName='立项'",
         {"cStageName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"CheckValid_RowSize",
         " SELECT SUM(CASE xtype WHEN '231' then length/2 ELSE length END ) as SumFieldSize from "
         "syscolumns  where id = OBJECT_ID(N'SA_OrderHead_extradefine') ",
         {"SumFieldSize"},
         [](const host::RecordSet& rows) {
             // ID int (4) + cHDefine1 nvarchar(30) (30) + cHDefine2 datetime (8).
             EXPECT_EQ(values(rows, "SumFieldSize"), QStringList({"42"}));
         }},
        {"CheckValid_RowSizeOfMissingTable",
         " SELECT SUM(CASE xtype WHEN '231' then length/2 ELSE length END ) as SumFieldSize from "
         "syscolumns  where id = OBJECT_ID(N'ST_TransferHead_extradefine') ",
         {"SumFieldSize"},
         [](const host::RecordSet& rows) {
             ASSERT_EQ(rows.recordCount(), 1);
             EXPECT_TRUE(rows.at(0, 0).isNull());
         }},
        {"CheckValid_DefaultValueAsSent",
         itemdef::DefaultValueSql(QStringLiteral("Person"), QStringLiteral("cPersonName"),
                                  QStringLiteral("林晓峰")),
         {"cPersonName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"CheckValid_RowSizeAsSent",
         itemdef::RowSizeSql(QStringLiteral("SA_OrderHead_extradefine")),
         {"SumFieldSize"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "SumFieldSize"), QStringList({"42"}));
         }},
        {"AfterSave_ReReadItems",
         "SELECT " + kItemRead + " FROM Userdef WHERE cClass='" +
             QStringLiteral("客户") + "'ORDER BY cClass ,CAST(cid as int) ASC,cItem ASC ",
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 18);
             EXPECT_EQ(values(rows, "cId").last(), QStringLiteral("5002"));
         }},
        {"EditorArchive_NamedItems",
         "select " + kItemColumns + ",cItemLang from userdef where cItemName<>'' and cClass='" +
             QStringLiteral("存货") + "' order by cClass ,cast(cid as int) asc,cItem ASC ",
         fieldNames(kItemColumns) + QStringList{"cItemLang"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cId"), QStringList({"80", "100", "101", "3001"}));
         }},

        // The extended item's table tree.
        {"TableTree_MenuGroups",
         itemdef::MenuGroupsSql(),
         {"cMenu_ID", "Caption", "Depends", "iOrder"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cMenu_ID"), QStringList({"AAAA", "GFI", "GSC", "MAG", "GHR"}));
             EXPECT_EQ(valueWhere(rows, "cMenu_ID", "GSC", "Caption"), QStringLiteral("供应链"));
         }},
        {"TableTree_MenuGroupsInEnglish",
         itemdef::MenuGroupsSql(),
         {"cMenu_ID", "Caption", "Depends", "iOrder"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "cMenu_ID", "AAAA", "Caption"),
                       QStringLiteral("Basic Settings"));
         },
         StatementCase::Run::Open,
         {},
         StatementCase::Db::Account,
         "en-US"},
        {"TableTree_Subsystems",
         itemdef::SubsystemsSql("001", "ZxData_001"),
         {"csub_id", "csub_name", "cSupMenu_ID", "iorder"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "csub_id")),
                       QStringList({"AP", "AR", "BM", "CM", "GL", "IA", "PU", "QM", "SA", "ST"}));
             EXPECT_EQ(valueWhere(rows, "csub_id", "SA", "cSupMenu_ID"), QStringLiteral("GSC"));
             EXPECT_EQ(valueWhere(rows, "csub_id", "QM", "cSupMenu_ID"), QStringLiteral("GSC"));
             EXPECT_EQ(valueWhere(rows, "csub_id", "CM", "cSupMenu_ID"), QStringLiteral("AAAA"));
             EXPECT_EQ(valueWhere(rows, "csub_id", "BM", "cSupMenu_ID"), QStringLiteral("MAG"));
         }},
        {"TableTree_SubsystemsOfGroupAccount",
         itemdef::SubsystemsSql("001", "ZxData_001"),
         {"csub_id", "csub_name", "cSupMenu_ID", "iorder"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "csub_id", "BM", "cSupMenu_ID"), QStringLiteral("GAG"));
         },
         StatementCase::Run::Open,
         {QStringLiteral("update zxsystem..ua_account set ciscompanyver = 1 where cAcc_Id = '001'")}},
        {"TableTree_HeaderTables",
         itemdef::ExtendTablesSql("H"),
         {"cSub_ID", "cTableName", "TableDesc"},
         [](const host::RecordSet& rows) {
             const QStringList tables = values(rows, "cTableName");
             EXPECT_EQ(tables.size(), 14);
             EXPECT_TRUE(tables.contains("CM_Contract"));       // of both kinds
             EXPECT_FALSE(tables.contains("ST_TransferHead"));  // no such table
             EXPECT_EQ(valueWhere(rows, "cTableName", "PR_AdjustHead", "cSub_ID"),
                       QStringLiteral("SA,PU"));
         }},
        {"TableTree_BodyTables",
         itemdef::ExtendTablesSql("B"),
         {"cSub_ID", "cTableName", "TableDesc"},
         [](const host::RecordSet& rows) {
             const QStringList tables = values(rows, "cTableName");
             EXPECT_EQ(tables.size(), 7);
             EXPECT_FALSE(tables.contains("SA_OrderBodyPlan"));  // has a parent table
         }},
        {"TableTree_LinkedTables",
         itemdef::LinkedTablesSql(QStringLiteral("1001")),
         {"tablename"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 6); }},
        {"TableTree_Groups",
         itemdef::TableGroupsSql(QStringLiteral("H")),
         {"cTableName", "groupname"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cTableName")),
                       QStringList({"SA_DispatchHead", "SA_InvoiceHead"}));
         }},
        {"CanDelete_TablesOfItem",
         itemdef::DeleteCheckTablesSql(QStringLiteral("1004")),
         {"cTableName", "cPKName", "bDeleteIgnoreCheck", "cTableDesc", "cDicDbName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cTableName")),
                       QStringList({"AP_VouchHead", "AR_VouchHead", "IA_AdjustHead"}));
             EXPECT_EQ(valueWhere(rows, "cTableName", "IA_AdjustHead", "bDeleteIgnoreCheck"),
                       QStringLiteral("True"));
         }},
        {"CanDelete_DataInTable",
         itemdef::ColumnDataSql(QStringLiteral("cHDefine4"), QStringLiteral("AP_VouchHead")),
         {"cHDefine4"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 1); }},
        {"CanDelete_OnlyEmptyValues",
         itemdef::ColumnDataSql(QStringLiteral("cIDefine1"), QStringLiteral("Inventory")),
         {"cIDefine1"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},

        {"CanDelete_RulesOfColumn",
         itemdef::ColumnRulesSql(QStringLiteral("cHDefine1")),
         {"cMakeVouchID", "cTableName", "cTargetTable"},
         [](const host::RecordSet& rows) {
             EXPECT_GE(rows.recordCount(), 2);
             EXPECT_TRUE(values(rows, "cMakeVouchID").contains(QStringLiteral("SA01")));
         }},

        // Data-source references.
        {"ArchiveList_ReportArchives",
         itemdef::ReportArchivesFallbackSql(),
         {"TableName", "TableDefine", "SystemId"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "TableName")),
                       QStringList({"Crm_Contact", "Customer", "Department", "Inventory", "Person",
                                    "SettleStyle", "Vendor", "Warehouse"}));
         }},
        {"ArchiveList_UserDefinedReferences",
         itemdef::UserDefinedReferencesSql(),
         {"cRefID", "cRefMeta", "cRefName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cRefID")), QStringList({"UR0001", "UR0002", "UR0003"}));
         },
         StatementCase::Run::Open,
         {},
         StatementCase::Db::Meta},
        {"ArchiveFields_ProjectItems", itemdef::ProjectItemFieldsSql(QStringLiteral("fitemss01")), projectColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 5);  // cMemo is not a reference field
             EXPECT_EQ(valueWhere(rows, "FieldName", "citemcode", "FieldDef"),
                       QStringLiteral("项目编号"));
             EXPECT_EQ(valueWhere(rows, "FieldName", "fBudget", "FieldType"), QStringLiteral("8"));
         }},
        {"ArchiveFields_ProjectItemsInEnglish",
         itemdef::ProjectItemFieldsSql(QStringLiteral("fitemss01")),
         projectColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "FieldName", "citemcode", "FieldDef"),
                       QStringLiteral("Project Code"));
         },
         StatementCase::Run::Open,
         {},
         StatementCase::Db::Account,
         "en-US"},
        {"ArchiveFields_ReportArchive",
         itemdef::ReportArchiveFieldsSql(QStringLiteral("Customer")),
         {"TableName", "FieldName", "FieldDef", "FieldType", "FieldID"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 6);
             EXPECT_EQ(valueWhere(rows, "FieldName", "iCusCreLine", "FieldType"),
                       QStringLiteral("decimal"));
         }},

        // The value archive.
        {"Values_InputLimits", "select " + kValueFields + " from Userdefine where 1=2",
         fieldNames(kValueFields),
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 0);
             EXPECT_EQ(rows.field(rows.fieldIndex("Cvalue")).definedSize, 120);
             EXPECT_EQ(rows.field(rows.fieldIndex("bFreeStop")).type, host::FieldType::Boolean);
         }},
        {"Values_OfItemInEntryOrder",
         "select " + kValueFields + " from userdefine where cId='20' order by pubzxts",
         fieldNames(kValueFields),
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "Cvalue"),
                       QStringList({QStringLiteral("红色"), QStringLiteral("蓝色"),
                                    QStringLiteral("墨绿"), QStringLiteral("白色")}));
             EXPECT_EQ(values(rows, "bFreeStop"), QStringList({"False", "False", "True", "False"}));
         }},
        {"Values_WithParents",
         "select " + kValueFields + " from userdefine where cId='7' order by pubzxts",
         fieldNames(kValueFields),
         [](const host::RecordSet& rows) {
             EXPECT_EQ(valueWhere(rows, "Cvalue", QStringLiteral("苏州"), "cParentValue"),
                       QStringLiteral("江苏"));
         }},
        {"Values_RelatedArchive",
         "select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from Rpt_GRPDef_Item "
         "Left "
         "Join Rpt_ItmDef On Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where "
         "Rpt_GRPDef_Item.TableName='Warehouse' and FieldName='cWhName'",
         {"TableName", "TableDefine", "FieldName", "FieldDef"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "TableDefine"), QStringList({QStringLiteral("仓库档案")}));
             EXPECT_EQ(values(rows, "FieldDef"), QStringList({QStringLiteral("仓库名称")}));
         }},
    };
    return list;
}

}  // namespace statements
