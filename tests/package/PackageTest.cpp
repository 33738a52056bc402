// Definition packages between two fresh copies of the demo account: export from one, change it
// through the server's documents, compare with the other, import, and export both again.
#include <gtest/gtest.h>

#include "platform/package/PackageAccount.h"
#include "platform/package/PackageDiff.h"
#include "platform/package/PackageImport.h"
#include "platform/package/PackageReader.h"
#include "platform/package/PackageWriter.h"
#include "platform/sql/TSqlConnection.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"

namespace {

namespace pkg = platform::package;
using testsupport::DbSnapshot;
using testsupport::TestAccount;

QByteArray exportOf(TestAccount& account) {
    pkg::Package package;
    QString error;
    EXPECT_TRUE(pkg::readAccount(account.db(), {}, &package, &error)) << error.toStdString();
    const QByteArray bytes = pkg::writePackage(package, &error);
    EXPECT_FALSE(bytes.isEmpty()) << error.toStdString();
    return bytes;
}

bool importInto(TestAccount& account, const QByteArray& bytes, pkg::ImportOptions options,
                pkg::ImportResult* result, QString* error) {
    pkg::Package package;
    if (!pkg::readPackage(bytes, &package, error)) return false;
    return pkg::importPackage(account.srv().connection()->database(), *account.srv().writer(),
                              package, options, result, error);
}

QStringList rows(TestAccount& account, const QString& sql, const QVariantList& params = {}) {
    QStringList out;
    const host::RecordSetPtr rs = account.db().query(sql, params);
    for (int r = 0; rs && r < rs->recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->fieldCount(); ++c) cells << rs->textAt(r, c);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// One line per difference: "+ title", "~ title field…", "~ title value V field…", "- title",
// "+ rule …", "~ rule … field…".
QStringList summary(const pkg::PackageComparison& c) {
    static const char* const signs[] = {"+", "~", "=", "-"};
    QStringList out;
    for (const pkg::ItemDiff& d : c.items) {
        QString line = QLatin1String(signs[int(d.kind)]) + QLatin1Char(' ') + d.title();
        for (const pkg::FieldChange& f : d.fields) line += QLatin1Char(' ') + f.field;
        for (const QString& t : d.tablesAdded) if (d.kind != pkg::Change::New) line += QStringLiteral(" +") + t;
        for (const pkg::TableDrop& t : d.tablesDropped)
            line += QStringLiteral(" -%1(%2)").arg(t.table).arg(t.rows);
        out << line;
        for (const pkg::ValueDiff& v : d.values) {
            if (d.kind == pkg::Change::New) continue;
            QString value = QStringLiteral("~ %1 value %2%3").arg(d.title(), QLatin1String(signs[int(v.kind)]), v.value);
            for (const pkg::FieldChange& f : v.fields) value += QLatin1Char(' ') + f.field;
            out << value;
        }
    }
    for (const pkg::RuleDiff& r : c.rules) {
        QString line = QLatin1String(signs[int(r.kind)]) + QStringLiteral(" rule ") + pkg::ruleTitle(r.rule);
        for (const pkg::FieldChange& f : r.fields) line += QLatin1Char(' ') + f.field;
        out << line;
    }
    return out;
}

class Packages : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(a.ok() && b.ok()) << a.error().toStdString() << b.error().toStdString();
    }
    void write(bool ok, const QString& error) { ASSERT_TRUE(ok) << error.toStdString(); }

