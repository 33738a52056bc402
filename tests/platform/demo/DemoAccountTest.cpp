// Creating, refusing and removing demo accounts in a data root.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/DemoAccount.h"
#include "platform/db/Schema.h"

namespace {

using namespace platform::db;

int count(const QString& path, const QString& sql, const QVariantList& params = {}) {
    QString error;
    std::unique_ptr<Database> db = Database::open(path, false, &error);
    if (!db) return -1;
    const host::RecordSetPtr rows = db->query(sql, params, &error);
    return rows && !rows->isEmpty() ? rows->value(0).toInt() : -1;
}

class DemoAccount : public ::testing::Test {
protected:
    QTemporaryDir root;
};

TEST_F(DemoAccount, CreatesTheAccountAndRefusesToOverwriteIt) {
    QString error;
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error))
        << error.toStdString();
    const AccountFiles files = accountFiles(root.path(), QStringLiteral("001"));
    EXPECT_TRUE(QFileInfo::exists(files.system));
    EXPECT_TRUE(accountExists(root.path(), QStringLiteral("001")));
    EXPECT_EQ(schemaVersion(*Database::open(files.data, false, &error), QStringLiteral("account")),
              kSchemaVersion);

    // Someone works in the account; a second creation must not touch it.
    ASSERT_TRUE(
        Database::open(files.data, false, &error)
            ->exec(QStringLiteral("UPDATE UserDef_Base SET cItemName = '备注' WHERE cId = '2'")));
    EXPECT_FALSE(createDemoAccount(root.path(), QStringLiteral("001"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("already exists"))) << error.toStdString();
    EXPECT_EQ(count(files.data,
                    QStringLiteral("SELECT count(*) FROM UserDef_Base WHERE cItemName = '备注'")),
              1);
}

TEST_F(DemoAccount, SecondAccountSharesTheSystemDatabase) {
    QString error;
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error))
        << error.toStdString();
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("002"), &error))
        << error.toStdString();
    const QString system = accountFiles(root.path(), QStringLiteral("001")).system;
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM ua_account")), 2);
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM UA_User")), 2);  // users once
    EXPECT_EQ(count(system,
                    QStringLiteral(
                        "SELECT count(*) FROM UA_Account_sub WHERE cAcc_id = ? AND iYear = 9999 "
                        "AND dSubSysUsed IS NOT NULL"),
                    {QStringLiteral("002")}),
              8);
}

TEST_F(DemoAccount, RemovedAccountCanBeCreatedAgain) {
    QString error;
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error));
    ASSERT_TRUE(removeAccount(root.path(), QStringLiteral("001"), &error)) << error.toStdString();
    EXPECT_FALSE(accountExists(root.path(), QStringLiteral("001")));
    EXPECT_FALSE(QFileInfo::exists(accountFiles(root.path(), QStringLiteral("001")).folder));
    const QString system = accountFiles(root.path(), QStringLiteral("001")).system;
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM ua_account")), 0);
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM UA_Account_sub")), 0);
    EXPECT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error))
        << error.toStdString();
}

TEST_F(DemoAccount, InvalidAccountIdsAreRefusedWithoutLeavingFiles) {
    for (const QString& id : {QString(), QStringLiteral("../x"), QStringLiteral("a b"),
                              QStringLiteral("0'1"), QString(21, QLatin1Char('1'))}) {
        QString error;
        EXPECT_FALSE(createDemoAccount(root.path(), id, &error)) << id.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("not a valid account id")))
            << error.toStdString();
    }
    EXPECT_TRUE(QDir(root.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(DemoAccount, SystemDatabaseOfAnotherSchemaVersionIsRefused) {
    QString error;
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error));
    const QString system = accountFiles(root.path(), QStringLiteral("001")).system;
    ASSERT_TRUE(Database::open(system, false, &error)
                    ->exec(QStringLiteral("UPDATE zx_SchemaVersion SET iVersion = iVersion + 1")));
    EXPECT_FALSE(createDemoAccount(root.path(), QStringLiteral("002"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("schema version"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(accountFiles(root.path(), QStringLiteral("002")).folder));
}

}  // namespace
