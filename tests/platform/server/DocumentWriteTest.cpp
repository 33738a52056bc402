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

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

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

TEST_F(DocumentWrites, AddModifyAndDeleteAValue) {
    const QStringList before = values(kItem);
    QString error;
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("紫罗兰"), QStringLiteral("red")), kTable,
                          &error))
        << error.toStdString();
    EXPECT_EQ(values(kItem), before + QStringList{QStringLiteral("紫罗兰")});
    EXPECT_EQ(field(kItem, QStringLiteral("紫罗兰"), "cAlias"), QStringLiteral("red"));
    EXPECT_EQ(field(kItem, QStringLiteral("紫罗兰"), "cParentValue"), QString());  // empty, not null

    ASSERT_TRUE(srv().Modify(valueDocument(kItem, QStringLiteral("深红"), QStringLiteral("dark"),
                                           QStringLiteral("紫罗兰"), true),
                             kTable, &error))
        << error.toStdString();
    EXPECT_EQ(field(kItem, QStringLiteral("紫罗兰"), "cAlias"), QStringLiteral("<none>"));
    EXPECT_EQ(field(kItem, QStringLiteral("深红"), "cAlias"), QStringLiteral("dark"));

    ASSERT_TRUE(srv().Delete(deleteKey(kItem, QStringLiteral("深红")), QStringLiteral("cID"),
                             QStringLiteral("userdefine"), &error))
        << error.toStdString();
    EXPECT_EQ(values(kItem), before);
    // The stop flag and bar code are written when sent.
    ASSERT_TRUE(srv().Add(QStringLiteral("<Userdefine><cId>20</cId><cValue>A1</cValue><cAlias/>"
                                         "<cBarCode>AB12</cBarCode><cParentValue/>"
                                         "<bFreeStop>1</bFreeStop></Userdefine>"),
                          kTable, &error))
        << error.toStdString();
    EXPECT_EQ(field(kItem, QStringLiteral("A1"), "cBarCode"), QStringLiteral("AB12"));
    EXPECT_EQ(field(kItem, QStringLiteral("A1"), "bFreeStop"), QStringLiteral("true"));
}

TEST_F(DocumentWrites, RefusalsNameTheirReasonAndChangeNothing) {
    QString error;
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("v1"), QStringLiteral("a1")), kTable));
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("v2"), QStringLiteral("a2")), kTable));
    const DbSnapshot before = DbSnapshot::take(account.db());

    struct Case {
        const char* what;
        std::function<bool()> write;
        const char* expected;  // part of the message
    };
    const QList<Case> cases = {
        {"duplicate add",
         [&] { return srv().Add(valueDocument(kItem, QStringLiteral("v1")), kTable, &error); },
         "already exists"},
        {"modify onto another value",
         [&] {
             return srv().Modify(valueDocument(kItem, QStringLiteral("v1"), {}, QStringLiteral("v2"), true),
                                 kTable, &error);
         },
         "already exists"},
        {"modify of a missing value",
         [&] {
             return srv().Modify(valueDocument(kItem, QStringLiteral("v9"), {}, QStringLiteral("gone"), true),
                                 kTable, &error);
         },
         "no longer exists"},
        {"empty value",
         [&] { return srv().Add(valueDocument(kItem, QStringLiteral("  ")), kTable, &error); },
         "empty"},
        {"unknown item",
         [&] { return srv().Add(valueDocument(QStringLiteral("99999"), QStringLiteral("x")), kTable, &error); },
         "does not exist"},
        {"not well-formed",
         [&] { return srv().Add(QStringLiteral("<Userdefine><cId>20</cId><cValue>a<b</cValue></Userdefine>"), kTable, &error); },
         "does not parse"},
        {"unknown field",
         [&] { return srv().Add(QStringLiteral("<Userdefine><cId>20</cId><cValue>n</cValue><pubzxts>1</pubzxts></Userdefine>"), kTable, &error); },
         "unknown field"},
        {"too long",
         [&] { return srv().Add(valueDocument(kItem, QString(121, QLatin1Char('x'))), kTable, &error); },
         "longer than 120"},
        {"bad stop flag",
         [&] { return srv().Add(QStringLiteral("<Userdefine><cId>20</cId><cValue>n</cValue><bFreeStop>yes</bFreeStop></Userdefine>"), kTable, &error); },
         "neither 0 nor 1"},
        {"unknown table",
         [&] { return srv().Add(valueDocument(kItem, QStringLiteral("n")), QStringLiteral("UserDef_Parent"), &error); },
         "takes no documents"},
        {"key that widens itself",
         [&] { return srv().Delete(QStringLiteral("20' or '1'='1"), QStringLiteral("cId"), kTable, &error); },
         "only \"and column='value'\""},
        {"key on an unknown column",
         [&] { return srv().Delete(QStringLiteral("20' and nothere='1"), QStringLiteral("cId"), kTable, &error); },
         "no column"},
        {"delete of a missing value",
         [&] { return srv().Delete(deleteKey(kItem, QStringLiteral("gone")), QStringLiteral("cId"), kTable, &error); },
         "No value"},
    };
    for (const Case& c : cases) {
        error.clear();
        EXPECT_FALSE(c.write()) << c.what;
        EXPECT_TRUE(error.contains(QLatin1String(c.expected))) << c.what << ": " << error.toStdString();
        EXPECT_EQ(srv().lastError(), error) << c.what;
        EXPECT_TRUE(testsupport::sameAs(before, account.db())) << c.what;
    }
}

