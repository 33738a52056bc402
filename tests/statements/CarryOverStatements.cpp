// Statements of the carry-over model, the rule list, the rule editor and the batch setting.
#include <gtest/gtest.h>

#include "carryover/CarryOverSql.h"
#include "tests/statements/StatementCase.h"

namespace statements {

namespace {

QStringList sorted(QStringList list) {
    list.sort(Qt::CaseInsensitive);
    return list;
}

using namespace carryover;

const QStringList kRuleColumns = {
    "cMakeVouchID",     "cTableName",   "cTableNameDesc",   "cTargetTable",
    "cTargetTableDesc", "cextendfield", "cextendfieldDesc", "ctargetfield",
    "ctargetfieldDesc", "ctype",        "btrans",           "cdesc",
    "cSub_id",          "guid"};
const QStringList kRulesOfLetterColumns = {
    "cMakeVouchID", "cSub_id", "ctype", "cextendfield", "ctargetfield", "cTableName",
    "cTargetTable", "btrans",  "cdesc", "GUID",         "TableDesc",    "TableDesc"};

// The rule editor's table choosers: the look-up runs select, where and order.
QString chooser(const QString& where, const QString& order) {
    return ChooserSelectSql() + "WHERE " + where + " " + order;
}
const QStringList kChooserColumns = {"ctype",      "enumname", "ctabledesc",
                                     "ctablename", "csub_id",  "csubfullname"};

// The batch window's table choosers: one nested statement and its order.
QString batchChooser(bool target) {
    return BatchChooserSelectSql(target) + BatchChooserOrder(target);
}

const QStringList kPairColumns = {"Chanaged",     "cMakeVouchID",     "cTableName", "TableDesc",
                                  "cTargetTable", "cTargetTableDesc", "cdesc",      "cSub_ID"};

}  // namespace

std::vector<StatementCase> carryOverStatements() {
    const QStringList itemColumns = {"cItemName", "btrans", "cdesc", "cDicDbName", "guid"};
    return {
        // Rule editor: choosing the tables and listing the items they share.
        {"RuleEditor_SourceTables", chooser(SourceTableCondition(), "Order by ctype DESC,ctabledesc"),
         kChooserColumns,
         [](const host::RecordSet& rows) {
             const QStringList types = values(rows, "ctype");
             EXPECT_EQ(rows.recordCount(), 10);
             EXPECT_EQ(types.first(), QStringLiteral("H"));
             EXPECT_EQ(types.last(), QStringLiteral("B"));
             EXPECT_EQ(valueWhere(rows, "ctablename", "SA_OrderHead", "enumname"),
                       QStringLiteral("表头"));
             EXPECT_TRUE(valueWhere(rows, "ctablename", "PR_AdjustHead", "csubfullname")
                             .contains(QStringLiteral("销售管理")));
         }},
        {"RuleEditor_TargetTablesOnOpening",
         chooser(TargetTableConditionOnOpening(), "Order by ctype DESC,ctabledesc "),
         kChooserColumns, [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 23); }},
        {"RuleEditor_TargetTablesOfHeaderSource",
         chooser(TargetTableCondition("H", "SA_OrderHead"),
                 "Order by ctype DESC,ctabledesc"),
         kChooserColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "ctablename"), QStringList({"SA_DispatchHead"}));
         }},
        {"RuleEditor_TargetTablesOfSourceOfBothKinds",
         chooser(TargetTableCondition("B,H", "CM_Contract"),
                 "Order by ctype DESC,ctabledesc"),
         kChooserColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "ctablename"), QStringList({"SA_OrderHead", "SA_OrderBody"}));
         }},
        {"RuleEditor_SharedHeaderItems",
         SharedItemsSql("H", "SA_OrderHead", "SA_DispatchHead"),
         itemColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"), QStringList({"cHDefine1", "cHDefine2"}));
             EXPECT_EQ(values(rows, "cItemName").value(0), QStringLiteral("项目编号"));
         }},
        {"RuleEditor_SharedItemsOfBothKinds",
         SharedItemsSql("B,H", "CM_Contract", "SA_OrderHead"),
         itemColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"), QStringList({"cHDefine1"}));
         }},
        {"RuleEditor_FieldPairBatch",
         FieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine1"),
         {},
         {},
         StatementCase::Run::Execute,
         // Run twice: the second run drops the table the first one made.
         {FieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine2")}},
        {"RuleEditor_FieldPairJoin",
         FieldPairJoinSql(),
         {"cMakeVouchID", "cSub_id", "cType", "cextendfield", "cextendfield", "ctablename",
          "ctablename", "1", "cDesc"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cMakeVouchID"), QStringList({"SA01"}));
             EXPECT_EQ(values(rows, "cDesc"), QStringList({QStringLiteral("销售订单生成发货单")}));
         },
         StatementCase::Run::Open,
         {FieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine1")}},

        // Rule list.
        {"RuleList_Columns", RuleListColumnsSql(), kRuleColumns,
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"RuleList_CarryingRules",
         RuleListSql(),
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 7);  // rules with btrans 0 are not listed
             EXPECT_EQ(values(rows, "cTableName").first(), QStringLiteral("CM_Contract"));
             EXPECT_EQ(
                 valueWhere(rows, "guid", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001", "cTableNameDesc"),
                 QStringLiteral("销售订单主表"));
             EXPECT_EQ(valueWhere(rows, "guid", "3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001",
                                  "cextendfieldDesc"),
                       QStringLiteral("项目编号"));
         }},
        {"RuleList_Filtered",
         RuleListSql("ctablename='SA_DispatchHead'"),  // written against the list's column
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cextendfield")),
                       QStringList({"cHDefine1", "cHDefine3"}));
         }},
        {"RuleList_RulesOfPair",
         RulesOfPairSql("SA_OrderHead", "SA_DispatchHead"),
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "btrans")), QStringList({"False", "True"}));
         }},
        {"BatchPrint_Columns",
         BatchPrintColumnsSql(),
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 0);
             EXPECT_EQ(rows.field(rows.fieldIndex("btrans")).type, host::FieldType::Boolean);
         }},

        // Batch setting.
        {"Batch_SourceTables",
         batchChooser(false),
         {"ctype", "enumname", "tabledesc", "ctablename", "csub_id", "csubfullname"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 10); }},
        {"Batch_TargetTables",
         batchChooser(true),
         {"ctype", "enumname", "tabledesc", "ctablename", "csub_id", "csubfullname"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 11); }},
        {"Batch_HeaderItemColumns",
         ItemColumnsSql(kHeaderLetter),
         {"cID", "cDicDbName", "cItemLang"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"),
                       QStringList({"cHDefine1", "cHDefine2", "cHDefine3", "cHDefine4"}));
             EXPECT_EQ(values(rows, "cItemLang").first(), QStringLiteral("Project No."));
         },
         StatementCase::Run::Open,
         {},
         StatementCase::Db::Account,
         "en-US"},
        {"Batch_BodyItemColumns",
         ItemColumnsSql(kBodyLetter),
         {"cID", "cDicDbName", "cItemLang"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cID"), QStringList({"2001", "2002", "2003", "2004"}));
         }},
        {"Batch_HeaderPairs", PairRowsSql("H"), kPairColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cTableName"),
                       QStringList({"CM_Contract", "PR_AdjustHead", "PU_ArrivalHead",
                                    "PU_OrderHead", "SA_DispatchHead", "SA_OrderHead"}));
             EXPECT_EQ(values(rows, "cTargetTable").last(), QStringLiteral("SA_DispatchHead"));
         }},
        {"Batch_BodyPairs", PairRowsSql("B"), kPairColumns,
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 5); }},
        {"Batch_HeaderPairsFiltered",
         PairRowsSql("H", QStringLiteral(" 发货单 ")), kPairColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cTargetTable"), QStringList({"SA_InvoiceHead"}));
         }},
        {"Batch_HeaderRules", RulesOfLetterSql("H"), kRulesOfLetterColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 4);  // the rule written for "B,H" is not a header rule
             EXPECT_EQ(valueWhere(rows, "cextendfield", "cHDefine2", "btrans"),
                       QStringLiteral("False"));
         }},
        {"Batch_BodyRulesFiltered",
         RulesOfLetterSql("B", QStringLiteral("到货单"), QStringLiteral("入库")),
         kRulesOfLetterColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cextendfield")),
                       QStringList({"cBDefine2", "cBDefine4"}));
         }},
        {"Batch_HeaderLinks",
         ItemLinksSql(kHeaderLetter),
         {"TableName", "cDicDbName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 14); }},
        {"Batch_BodyLinks",
         ItemLinksSql(kBodyLetter),
         {"TableName", "cDicDbName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 11); }},
    };
}

}  // namespace statements
