// Demo accounts in a data root: a second one shares the system database; what cannot be made is
// refused without leaving anything behind. (Creating over an existing account is refused by the
// command line's tests.)
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/DemoAccount.h"

namespace {

using namespace platform::db;

int count(const QString& path, const QString& sql, const QVariantList& params = {}) {
    QString error;
    std::unique_ptr<Database> db = Database::open(path, false, &error);
    const host::RecordSetPtr rows = db ? db->query(sql, params, &error) : nullptr;
    return rows && !rows->isEmpty() ? rows->value(0).toInt() : -1;
}

TEST(DemoAccount, ASecondAccountSharesTheSystemDatabaseAndRemovingOneKeepsTheOther) {
    QTemporaryDir root;
    QString error;
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error)) << error.toStdString();
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("002"), &error)) << error.toStdString();
    const QString system = accountFiles(root.path(), QStringLiteral("001")).system;
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM ua_account")), 2);
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM UA_User")), 2);  // users once
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM UA_Account_sub WHERE cAcc_id = ? "
                                           "AND iYear = 9999 AND dSubSysUsed IS NOT NULL"),
                    {QStringLiteral("002")}),
              8);

    ASSERT_TRUE(removeAccount(root.path(), QStringLiteral("001"), &error)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(accountFiles(root.path(), QStringLiteral("001")).folder));
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(DISTINCT cAcc_id) FROM UA_Account_sub")), 1);
    EXPECT_TRUE(accountExists(root.path(), QStringLiteral("002")));
}

TEST(DemoAccount, WhatCannotBeCreatedIsRefusedWithoutLeavingFiles) {
    QTemporaryDir root;
    QString error;
    for (const QString& id : {QString(), QStringLiteral("../x"), QStringLiteral("a b"),
                              QStringLiteral("0'1"), QString(21, QLatin1Char('1'))}) {
        EXPECT_FALSE(createDemoAccount(root.path(), id, &error)) << id.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("not a valid account id"))) << error.toStdString();
    }
    EXPECT_TRUE(QDir(root.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    // A system database of another schema version is not written into.
    ASSERT_TRUE(createDemoAccount(root.path(), QStringLiteral("001"), &error));
    const QString system = accountFiles(root.path(), QStringLiteral("001")).system;
    ASSERT_TRUE(Database::open(system, false, &error)
                    ->exec(QStringLiteral("UPDATE zx_SchemaVersion SET iVersion = iVersion + 1")));
    EXPECT_FALSE(createDemoAccount(root.path(), QStringLiteral("002"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("schema version"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(accountFiles(root.path(), QStringLiteral("002")).folder));
    EXPECT_EQ(count(system, QStringLiteral("SELECT count(*) FROM ua_account")), 1);
}

}  // namespace
