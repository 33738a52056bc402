// The account's files are sound to any SQLite tool (Debian's sqlite3 shell, no extension), its
// repairs keep the program's order, and files of the previous schema version are brought up.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/db/Collation.h"
#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "tests/support/TestAccount.h"

namespace {

using platform::db::Database;

// What the sqlite3 shell prints for `sql` on `file`, as an administrator would run it.
QString sqliteShell(const QString& file, const QString& sql) {
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        ADD_FAILURE() << "the sqlite3 command-line shell is not on PATH (Debian package sqlite3)";
        return QStringLiteral("<no sqlite3>");
    }
    QProcess p;
    p.start(shell, {QStringLiteral("-batch"), file, sql});
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return QStringLiteral("<sqlite3 did not finish>");
    }
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
}

TEST(AccountFile, AFreshAccountIsSoundToSqliteAndItsReindexKeepsTheCatalogueOrder) {
    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    for (const QString& file : {account.dataPath(), account.metaPath(), account.systemPath()})
        EXPECT_EQ(sqliteShell(file, QStringLiteral("pragma integrity_check")), "ok") << file.toStdString();
    ASSERT_EQ(sqliteShell(account.dataPath(), QStringLiteral("REINDEX; VACUUM;")), "");

    // The catalogue's listing: each class in one run, the classes in pinyin order.
    const host::RecordSetPtr rows = account.srv().OpenX(QStringLiteral(
        "Select cClass, cId from UserDef_Parent order by cClass ,cast(cid as int) asc,cItem ASC "));
    ASSERT_TRUE(rows);
    QStringList classes;
    for (int r = 0; r < rows->recordCount(); ++r)
        if (classes.isEmpty() || classes.last() != rows->at(r, 0).toString())
            classes << rows->at(r, 0).toString();
    QStringList sorted = classes;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return platform::db::compareText(a.toUtf8(), b.toUtf8()) < 0;
    });
    sorted.removeDuplicates();
    EXPECT_GE(classes.size(), 6);
    EXPECT_EQ(classes, sorted);
    EXPECT_EQ(sqliteShell(account.dataPath(), QStringLiteral("pragma integrity_check")), "ok");
}

// A small account as the previous version made it: NOCASE replaced by the Chinese order while
// its indexes were built, version 4 stamped.
void makePreviousVersion(const QString& path) {
    QString error;
    std::unique_ptr<Database> db = Database::open(path, true, &error);
    ASSERT_TRUE(db) << error.toStdString();
    ASSERT_EQ(sqlite3_create_collation(db->handle(), "NOCASE", SQLITE_UTF8, nullptr,
                                       [](void*, int an, const void* a, int bn, const void* b) {
                                           return platform::db::compareText(
                                               {static_cast<const char*>(a), an},
                                               {static_cast<const char*>(b), bn});
                                       }),
              SQLITE_OK);
    ASSERT_TRUE(platform::db::createAccountSchema(*db, &error)) << error.toStdString();
    int id = 1;
    for (const char* cls : {"单据头", "联系人", "存货", "供应商", "单据体", "客户", "Zeta", "alpha"})
        ASSERT_TRUE(db->execParams(QStringLiteral("INSERT INTO UserDef_Base(cId, cClass, cItem) VALUES (?, ?, ?)"),
                                   {QString::number(id++), QString::fromUtf8(cls), QString::fromUtf8(cls)}));
    ASSERT_TRUE(db->exec(QStringLiteral("UPDATE zx_SchemaVersion SET iVersion = 4")));
}

TEST(AccountFile, ThePreviousVersionIsRebuiltOnceInOneTransaction) {
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("ZxData_001.db"));
    makePreviousVersion(old);
    const QString damage = sqliteShell(old, QStringLiteral("pragma integrity_check"));
    ASSERT_NE(damage, "ok");  // what a tool saw in such a file
    const QString version = QStringLiteral("select iVersion from zx_SchemaVersion");
    const QString refuse = QStringLiteral(
        "CREATE TRIGGER refuse BEFORE UPDATE ON zx_SchemaVersion BEGIN SELECT RAISE(ABORT, 'refused'); END;");

    // The rebuild fails at its last statement: the open is refused and the file stays as it was.
    ASSERT_EQ(sqliteShell(old, refuse), "");
    QString error;
    EXPECT_FALSE(Database::open(old, false, &error));
    EXPECT_TRUE(error.contains("refused") && error.contains(old)) << error.toStdString();
    EXPECT_EQ(sqliteShell(old, QStringLiteral("pragma integrity_check")), damage);
    EXPECT_EQ(sqliteShell(old, version), "4");

    // Attached (as the metadata and system databases are) it is brought up; later opens do not
    // write the version again.
    ASSERT_EQ(sqliteShell(old, QStringLiteral("DROP TRIGGER refuse")), "");
    {
        std::unique_ptr<Database> other = Database::open(dir.filePath(QStringLiteral("other.db")), true, &error);
        ASSERT_TRUE(other && other->attach(old, QStringLiteral("ZxData"), &error)) << error.toStdString();
    }
    EXPECT_EQ(sqliteShell(old, QStringLiteral("pragma integrity_check")), "ok");
    EXPECT_EQ(sqliteShell(old, version), QString::number(platform::db::kSchemaVersion));
    ASSERT_EQ(sqliteShell(old, refuse), "");
    EXPECT_TRUE(Database::open(old, false, &error)) << error.toStdString();
}

// An account of the version before the change history gets its tables, empty, when opened.
TEST(AccountFile, AnAccountWithoutHistoryGetsItsTablesWhenOpened) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ZxData_001.db"));
    {
        QString error;
        std::unique_ptr<Database> db = Database::open(file, true, &error);
        ASSERT_TRUE(db && platform::db::createAccountSchema(*db, &error)) << error.toStdString();
    }
    ASSERT_EQ(sqliteShell(file, QStringLiteral("DROP TABLE zx_HistoryValue; DROP TABLE zx_History; "
                                               "UPDATE zx_SchemaVersion SET iVersion = 5")),
              "");
    QString error;
    EXPECT_TRUE(Database::open(file, false, &error)) << error.toStdString();
    EXPECT_EQ(sqliteShell(file, QStringLiteral("SELECT count(*) FROM zx_History JOIN zx_HistoryValue "
                                               "USING (iChange); SELECT iVersion FROM zx_SchemaVersion")),
              QStringLiteral("0\n%1").arg(platform::db::kSchemaVersion));
}

}  // namespace