TEST_F(DocumentWrites, AFailureAtAnyStatementLeavesTheDatabaseAsItWas) {
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("keep"), QStringLiteral("k")), kTable));
    ASSERT_TRUE(srv().Add(valueDocument(kItem, QStringLiteral("old"), QStringLiteral("o")), kTable));
    const QList<std::pair<const char*, std::function<bool(QString*)>>> writes = {
        {"add", [&](QString* e) { return srv().Add(valueDocument(kItem, QStringLiteral("new")), kTable, e); }},
        {"modify",
         [&](QString* e) {
             return srv().Modify(valueDocument(kItem, QStringLiteral("renamed"), QStringLiteral("r"),
                                               QStringLiteral("old"), true),
                                 kTable, e);
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
              (QStringList{QStringLiteral("new"), QStringLiteral("renamed")}));
}

TEST_F(DocumentWrites, HostileValuesArriveUnchangedAndDeleteOnlyThemselves) {
    const QStringList hostile = testsupport::hostileTexts(120);
    QString error;
    for (const QString& value : hostile) {
        ASSERT_TRUE(srv().Add(valueDocument(kItem, value, value.left(120)), kTable, &error))
            << value.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(field(kItem, value, "cValue"), value);
        EXPECT_EQ(field(kItem, value, "cAlias"), value.left(120));
    }
    // A modify keyed by a hostile value changes that row only.
    ASSERT_TRUE(srv().Modify(valueDocument(kItem, QStringLiteral("x' or '1'='1"), QStringLiteral("changed"),
                                           QStringLiteral("x' or '1'='1"), true),
                             kTable, &error))
        << error.toStdString();
    EXPECT_EQ(field(kItem, QStringLiteral("O'Brien"), "cAlias"), QStringLiteral("O'Brien"));
    EXPECT_EQ(field(kItem, QStringLiteral("x' or '1'='1"), "cAlias"), QStringLiteral("changed"));

    for (const QString& value : hostile) {
        const QStringList before = values(kItem);
        ASSERT_TRUE(srv().Delete(deleteKey(kItem, value), QStringLiteral("cID"), kTable, &error))
            << value.toStdString() << ": " << error.toStdString();
        QStringList expected = before;
        expected.removeOne(value);
        EXPECT_EQ(values(kItem), expected) << value.toStdString();
    }
    EXPECT_TRUE(DbSnapshot::take(account.db()).integrityOk());
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
    platform::db::Database& served = srv().connection()->database();

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