    // Changes account A as its windows would: a new extended header item on two tables with
    // values and a rule, a renamed item, a changed value alias, a rule that now carries.
    void changeA() {
        QString e;
        write(a.srv().Add(testsupport::newHeaderItem(QStringLiteral("1005"), 5,
                                                     {QStringLiteral("SA_OrderHead"),
                                                      QStringLiteral("SA_DispatchHead")})
                              .xml(),
                          QStringLiteral("Userdef_base"), &e),
              e);
        for (const char* value : {"甲", "乙"})
            write(a.srv().Add(QStringLiteral("<Userdefine><cId>1005</cId><cValue>%1</cValue>"
                                             "<cAlias>别名</cAlias></Userdefine>")
                                  .arg(QString::fromUtf8(value)),
                              QStringLiteral("Userdefine"), &e),
                  e);
        write(a.srv().Modify(QStringLiteral("<Userdef><cId>1001</cId><cItemName>项目编号甲"
                                            "</cItemName></Userdef>"),
                             QStringLiteral("Userdef"), &e),
              e);
        write(a.srv().Modify(QStringLiteral("<Userdefine><cId>6</cId><sValue>江苏</sValue>"
                                            "<cValue>江苏</cValue><cAlias>JSU</cAlias></Userdefine>"),
                             QStringLiteral("Userdefine"), &e),
              e);
        const QString rule = QStringLiteral(
            "<AA_ExtendDefineMakeVouch_Set><cMakeVouchID>SA01</cMakeVouchID><cSub_id>SA</cSub_id>"
            "<cType>H</cType><cextendfield>%1</cextendfield><ctargetfield>%1</ctargetfield>"
            "<cTableName>SA_OrderHead</cTableName><cTargetTable>SA_DispatchHead</cTargetTable>"
            "<btrans>1</btrans><cdesc>%2</cdesc></AA_ExtendDefineMakeVouch_Set>");
        write(a.srv().Add(rule.arg(QStringLiteral("cHDefine5"), QStringLiteral("新规则")),
                          QStringLiteral("AA_ExtendDefineMakeVouch_Set"), &e),
              e);
        write(a.srv().Modify(rule.arg(QStringLiteral("cHDefine2"), QStringLiteral("审批日期不带入")),
                             QStringLiteral("AA_ExtendDefineMakeVouch_Set"), &e),
              e);
    }

    TestAccount a, b;
};

