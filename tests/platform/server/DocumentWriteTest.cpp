// Value documents through the server database service: written whole or not at all, every value
// bound, duplicates refused with a message.
#include <gtest/gtest.h>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/server/DocumentWriter.h"
#include "platform/sql/TSqlConnection.h"
#include "tests/platform/server/ItemDocumentBuilder.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/TestAccount.h"


namespace {

using testsupport::AccountTest;
using testsupport::DbSnapshot;

const QString kItem = QStringLiteral("20");
const QString kTable = QStringLiteral("UserDefine");

QString valueDocument(const QString& item, const QString& value, const QString& alias = {},
                      const QString& oldValue = {}, bool modify = false) {
    QString xml = QStringLiteral("<Userdefine><cId>") + host::xmlText(item) +
                  QStringLiteral("</cId><cValue>") + host::xmlText(value) +
                  QStringLiteral("</cValue><cAlias>") + host::xmlText(alias) +
                  QStringLiteral("</cAlias><cParentValue></cParentValue>");
    if (modify) xml += QStringLiteral("<sValue>") + host::xmlText(oldValue) + QStringLiteral("</sValue>");
    return xml + QStringLiteral("</Userdefine>");
}

QString deleteKey(const QString& item, const QString& value) {
    return item + QStringLiteral("' and cValue='") + host::sqlValue(value);
}

class DocumentWrites : public AccountTest {
protected:
    platform::server::ClsCommon& srv() { return account.srv(); }

    QStringList values(const QString& item) {
        QStringList out;
        const host::RecordSetPtr rows = account.db().query(
            QStringLiteral("SELECT cValue FROM Userdefine WHERE cId = ? ORDER BY pubzxts"), {item});
        for (int r = 0; rows && r < rows->recordCount(); ++r) out << rows->at(r, 0).toString();
        return out;
    }
    QString field(const QString& item, const QString& value, const char* column) {
        const host::RecordSetPtr rows = account.db().query(
            QStringLiteral("SELECT %1 FROM Userdefine WHERE cId = ? AND cValue = ?")
                .arg(QLatin1String(column)),
            {item, value});
        return rows && !rows->isEmpty() ? rows->at(0, 0).toString() : QStringLiteral("<none>");
    }
};

// Every hostile text arrives unchanged as value and alias (the parent empty, not NULL); a modify
// keyed by one renames that row only; a delete keyed by one takes that row only.
TEST_F(DocumentWrites, ValuesOfAnyTextAreAddedModifiedAndDeletedExactly) {
    const QStringList hostile = testsupport::hostileTexts(120);
    QString error;
    for (const QString& value : hostile) {
        SCOPED_TRACE(testsupport::traceText(value));
        ASSERT_TRUE(srv().Add(valueDocument(kItem, value, value), kTable, &error)) << error.toStdString();
        EXPECT_EQ(field(kItem, value, "cAlias"), value);
        EXPECT_EQ(field(kItem, value, "cParentValue"), QString());
    }
    const QStringList before = values(kItem);
    ASSERT_TRUE(srv().Modify(valueDocument(kItem, QStringLiteral("深红"), QStringLiteral("dark"), hostile[2], true),
                             kTable, &error))
        << error.toStdString();
    QStringList expected = before;  // the renamed value keeps its place
    expected.replace(int(expected.indexOf(hostile[2])), QStringLiteral("深红"));
    EXPECT_EQ(values(kItem), expected);
    EXPECT_EQ(field(kItem, hostile[1], "cAlias"), hostile[1]);
    for (const QString& value : hostile.mid(3)) {
        ASSERT_TRUE(srv().Delete(deleteKey(kItem, value), QStringLiteral("cID"), kTable, &error))
            << testsupport::traceText(value) << ": " << error.toStdString();
        expected.removeOne(value);
        EXPECT_EQ(values(kItem), expected) << testsupport::traceText(value);
    }
    // The stop flag and bar code are written when sent.
    ASSERT_TRUE(srv().Add(QStringLiteral("<Userdefine><cId>20</cId><cValue>A1</cValue><cAlias/><cBarCode>AB12"
                                         "</cBarCode><cParentValue/><bFreeStop>1</bFreeStop></Userdefine>"),
                          kTable, &error))
        << error.toStdString();
    EXPECT_EQ(field(kItem, QStringLiteral("A1"), "cBarCode"), QStringLiteral("AB12"));
    EXPECT_EQ(field(kItem, QStringLiteral("A1"), "bFreeStop"), QStringLiteral("true"));
}

TEST_F(DocumentWrites, RefusalsNameTheirReasonAndChangeNothing) {
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("v1"), QStringLiteral("a1")), kTable));
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("v2"), QStringLiteral("a2")), kTable));
    const DbSnapshot before = DbSnapshot::take(account.db());
    QString error;
    const auto add = [&](const QString& xml, const QString& table = kTable) { return srv().Add(xml, table, &error); };
    const auto modify = [&](const QString& to, const QString& from) {
        return srv().Modify(valueDocument(kItem, to, {}, from, true), kTable, &error);
    };
    const auto remove = [&](const QString& key) { return srv().Delete(key, QStringLiteral("cId"), kTable, &error); };
    const QString doc = QStringLiteral("<Userdefine><cId>20</cId><cValue>n</cValue>%1</Userdefine>");
    const QList<std::tuple<const char*, std::function<bool()>, const char*>> cases = {
        {"duplicate add", [&] { return add(valueDocument(kItem, QStringLiteral("v1"))); }, "already exists"},
        {"modify onto another value", [&] { return modify(QStringLiteral("v1"), QStringLiteral("v2")); }, "already exists"},
        {"modify of a missing value", [&] { return modify(QStringLiteral("v9"), QStringLiteral("gone")); }, "no longer exists"},
        {"empty value", [&] { return add(valueDocument(kItem, QStringLiteral("  "))); }, "empty"},
        {"unknown item", [&] { return add(valueDocument(QStringLiteral("99999"), QStringLiteral("x"))); }, "does not exist"},
        {"not well-formed", [&] { return add(doc.arg(QStringLiteral("<cAlias>a<b</cAlias>"))); }, "does not parse"},
        {"unknown field", [&] { return add(doc.arg(QStringLiteral("<pubzxts>1</pubzxts>"))); }, "unknown field"},
        {"too long", [&] { return add(valueDocument(kItem, QString(121, QLatin1Char('x')))); }, "longer than 120"},
        {"bad stop flag", [&] { return add(doc.arg(QStringLiteral("<bFreeStop>yes</bFreeStop>"))); }, "neither 0 nor 1"},
        {"unknown table", [&] { return add(valueDocument(kItem, QStringLiteral("n")), QStringLiteral("UserDef_Parent")); },
         "takes no documents"},
        {"key that widens itself", [&] { return remove(QStringLiteral("20' or '1'='1")); }, "only \"and column='value'\""},
        {"key on an unknown column", [&] { return remove(QStringLiteral("20' and nothere='1")); }, "no column"},
        {"delete of a missing value", [&] { return remove(deleteKey(kItem, QStringLiteral("gone"))); }, "No value"},
    };
    for (const auto& [what, write, expected] : cases) {
        error.clear();
        EXPECT_FALSE(write()) << what;
        EXPECT_TRUE(error.contains(QLatin1String(expected))) << what << ": " << error.toStdString();
        EXPECT_EQ(srv().lastError(), error) << what;
        EXPECT_TRUE(testsupport::sameAs(before, account.db())) << what;
    }
}

