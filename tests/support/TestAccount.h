#pragma once
// A fresh copy of the demo account "001" for one test, in its own temporary data root.
//
//   TEST_F(AccountTest, Something) {              // or: TestAccount account; in any test
//       auto rs = account.srv().OpenX("select * from UserDef");   // the component's dialect
//       auto raw = account.db().query("SELECT count(*) FROM Userdefine");  // plain SQLite
//   }
//
// The demo account is built once per build tree into a template folder ($USERDEF_TEST_TEMPLATE,
// set by tests/CMakeLists.txt; else a folder in the system's temporary directory) under a lock
// file, so parallel test processes build it only once; it is rebuilt when the schema or demo
// version changes. Each TestAccount copies the template's files; nothing a test does reaches
// another test.
#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "platform/db/Database.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/ServerFunctions.h"
#include "tests/support/Printing.h"

namespace testsupport {

class TestAccount {
public:
    TestAccount();
    ~TestAccount();
    TestAccount(const TestAccount&) = delete;
    TestAccount& operator=(const TestAccount&) = delete;

    // False when the copy could not be made; error() says why.
    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QString accountId() const { return QStringLiteral("001"); }
    QString dataRoot() const;  // holds zxsystem.db and 001/
    QString dataPath() const;  // 001/ZxData_001.db
    QString metaPath() const;  // 001/ZxMeta_001.db
    QString systemPath() const;

    // Connection texts of the account's data and metadata databases ("zh-CN", "zh-TW", "en-US").
    QString connectionText(const QString& language = QStringLiteral("zh-CN")) const;
    QString metaConnectionText(const QString& language = QStringLiteral("zh-CN")) const;

    // A server database service connected to the data database in zh-CN, made on first use.
    platform::server::ClsCommon& srv();
    // The data database opened directly, with zxsystem and ZxMeta_001 attached and the server
    // functions installed in zh-CN; plain SQLite statements. Made on first use.
    platform::db::Database& db();

private:
    QTemporaryDir m_dir;
    QString m_error;
    std::unique_ptr<platform::server::ClsCommon> m_srv;
    std::unique_ptr<platform::sql::ServerFunctions> m_functions;  // outlives m_db
    std::unique_ptr<platform::db::Database> m_db;
};

// A test fixture holding a TestAccount; SetUp fails the test when the copy failed.
class AccountTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(account.ok()) << account.error().toStdString(); }
    TestAccount account;
};

}  // namespace testsupport