// The whole journey: the diff shows exactly A's changes, a dry run changes nothing, the import
// applies them, both accounts export the same bytes; removals wait for --remove-missing.
TEST_F(Packages, DiffShowsExactlyTheChangesAndImportMakesBothExportTheSame) {
    ASSERT_EQ(exportOf(a), exportOf(b));
    ASSERT_NO_FATAL_FAILURE(changeA());
    pkg::Package package;
    QString error;
    ASSERT_TRUE(pkg::readPackage(exportOf(a), &package, &error)) << error.toStdString();
    pkg::PackageComparison diff;
    ASSERT_TRUE(pkg::comparePackage(b.db(), package, &diff, &error)) << error.toStdString();
    const QString region = QStringLiteral("单据头 / 自定义项6");
    EXPECT_EQ(summary(diff),
              (QStringList{QStringLiteral("~ 单据头 / 扩展自定义项1 cItemName"),
                           QStringLiteral("+ 单据头 / 扩展自定义项5"), QStringLiteral("~ ") + region,
                           QStringLiteral("~ %1 value ~江苏 cAlias").arg(region),
                           QStringLiteral("~ rule SA01: SA_OrderHead → SA_DispatchHead, cHDefine2 (H) btrans"),
                           QStringLiteral("+ rule SA01: SA_OrderHead → SA_DispatchHead, cHDefine5 (H)")}));
    EXPECT_EQ(diff.unchanged, package.items.size() - 3);

    const DbSnapshot untouched = DbSnapshot::take(b.db());
    pkg::ImportResult result;
    ASSERT_TRUE(importInto(b, exportOf(a), {true, false}, &result, &error)) << error.toStdString();
    EXPECT_EQ(result.documents, 7);
    EXPECT_TRUE(testsupport::sameAs(untouched, b.db()));
    ASSERT_TRUE(importInto(b, exportOf(a), {}, &result, &error)) << error.toStdString();
    EXPECT_EQ(exportOf(a), exportOf(b));
    EXPECT_EQ(rows(b, "SELECT cItemName, cDicDbName FROM UserDef_Base WHERE cItem = '扩展自定义项5' "
                      "AND cClass = '单据头'"),
              QStringList{QStringLiteral("新项目|cHDefine5")});
    EXPECT_EQ(rows(b, "SELECT COUNT(*) FROM pragma_table_info('SA_DispatchHead_extradefine') "
                      "WHERE name = 'cHDefine5'"),
              QStringList{QStringLiteral("1")});

    // A drops an item whose column holds data in B, and B has a value in use that A lacks:
    // both listed with the rows they hold, kept by default, gone with --remove-missing.
    const QString rowsHeld = rows(b, "SELECT COUNT(*) FROM SA_OrderHead_extradefine WHERE cHDefine2 <> ''").value(0);
    const QString inUse = rows(b, "SELECT cHDefine1 FROM SA_OrderHead_extradefine WHERE cHDefine1 <> ''").value(0);
    ASSERT_NE(rowsHeld, QStringLiteral("0"));
    write(a.srv().Delete(QStringLiteral("1002"), QStringLiteral("cid"), QStringLiteral("Userdef"), &error), error);
    write(b.srv().Add(QStringLiteral("<Userdefine><cId>1001</cId>") +
                          testsupport::ItemDoc::el(QStringLiteral("cValue"), inUse) + QStringLiteral("</Userdefine>"),
                      QStringLiteral("Userdefine"), &error),
          error);
    ASSERT_TRUE(pkg::readPackage(exportOf(a), &package, &error));
    ASSERT_TRUE(pkg::comparePackage(b.db(), package, &diff, &error)) << error.toStdString();
    ASSERT_EQ(diff.items.size(), 2);
    EXPECT_EQ(diff.items[1].title(), QStringLiteral("单据头 / 扩展自定义项2"));
    EXPECT_TRUE(summary(diff).join(u'\n').contains(QStringLiteral("-SA_OrderHead(%1)").arg(rowsHeld)))
        << summary(diff).join(u'\n').toStdString();
    ASSERT_EQ(diff.items[0].values.size(), 1);
    EXPECT_EQ(diff.items[0].values[0].value, inUse);
    EXPECT_GE(diff.items[0].values[0].rows, 1);
    ASSERT_TRUE(importInto(b, exportOf(a), {}, &result, &error)) << error.toStdString();
    EXPECT_EQ(rows(b, "SELECT COUNT(*) FROM UserDef_Base WHERE cId = '1002'"), QStringList{"1"});
    ASSERT_TRUE(importInto(b, exportOf(a), {false, true}, &result, &error)) << error.toStdString();
    EXPECT_EQ(rows(b, "SELECT COUNT(*) FROM UserDef_Base WHERE cId = '1002'"), QStringList{"0"});
    EXPECT_EQ(rows(b, "SELECT COUNT(*) FROM Userdefine WHERE cId = '1001' AND cValue = ?", {inUse}),
              QStringList{"0"});
    EXPECT_EQ(exportOf(a), exportOf(b));
}

// Every refusal names what is wrong and leaves the account exactly as it was.
TEST_F(Packages, RefusalsSayWhyAndChangeNothing) {
    const QByteArray good = exportOf(a);
    const auto item = [](const char* attributes) {
        return QByteArray("<UserdefPackage format=\"1\" scope=\"items\"><Item ") + attributes +
               "/></UserdefPackage>";
    };
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* says;
    } cases[] = {
        {"truncated", good.left(good.size() / 2), "cut short"},
        {"malformed", "<UserdefPackage format=\"1\" scope=\"all\"><Item cClass=\"x\" cItem=\"y\"></Itm>",
         "not well-formed"},
        {"newer format", QByteArray(good).replace("format=\"1\"", "format=\"2\""), "format 2"},
        {"declared entity", "<!DOCTYPE p [<!ENTITY x \"cHDefine1\">]><UserdefPackage format=\"1\" scope=\"all\"/>",
         "no document type declaration"},
        {"unknown field", item("cClass=\"单据头\" cItem=\"扩展自定义项1\" cEvil=\"1\""), "unknown field cEvil"},
        {"column taken", item("cClass=\"单据头\" cItem=\"扩展自定义项9\" cId=\"1009\" cType=\"文本\" IMaxLen=\"20\" "
                              "cDicDbName=\"cHDefine1\""),
         "单据头 / 扩展自定义项9: The column name (cDicDbName) cHDefine1 is already used"},
        {"over the row size",
         "<UserdefPackage format=\"1\" scope=\"items\"><Item cClass=\"单据头\" cItem=\"扩展自定义项9\" "
         "cType=\"文本\" IMaxLen=\"3990\" cDicDbName=\"cHDefine9\"><Table name=\"SA_OrderHead\"/></Item>"
         "</UserdefPackage>",
         "单据头 / 扩展自定义项9: a row of SA_OrderHead would take"},
        {"type changed", item("cClass=\"单据头\" cItem=\"扩展自定义项1\" cType=\"日期\" cDicDbName=\"cHDefine1\""),
         "单据头 / 扩展自定义项1: The type of the existing item 1001 cannot change"},
    };
    const DbSnapshot before = DbSnapshot::take(b.db());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pkg::ImportResult result;
        QString error;
        EXPECT_FALSE(importInto(b, c.bytes, {}, &result, &error));
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
        EXPECT_TRUE(testsupport::sameAs(before, b.db()));
    }
}

