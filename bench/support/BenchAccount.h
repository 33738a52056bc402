#pragma once
// The set-up every benchmark over data shares: the demo account "001" in its own temporary
// folder with a server database service on it, the demo login, the component's session over
// both, and the plain SQLite reads a measurement is held against.
//
//   BenchProgram program(argc, argv, fill);  // g_Pub, g_SrvDB, g_Login on a filled account
//   if (!program.ok()) return 1;
//   … windows …
//   return runBenchmarks(argc, argv);
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <initializer_list>
#include <memory>

#include "host/ILogin.h"
#include "platform/db/Database.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

struct sqlite3;
struct pg_conn;

namespace benchsupport {

// The demo account "001" in a temporary folder that goes with the object.
class BenchAccount {
public:
    // Builds the account's files and connects the service to them.
    bool open() { return create() && connect(); }
    // Builds the account's files only (for copying them while no connection holds them).
    bool create();
    // Connects the server database service to the account built before, in zh-CN.
    bool connect();

    // Copies the account built before (and filled) onto a new database of a throwaway
    // PostgreSQL server: the one $USERDEF_TEST_PG names, else one started for this program
    // (scripts/pg-test-server.sh, stopped once the program ends). The account is a server
    // account from then on; connect() again. The database is dropped with the object.
    bool moveToServer();
    ~BenchAccount();

    QString root() const { return m_root.path(); }
    QString connectionText() const;
    // The server database's connection string; empty for an embedded account.
    QString conninfo() const { return m_conninfo; }

    platform::db::Database& db() { return *srv->connection()->sqliteDatabase(); }
    // The account's data connection, of either kind.
    platform::db::Connection& conn() { return srv->connection()->database(); }
    bool exec(const QString& sql) { return db().exec(sql, &error); }
    // A statement of the component's SQL as the account's connection sends it (for a plain
    // read of the same rows); empty, with `error` set, when it does not translate.
    QByteArray translated(const QString& sql);

    std::shared_ptr<platform::server::ClsCommon> srv;
    QString error;

private:
    QTemporaryDir m_root;
    QString m_server, m_conninfo, m_database;
};

// The demo administrator logged on to the account in zh-cn.
class BenchLogin : public host::ILogin {
public:
    explicit BenchLogin(platform::server::ClsCommon* srv) : m_srv(srv) {}
    QString ZxDbName() const override { return {}; }
    QString cUserId() const override { return QStringLiteral("demo"); }
    QString cUserName() const override { return QStringLiteral("演示管理员"); }
    QString cAcc_id() const override { return QStringLiteral("001"); }
    host::IConnection* ZxCurrentDb() const override;
    QString ZxMetaName() const override { return {}; }
    QString LanguageRegion() const override { return QStringLiteral("zh-cn"); }

private:
    platform::server::ClsCommon* m_srv;
};

// The component's session on a new demo account while the object lives: the public service
// (questions answered from an empty script), the account's service and the demo login; with
// `NameTables::Load` also the localised name tables, as InitAcc reads them at session start.
class BenchSession {
public:
    enum class NameTables { Skip, Load };

    // Builds the account, runs `fill` on it (when given) and starts the session; ok() is false
    // after printing why one of them failed.
    // Where the account lives once filled: its files, or a throwaway PostgreSQL server.
    enum class Kind { Embedded, Server };

    explicit BenchSession(const std::function<bool(BenchAccount&)>& fill = {},
                          NameTables names = NameTables::Load, Kind kind = Kind::Embedded);
    ~BenchSession();
    BenchSession(const BenchSession&) = delete;
    BenchSession& operator=(const BenchSession&) = delete;

    bool ok() const { return m_ok; }

    BenchAccount account;

private:
    bool m_ok = false;
};

// Qt's widget application, on the offscreen platform unless QT_QPA_PLATFORM names another.
class BenchApplication : public QApplication {
public:
    BenchApplication(int& argc, char** argv);
};

// A widget benchmark's program: the application above, then the session on a new demo account
// filled by `fill`; both end with the object, the session first.
class BenchProgram {
public:
    BenchProgram(int& argc, char** argv, const std::function<bool(BenchAccount&)>& fill,
                 BenchSession::Kind kind = BenchSession::Kind::Embedded)
        : m_app(argc, argv), m_session(fill, BenchSession::NameTables::Load, kind) {}

    bool ok() const { return m_session.ok(); }
    BenchAccount& account() { return m_session.account; }

private:
    BenchApplication m_app;
    BenchSession m_session;
};

// Shows the window at the given size, unless BENCH_HIDDEN is set.
void showUnlessHidden(QWidget& window, int width, int height);

// Runs the benchmarks the command line picks; the program's exit status.
int runBenchmarks(int argc, char** argv);

// The plain baseline: runs `sql` with SQLite's own statements once per iteration, reading
// every column's text of every row; counter "rows".
void plainSqliteRead(benchmark::State& state, sqlite3* db, const QByteArray& sql);

// The same with every value turned into a QString, as any Qt program reading them pays; the
// statements run one after the other per iteration, into room for `expectedCells` values.
void plainSqliteReadToStrings(benchmark::State& state, sqlite3* db,
                              std::initializer_list<QByteArray> sqls, size_t expectedCells);

// A plain libpq connection to the server account's database, its search path the account's
// (data, system, metadata schemas); closed with the object.
class PlainPg {
public:
    explicit PlainPg(const QString& conninfo);
    ~PlainPg();
    PlainPg(const PlainPg&) = delete;
    PlainPg& operator=(const PlainPg&) = delete;
    pg_conn* get() const { return m_conn; }
    QString error;

private:
    pg_conn* m_conn = nullptr;
};

// The plain server baseline: runs each statement with libpq once per iteration (text results),
// turning every value into a QString as any Qt program reading them pays; counter "rows" (of
// the last statement) and "statements" per iteration.
void plainPgReadToStrings(benchmark::State& state, pg_conn* db, std::initializer_list<QByteArray> sqls);

// Counter "statements": the statements the account's connections ran per iteration, from the
// count before the loop.
void countStatements(benchmark::State& state, quint64 before);

}  // namespace benchsupport
