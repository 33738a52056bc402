// Every statement the component sends to the server database service, run on a fresh demo
// account: it must translate and run, return the fields the component reads, and give the rows
// the demo data implies.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/statements/StatementCase.h"
#include "tests/support/TestAccount.h"

namespace statements {

// Test names carry the case name; the statement is traced where it fails.
void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.name; }

namespace {

std::vector<StatementCase> allStatements() {
    std::vector<StatementCase> all = catalogueStatements();
    for (auto&& part : {itemStatements(), carryOverStatements()})
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

QStringList lower(const QStringList& names) {
    QStringList out;
    for (const QString& n : names) out << n.toLower();
    return out;
}

class Statement : public testsupport::AccountTest,
                  public ::testing::WithParamInterface<StatementCase> {};

TEST_P(Statement, RunsWithTheFieldsAndRowsTheComponentReads) {
    const StatementCase& c = GetParam();
    SCOPED_TRACE(c.sql.toStdString());
    platform::server::ClsCommon srv;
    srv.init(c.db == StatementCase::Db::Meta ? account.metaConnectionText(c.language)
                                             : account.connectionText(c.language));
    ASSERT_TRUE(srv.Status()) << srv.lastError().toStdString();
    for (const QString& first : c.before)
        ASSERT_TRUE(srv.ExecuteX(first))
            << "statement:\n"
            << first.toStdString() << "\nerror: " << srv.lastError().toStdString();

    if (c.run == StatementCase::Run::Execute) {
        ASSERT_TRUE(srv.ExecuteX(c.sql))
            << "statement:\n"
            << c.sql.toStdString() << "\nerror: " << srv.lastError().toStdString();
        return;
    }
    const host::RecordSetPtr rows = srv.OpenX(c.sql);
    ASSERT_TRUE(rows) << "statement:\n"
                      << c.sql.toStdString() << "\nerror: " << srv.lastError().toStdString();
    QStringList fields;
    for (const host::FieldInfo& f : rows->fields()) fields << f.name;
    EXPECT_EQ(lower(fields).join(QLatin1Char(',')).toStdString(),
              lower(c.columns).join(QLatin1Char(',')).toStdString());
    if (c.check) c.check(*rows);
}

INSTANTIATE_TEST_SUITE_P(Component, Statement, ::testing::ValuesIn(allStatements()),
                         [](const ::testing::TestParamInfo<StatementCase>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
}  // namespace statements
