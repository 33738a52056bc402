// Moving an account to a server and back: every row arrives, a failure leaves nothing behind.
#include <gtest/gtest.h>

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
}

}  // namespace
