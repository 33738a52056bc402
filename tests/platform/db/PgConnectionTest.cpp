// The server connection: record sets as on an embedded account, DDL in transactions, locks.
#include <gtest/gtest.h>

#include <QDebug>
#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "tests/support/PgTestServer.h"

using platform::db::Connection;
using platform::db::Failure;
using platform::db::PgConnection;
using platform::db::Transaction;

namespace {

using PgConnectionTest = testsupport::PgTest;

// Name, field type and defined size of every field, then every row.
std::string described(const host::RecordSetPtr& rs) {
    QString out = rs ? QString() : QStringLiteral("the query failed");
    for (int c = 0; rs && c < rs->fieldCount(); ++c)
        QDebug(&out) << rs->field(c).name << rs->field(c).type << rs->field(c).definedSize;
    for (int r = 0; rs && r < rs->recordCount(); ++r)
        for (int c = 0; c < rs->fieldCount(); ++c) QDebug(&out) << "\n" << rs->at(r, c);
    return out.toStdString();
}

TEST_F(PgConnectionTest, RecordSetsReadAsOnAnEmbeddedAccount) {
    // clang-format off
    const std::pair<const char*, QVariant> columns[] = {
        {"nvarchar(60)", QStringLiteral("张三 O'Neil; -- <&> 𠀀")}, {"nchar(4)", "abcd"},
        {"ntext", "notes"}, {"text", "plain"}, {"sysname", "UserDef"}, {"int", 42},
        {"smallint", 7}, {"bigint", Q_INT64_C(5000000000)}, {"bit", true}, {"decimal(28,6)", 12.5},
        {"float", 0.1}, {"datetime", "2024-05-06 07:08:09"}, {"date", "2024-05-06"},
        {"uniqueidentifier", "6f9619ff-8b86-d011-b42d-00c04fc964ff"},
        {"image", QByteArray("\x00\x01\xff", 3)}, {"int", QVariant()}};
    // clang-format on
    QVariantList values;
    for (const auto& column : columns) values << column.second;
    // The same table and row on both, each column of the type the component declares.
    auto fill = [&](auto& db, auto typeOf, const char* mark) {
        QStringList cols, marks;
        for (int i = 0; i < int(values.size()); ++i) {
            cols << QStringLiteral("c%1 %2").arg(i).arg(typeOf(columns[i].first));
            marks << mark + QString::number(i + 1);
        }
        QString error;
        EXPECT_TRUE(db.exec("CREATE TABLE t(" + cols.join(',') + ")", &error) &&
                    db.execParams("INSERT INTO t VALUES(" + marks.join(',') + ")", values, &error))
            << qPrintable(error);
    };
    auto lite = platform::db::Database::open(":memory:", true, nullptr);
    fill(
        *lite, [](const char* declared) { return QString(declared); }, "?");
    fill(*pg.db, platform::db::pgColumnType, "$");
    EXPECT_EQ(pg.db->changes(), 1);
    // Stored columns, then computed ones, which take the kind of their first value.
    for (const char* select : {"SELECT * FROM t",
                               "SELECT (SELECT count(*) FROM t) AS n, c0 || 'x' "
                               "AS s, c5 * 2 AS twice, c9 + 1 AS more, c5 = 42 AS same FROM t"})
        EXPECT_EQ(described(pg.db->query(select)), described(lite->query(select))) << select;
}

TEST_F(PgConnectionTest, ParametersMarkedAlikeGiveTheSameRowsOnBoth) {
    auto lite = platform::db::Database::open(":memory:", true, nullptr);
    const QString table = "CREATE TABLE t(id int, name %1, \"q?\" int)";
    ASSERT_TRUE(lite->exec(table.arg("nvarchar(30)")));
    ASSERT_TRUE(pg.db->exec(table.arg(platform::db::pgColumnType("nvarchar(30)"))));
    // Marks inside literals, quoted names and comments are text; ? after ?n takes n + 1.
    const std::pair<const char*, QVariantList> statements[] = {
        {"INSERT INTO t(id, name, \"q?\") VALUES (?, ?, ?)", {1, "a?b", 5}},
        {"INSERT INTO t(id, name) VALUES (?2, ?1)", {"it's ?1", 2}},
        {"INSERT INTO t(id, name) /* ?9 */ VALUES (?1, 'x?''?' || ?) -- ?", {3, "'?"}},
        {"UPDATE t SET name = name || '?' WHERE id = ?1 OR \"q?\" = ?1", {2}},
        {"SELECT id, name FROM t WHERE name <> '?' AND id IN (?, ?2) ORDER BY id", {1, 3}},
        {"SELECT count(*) AS n FROM t WHERE name LIKE '%?%' AND id > ?", {0}},
        {"DELETE FROM t WHERE id = ?1 AND name = ?", {1, "a?b"}},
        {"SELECT * FROM t ORDER BY id", {}}};
    for (const auto& [sql, params] : statements) {
        QString liteError, pgError;
        EXPECT_EQ(described(pg.db->query(sql, params, &pgError)),
                  described(lite->query(sql, params, &liteError)));
        EXPECT_EQ(pgError + liteError, "") << sql;
        EXPECT_EQ(pg.db->changes(), lite->changes()) << sql;
    }
}

TEST_F(PgConnectionTest, DdlOfAFailedTransactionLeavesNothingAndErrorsReadClearly) {
    PgConnection& db = *pg.db;
    ASSERT_TRUE(db.exec("CREATE TABLE a(id int); CREATE TABLE b(id int)"));
    const char* tablesWith =
        "SELECT string_agg(table_name, ',' ORDER BY 1) FROM "
        "information_schema.columns WHERE column_name = $1";
    QString error;
    {
        Transaction t(db);
        EXPECT_TRUE(db.exec("ALTER TABLE a ADD x varchar(20); ALTER TABLE b ADD x varchar(20)"));
        EXPECT_EQ(db.query(tablesWith, {"x"})->text(0), "a,b");
        EXPECT_FALSE(db.exec("ALTER TABLE missing ADD x int", &error));
        EXPECT_EQ(error, "relation \"missing\" does not exist");
        EXPECT_EQ(db.lastSqlState(), "42P01");
        EXPECT_FALSE(t.commit(&error));  // the server would roll back without a word
        EXPECT_EQ(error, "a statement of the transaction failed; nothing was saved");
    }
    EXPECT_EQ(db.query(tablesWith, {"x"})->text(0), "");
    {  // a savepoint's part rolls back alone
        Transaction outer(db);
        EXPECT_TRUE(db.exec("ALTER TABLE a ADD y int"));
        {
            Transaction inner(db);
            EXPECT_TRUE(db.exec("ALTER TABLE b ADD y int"));
            EXPECT_FALSE(db.execParams("INSERT INTO b(id) VALUES ($1)", {"x"}, &error));
        }
        EXPECT_TRUE(db.execParams("INSERT INTO a(id, y) VALUES ($1, $2)", {1, 2}, &error));
        EXPECT_TRUE(outer.commit(&error)) << qPrintable(error);
    }
    EXPECT_EQ(db.query(tablesWith, {"y"})->text(0), "a");

    EXPECT_FALSE(PgConnection::open(pg.conninfo + " password=secret", &error));
    EXPECT_TRUE(error.contains("holds a password")) << qPrintable(error);
}

TEST_F(PgConnectionTest, CatalogueAndFailureKindsReadTheSameOnBoth) {
    QTemporaryDir dir;
    auto lite = platform::db::Database::open(dir.filePath("a.db"), true, nullptr);
    auto text = [](const std::optional<platform::db::TableColumn>& c) {
        return !c ? QStringLiteral("none")
                  : QStringLiteral("%1 %2 %3 %4 %5 %6")
                        .arg(c->name, c->type.toLower(), c->collation)
                        .arg(c->notNull)
                        .arg(c->defaultValue.toString())
                        .arg(c->keyPosition);
    };
    // Names in any letter case; a missing table or column reads as none.
    auto catalogue = [&](Connection& db) {
        QList<platform::db::TableColumn> columns;
        QStringList out;
        EXPECT_TRUE(db.tableColumns("doc", &columns));
        for (const auto& c : columns) out << text(c);
        out << text(db.column("DOC", "CODE")) << text(db.column("Doc", "x"))
            << text(db.column("missing", "id")) << QString::number(db.tableExists("dOC"))
            << QString::number(db.tableExists("Do"));
        // Several tables at once: the names asked for, lower-cased; a missing one absent.
        QHash<QString, QList<platform::db::TableColumn>> several;
        EXPECT_TRUE(db.tablesColumns({"DOC", "missing"}, &several));
        out << QStringList(several.keys()).join(",") + " " +
                   QString::number(several.value("doc").size()) + " " +
                   text(several.value("doc").value(1));
        return out.join(" | ");
    };
    for (Connection* db :
         {static_cast<Connection*>(lite.get()), static_cast<Connection*>(pg.db.get())}) {
        const bool server = db == pg.db.get();
        QString sql =
            "CREATE TABLE \"Doc\"(id %1 NOT NULL, code %2 NOT NULL, qty %3 DEFAULT 0, "
            "flag %4, made %5, notes %6, PRIMARY KEY (code, id))";
        for (const char* type :
             {"int", "nvarchar(20)", "decimal(28,6)", "bit", "datetime", "ntext"})
            sql = sql.arg(server ? platform::db::pgColumnType(type) : type);
        const char* insert = "INSERT INTO \"Doc\"(id, code) VALUES (1, 'a')";
        ASSERT_TRUE(db->exec(sql) && db->exec(insert));
        EXPECT_EQ(catalogue(*db),
                  "id int  1  2 | code nvarchar(20)  1  1 | qty decimal(28,6)  0 0 0 | "
                  "flag bit  0  0 | made datetime  0  0 | notes ntext  0  0 | "
                  "code nvarchar(20)  1  1 | none | none | 1 | 0 | "
                  "doc 6 code nvarchar(20)  1  1")
            << server;
        // A duplicate key, a success, a lock held too long.
        EXPECT_FALSE(db->exec(insert));
        EXPECT_EQ(db->lastFailure(), Failure::Constraint) << server;
        EXPECT_TRUE(db->exec("UPDATE \"Doc\" SET qty = 1"));
        EXPECT_EQ(db->lastFailure(), Failure::None) << server;
        std::unique_ptr<Connection> other;
        if (server) {
            other = PgConnection::open(pg.conninfo, nullptr);
            other->exec("SET lock_timeout = 50");
        } else {
            other = platform::db::Database::open(dir.filePath("a.db"), false, nullptr);
            static_cast<platform::db::Database&>(*other).setBusyTimeout(50);
        }
        Transaction holding(*db);
        ASSERT_TRUE(db->exec("UPDATE \"Doc\" SET qty = 2"));
        EXPECT_FALSE(other->exec("UPDATE \"Doc\" SET qty = 3"));
        EXPECT_EQ(other->lastFailure(), Failure::Busy) << server;
    }
}

}  // namespace
