#pragma once
// A database of its own on the tests' throwaway PostgreSQL server, dropped at the end. The
// server is the one ./test passes in $USERDEF_TEST_PG, else one this program starts through
// scripts/pg-test-server.sh, which stops once the program has ended.
#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "platform/db/PgConnection.h"
#include "tests/support/Printing.h"

namespace testsupport {

struct PgTestDatabase {
    // A copy of `templateDb` (a database on the same server) when one is named, else empty.
    explicit PgTestDatabase(const QString& templateDb = {});
    ~PgTestDatabase();
    QString server, name, conninfo, error;
    std::unique_ptr<platform::db::PgConnection> db;  // opened with the database
};

class PgTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pg.db) << pg.error.toStdString(); }
    PgTestDatabase pg;
};

}  // namespace testsupport