// Hostile texts in names, descriptions, defaults, values, aliases, bar codes, parent values and
// rule descriptions arrive exactly as written.
TEST_F(Packages, HostileTextsRoundTripExactly) {
    QString e;
    using testsupport::ItemDoc;
    const QStringList names = testsupport::hostileTexts(60), values = testsupport::hostileTexts(120),
                      codes = testsupport::hostileTexts(30);
    for (int i = 0; i < names.size() && i < 16; ++i)
        write(a.srv().Modify(QStringLiteral("<Userdef><cId>%1</cId>").arg(60 + i) +
                                 ItemDoc::el(QStringLiteral("cItemName_en_US"), names[i]) +
                                 ItemDoc::el(QStringLiteral("cItemName_zh_TW"), names[names.size() - 1 - i]) +
                                 ItemDoc::el(QStringLiteral("cTableDesc"), names[i]) +
                                 ItemDoc::el(QStringLiteral("cDefaultVal"), values[i]) +
                                 QStringLiteral("</Userdef>"),
                             QStringLiteral("Userdef"), &e),
              e);
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].trimmed().isEmpty()) continue;
        write(a.srv().Add(QStringLiteral("<Userdefine><cId>1001</cId>") +
                              ItemDoc::el(QStringLiteral("cValue"), values[i]) +
                              ItemDoc::el(QStringLiteral("cAlias"), values[i]) +
                              ItemDoc::el(QStringLiteral("cBarCode"), codes.value(i)) +
                              ItemDoc::el(QStringLiteral("cParentValue"), values[values.size() - 1 - i]) +
                              QStringLiteral("</Userdefine>"),
                          QStringLiteral("Userdefine"), &e),
              e);
        write(a.srv().Add(QStringLiteral("<AA_ExtendDefineMakeVouch_Set><cMakeVouchID>SA01</cMakeVouchID>"
                                         "<cType>H</cType><cextendfield>cHDefine1</cextendfield><ctargetfield>"
                                         "cHDefine1</ctargetfield><cTableName>SA_OrderHead</cTableName>"
                                         "<cTargetTable>T%1</cTargetTable><btrans>1</btrans>")
                                  .arg(i) +
                              ItemDoc::el(QStringLiteral("cdesc"), values[i]) +
                              QStringLiteral("</AA_ExtendDefineMakeVouch_Set>"),
                          QStringLiteral("AA_ExtendDefineMakeVouch_Set"), &e),
              e);
    }
    pkg::ImportResult result;
    ASSERT_TRUE(importInto(b, exportOf(a), {}, &result, &e)) << e.toStdString();
    const char* const reads[] = {
        "SELECT cValue, cAlias, cBarCode, cParentValue FROM Userdefine WHERE cId = '1001' ORDER BY cValue",
        "SELECT cid, LocaleID, cItemName FROM userdef_lang ORDER BY cid, LocaleID",
        "SELECT cId, cTableDesc, cDefaultVal FROM UserDef_Base ORDER BY cId",
        "SELECT cTargetTable, cdesc FROM AA_ExtendDefineMakeVouch_Set ORDER BY cTargetTable"};
    for (const char* sql : reads) EXPECT_EQ(rows(a, QString::fromUtf8(sql)), rows(b, QString::fromUtf8(sql))) << sql;
    EXPECT_EQ(exportOf(a), exportOf(b));
}

