// Statements of the catalogue window and its commands.
#include <gtest/gtest.h>

#include "catalogue/ItemListing.h"
#include "itemdef/ItemRecord.h"
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
    using catalogue::kListFields;
    using itemdef::kItemColumns;
    const QString kItemRead = kItemColumns + itemdef::kItemExtraColumns;
    const QStringList listFields = fieldNames(kListFields);
    const QStringList editorFields = fieldNames(kItemRead);
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
         catalogue::listingSql(QStringLiteral("单据头")),
         listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cId"), kHeaderIds);
             EXPECT_EQ(valueWhere(rows, "cId", "7", "cParentItemName"), QStringLiteral("省份"));
             EXPECT_EQ(valueWhere(rows, "cId", "6", "cParentItemName"), QString());
             EXPECT_EQ(valueWhere(rows, "cId", "8", "cRelArchive"), QStringLiteral("Person"));
             EXPECT_EQ(valueWhere(rows, "cId", "1002", "cItemName"), QStringLiteral("审批日期"));
             EXPECT_EQ(valueWhere(rows, "cId", "6", "bArchive"), QStringLiteral("True"));
         }},
        {"RefreshItemList_All", catalogue::listingSql(catalogue::kRootKey),
         listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 128);  // 6×16 + 10 free + 10 batch + 12 extended
             expectNumericIdOrderWithinClasses(rows);
         }},
        // The grid is laid out from a listing without rows: types and sizes come from the
        // declared columns, through the views.
        {"InitGrid_EmptyListing", catalogue::emptyListingSql(), listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 0);
             auto field = [&](const char* name) { return rows.field(rows.fieldIndex(name)); };
             EXPECT_EQ(field("bFixLength").type, host::FieldType::Boolean);
             EXPECT_EQ(field("bIsUserDefPic").type, host::FieldType::Boolean);
             EXPECT_EQ(field("IMaxLen").type, host::FieldType::Integer);
             EXPECT_EQ(field("iDataSource").type, host::FieldType::SmallInt);
             EXPECT_EQ(field("cItemName").type, host::FieldType::VarWChar);
             EXPECT_EQ(field("cItemName").definedSize, 60);
         }},
        {"FillGrid_RelatedReportArchive",
         catalogue::relatedReportSql(QStringLiteral("Person"), QStringLiteral("cPersonName")),
         {"TableName", "TableDefine", "FieldName", "FieldDef"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "TableDefine"), QStringList({QStringLiteral("职员档案")}));
             EXPECT_EQ(values(rows, "FieldDef"), QStringList({QStringLiteral("职员名称")}));
         }},
        {"FillGrid_RelatedReportArchiveMissing",
         catalogue::relatedReportSql(QStringLiteral("[UR0001]"), QStringLiteral("cStageName")),
         {"TableName", "TableDefine", "FieldName", "FieldDef"},
         [](const host::RecordSet& rows) { EXPECT_EQ(rows.recordCount(), 0); }},
        {"FillGrid_RelatedReference",
         catalogue::relatedReferenceSql(QStringLiteral("001"), QStringLiteral("[UR0001]")),
         {"cRefID", "cRefMeta", "cRefName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cRefName"), QStringList({QStringLiteral("研发阶段")}));
             EXPECT_TRUE(values(rows, "cRefMeta").value(0).contains("cKey='UR0001_ColSet'"));
         }},
        {"FillGrid_RelatedReferenceField",
         catalogue::referenceCaptionSql(QStringLiteral("001"), QStringLiteral("UR0001_ColSet"),
                                        QStringLiteral("cStageName")),
         {"cCaption"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cCaption"), QStringList({QStringLiteral("阶段名称")}));
         }},
        {"Define_ItemsOfClass",
         "select " + kItemRead + " from Userdef " + " where cClass='单据头' " + kOrder,
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cId"), kHeaderIds);
             // Unnamed items show their label; the others their name in the session language.
             EXPECT_EQ(valueWhere(rows, "cId", "2", "citemlang"), QStringLiteral("自定义项2"));
             EXPECT_EQ(valueWhere(rows, "cId", "1", "citemlang"), QStringLiteral("合同号"));
             EXPECT_EQ(valueWhere(rows, "cId", "1003", "cDicDbName"), QStringLiteral("cHDefine3"));
         }},
        {"Define_ItemsOfAllClasses",
         "select " + kItemRead + " from Userdef " + kOrder,
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 128);
             expectNumericIdOrderWithinClasses(rows);
         }},
        {"Add_ItemsOfClass",
         "select " + kItemRead + " from Userdef where cClass='" +
             QStringLiteral("单据体") + "'order by cClass ,cast(cid as int) asc,cItem ASC ",
         editorFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 20);
             EXPECT_EQ(values(rows, "cId").first(), QStringLiteral("20"));
             EXPECT_EQ(values(rows, "cId").last(), QStringLiteral("2004"));
         }},
        {"Archive_NamedItemsOfClass",
         "select " + kItemColumns + ",cItemLang from userdef where cItemName<>'' and cClass='" +
             QStringLiteral("单据头") + "' " + kOrder,
         fieldNames(kItemColumns) + QStringList{"cItemLang"},
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
