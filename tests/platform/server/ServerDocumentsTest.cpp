// The server documents on the demo account copied to a server: each write, failed at each of its
// statements in turn, leaves the server's database exactly as it was, then does its work there.
#include <gtest/gtest.h>

#include "platform/db/ServerAccount.h"
#include "platform/package/PackageImport.h"
#include "platform/package/PackageReader.h"
#include "platform/package/PackageWriter.h"
#include "platform/package/PackageAccount.h"
#include "platform/server/ItemDocument.h"
#include "platform/server/MakeVouchSetDocument.h"
#include "platform/server/UserDefineDocument.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestAccount.h"

namespace {

using namespace platform;

QStringList rows(db::Connection& db, const QString& sql) {
    QStringList out;
    const host::RecordSetPtr rs = db.query(sql);
    for (int r = 0; rs && r < rs->recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->fieldCount(); ++c) cells << rs->textAt(r, c);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

// The account's schema (columns with types and collations, indexes) and every row.
QStringList snapshot(db::Connection& db) {
    QStringList out = rows(db, "SELECT table_name || '.' || column_name || ' ' || data_type || "
                               "COALESCE(character_maximum_length, numeric_scale, -1) || ' ' || "
                               "COALESCE(collation_name, '') FROM information_schema.columns WHERE "
                               "table_schema = 'zxdata_001' ORDER BY table_name, ordinal_position");
    out += rows(db, "SELECT indexdef FROM pg_indexes WHERE schemaname = 'zxdata_001' ORDER BY 1");
    for (const QString& t : rows(db, "SELECT tablename FROM pg_tables WHERE schemaname = 'zxdata_001'"))
        out += rows(db, QString("SELECT '%1 ' || t::text FROM %2 t ORDER BY 1").arg(t, host::sqlIdentQuoted(t)));
    return out;
}

class ServerDocuments : public testsupport::PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        ASSERT_TRUE(account.ok()) << account.error().toStdString();
        db::AccountCopy copy;
        QString why;
        ASSERT_TRUE(db::copyAccountToServer(account.dataRoot(), "001", pg.conninfo, &copy, &why)) << why.toStdString();
        server = db::PgConnection::open(pg.conninfo + " options=-csearch_path=zxdata_001,zxsystem,zxmeta_001", &why);
        ASSERT_TRUE(server) << why.toStdString();
        // A host table whose companion is not there yet.
        ASSERT_TRUE(server->exec("DROP TABLE \"HR_LeaveHead_extradefine\"", &why)) << why.toStdString();
        writer = std::make_unique<server::DocumentWriter>(*server);
        const auto items = std::make_shared<server::ItemDocument>();
        writer->registerTable("Userdef_base", items);
        writer->registerTable("Userdef", items);
        writer->registerTable("UserDefine", std::make_shared<server::UserDefineDocument>());
        writer->registerTable("AA_ExtendDefineMakeVouch_Set", std::make_shared<server::MakeVouchSetDocument>());
    }
    QStringList sql(const QString& text) { return rows(*server, text); }
    int lastChange() { return sql("SELECT max(\"iChange\") FROM \"zx_History\"").value(0).toInt(); }

    testsupport::TestAccount account;
    std::unique_ptr<db::PgConnection> server;
    std::unique_ptr<server::DocumentWriter> writer;
};

