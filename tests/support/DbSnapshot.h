#pragma once
// What an account holds, to compare before and after a write: every row of every table of every
// database on the connection (the data database and the attached system and metadata
// databases), the schema and the integrity check.
//
//   const DbSnapshot before = DbSnapshot::take(account.db());
//   … a write that must be refused …
//   EXPECT_TRUE(sameAs(before, account.db()));       // on failure: which table, which rows
//   EXPECT_NE(DbSnapshot::take(account.db()), before);
//
// And a write failed at each of its statements in turn, the account unchanged after each:
//
//   int failures = 0;
//   EXPECT_TRUE(failAtEachStatement(account, [&](QString* e) { return srv.Add(xml, t, e); },
//                                   &failures));
#include <gtest/gtest.h>

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <ostream>

#include "tests/support/Printing.h"

namespace platform::db {
class Database;
}

namespace testsupport {

class TestAccount;

struct DbSnapshot {
    // "schema.table" → its rows in rowid order, one text a row: 'text', numbers, NULL, x'blob'.
    QMap<QString, QStringList> tables;
    // "schema|type|name|sql" of every schema entry.
    QStringList schema;
    // What the integrity checks report besides "ok", "schema: message" a line; empty when sound.
    QStringList problems;

    // Every schema on the connection but temp.
    static DbSnapshot take(platform::db::Database& db);

    bool integrityOk() const { return problems.isEmpty(); }
    int rowCount() const;
    bool operator==(const DbSnapshot& other) const {
        return tables == other.tables && schema == other.schema && problems == other.problems;
    }
    bool operator!=(const DbSnapshot& other) const { return !(*this == other); }

    // The differences from `before`, a line each: a table gone or new, rows only before ("-")
    // and only after ("+") per table, schema entries, integrity problems. Empty when equal.
    QString differencesFrom(const DbSnapshot& before, int maxRowsPerTable = 8) const;
};

// Success when the database still equals `before`; else the differences.
::testing::AssertionResult sameAs(const DbSnapshot& before, platform::db::Database& db);

// A short form for gtest messages: counts and the integrity verdict.
void PrintTo(const DbSnapshot& snapshot, std::ostream* os);

// A document write; false with the reason in *error when refused.
using Write = std::function<bool(QString* error)>;

// Runs `write` with the account's service failing at statement 1, 2, … until it succeeds. After
// each failure the error must name the statement and the database must be exactly as before
// (rows, schema, integrity). The hook is off again afterwards. `failures` receives how many
// attempts failed before the write went through (the statements before its commit).
::testing::AssertionResult failAtEachStatement(TestAccount& account, const Write& write,
                                               int* failures = nullptr, int limit = 200);

}  // namespace testsupport