TEST_F(DocumentWrites, AFailureAtAnyStatementLeavesTheDatabaseAsItWas) {
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("keep"), QStringLiteral("k")), kTable));
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("old"), QStringLiteral("o")), kTable));
    const QList<std::pair<const char*, testsupport::Write>> writes = {
        {"add", [&](QString* e) { return srv().Add(valueDocument(kItem, QStringLiteral("new")), kTable, e); }},
        {"modify",
         [&](QString* e) {
             return srv().Modify(valueDocument(kItem, QStringLiteral("renamed"), {}, QStringLiteral("old"), true), kTable, e);
         }},
        {"delete",
         [&](QString* e) { return srv().Delete(deleteKey(kItem, QStringLiteral("keep")), QStringLiteral("cId"), kTable, e); }},
    };
    for (const auto& [what, write] : writes) {
        int failures = 0;
        EXPECT_TRUE(testsupport::failAtEachStatement(account, write, &failures)) << what;
        EXPECT_GE(failures, 2) << what << " runs its checks, its change and the commit";
    }
    EXPECT_EQ(values(kItem).mid(values(kItem).size() - 2),
              (QStringList{QStringLiteral("renamed"), QStringLiteral("new")}));  // in old's place
}

}  // namespace

// Real database errors inside each kind of document: a row refused by a trigger, a deferred key
// that fails only at COMMIT, and another connection holding the write lock. Each leaves every
// table as it was, names its cause, and the service writes again afterwards.
TEST_F(DocumentWrites, ADatabaseErrorInsideAnyDocumentChangesNothingAndSaysWhy) {
    platform::db::Database& db = account.db();
    struct Kind {
        const char* what;
        const char* table;  // the table the document writes its rows to
        std::function<bool(QString*)> write;
    };
    const QList<Kind> kinds = {
        {"item", "userdef_lang",
         [&](QString* e) {
             return srv().Add(testsupport::newHeaderItem(QStringLiteral("1099"), 99,
                                                         {QStringLiteral("SA_OrderHead")})
                                  .xml(),
                              QStringLiteral("Userdef_base"), e);
         }},
        {"value", "Userdefine",
         [&](QString* e) { return srv().Add(valueDocument(kItem, QStringLiteral("新值")), kTable, e); }},
        {"rule", "AA_ExtendDefineMakeVouch_Set",
         [&](QString* e) {
             return srv().Add(QStringLiteral(
                                  "<AA_ExtendDefineMakeVouch_Set><cMakeVouchID>PU01</cMakeVouchID>"
                                  "<cSub_id>PU</cSub_id><cType>H</cType><cextendfield>cHDefine1"
                                  "</cextendfield><ctargetfield>cHDefine1</ctargetfield><cTableName>"
                                  "PU_OrderHead</cTableName><cTargetTable>PU_ArrivalHead</cTargetTable>"
                                  "<btrans>1</btrans><cdesc></cdesc></AA_ExtendDefineMakeVouch_Set>"),
                              QStringLiteral("AA_ExtendDefineMakeVouch_Set"), e);
         }},
    };
    ASSERT_TRUE(db.exec(QStringLiteral(
        "CREATE TABLE zz_parent(id INTEGER PRIMARY KEY);"
        "CREATE TABLE zz_child(p INTEGER REFERENCES zz_parent(id) DEFERRABLE INITIALLY DEFERRED)")));
    QString why;
    const std::unique_ptr<platform::db::Database> other =
        platform::db::Database::open(account.dataPath(), false, &why);
    ASSERT_TRUE(other) << why.toStdString();
    platform::db::Database& served = *srv().connection()->sqliteDatabase();

    for (const Kind& kind : kinds) {
        const QString table = QString::fromLatin1(kind.table);
        struct Fault {
            const char* what;
            QString arm, disarm;  // on the test's connection
            bool lockElsewhere;
            const char* expected;
        };
        const QList<Fault> faults = {
            {"a trigger refuses the row",
             QStringLiteral("CREATE TRIGGER zz_t BEFORE INSERT ON %1 BEGIN SELECT RAISE(ABORT, "
                            "'refused by the account''s own rule'); END").arg(table),
             QStringLiteral("DROP TRIGGER zz_t"), false, "refused by the account's own rule"},
            {"a deferred key fails at COMMIT",
             QStringLiteral("CREATE TRIGGER zz_t AFTER INSERT ON %1 BEGIN INSERT INTO zz_child "
                            "VALUES (1); END").arg(table),
             QStringLiteral("DROP TRIGGER zz_t"), false, "FOREIGN KEY constraint failed"},
            {"another connection holds the write lock", {}, {}, true, "busy"},
        };
        for (const Fault& fault : faults) {
            const DbSnapshot before = DbSnapshot::take(db);
            if (!fault.arm.isEmpty()) {
                ASSERT_TRUE(db.exec(fault.arm)) << kind.what;
            }
            if (fault.lockElsewhere) {
                ASSERT_TRUE(other->exec(QStringLiteral("BEGIN IMMEDIATE")));
                served.setBusyTimeout(50);
            }
            QString error;
            EXPECT_FALSE(kind.write(&error)) << kind.what << ", " << fault.what;
            EXPECT_TRUE(error.contains(QLatin1String(fault.expected)))
                << kind.what << ", " << fault.what << ": " << error.toStdString();
            if (fault.lockElsewhere) {
                ASSERT_TRUE(other->exec(QStringLiteral("ROLLBACK")));
                served.setBusyTimeout(platform::db::Database::kBusyTimeoutMs);
            }
            if (!fault.disarm.isEmpty()) {
                ASSERT_TRUE(db.exec(fault.disarm));
            }
            EXPECT_FALSE(served.inTransaction()) << kind.what << ", " << fault.what;
            EXPECT_TRUE(testsupport::sameAs(before, db)) << kind.what << ", " << fault.what;
        }
        // Nothing is left open: the same write now succeeds and another connection sees it.
        const DbSnapshot before = DbSnapshot::take(db);
        EXPECT_TRUE(kind.write(&why)) << kind.what << ": " << why.toStdString();
        EXPECT_NE(DbSnapshot::take(db), before) << kind.what;
    }
}
