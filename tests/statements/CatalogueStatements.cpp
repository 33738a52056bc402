// Statements of the catalogue window and its commands.
#include <gtest/gtest.h>

#include "tests/statements/StatementCase.h"

namespace statements {

namespace {

const QString kOrder = QStringLiteral(" order by cClass ,cast(cid as int) asc,cItem ASC ");

// The header items of the demo, in the order the catalogue lists them: numerically by id.
const QStringList kHeaderIds = {"1",  "2",  "3",  "4",  "5",  "6",  "7",    "8",    "9",    "10",
                                "11", "12", "13", "14", "15", "16", "1001", "1002", "1003", "1004"};

void expectNumericIdOrderWithinClasses(const host::RecordSet& rows) {
    const QStringList classes = values(rows, QStringLiteral("cClass"));
    const QStringList ids = values(rows, QStringLiteral("cId"));
    for (int r = 1; r < ids.size(); ++r) {
        if (classes[r] != classes[r - 1]) continue;
        EXPECT_LT(ids[r - 1].toInt(), ids[r].toInt()) << "rows " << r << " and " << r + 1;
    }
}

}  // namespace

std::vector<StatementCase> catalogueStatements() {
    const QStringList listFields = fieldNames(kListFields);
    const QStringList editorFields =
        fieldNames(kFullFields) + QStringList{"cDicDbName", "ctabledesc", "citemlang"};
    return {
        {"CatalogueLoad_RefDesignProcedure",
         "AA_CreateDefineRefDesignView",
         {},
         {},
         StatementCase::Run::Execute},
        {"CatalogueLoad_RefDesignListing",
         "select cRefID, cRefName, cParentRefid, cColSetKey from ZxMeta_001..AA_UserDefRefDesign "
         "order by cRefID",
         {"cRefID", "cRefName", "cParentRefid", "cColSetKey"},
         [](const host::RecordSet& rows) {
             // The folder (no parent), the system reference and the one without a key are out.
             EXPECT_EQ(values(rows, "cRefID"), QStringList({"UR0001", "UR0002"}));
             EXPECT_EQ(values(rows, "cColSetKey"), QStringList({"UR0001_ColSet", "UR0002_ColSet"}));
         },
         StatementCase::Run::Open,
         {"AA_CreateDefineRefDesignView"}},
        {"RefreshItemList_ClassOfItem",
         "select ISNULL(cClass,'') as cClass from UserDef_Base where cID='1001'",
         {"cClass"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cClass"), QStringList({QStringLiteral("单据头")}));
         }},
        {"RefreshItemList_Class",
         "Select " + kListFields + " from UserDef_Parent where cClass='单据头' " + kOrder,
         listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cId"), kHeaderIds);
             EXPECT_EQ(valueWhere(rows, "cId", "7", "cParentItemName"), QStringLiteral("省份"));
             EXPECT_EQ(valueWhere(rows, "cId", "6", "cParentItemName"), QString());
             EXPECT_EQ(valueWhere(rows, "cId", "8", "cRelArchive"), QStringLiteral("Person"));
             EXPECT_EQ(valueWhere(rows, "cId", "1002", "cItemName"), QStringLiteral("审批日期"));
             EXPECT_EQ(valueWhere(rows, "cId", "6", "bArchive"), QStringLiteral("True"));
         }},
        {"RefreshItemList_All", "Select " + kListFields + " from UserDef_Parent " + kOrder,
         listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 128);  // 6×16 + 10 free + 10 batch + 12 extended
             expectNumericIdOrderWithinClasses(rows);
         }},
        {"InitGrid_EmptyListing", "select " + kListFields + " from UserDef_Parent where 1=2 ",
         listFields, [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"FillGrid_RelatedReportArchive",
         "select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from Rpt_GRPDef_Item "
         "Left "
         "Join Rpt_ItmDef On Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where "
         "Rpt_GRPDef_Item.SystemId='AS' and Rpt_GRPDef_Item.TableName='Person' and "
         "Rpt_ItmDef.FieldName='cPersonName'",
         {"TableName", "TableDefine", "FieldName", "FieldDef"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "TableDefine"), QStringList({QStringLiteral("职员档案")}));
             EXPECT_EQ(values(rows, "FieldDef"), QStringList({QStringLiteral("职员名称")}));
         }},
        {"FillGrid_RelatedReportArchiveMissing",
         "select Rpt_GRPDef_Item.TableName,TableDefine,FieldName,FieldDef from Rpt_GRPDef_Item "
         "Left "
         "Join Rpt_ItmDef On Rpt_GRPDef_Item.TableName=Rpt_ItmDef.TableName where "
         "Rpt_GRPDef_Item.SystemId='AS' and Rpt_GRPDef_Item.TableName='[UR0001]' and "
         "Rpt_ItmDef.FieldName='cStageName'",
         {"TableName", "TableDefine", "FieldName", "FieldDef"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"FillGrid_RelatedReference",
         "Select A.cRefID, A.cRefMeta,a.cRefName From ZxMeta_001..refdesign A Where '[' + a.cRefID "
         "+ ']' ='[UR0001]' and  A.IsUserDefRef=1 and isnull(a.cParentRefid,'')<>''  Order by "
         "a.cRefName",
         {"cRefID", "cRefMeta", "cRefName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cRefName"), QStringList({QStringLiteral("研发阶段")}));
             EXPECT_TRUE(values(rows, "cRefMeta").value(0).contains("cKey='UR0001_ColSet'"));
         }},
        {"FillGrid_RelatedReferenceField",
         "select  top 1 cCaption  from ZxMeta_001..AA_ColumnDic where cKey='UR0001_ColSet' and "
         "cFld ='cStageName'",
         {"cCaption"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cCaption"), QStringList({QStringLiteral("阶段名称")}));
         }},
        {"Define_ItemsOfClass",
         "select " + kFullFields + ",cDicDbName,ctabledesc,citemlang from Userdef " +
             " where cClass='单据头' " + kOrder,
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cId"), kHeaderIds);
             // Unnamed items show their label; the others their name in the session language.
             EXPECT_EQ(valueWhere(rows, "cId", "2", "citemlang"), QStringLiteral("自定义项2"));
             EXPECT_EQ(valueWhere(rows, "cId", "1", "citemlang"), QStringLiteral("合同号"));
             EXPECT_EQ(valueWhere(rows, "cId", "1003", "cDicDbName"), QStringLiteral("cHDefine3"));
         }},
        {"Define_ItemsOfAllClasses",
         "select " + kFullFields + ",cDicDbName,ctabledesc,citemlang from Userdef " + kOrder,
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 128);
             expectNumericIdOrderWithinClasses(rows);
         }},
        {"Add_ItemsOfClass",
         "select " + kFullFields + ",cDicDbName,ctabledesc,citemlang from Userdef where cClass='" +
             QStringLiteral("单据体") + "'order by cClass ,cast(cid as int) asc,cItem ASC ",
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 20);
             EXPECT_EQ(values(rows, "cId").first(), QStringLiteral("20"));
             EXPECT_EQ(values(rows, "cId").last(), QStringLiteral("2004"));
         }},
        {"Archive_NamedItemsOfClass",
         "select " + kFullFields + ",cItemLang from userdef where cItemName<>'' and cClass='" +
             QStringLiteral("单据头") + "' " + kOrder,
         fieldNames(kFullFields) + QStringList{"cItemLang"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cId"), QStringList({"1", "6", "7", "8", "9", "11", "13", "15",
                                                         "1001", "1002", "1003", "1004"}));
         }},
        {"Delete_ColumnOfItem",
         "select cDicDbName from userdef where cid='1001'",
         {"cDicDbName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"), QStringList({"cHDefine1"}));
         }},
        {"Delete_ColumnOfRegularItem",
         "select cDicDbName from userdef where cid='42'",
         {"cDicDbName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cDicDbName"), QStringList({"cCusDefine3"}));
         }},
    };
}

}  // namespace statements
