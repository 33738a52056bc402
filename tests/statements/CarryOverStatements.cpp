// Statements of the rule editor, the rule list and the batch setting.
#include <gtest/gtest.h>

#include "carryover/CarryOverSql.h"
#include "tests/statements/StatementCase.h"

namespace statements {

std::vector<StatementCase> carryOverStatements() {
    using namespace carryover;
    using Run = StatementCase::Run;
    const QStringList ruleColumns = fieldNames(
        "cMakeVouchID,cTableName,cTableNameDesc,cTargetTable,cTargetTableDesc,cextendfield,"
        "cextendfieldDesc,ctargetfield,ctargetfieldDesc,ctype,btrans,cdesc,cSub_id,guid");
    const QStringList rulesOfLetterColumns = fieldNames(
        "cMakeVouchID,cSub_id,ctype,cextendfield,ctargetfield,cTableName,cTargetTable,btrans,"
        "cdesc,GUID,TableDesc,TableDesc");
    const QStringList chooserColumns =
        fieldNames("ctype,enumname,ctabledesc,ctablename,csub_id,csubfullname");
    const QStringList batchChooserColumns =
        fieldNames("ctype,enumname,tabledesc,ctablename,csub_id,csubfullname");
    const QStringList pairColumns = fieldNames(
        "Chanaged,cMakeVouchID,cTableName,TableDesc,cTargetTable,cTargetTableDesc,cdesc,cSub_ID");
    // The rule editor's target chooser as its look-up runs it: select, where, order.
    const auto targets = [](const QString& where) {
        return ChooserSelectSql() + "WHERE " + where + " Order by ctype DESC,ctabledesc";
    };
    const QString orderToDispatch = FieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine1");
    return {
        // Rule editor: choosing the tables.
        {"RuleEditor_SourceTables", SourceTablesSql(), chooserColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 10);
             EXPECT_EQ(values(rows, "ctype").first(), QStringLiteral("H"));
             EXPECT_EQ(values(rows, "ctype").last(), QStringLiteral("B"));
             EXPECT_EQ(valueWhere(rows, "ctablename", "SA_OrderHead", "enumname"), "表头");
             EXPECT_TRUE(valueWhere(rows, "ctablename", "PR_AdjustHead", "csubfullname")
                             .contains(QStringLiteral("销售管理")));
         }},
        {"RuleEditor_TargetTablesOnOpening", targets(TargetTableConditionOnOpening()),
         chooserColumns, rowCount(23)},
        // Run twice: the second run drops the table the first one made.
        {"RuleEditor_FieldPairBatch", orderToDispatch, {}, {}, Run::Execute,
         {FieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine2")}},
        {"RuleEditor_FieldPairJoin", FieldPairJoinSql(),
         {"cMakeVouchID", "cSub_id", "cType", "cextendfield", "cextendfield", "ctablename",
          "ctablename", "1", "cDesc"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cMakeVouchID"), QStringList({"SA01"}));
             EXPECT_EQ(values(rows, "cDesc"), QStringList({QStringLiteral("销售订单生成发货单")}));
         },
         Run::Open, {orderToDispatch}},

        // Rule list.
        {"RuleList_Columns", RuleListColumnsSql(), ruleColumns, rowCount(0)},
        {"RuleList_CarryingRules", RuleListSql(), ruleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 7);  // rules with btrans 0 are not listed
             EXPECT_EQ(values(rows, "cTableName").first(), QStringLiteral("CM_Contract"));
             const QString rule = QStringLiteral("3b0f6a52-1c7e-4d2a-9a51-0c6e2f1a0001");
             EXPECT_EQ(valueWhere(rows, "guid", rule, "cTableNameDesc"), "销售订单主表");
             EXPECT_EQ(valueWhere(rows, "guid", rule, "cextendfieldDesc"), "项目编号");
         }},
        {"RuleList_RulesOfPair", RulesOfPairSql("SA_OrderHead", "SA_DispatchHead"), ruleColumns,
         column("btrans", {"False", "True"}, true)},
        {"BatchPrint_Columns", BatchPrintColumnsSql(), ruleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 0);
             EXPECT_EQ(rows.field(rows.fieldIndex("btrans")).type, host::FieldType::Boolean);
         }},

        // Batch setting.
        {"Batch_TargetTables", BatchChooserSelectSql(true) + BatchChooserOrder(true),
         batchChooserColumns, rowCount(11)},
        {"Batch_HeaderItemColumns", ItemColumnsSql(kHeaderLetter), {"cID", "cDicDbName", "cItemLang"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"),
                       QStringList({"cHDefine1", "cHDefine2", "cHDefine3", "cHDefine4"}));
             EXPECT_EQ(values(rows, "cItemLang").first(), QStringLiteral("Project No."));
         },
         Run::Open, {}, StatementCase::Db::Account, "en-US"},
        {"Batch_BodyItemColumns", ItemColumnsSql(kBodyLetter), {"cID", "cDicDbName", "cItemLang"},
         column("cID", {"2001", "2002", "2003", "2004"})},
        {"Batch_BodyPairs", PairRowsSql("B"), pairColumns, rowCount(5)},
        {"Batch_BodyRulesFiltered", RulesOfLetterSql("B", "到货单", "入库"), rulesOfLetterColumns,
         column("cextendfield", {"cBDefine2", "cBDefine4"}, true)},
        {"Batch_HeaderLinks", ItemLinksSql(kHeaderLetter), {"TableName", "cDicDbName"}, rowCount(14)},
        {"Batch_BodyLinks", ItemLinksSql(kBodyLetter), {"TableName", "cDicDbName"}, rowCount(11)},
    };
}

}  // namespace statements
