#pragma once
// The SQL engine's tests run on a fresh copy of the demo account, through a connection of the
// engine itself (no server database service in between).
#include <gtest/gtest.h>

#include <memory>

#include "platform/sql/TSqlConnection.h"
#include "tests/support/TestAccount.h"

namespace sqltest {

class SqlTest : public testsupport::AccountTest {
protected:
    void SetUp() override {
        testsupport::AccountTest::SetUp();
        connection = connect();
        ASSERT_TRUE(connection);
    }
    // A new connection to the account's data database in `language`.
    std::unique_ptr<platform::sql::TSqlConnection> connect(
        const QString& language = QStringLiteral("zh-CN")) {
        QString why;
        auto c = platform::sql::TSqlConnection::open(account.connectionText(language), &why);
        EXPECT_TRUE(c) << why.toStdString();
        return c;
    }
    // The first value of a query's first row, as text; the error when the query fails.
    QString first(const QString& tsql) {
        const auto rows = connection->open(tsql);
        if (!rows) return QStringLiteral("<failed> ") + connection->lastError();
        return rows->isEmpty() ? QStringLiteral("<no rows>") : rows->text(0);
    }

    std::unique_ptr<platform::sql::TSqlConnection> connection;
};

}  // namespace sqltest
