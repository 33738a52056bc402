#pragma once
// A fresh copy of the demo account "001" for one test, in its own temporary data root. The demo
// account is built once per build tree into a template folder ($USERDEF_TEST_TEMPLATE, else one
// in the temporary directory) under a lock file, and rebuilt when the schema or demo version
// changes; each TestAccount copies its files. A server account is a database of its own on the
// tests' PostgreSQL server, cloned from one copy of the template the server keeps, with the
// data root's entry naming it.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QTemporaryDir>
#include <memory>

#include "platform/db/Database.h"
#include "tests/support/PgTestServer.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/ServerFunctions.h"
#include "tests/support/Printing.h"

namespace testsupport {

class TestAccount {
public:
    enum class Kind { Embedded, Server };
    explicit TestAccount(Kind kind = Kind::Embedded);
    ~TestAccount();
    TestAccount(const TestAccount&) = delete;
    TestAccount& operator=(const TestAccount&) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    Kind kind() const { return m_kind; }
    QString accountId() const { return QStringLiteral("001"); }
    QString dataRoot() const;  // holds zxsystem.db and 001/
    QString dataPath() const;  // 001/ZxData_001.db
    QString metaPath() const;  // 001/ZxMeta_001.db
    QString systemPath() const;

    // Connection texts of the data and metadata databases.
    QString connectionText(const QString& language = QStringLiteral("zh-CN")) const;
    QString metaConnectionText(const QString& language = QStringLiteral("zh-CN")) const;

    // Made on first use, in zh-CN: the server database service, and the data database opened
    // directly (zxsystem and ZxMeta_001 attached, the server functions installed).
    platform::server::ClsCommon& srv();
    platform::db::Database& db();  // embedded accounts only
    // The data database in its own SQL, of either kind; on a server the search path is the
    // account's data, system and metadata schemas.
    platform::db::Connection& conn();
    // Every row of a query on conn(), its cells joined by "|", NULL as "~"; the columns named
    // in leaveOut (a row version a write renews, say) are left out.
    QStringList rows(const QString& sql, const QVariantList& params = {},
                     const QStringList& leaveOut = {});

private:
    Kind m_kind;
    QTemporaryDir m_dir;
    std::unique_ptr<PgTestDatabase> m_server;
    QString m_error;
    std::unique_ptr<platform::server::ClsCommon> m_srv;
    std::unique_ptr<platform::sql::ServerFunctions> m_functions;  // outlives m_db
    std::unique_ptr<platform::db::Database> m_db;
};

inline const char* kindName(TestAccount::Kind kind) {
    return kind == TestAccount::Kind::Server ? "Server" : "Embedded";
}

class AccountTest : public ::testing::Test {
protected:
    explicit AccountTest(TestAccount::Kind kind = TestAccount::Kind::Embedded) : account(kind) {}
    void SetUp() override { ASSERT_TRUE(account.ok()) << account.error().toStdString(); }
    TestAccount account;
};

}  // namespace testsupport
