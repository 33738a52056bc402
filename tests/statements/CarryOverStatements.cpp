// Statements of the carry-over model, the rule list, the rule editor and the batch setting.
#include <gtest/gtest.h>

#include "tests/statements/StatementCase.h"

namespace statements {

namespace {

QStringList sorted(QStringList list) {
    list.sort(Qt::CaseInsensitive);
    return list;
}

// The rule list without its last join, which each user writes differently.
QString ruleList(const QString& sourceDesc, const QString& targetDesc) {
    return "SELECT " +
           ("cMakeVouchID,MakeVouch_Set.cTableName," + sourceDesc +
            " AS cTableNameDesc,cTargetTable," + targetDesc +
            " AS cTargetTableDesc,cextendfield,cextendfield.cItemName AS "
            "cextendfieldDesc,ctargetfield,ctargetfield.cItemName AS "
            "ctargetfieldDesc,MakeVouch_Set.ctype,btrans,cdesc,MakeVouch_Set.cSub_id,MakeVouch_Set."
            "guid ") +
           " FROM AA_ExtendDefineMakeVouch_Set MakeVouch_Set" +
           " JOIN AA_DefineExtend TableName ON TableName.cTableName=MakeVouch_Set.cTableName " +
           " JOIN AA_DefineExtend TargetTable ON "
           "TargetTable.cTableName=MakeVouch_Set.cTargetTable " +
           " JOIN userdef cextendfield ON cextendfield.cDicDbName = MakeVouch_Set.cextendfield ";
}
const QString kRuleList = ruleList("TableName.cTableDesc", "TargetTable.cTableDesc");
const QString kLastJoin = QStringLiteral(
    " JOIN userdef ctargetfield ON ctargetfield.cDicDbName = MakeVouch_Set.ctargetfield");
const QStringList kRuleColumns = {
    "cMakeVouchID",     "cTableName",   "cTableNameDesc",   "cTargetTable",
    "cTargetTableDesc", "cextendfield", "cextendfieldDesc", "ctargetfield",
    "ctargetfieldDesc", "ctype",        "btrans",           "cdesc",
    "cSub_id",          "guid"};

QString rulesOfLetter(const QString& letter, const QString& filters = {}) {
    return " SELECT cMakeVouchID,a.cSub_id,a.ctype,cextendfield,ctargetfield,a.cTableName,"
           "cTargetTable, " +
           QStringLiteral(
               "   btrans,cdesc,a.GUID,b.TableDesc AS TableDesc,c.TableDesc AS TableDesc "
               "FROM AA_ExtendDefineMakeVouch_Set a ") +
           " LEFT JOIN AA_DefineExtend b ON b.cTableName=a.cTableName " +
           " LEFT JOIN AA_DefineExtend c ON c.cTableName=a.cTargetTable " + "WHERE a.ctype='" +
           letter + "' " + filters;
}
const QStringList kRulesOfLetterColumns = {
    "cMakeVouchID", "cSub_id", "ctype", "cextendfield", "ctargetfield", "cTableName",
    "cTargetTable", "btrans",  "cdesc", "GUID",         "TableDesc",    "TableDesc"};

// The rule editor's table choosers: the reference control runs select, where and order.
const QString kChooserSelect = QStringLiteral(
    "SELECT ctype,enumname,ctabledesc,ctablename,csub_id,dbo.getAllSubName_ExtendDefine(csub_id) "
    "as "
    "csubfullname FROM AA_DefineExtend a join AA_Enum b on a.ctype=b.EnumCode  ");
QString chooser(const QString& where, const QString& order) {
    return kChooserSelect + "WHERE " + where + " " + order;
}
QString targetCondition(const QString& allowed, const QString& source) {
    return "b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and ctype IN " + allowed +
           " and ctablename in (SELECT cTargetTable FROM AA_ExtendDefineMakeVouch_sub WHERE "
           "ctablename='" +
           source + "')  and (b.localeID=dbo.UDF_GetLocaleID()) ";
}
const QStringList kChooserColumns = {"ctype",      "enumname", "ctabledesc",
                                     "ctablename", "csub_id",  "csubfullname"};

// The batch window's table choosers: one nested statement.
QString batchChooser(const QString& tables) {
    return " SELECT ctype,enumname,tabledesc,ctablename,csub_id,csubfullname FROM " +
           QStringLiteral(" (SELECT ctype,enumname,tabledesc,ctablename,csub_id,") +
           " dbo.getAllSubName_ExtendDefine(csub_id) as csubfullname " +
           " FROM AA_DefineExtend a join AA_Enum b on a.ctype=b.EnumCode " +
           " WHERE b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and  ctype in "
           "('B','H','B,H','H,B') and ctablename in (" +
           tables + ") and (b.localeID=dbo.UDF_GetLocaleID()) ) NEWTABLE " +
           "Order by ctype DESC,tabledesc";
}

// The items on both tables of a pair, as the rule editor lists them.
QString sharedItems(const QString& condition, const QString& source, const QString& target) {
    const QString half =
        " SELECT cItemName,'' as btrans,'' as cdesc,cDicDbName,'' AS guid FROM dbo.UserDef a JOIN "
        "UserDefDetail b ON a.cID=b.cID " +
        QStringLiteral(" Where ") + condition + " AND b.tablename=N'" + source +
        "' AND a.cDicDbName IN " +
        " (SELECT cDicDbName FROM dbo.UserDef a JOIN UserDefDetail b ON a.cID=b.cID Where "
        "b.tablename=N'" +
        target + "')";
    return half + " UNION" + half + " Order by cDicDbName ASC ";
}

QString pairRows(const QString& letter, const QString& filters = {}) {
    return "SELECT distinct '' as Chanaged,'' as cMakeVouchID,b.cTableName AS "
           "cTableName,b.TableDesc "
           "AS TableDesc, " +
           QStringLiteral(" c.cTableName AS cTargetTable,c.TableDesc AS cTargetTableDesc, ") +
           " '' AS cdesc,b.cSub_ID " + " FROM AA_ExtendDefineMakeVouch_Sub a " +
           " LEFT JOIN AA_DefineExtend b ON b.cTableName=a.cTableName " +
           " LEFT JOIN AA_DefineExtend c ON c.cTableName=a.cTargetTable " +
           " WHERE b.cType like '%" + letter + "%' AND c.cType like '%" + letter + "%' " + filters +
           " ORDER BY cTableName,cTargetTable ";
}
const QStringList kPairColumns = {"Chanaged",     "cMakeVouchID",     "cTableName", "TableDesc",
                                  "cTargetTable", "cTargetTableDesc", "cdesc",      "cSub_ID"};

QString fieldPairBatch(const QString& source, const QString& target, const QString& column) {
    return QStringList{
        " if not (select object_id('Tempdb..#AA_ExtendDefineFieldsForMakeVouch')) is null ",
        " DROP TABLE #AA_ExtendDefineFieldsForMakeVouch ",
        " Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename nvarchar(200),cextendfield "
        "nvarchar(200))",
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('" + source + "','" + column +
            "') ",
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('" + target + "','" + column +
            "') "}
        .join(QStringLiteral("\r\n"));
}
const QString kFieldPairJoin = QStringLiteral(
    " SELECT  Sub.cMakeVouchID,base.cSub_id,sub.cType,source.cextendfield,target.cextendfield,"
    "source.ctablename,target.ctablename,1,base.cDesc"
    " FROM #AA_ExtendDefineFieldsForMakeVouch source"
    " INNER JOIN #AA_ExtendDefineFieldsForMakeVouch target ON source.cextendfield = "
    "target.cextendfield "
    " INNER JOIN AA_ExtendDefineMakeVouch_sub Sub ON source.ctablename = Sub.ctablename AND "
    "target.ctablename = Sub.ctargettable "
    " INNER JOIN AA_ExtendDefineMakeVouch_base base ON sub.cMakeVouchID = base.cMakeVouchID");

}  // namespace

std::vector<StatementCase> carryOverStatements() {
    const QString sourceCondition = QStringLiteral(
        "b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and  ctype in ('B','H','B,H','H,B') and "
        "ctablename in (SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub) and "
        "(b.localeID=dbo.UDF_GetLocaleID())  ");
    const QStringList itemColumns = {"cItemName", "btrans", "cdesc", "cDicDbName", "guid"};
    return {
        // Rule editor: choosing the tables and listing the items they share.
        {"RuleEditor_SourceTables", chooser(sourceCondition, "Order by ctype DESC,ctabledesc"),
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
         chooser(" b.EnumType='Q9.AA.ARCHIVE.ExtendDefineTable.Type' and ctype in "
                 "('B','H','B,H','H,B')  and (b.localeID=dbo.UDF_GetLocaleID()) ",
                 "Order by ctype DESC,ctabledesc "),
         kChooserColumns, [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 23); }},
        {"RuleEditor_TargetTablesOfHeaderSource",
         chooser(targetCondition(" ('H','B,H','H,B') ", "SA_OrderHead"),
                 "Order by ctype DESC,ctabledesc"),
         kChooserColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "ctablename"), QStringList({"SA_DispatchHead"}));
         }},
        {"RuleEditor_TargetTablesOfSourceOfBothKinds",
         chooser(targetCondition(" ('B','H','B,H','H,B') ", "CM_Contract"),
                 "Order by ctype DESC,ctabledesc"),
         kChooserColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "ctablename"), QStringList({"SA_OrderHead", "SA_OrderBody"}));
         }},
        {"RuleEditor_SharedHeaderItems",
         sharedItems(" a.cDicDbName Like 'cHDefine%' ", "SA_OrderHead", "SA_DispatchHead"),
         itemColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"), QStringList({"cHDefine1", "cHDefine2"}));
             EXPECT_EQ(values(rows, "cItemName").value(0), QStringLiteral("项目编号"));
         }},
        {"RuleEditor_SharedItemsOfBothKinds",
         sharedItems(" (a.cDicDbName Like 'cBDefine%' OR a.cDicDbName Like 'cHDefine%') ",
                     "CM_Contract", "SA_OrderHead"),
         itemColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"), QStringList({"cHDefine1"}));
         }},
        {"RuleEditor_FieldPairBatch",
         fieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine1"),
         {},
         {},
         StatementCase::Run::Execute,
         // Run twice: the second run drops the table the first one made.
         {fieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine2")}},
        {"RuleEditor_FieldPairJoin",
         kFieldPairJoin,
         {"cMakeVouchID", "cSub_id", "cType", "cextendfield", "cextendfield", "ctablename",
          "ctablename", "1", "cDesc"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cMakeVouchID"), QStringList({"SA01"}));
             EXPECT_EQ(values(rows, "cDesc"), QStringList({QStringLiteral("销售订单生成发货单")}));
         },
         StatementCase::Run::Open,
         {fieldPairBatch("SA_OrderHead", "SA_DispatchHead", "cHDefine1")}},

        // Rule list.
        {"RuleList_Columns", kRuleList + kLastJoin + " where 1=2 ", kRuleColumns,
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"RuleList_CarryingRules",
         kRuleList + kLastJoin + " WHERE btrans=1" +
             " order by MakeVouch_Set.cTableName,cTargetTable ",
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
         kRuleList + kLastJoin + " WHERE btrans=1 and " +
             "MakeVouch_Set.ctablename='SA_DispatchHead'" + " " +
             " order by MakeVouch_Set.cTableName,cTargetTable ",
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cextendfield")),
                       QStringList({"cHDefine1", "cHDefine3"}));
         }},
        {"RuleList_RulesOfPair",
         kRuleList + kLastJoin +
             " where MakeVouch_Set.cTableName='SA_OrderHead' and cTargetTable='SA_DispatchHead' ",
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "btrans")), QStringList({"False", "True"}));
         }},
        {"BatchPrint_Columns",
         ruleList("TableName.TableDesc", "TargetTable.TableDesc") +
             " JOIN userdef ctargetfield ON ctargetfield.cDicDbName = MakeVouch_Set.ctargetfield  "
             "where 1=2",
         kRuleColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 0);
             EXPECT_EQ(rows.field(rows.fieldIndex("btrans")).type, host::FieldType::Boolean);
         }},

        // Batch setting.
        {"Batch_SourceTables",
         batchChooser("SELECT ctableName FROM AA_ExtendDefineMakeVouch_sub"),
         {"ctype", "enumname", "tabledesc", "ctablename", "csub_id", "csubfullname"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 10); }},
        {"Batch_TargetTables",
         batchChooser("SELECT cTargetTable FROM AA_ExtendDefineMakeVouch_sub"),
         {"ctype", "enumname", "tabledesc", "ctablename", "csub_id", "csubfullname"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 11); }},
        {"Batch_HeaderItemColumns",
         "SELECT cID,cDicDbName,cItemLang FROM UserDef WHERE cClass='单据头' AND cDicDbName LIKE "
         "'cHdefine%' ORDER BY cID",
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
         "SELECT cID,cDicDbName,cItemLang FROM UserDef WHERE cClass='单据体' AND cDicDbName LIKE "
         "'cBdefine%' ORDER BY cID",
         {"cID", "cDicDbName", "cItemLang"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cID"), QStringList({"2001", "2002", "2003", "2004"}));
         }},
        {"Batch_HeaderPairs", pairRows("H"), kPairColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cTableName"),
                       QStringList({"CM_Contract", "PR_AdjustHead", "PU_ArrivalHead",
                                    "PU_OrderHead", "SA_DispatchHead", "SA_OrderHead"}));
             EXPECT_EQ(values(rows, "cTargetTable").last(), QStringLiteral("SA_DispatchHead"));
         }},
        {"Batch_BodyPairs", pairRows("B"), kPairColumns,
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 5); }},
        {"Batch_HeaderPairsFiltered",
         pairRows("H", " AND b.TableDesc LIKE '%" + QStringLiteral("发货单") + "%' "), kPairColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cTargetTable"), QStringList({"SA_InvoiceHead"}));
         }},
        {"Batch_HeaderRules", rulesOfLetter("H"), kRulesOfLetterColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 4);  // the rule written for "B,H" is not a header rule
             EXPECT_EQ(valueWhere(rows, "cextendfield", "cHDefine2", "btrans"),
                       QStringLiteral("False"));
         }},
        {"Batch_BodyRulesFiltered",
         rulesOfLetter("B", " AND b.TableDesc LIKE '%" + QStringLiteral("到货单") + "%' " +
                                " AND c.TableDesc LIKE '%" + QStringLiteral("入库") + "%' "),
         kRulesOfLetterColumns,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(sorted(values(rows, "cextendfield")),
                       QStringList({"cBDefine2", "cBDefine4"}));
         }},
        {"Batch_HeaderLinks",
         "SELECT a.TableName,b.cDicDbName FROM UserDefDetail a JOIN UserDef b ON a.cid=b.cid WHERE "
         "b.cClass='单据头' ",
         {"TableName", "cDicDbName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 14); }},
        {"Batch_BodyLinks",
         "SELECT a.TableName,b.cDicDbName FROM UserDefDetail a JOIN UserDef b ON a.cid=b.cid WHERE "
         "b.cClass='单据体' ",
         {"TableName", "cDicDbName"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 11); }},
    };
}

}  // namespace statements
