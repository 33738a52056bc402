// The server documents on the demo account copied to a server: each write, failed at each of its
// statements in turn, leaves the server's database exactly as it was, then does its work there.
#include <gtest/gtest.h>

#include "platform/package/PackageAccount.h"
#include "platform/package/PackageImport.h"
#include "platform/server/ClsCommon.h"
#include "platform/server/DocumentWriter.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/TestAccount.h"

namespace {

using namespace platform;

// The account's columns with their types and collations, its indexes and every row.
QStringList snapshot(testsupport::TestAccount& account) {
    return account.rows("SELECT concat_ws(' ', table_name, column_name, data_type, character_maximum_length, numeric_scale, "
                        "collation_name) FROM information_schema.columns WHERE table_schema = 'zxdata_001' UNION ALL SELECT "
                        "indexdef FROM pg_indexes WHERE schemaname = 'zxdata_001' UNION ALL SELECT tablename || query_to_xml("
                        "format('SELECT * FROM zxdata_001.%I t ORDER BY t::text', tablename), true, false, '')::text FROM "
                        "pg_tables WHERE schemaname = 'zxdata_001' ORDER BY 1");
}

TEST(ServerDocuments, EveryWriteIsWholeOrAbsentAndReadsBackFromTheServer) {
    testsupport::TestAccount account(testsupport::TestAccount::Kind::Server), embedded;
    ASSERT_TRUE(account.ok() && embedded.ok()) << account.error().toStdString() << embedded.error().toStdString();
    db::Connection& pg = account.conn();
    server::DocumentWriter& writer = *account.srv().writer();
    // A host table without its companion yet; the package is an item the server then lacks.
    QString why;
    package::Package item4;
    package::Selection chosen{{package::PackageScope::Items, {}}, {{"单据头", "扩展自定义项4"}}, {}};
    ASSERT_TRUE(pg.exec("DROP TABLE \"HR_LeaveHead_extradefine\"", &why) &&
                package::readAccount(embedded.db(), chosen, &item4, &why)) << why.toStdString();
    const auto doc = [&writer](bool add, const QString& xml, const char* table) {
        return [=, &writer](QString* e) { return add ? writer.add(xml, table, e) : writer.modify(xml, table, e); };
    };
    const QString length = "<Userdef><cId>1003</cId><IMaxLen>%1</IMaxLen></Userdef>";
    const auto undoLast = [&](QString* e) {
        return writer.undo(account.rows("SELECT max(\"iChange\") FROM \"zx_History\"").value(0).toInt(), e);
    };
    const QString columns = "SELECT string_agg(concat_ws(' ', replace(table_name, '_extradefine', ''), "
                            "character_maximum_length, collation_name), ', ' ORDER BY table_name) FROM "
                            "information_schema.columns WHERE column_name = '%1'";
    const QString numbers = "SELECT string_agg(concat_ws(' ', replace(table_name, '_extradefine', ''), "
                            "numeric_precision, numeric_scale), ', ' ORDER BY table_name) FROM "
                            "information_schema.columns WHERE column_name = 'cHDefine8'";
    testsupport::ItemDoc number = testsupport::newItem("单据头", "1098", "cHDefine", 8, {"SA_DispatchHead", "PU_ArrivalHead"}, "数字");
    number["iDecimalDigits"] = "2";
    const QString rule = "<AA_ExtendDefineMakeVouch_Set><cMakeVouchID>PU01</cMakeVouchID><cType>H</cType><cextendfield>"
                         "cHDefine9</cextendfield><cTableName>PU_OrderHead</cTableName><cTargetTable>PU_ArrivalHead"
                         "</cTargetTable><btrans>%1</btrans></AA_ExtendDefineMakeVouch_Set>";
    package::ImportResult result;
    // Checked by queries split at ";"; a refusal's text when the write is refused, nothing changed.
    struct Step { const char* what; std::function<bool(QString*)> write; QString check = {}; QStringList expected = {}; const char* refusal = nullptr; };
    const QList<Step> steps = {
        {"add an item on an existing and a new companion",
         doc(true, testsupport::newHeaderItem("1099", 9, {"SA_DispatchHead", "HR_LeaveHead"}).xml(), "Userdef_base"),
         columns.arg("cHDefine9"), {"HR_LeaveHead 25 zx_nocase, SA_DispatchHead 25 zx_nocase"}},
        {"shorten below a stored value", doc(false, length.arg(10), "Userdef"), {}, {}, "1 rows of SA_DispatchHead_extradefine hold longer values"},
        {"lengthen", doc(false, length.arg(30), "Userdef"), columns.arg("cHDefine3"),
         {"PU_ArrivalHead 30 zx_nocase, SA_DispatchHead 30 zx_nocase, SA_InvoiceHead 30 zx_nocase"}},
        {"undo the lengthening", undoLast, columns.arg("cHDefine3") + ";SELECT \"cHDefine3\" FROM \"SA_DispatchHead_extradefine\"",
         {"PU_ArrivalHead 20 zx_nocase, SA_DispatchHead 20 zx_nocase, SA_InvoiceHead 20 zx_nocase", "十二个字的一个很长的值呀"}},
        {"add a number item", doc(true, number.xml(), "Userdef_base"), numbers, {"PU_ArrivalHead 28 2, SA_DispatchHead 28 2"}},
        {"more decimals", doc(false, "<Userdef><cId>1098</cId><iDecimalDigits>4</iDecimalDigits></Userdef>", "Userdef"),
         numbers, {"PU_ArrivalHead 28 4, SA_DispatchHead 28 4"}},
        {"fewer decimals", doc(false, "<Userdef><cId>1098</cId><iDecimalDigits>1</iDecimalDigits></Userdef>", "Userdef"),
         numbers, {"PU_ArrivalHead 28 1, SA_DispatchHead 28 1"}},
        {"undo the fewer decimals", undoLast, numbers, {"PU_ArrivalHead 28 4, SA_DispatchHead 28 4"}},
        {"add a value", doc(true, "<Userdefine><cId>1003</cId><cValue>管道</cValue></Userdefine>", "UserDefine")},
        {"rename a value", doc(false, "<Userdefine><cId>1003</cId><cValue>rail</cValue><sValue>铁路</sValue></Userdefine>", "UserDefine"),
         "SELECT \"cValue\" FROM \"Userdefine\" WHERE \"cId\" = '1003' ORDER BY \"pubzxts\"", {"汽运", "rail", "海运", "空运", "管道"}},
        {"add a carry-over rule", doc(true, rule.arg(1), "AA_ExtendDefineMakeVouch_Set")},
        {"change it", doc(false, rule.arg(0), "AA_ExtendDefineMakeVouch_Set"),
         "SELECT \"ctargetfield\" || \"btrans\" FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE \"cextendfield\" = 'cHDefine9'",
         {"cHDefine9false"}},
        {"delete the item", [&](QString* e) { return writer.remove("1099", "cId", "Userdef_base", e); },
         columns.arg("cHDefine9") + ";SELECT count(*) FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE \"cextendfield\" = 'cHDefine9'", {"~", "0"}},
        {"undo the delete", undoLast,
         "SELECT \"ID\" || \"cHDefine9\" FROM \"HR_LeaveHead_extradefine\";SELECT \"cItemName\" FROM \"UserDef_Base\" "
         "WHERE \"cId\" = '1099'", {"7kept", "新项目"}},
        {"delete an item the package then brings back", [&](QString* e) { return writer.remove("1004", "cId", "Userdef_base", e); }},
        {"import the package", [&](QString* e) { return package::importPackage(pg, writer, item4, {}, &result, e); },
         columns.arg("cHDefine4"), {"AP_VouchHead 20 zx_nocase, AR_VouchHead 20 zx_nocase, IA_AdjustHead 20 zx_nocase"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.refusal) {  // values the later steps keep
            ASSERT_TRUE(pg.exec("INSERT INTO \"SA_DispatchHead_extradefine\"(\"ID\", \"cHDefine3\") VALUES "
                                     "(1, '十二个字的一个很长的值呀'); INSERT INTO \"HR_LeaveHead_extradefine\" VALUES (7, 'kept')", &why))
                << why.toStdString();
        }
        const QStringList before = snapshot(account);
        QString error;
        for (int n = 1; !step.refusal && (writer.setFailAtStatement(n), !step.write(&error)); ++n) {
            ASSERT_TRUE(error.contains(QString("statement %1").arg(n))) << n << ": " << error.toStdString();
            ASSERT_EQ(snapshot(account), before) << "failing at statement " << n;
        }
        writer.setFailAtStatement(0);
        if (step.refusal) {
            EXPECT_TRUE(!step.write(&error) && error.contains(step.refusal) && snapshot(account) == before) << error.toStdString();
        }
        QStringList found;
        for (const QString& query : step.check.split(';', Qt::SkipEmptyParts)) found += account.rows(query);
        EXPECT_EQ(found, step.expected);
    }
}

}  // namespace
