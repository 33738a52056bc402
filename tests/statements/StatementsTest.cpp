// Every statement the component sends to the server database service, run on a fresh demo
// account: it must translate and run, return the fields the component reads, and give the rows
// the demo data implies.
#include <gtest/gtest.h>

#include <QDateTime>
#include <ctime>
#include <ostream>
#include <tuple>

#include "tests/statements/StatementCase.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TestAccount.h"

namespace statements {

// Test names carry the case name; the statement is traced where it fails.
void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.name; }

namespace {

std::vector<StatementCase> allStatements() {
    std::vector<StatementCase> all = itemStatements(), carryOver = carryOverStatements();
    all.insert(all.end(), carryOver.begin(), carryOver.end());
    return all;
}

using Kind = testsupport::TestAccount::Kind;

class Statement : public ::testing::TestWithParam<std::tuple<StatementCase, Kind>> {};

TEST_P(Statement, RunsWithTheFieldsAndRowsTheComponentReads) {
    const auto& [c, kind] = GetParam();
    testsupport::TestAccount account(kind);
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    platform::server::ClsCommon srv;
    srv.init(c.db == StatementCase::Db::Meta ? account.metaConnectionText(c.language)
                                             : account.connectionText(c.language));
    ASSERT_TRUE(srv.Status()) << srv.lastError().toStdString();
    for (const QString& sql : c.before + (c.run == StatementCase::Run::Execute ? QStringList{c.sql} : QStringList{}))
        ASSERT_TRUE(srv.ExecuteX(sql)) << sql.toStdString() << "\n" << srv.lastError().toStdString();
    if (c.run == StatementCase::Run::Execute) return;
    const host::RecordSetPtr rows = srv.OpenX(c.sql);
    ASSERT_TRUE(rows) << c.sql.toStdString() << "\n" << srv.lastError().toStdString();
    SCOPED_TRACE(c.sql.toStdString());
    QStringList fields;
    for (const host::FieldInfo& f : rows->fields()) fields << f.name;
    EXPECT_EQ(fields.join(',').toLower().toStdString(), c.columns.join(',').toLower().toStdString());
    if (c.check) c.check(*rows);
}

// GETDATE is the local time of the machine the desk runs on, on either kind of account: eight
// hours ahead of GETUTCDATE in Shanghai.
TEST(CurrentTime, GetDateIsTheMachinesLocalTimeOnBothKinds) {
    for (const Kind kind : {Kind::Embedded, Kind::Server}) {
        const testsupport::ScopedEnv zone("TZ", "Asia/Shanghai");
        tzset();
        testsupport::TestAccount account(kind);
        ASSERT_TRUE(account.ok()) << account.error().toStdString();
        platform::server::ClsCommon srv;
        srv.init(account.connectionText());
        const host::RecordSetPtr rows = srv.OpenX("SELECT GETDATE() AS l, GETUTCDATE() AS u");
        ASSERT_TRUE(rows && rows->recordCount() == 1) << srv.lastError().toStdString();
        const auto at = [&](int c) {
            return QDateTime::fromString(rows->textAt(0, c).left(19).replace(' ', 'T'), Qt::ISODate);
        };
        EXPECT_NEAR(at(1).secsTo(at(0)), 8 * 3600, 60) << testsupport::kindName(kind);
    }
    tzset();  // the zone the process had
}

// Each statement on an embedded account and on a server account.
INSTANTIATE_TEST_SUITE_P(Component, Statement,
                         ::testing::Combine(::testing::ValuesIn(allStatements()),
                                            ::testing::Values(Kind::Embedded, Kind::Server)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    testsupport::kindName(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace statements
