#pragma once
// What an account holds, to compare before and after a write: the rows of every table of every
// attached database, the schema and the integrity check; and the fault loop, which fails a write
// at each of its statements in turn and wants the account unchanged after each.
#include <gtest/gtest.h>

#include <QMap>
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

    static DbSnapshot take(platform::db::Database& db);  // every schema but temp

    bool integrityOk() const { return problems.isEmpty(); }
    bool operator==(const DbSnapshot& other) const = default;

    // A line each: a table gone or new, its rows only before ("-") and only now ("+"), schema
    // entries, integrity problems. Empty when equal.
    QString differencesFrom(const DbSnapshot& before) const;
};

// Success when the database still equals `before`; else the differences.
::testing::AssertionResult sameAs(const DbSnapshot& before, platform::db::Database& db);

void PrintTo(const DbSnapshot& snapshot, std::ostream* os);

// A document write; false with the reason in *error when refused.
using Write = std::function<bool(QString* error)>;

// Runs `write` with the account's service failing at statement 1, 2, … until it succeeds; each
// failure must name its statement and leave the database as before. `failures` receives how many
// attempts failed before the write went through.
::testing::AssertionResult failAtEachStatement(TestAccount& account, const Write& write,
                                               int* failures = nullptr, int limit = 200);

}  // namespace testsupport
