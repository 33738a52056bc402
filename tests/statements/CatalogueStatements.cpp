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