TEST_F(ServerDocuments, EveryWriteIsWholeOrAbsentAndReadsBackFromTheServer) {
    using Write = std::function<bool(QString*)>;
    const auto item = [&](testsupport::ItemDoc d) {
        return [=, this](QString* e) { return writer->modify(d.xml(), "Userdef", e); };
    };
    testsupport::ItemDoc lengthen, shorten;
    lengthen["cId"] = shorten["cId"] = "1003";
    lengthen["IMaxLen"] = "30";
    shorten["IMaxLen"] = "10";
    const QString columns = "SELECT table_name, data_type, character_maximum_length, collation_name FROM "
                            "information_schema.columns WHERE column_name = '%1' ORDER BY 1";
    // The package: a new item with two values, made on the embedded account.
    QString why;
    ASSERT_TRUE(account.srv().Add(testsupport::newHeaderItem("1098", 8, {"SA_OrderHead"}).xml(), "Userdef_base", &why) &&
                account.srv().Add("<Userdefine><cId>1098</cId><cValue>甲</cValue></Userdefine>", "UserDefine", &why))
        << why.toStdString();
    package::Selection chosen;
    chosen.scope.kind = package::PackageScope::Items;
    chosen.items = {{"单据头", "扩展自定义项8"}};
    package::Package exported, imported;
    ASSERT_TRUE(package::readAccount(account.db(), chosen, &exported, &why) &&
                package::readPackage(package::writePackage(exported, &why), &imported, &why))
        << why.toStdString();
    package::ImportResult result;

    struct Step {
        const char* what;
        Write write;
        QString check;
        QStringList expected;
        const char* refusal = nullptr;  // refused with this text, nothing changed
    };
    const QList<Step> steps = {
        {"add an item on an existing and a new companion",
         [&](QString* e) {
             return writer->add(testsupport::newHeaderItem("1099", 9, {"SA_DispatchHead", "HR_LeaveHead"}).xml(),
                                "Userdef_base", e);
         },
         QString(columns).arg("cHDefine9") + ";SELECT column_name, data_type FROM information_schema.key_column_usage "
                                             "JOIN information_schema.columns USING (table_name, column_name) "
                                             "WHERE table_name = 'HR_LeaveHead_extradefine'",
         {"HR_LeaveHead_extradefine|character varying|25|zx_nocase",
          "SA_DispatchHead_extradefine|character varying|25|zx_nocase", "ID|integer"}},
        {"shorten below a stored value", item(shorten), {}, {}, "1 rows of SA_DispatchHead_extradefine hold longer values"},
        {"lengthen", item(lengthen), QString(columns).arg("cHDefine3"),
         {"PU_ArrivalHead_extradefine|character varying|30|zx_nocase",
          "SA_DispatchHead_extradefine|character varying|30|zx_nocase",
          "SA_InvoiceHead_extradefine|character varying|30|zx_nocase"}},
        {"undo the lengthening", [&](QString* e) { return writer->undo(lastChange(), e); },
         "SELECT character_maximum_length, \"cHDefine3\" FROM information_schema.columns, \"SA_DispatchHead_extradefine\" "
         "WHERE table_name = 'SA_DispatchHead_extradefine' AND column_name = 'cHDefine3'",
         {"20|十二个字的一个很长的值呀"}},
        {"add a value",
         [&](QString* e) {
             return writer->add("<Userdefine><cId>1003</cId><cValue>管道</cValue></Userdefine>", "UserDefine", e);
         }},
        {"rename a value",
         [&](QString* e) {
             return writer->modify("<Userdefine><cId>1003</cId><cValue>rail</cValue><sValue>铁路</sValue></Userdefine>",
                                   "UserDefine", e);
         },
         "SELECT \"cValue\" FROM \"Userdefine\" WHERE \"cId\" = '1003' ORDER BY \"pubzxts\"",
         {"汽运", "rail", "海运", "空运", "管道"}},
        {"add a carry-over rule",
         [&](QString* e) {
             return writer->add("<AA_ExtendDefineMakeVouch_Set><cMakeVouchID>PU01</cMakeVouchID><cSub_id>PU</cSub_id>"
                                "<cType>H</cType><cextendfield>cHDefine9</cextendfield><ctargetfield>cHDefine9"
                                "</ctargetfield><cTableName>PU_OrderHead</cTableName><cTargetTable>PU_ArrivalHead"
                                "</cTargetTable><btrans>1</btrans><cdesc></cdesc></AA_ExtendDefineMakeVouch_Set>",
                                "AA_ExtendDefineMakeVouch_Set", e);
         },
         "SELECT \"cTableName\", \"btrans\" FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE \"cextendfield\" = 'cHDefine9'",
         {"PU_OrderHead|True"}},
        {"delete the item", [&](QString* e) { return writer->remove("1099", "cId", "Userdef_base", e); },
         QString(columns).arg("cHDefine9") + ";SELECT count(*) FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE "
                                             "\"cextendfield\" = 'cHDefine9'", {"0"}},
        {"undo the delete", [&](QString* e) { return writer->undo(lastChange(), e); },
         "SELECT \"ID\", \"cHDefine9\" FROM \"HR_LeaveHead_extradefine\";SELECT \"cItemName\" FROM \"UserDef_Base\" "
         "WHERE \"cId\" = '1099'", {"7|kept", "新项目"}},
        {"import a package",
         [&](QString* e) { return package::importPackage(*server, *writer, imported, {}, &result, e); },
         "SELECT b.\"cId\", v.\"cValue\" FROM \"UserDef_Base\" b JOIN \"Userdefine\" v USING (\"cId\") WHERE "
         "b.\"cDicDbName\" = 'cHDefine8';" + QString(columns).arg("cHDefine8"),
         {"1098|甲", "SA_OrderHead_extradefine|character varying|25|zx_nocase"}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.what == std::string("shorten below a stored value"))
            ASSERT_EQ(server->exec("INSERT INTO \"SA_DispatchHead_extradefine\"(\"ID\", \"cHDefine3\") VALUES "
                                   "(1, '十二个字的一个很长的值呀'); INSERT INTO \"HR_LeaveHead_extradefine\" VALUES "
                                   "(7, 'kept')", &why), true) << why.toStdString();
        const QStringList before = snapshot(*server);
        QString error;
        for (int n = 1; !step.refusal; ++n) {
            writer->setFailAtStatement(n);
            if (step.write(&error)) break;
            ASSERT_TRUE(error.contains(QString("statement %1").arg(n))) << n << ": " << error.toStdString();
            ASSERT_EQ(snapshot(*server), before) << "failing at statement " << n;
        }
        writer->setFailAtStatement(0);
        if (step.refusal) {
            EXPECT_FALSE(step.write(&error));
            EXPECT_TRUE(error.contains(step.refusal)) << error.toStdString();
            EXPECT_EQ(snapshot(*server), before);
            continue;
        }
        QStringList found;
        for (const QString& query : step.check.split(';', Qt::SkipEmptyParts)) found += sql(query);
        EXPECT_EQ(found, step.expected);
    }
}

}  // namespace