// Failing the import at each statement of each of its documents in turn leaves the account as
// it was; past the last statement the import goes through, a new item whose number the account
// has given away renumbered and reported.
TEST_F(Packages, FailureAtAnyStatementLeavesTheAccountAsBeforeAndTakenNumbersMove) {
    ASSERT_NO_FATAL_FAILURE(changeA());
    QString e;
    write(b.srv().Add(testsupport::newHeaderItem(QStringLiteral("1005"), 7, {}).xml(),
                      QStringLiteral("Userdef_base"), &e),
          e);
    const QByteArray bytes = exportOf(a);
    int failures = 0;
    pkg::ImportResult result;
    EXPECT_TRUE(testsupport::failAtEachStatement(
        b, [&](QString* error) { return importInto(b, bytes, {}, &result, error); }, &failures));
    EXPECT_GT(failures, 3);
    EXPECT_EQ(result.notes, QStringList{QStringLiteral(
                                "单据头 / 扩展自定义项5: the number \"1005\" is taken or no number; "
                                "the item gets 1006.")});
    EXPECT_EQ(rows(b, "SELECT b.cId, COUNT(v.cValue) FROM UserDef_Base b JOIN Userdefine v ON v.cId = b.cId "
                      "WHERE b.cItem = '扩展自定义项5' GROUP BY b.cId"),
              QStringList{QStringLiteral("1006|2")});
}

}  // namespace

// On either kind of account: a package whose texts are longer than the account's columns is
// refused naming the text, and the account exports as before.
class PackageRefusals : public ::testing::TestWithParam<TestAccount::Kind> {};

TEST_P(PackageRefusals, TextsLongerThanTheColumnsAreRefusedByName) {
    TestAccount account(GetParam());
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    const auto exported = [&account] {
        pkg::Package package;
        QString error;
        EXPECT_TRUE(pkg::readAccount(account.srv().connection()->database(), {}, &package, &error))
            << error.toStdString();
        return pkg::writePackage(package, &error);
    };
    const QByteArray before = exported();
    const QString longText = QString(240, QChar(u'长')) + QStringLiteral("😀"), long21 = QString(21, u'9');
    const struct {
        QString item;
        QString says;
    } cases[] = {
        {QStringLiteral("<Value cValue=\"%1\"/>").arg(longText),
         QStringLiteral("The cValue \"%1\" is longer than 120 characters.").arg(longText)},
        {QStringLiteral("<Value cValue=\"甲\" cAlias=\"%1\"/>").arg(longText),
         QStringLiteral("The cAlias \"%1\" is longer than 120 characters.").arg(longText)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says.toStdString());
        pkg::Package package;
        QString error;
        ASSERT_TRUE(pkg::readPackage(
            QStringLiteral("<UserdefPackage format=\"1\" scope=\"items\"><Item cClass=\"单据头\" "
                           "cItem=\"扩展自定义项3\" cId=\"1003\" cType=\"文本\" IMaxLen=\"20\" "
                           "cDicDbName=\"cHDefine3\">%1</Item></UserdefPackage>")
                .arg(c.item)
                .toUtf8(),
            &package, &error))
            << error.toStdString();
        pkg::ImportResult result;
        EXPECT_FALSE(pkg::importPackage(account.srv().connection()->database(), *account.srv().writer(),
                                        package, {}, &result, &error));
        EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
        EXPECT_EQ(exported(), before);
    }
    // A value document naming an item by a number longer than any.
    QString error;
    EXPECT_FALSE(account.srv().Add(QStringLiteral("<Userdefine><cId>%1</cId><cValue>甲</cValue></Userdefine>").arg(long21),
                                   QStringLiteral("Userdefine"), &error));
    EXPECT_EQ(error, QStringLiteral("The cId \"%1\" is longer than 20 characters.").arg(long21));
}

INSTANTIATE_TEST_SUITE_P(Kinds, PackageRefusals,
                         ::testing::Values(TestAccount::Kind::Embedded, TestAccount::Kind::Server),
                         [](const auto& info) { return std::string(testsupport::kindName(info.param)); });
