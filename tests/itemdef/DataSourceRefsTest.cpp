// The archives and fields an item fed from another archive is offered, on the demo account.
#include "common/Globals.h"
#include "itemdef/DataSourceRefs.h"
#include "itemdef/ItemRecord.h"
#include "platform/colset/ColSetSvr.h"
#include "tests/support/TestSession.h"

using namespace itemdef;

namespace {

// The archive list needs the column-setting service; the second connection (metadata) comes
// from the session's factory.
class DataSource : public testsupport::SessionTest {
protected:
    DataSource() { userdef::g_ColSet = std::make_shared<platform::colset::ColSetSvr>(); }
    ArchiveList archives() {
        QString error;
        ArchiveList list = LoadArchiveList(&error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return list;
    }
    static QStringList names(const ArchiveList& list) {
        QStringList out;
        for (const ArchiveEntry& e : list.entries()) out << e.sName;
        return out;
    }
    // The fields of a report archive (or reference) an item of the type is offered.
    QStringList fields(const QString& archive, int type) {
        const ArchiveList list = archives();
        const ArchiveEntry* entry = list.find(archive + "K");
        EXPECT_TRUE(entry) << archive.toStdString();
        if (!entry) return {};
        QString error;
        const FieldList found = LoadArchiveFields(*entry, type, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        QStringList out;
        for (const FieldEntry& f : found.entries()) out << f.sName;
        return out;
    }
    void execMeta(const QString& sql) {
        QString error;
        ASSERT_TRUE(session.account.db().exec(sql, &error)) << error.toStdString();
    }
};

}  // namespace

TEST_F(DataSource, ArchiveListHoldsReportArchivesAndUserDefinedReferences) {
    // Reference metadata cut short or missing is skipped; quotes in ids and keys stay text.
    execMeta(QStringLiteral(
        "INSERT INTO ZxMeta_001.refdesign(cRefID,cRefName,cRefMeta,IsUserDefRef,cParentRefid) "
        "VALUES ('UR0008','半截参照','<Ref><RefColSet cKey=''K8''',1,'UR'),"
        "('UR0009','无元数据',NULL,1,'UR'),"
        "('UR''07','引号参照','<Ref><RefColSet cKey=''K&amp;7''/></Ref>',1,'UR')"));
    const ArchiveList list = archives();
    const QStringList all = names(list);
    for (const char* table : {"Customer", "Vendor", "Inventory", "Department", "fitemss01"})
        EXPECT_TRUE(all.contains(table)) << table;
    const ArchiveEntry* customer = list.find("customerK");  // keys ignore letter case
    ASSERT_TRUE(customer);
    EXPECT_EQ(customer->sRemark, QStringLiteral("客户档案"));

    // References are stored by their id in brackets and carry their column-setting key; the
    // one without a key and the folder are not offered.
    const ArchiveEntry* stage = list.find("[UR0001]K");
    ASSERT_TRUE(stage);
    EXPECT_EQ(stage->sRemark, QStringLiteral("研发阶段"));
    EXPECT_EQ(stage->Tag, "UR0001_ColSet");
    for (const char* shown : {"[UR0002]", "INVENTORY"}) EXPECT_TRUE(ArchiveExists(list, shown));
    for (const char* left : {"[UR0003]", "[UR]", "[Department_Ref]", "[UR0008]", "[UR0009]"})
        EXPECT_FALSE(ArchiveExists(list, left)) << left;
    const ArchiveEntry* quoted = list.find("[UR'07]K");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->Tag, "K&7");

    // Selection column and primary key left out; the query field preferred over the field;
    // the item's type does not filter reference columns. While adding, the stored field's
    // display name is taken from the list.
    const FieldList found = LoadArchiveFields(*stage, kInteger);
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found.at(0).sName, "UR0001.cStageCode");
    EXPECT_EQ(found.at(1).sName, "cStageName");
    EXPECT_EQ(FieldDisplayName(found, "cStageName", true, "old"), QStringLiteral("阶段名称"));
}

TEST_F(DataSource, HostWithoutASecondServiceStillListsReferences) {
    // Without a factory the references are read through the session's own service.
    const QStringList withFactory = names(archives());
    userdef::g_Factory = nullptr;
    EXPECT_EQ(names(archives()), withFactory);
    userdef::g_Factory = &session.factory;
}

TEST_F(DataSource, FieldsOfferedFitTheItemsType) {
    // Text sees character fields only.
    QStringList text = fields("Customer", kText);
    text.sort();
    EXPECT_EQ(text, QStringList({"cCusAbbName", "cCusCode", "cCusDepart", "cCusName"}));
    // Integer sees integer fields and every *varchar* field.
    const QStringList integer = fields("Inventory", kInteger);
    for (const char* f : {"iSupplyDay", "cInvStd", "cInvCode"}) EXPECT_TRUE(integer.contains(f));
    for (const char* f : {"fGrossW", "dSDate"}) EXPECT_FALSE(integer.contains(f));
    EXPECT_TRUE(fields("Customer", kNumber).contains("iCusCreLine"));
    EXPECT_TRUE(fields("Customer", kDate).contains("dCusDevDate"));
    EXPECT_FALSE(fields("Customer", kDate).contains("iCusCreLine"));

    // Project items come from the project structure, typed by number.
    EXPECT_EQ(fields("fitemss01", kText), QStringList({"citemcode", "citemname"}));
    EXPECT_EQ(fields("fitemss01", kNumber), QStringList({"fBudget"}));
    EXPECT_EQ(fields("fitemss01", kDate), QStringList({"dEndDate"}));
    EXPECT_EQ(fields("fitemss01", kInteger), QStringList({"iQuantity"}));
}

TEST_F(DataSource, HostileArchiveNamesStayValues) {
    for (const QString& name :
         {QStringLiteral("Cus'tomer"), QStringLiteral("x'; DROP TABLE Rpt_ItmDef; --"),
          QStringLiteral("fitemss0'")}) {
        ArchiveEntry entry;
        entry.sName = name;
        QString error;
        EXPECT_TRUE(LoadArchiveFields(entry, kText, &error).isEmpty());
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
    EXPECT_FALSE(fields("Customer", kText).isEmpty());
}
