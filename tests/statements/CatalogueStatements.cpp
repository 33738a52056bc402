// Statements of the catalogue's listing and of the names it shows for related archives.
#include <gtest/gtest.h>

#include "catalogue/ItemListing.h"
#include "tests/statements/StatementCase.h"

namespace statements {

std::vector<StatementCase> catalogueStatements() {
    using namespace catalogue;
    const QStringList listFields = fieldNames(kListFields);
    const QStringList reportFields = {"TableName", "TableDefine", "FieldName", "FieldDef"};
    return {
        {"RefreshItemList_Class", listingSql(QStringLiteral("单据头")), listFields,
         [](const host::RecordSet& rows) {
             // Numerically by id: 9 before 10, the extended items after the regular ones.
             EXPECT_EQ(values(rows, "cId"),
                       QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
                                    "13", "14", "15", "16", "1001", "1002", "1003", "1004"}));
             EXPECT_EQ(valueWhere(rows, "cId", "7", "cParentItemName"), QStringLiteral("省份"));
             EXPECT_EQ(valueWhere(rows, "cId", "8", "cRelArchive"), QStringLiteral("Person"));
             EXPECT_EQ(valueWhere(rows, "cId", "6", "bArchive"), QStringLiteral("True"));
         }},
        {"RefreshItemList_All", listingSql(kRootKey), listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 128);  // 6×16 + 10 free + 10 batch + 12 extended
             const QStringList classes = values(rows, "cClass"), ids = values(rows, "cId");
             for (int r = 1; r < ids.size(); ++r)
                 if (classes[r] == classes[r - 1])
                     EXPECT_LT(ids[r - 1].toInt(), ids[r].toInt()) << "rows " << r << ", " << r + 1;
         }},
        // The grid is laid out from the declared types and sizes, through the views.
        {"InitGrid_EmptyListing", emptyListingSql(), listFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(rows.recordCount(), 0);
             auto field = [&](const char* name) { return rows.field(rows.fieldIndex(name)); };
             EXPECT_EQ(field("bFixLength").type, host::FieldType::Boolean);
             EXPECT_EQ(field("IMaxLen").type, host::FieldType::Integer);
             EXPECT_EQ(field("iDataSource").type, host::FieldType::SmallInt);
             EXPECT_EQ(field("cItemName").definedSize, 60);
         }},
        {"FillGrid_RelatedReportArchive", relatedReportSql("Person", "cPersonName"), reportFields,
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "TableDefine"), QStringList({QStringLiteral("职员档案")}));
             EXPECT_EQ(values(rows, "FieldDef"), QStringList({QStringLiteral("职员名称")}));
         }},
        {"FillGrid_RelatedReportArchiveMissing", relatedReportSql("[UR0001]", "cStageName"),
         reportFields, rowCount(0)},
        {"FillGrid_RelatedReference", relatedReferenceSql("001", "[UR0001]"),
         {"cRefID", "cRefMeta", "cRefName"},
         [](const host::RecordSet& rows) {
             EXPECT_EQ(values(rows, "cRefName"), QStringList({QStringLiteral("研发阶段")}));
             EXPECT_TRUE(values(rows, "cRefMeta").value(0).contains("cKey='UR0001_ColSet'"));
         }},
        {"FillGrid_RelatedReferenceField",
         referenceCaptionSql("001", "UR0001_ColSet", "cStageName"), {"cCaption"},
         column("cCaption", {QStringLiteral("阶段名称")})},
    };
}

}  // namespace statements
