// Moving an account to a server and back: every row arrives, a failure leaves nothing behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/db/AccountFiles.h"
#include "platform/db/DemoAccount.h"
#include "platform/db/ServerAccount.h"
#include "tests/support/DbSnapshot.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestAccount.h"

using platform::db::CopiedTable;
using platform::db::Database;

namespace {

class ServerAccountTest : public testsupport::PgTest {
protected:
    testsupport::TestAccount account;
    QStringList serverRows(const QString& sql, const QVariantList& params = {}) {
        QString error;
        const host::RecordSetPtr rs = pg.db->query(sql, params, &error);
        QStringList rows{error};
        for (int r = 0; rs && r < rs->recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < rs->fieldCount(); ++c) cells << rs->at(r, c).toString();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
};

// The rows of every table of a database file (its DDL text is the copy's own).
testsupport::DbSnapshot rowsOf(const QString& path) {
    auto db = Database::open(path, false, nullptr);
    testsupport::DbSnapshot rows;
    if (db) rows.tables = testsupport::DbSnapshot::take(*db).tables;
    return rows;
}

// The demo account with hostile texts in its values goes to the server and comes back into a
// fresh data root with every row of its three databases as it was.
TEST_F(ServerAccountTest, DemoAccountGoesToTheServerAndBackUnchanged) {
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    const QStringList texts = testsupport::hostileTexts(120);
    for (int i = 0; i < texts.size(); ++i)
        ASSERT_TRUE(account.db().execParams(
            "INSERT INTO Userdefine(cId, cValue, cAlias) VALUES ('1', ?1, ?2)",
            {QStringLiteral("h%1").arg(i), texts[i]}))
            << testsupport::traceText(texts[i]);
    platform::db::AccountCopy there, back;
    QString error;
    ASSERT_TRUE(
        platform::db::copyAccountToServer(account.dataRoot(), "001", pg.conninfo, &there, &error))
        << error.toStdString();
    EXPECT_EQ(serverRows("SELECT \"cAlias\" FROM zxdata_001.\"Userdefine\" WHERE \"cValue\" "
                         "COLLATE \"C\" LIKE 'h%' ORDER BY length(\"cValue\"), \"cValue\" "
                         "COLLATE \"C\""),
              QStringList{QString()} + texts);

    // The password hashes are longer than the file declares (it does not hold texts to it).
    EXPECT_EQ(there.notes.filter("UA_User, column cPasswordHash: nvarchar(64) widened").size(), 1)
        << there.notes.join('\n').toStdString();

    // The item view answers in the session's language; a changed value takes a new row version;
    // a value refused by the file's rules is refused on the server too. (All rolled back.)
    ASSERT_TRUE(pg.db->exec("BEGIN; SET LOCAL zx.language = 'en-US'"));
    EXPECT_EQ(serverRows("SELECT citemlang FROM zxdata_001.\"UserDef_Parent\" WHERE \"cId\" = '1'"),
              QStringList({QString(), "Contract No."}));
    EXPECT_EQ(serverRows("UPDATE zxdata_001.\"Userdefine\" SET \"cAlias\" = 'x' WHERE \"cId\" = "
                         "'6' AND \"cValue\" = '浙江' RETURNING pubzxts"),
              QStringList({QString(), QString::number(151 + texts.size())}));
    EXPECT_FALSE(
        pg.db->exec("INSERT INTO zxdata_001.\"Userdefine\"(\"cId\", \"cValue\") "
                    "VALUES ('1', '')"));
    ASSERT_TRUE(pg.db->exec("ROLLBACK"));

    QTemporaryDir root;
    ASSERT_TRUE(platform::db::copyAccountToFiles(pg.conninfo, "001", root.path(), &back, &error))
        << error.toStdString();
    const auto from = platform::db::accountFiles(account.dataRoot(), "001");
    const auto to = platform::db::accountFiles(root.path(), "001");
    for (const auto& [a, b] : {std::pair{from.data, to.data}, std::pair{from.meta, to.meta},
                               std::pair{from.system, to.system}})
        EXPECT_EQ(rowsOf(b).differencesFrom(rowsOf(a)), QString()) << b.toStdString();
    ASSERT_EQ(there.tables.size(), back.tables.size());
    for (const CopiedTable& t : there.tables) {
        const auto same = std::find_if(back.tables.begin(), back.tables.end(),
                                       [&](const CopiedTable& b) { return b.name == t.name; });
        ASSERT_NE(same, back.tables.end()) << t.name.toStdString();
        EXPECT_EQ(same->checksum, t.checksum) << t.name.toStdString();
    }

    // A row the files' rules refuse stops the way back, which leaves no file behind.
    ASSERT_TRUE(
        pg.db->exec("ALTER TABLE zxdata_001.\"Userdefine\" DROP CONSTRAINT "
                    "\"Userdefine_cValue_check\"; INSERT INTO zxdata_001.\"Userdefine\""
                    "(\"cId\", \"cValue\") VALUES ('1', '')"));
    QTemporaryDir other;
    EXPECT_FALSE(
        platform::db::copyAccountToFiles(pg.conninfo, "001", other.path(), nullptr, &error));
    EXPECT_TRUE(error.contains("zxdata_001.Userdefine, row")) << error.toStdString();
    EXPECT_EQ(QDir(other.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

// A row the server refuses stops the copy: it names the table and the row, and the server keeps
// nothing of the account, whether the system schema was there before or not.
TEST_F(ServerAccountTest, RefusedRowLeavesTheServerWithoutTheAccount) {
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    QString error;
    ASSERT_TRUE(
        platform::db::copyAccountToServer(account.dataRoot(), "001", pg.conninfo, nullptr, &error))
        << error.toStdString();
    testsupport::PgTestDatabase fresh;
    ASSERT_TRUE(fresh.db) << fresh.error.toStdString();
    struct Case {
        const char* breakage;  // on account 002's data file
        testsupport::PgTestDatabase* server;
        QStringList says;
        platform::db::ServerSetup midway = {};  // runs once the system schema is there
    };
    const auto dropConnection = [](platform::db::Connection& db, QString*) {
        db.exec("SELECT pg_terminate_backend(pg_backend_pid())");
        return true;
    };
    const Case cases[] = {
        {"UPDATE customer SET dCusDevDate = 'soon' WHERE rowid = 2",
         &pg,
         {"zxdata_002.customer, row 2", "soon"}},
        // The file keeps more decimals than the column declares; the server does not.
        {"UPDATE customer SET iCusCreLine = 1.23456789 WHERE rowid = 1",
         &fresh,
         {"zxdata_002.customer differs", "| 1.23456789 |", "reads [C001", "| 1.234568 |"}},
        // Keys that differ only in width are one key on the server.
        {"INSERT INTO Userdefine(cId, cValue) VALUES ('6', 'Ａbc'), ('6', 'abc')",
         &fresh,
         {"zxdata_002.Userdefine, row", "cValue=abc"}},
        // The connection is lost half-way.
        {"SELECT 1", &pg, {"Nothing was copied", "zxmeta_002"}, dropConnection},
    };
    const QString data = platform::db::accountFiles(account.dataRoot(), "002").data;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.breakage);
        platform::db::removeAccount(account.dataRoot(), "002", &error);
        ASSERT_TRUE(platform::db::createDemoAccount(account.dataRoot(), "002", &error))
            << error.toStdString();
        auto file = Database::open(data, false, nullptr);
        ASSERT_TRUE(file && file->exec(c.breakage));
        file.reset();
        error.clear();
        EXPECT_FALSE(platform::db::copyAccountToServer(
            account.dataRoot(), "002", c.server->conninfo, nullptr, &error, false, c.midway));
        for (const QString& part : c.says) EXPECT_TRUE(error.contains(part)) << error.toStdString();
        const host::RecordSetPtr left = c.server->db->query(
            "SELECT string_agg(nspname::text, ',' ORDER BY nspname) FROM pg_namespace "
            "WHERE nspname LIKE 'zx%'");
        ASSERT_TRUE(left);
        EXPECT_EQ(left->at(0, 0).toString(),
                  c.server == &pg ? "zxdata_001,zxmeta_001,zxsystem" : QString());
    }
    EXPECT_EQ(serverRows("SELECT \"cAcc_Id\" FROM zxsystem.ua_account"), QStringList({{}, "001"}));
}

}  // namespace
