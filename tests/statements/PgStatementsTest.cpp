// The component's statements on the demo account copied to a server, translated for PostgreSQL:
// each query gives the rows it gives on the embedded account (compared as sets: the order of
// rows a statement leaves open may differ), each other statement runs. Batches with variables
// and procedures run through the dialect's connection and are not taken here.
#include <gtest/gtest.h>

#include "platform/db/ServerAccount.h"
#include "platform/sql/Batch.h"
#include "platform/sql/PgConnectionSchema.h"
#include "platform/sql/PgFunctions.h"
#include "tests/statements/StatementCase.h"
#include "tests/support/PgTestServer.h"
#include "tests/support/TestAccount.h"

namespace statements {
namespace {

QStringList sortedRows(const host::RecordSet& rs) {
    QStringList rows;
    for (int r = 0; r < rs.recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs.fieldCount(); ++c) cells << host::variantText(rs.at(r, c));
        rows << cells.join('|');
    }
    rows.sort();
    return rows;
}

class PgStatements : public testsupport::PgTest {};

TEST_F(PgStatements, GiveTheRowsOfTheEmbeddedAccount) {
    testsupport::TestAccount account;
    ASSERT_TRUE(account.ok()) << account.error().toStdString();
    platform::db::AccountCopy copy;
    QString why;
    ASSERT_TRUE(platform::db::copyAccountToServer(account.dataRoot(), "001", pg.conninfo, &copy, &why) &&
                platform::sql::installPgFunctions(*pg.db, &why))
        << why.toStdString();
    std::vector<StatementCase> cases = itemStatements(), carryOver = carryOverStatements();
    cases.insert(cases.end(), carryOver.begin(), carryOver.end());
    for (const StatementCase& c : cases) {
        SCOPED_TRACE(c.name);
        platform::sql::Batch batch;
        bool plain = true;
        for (const QString& sql : c.before + QStringList{c.sql})
            plain = plain && platform::sql::parseBatch(sql, &batch, &why) &&
                    std::all_of(batch.statements.begin(), batch.statements.end(), [](const auto& s) {
                        return s.kind == platform::sql::Statement::Kind::Sql;
                    });
        if (!plain) continue;
        const bool meta = c.db == StatementCase::Db::Meta;
        const QString own = meta ? "zxmeta_001" : "zxdata_001";
        // Each case in a transaction of its own that leaves nothing behind.
        ASSERT_TRUE(pg.db->exec("BEGIN; SET LOCAL search_path = " + own + ", zxsystem, zxmeta_001; "
                                "SET LOCAL zx.language = '" + c.language + "'", &why)) << why.toStdString();
        platform::sql::PgConnectionSchema schema(*pg.db, own, {"zxsystem", "ZxMeta_001"});
        platform::sql::Translator translator(meta ? "ZxMeta_001" : "ZxData_001", {"zxsystem", "ZxMeta_001"},
                                             &schema, platform::sql::Target::Postgres);
        host::RecordSetPtr rows;
        for (const QString& sql : c.before + QStringList{c.sql}) {
            platform::sql::Translation t;
            ASSERT_TRUE(translator.translate(sql, &t, &why)) << why.toStdString();
            rows = t.returnsRows ? pg.db->query(t.sql, {}, &why) : nullptr;
            ASSERT_TRUE(t.returnsRows ? rows != nullptr : pg.db->exec(t.sql, &why)) << why.toStdString() << "\n" << t.sql.toStdString();
        }
        pg.db->exec("ROLLBACK");
        if (c.run == StatementCase::Run::Execute || !c.before.isEmpty()) continue;
        platform::server::ClsCommon srv;
        srv.init(meta ? account.metaConnectionText(c.language) : account.connectionText(c.language));
        const host::RecordSetPtr expected = srv.OpenX(c.sql);
        ASSERT_TRUE(expected && rows) << srv.lastError().toStdString();
        EXPECT_EQ(sortedRows(*rows), sortedRows(*expected));
    }
}

}  // namespace
}  // namespace statements
