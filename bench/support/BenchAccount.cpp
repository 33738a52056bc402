#include "BenchAccount.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>
#include <cstdio>
#include <vector>

#include "common/InitAcc.h"
#include "common/Session.h"
#include "host/Quote.h"
#include "platform/db/AccountFiles.h"
#include "platform/db/DemoAccount.h"
#include "platform/db/PgConnection.h"
#include "platform/db/ServerAccount.h"
#include "platform/db/StatementCount.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/AccountConnection.h"
#include "platform/sql/PgFunctions.h"
#include "platform/sql/TSqlConnection.h"
#include "platform/sql/Translator.h"

namespace benchsupport {

namespace {

const QString kAccount = QStringLiteral("001");

// The statement ready to step; null (and the benchmark skipped) when it does not prepare.
sqlite3_stmt* prepare(benchmark::State& state, sqlite3* db, const QByteArray& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK) return stmt;
    state.SkipWithError(sqlite3_errmsg(db));
    return nullptr;
}

}  // namespace

bool BenchAccount::create() {
    if (m_root.isValid()) return platform::db::createDemoAccount(root(), kAccount, &error);
    error = m_root.errorString();
    return false;
}

bool BenchAccount::connect() {
    srv = std::make_shared<platform::server::ClsCommon>();
    srv->init(connectionText());
    if (srv->Status()) return true;
    error = srv->lastError();
    return false;
}

bool BenchAccount::moveToServer() {
    srv.reset();  // nothing holds the files while they are copied
    const QString pid = QString::number(QCoreApplication::applicationPid());
    m_server = qEnvironmentVariable("USERDEF_TEST_PG");
    if (m_server.isEmpty()) {
        QProcess p;  // the script's watcher stops the server once this program has ended
        p.start(QStringLiteral("bash"),
                {QStringLiteral(USERDEF_SOURCE_DIR "/scripts/pg-test-server.sh"),
                 QStringLiteral("start"), pid});
        if (!p.waitForFinished(180000)) p.kill();
        m_server = QString::fromUtf8(p.readAllStandardOutput()).section(QLatin1Char('\n'), 1, 1);
        if (m_server.isEmpty()) {
            error = QStringLiteral("no server: ") + QString::fromUtf8(p.readAllStandardError());
            return false;
        }
    }
    auto admin = platform::db::PgConnection::open(m_server, &error);
    const QString name = QStringLiteral("userdef_bench_") + pid;
    if (!admin || !admin->exec(QStringLiteral("CREATE DATABASE ") + host::sqlIdentQuoted(name), &error))
        return false;
    m_database = name;
    m_conninfo = m_server + QStringLiteral(" dbname=") + name;  // the later keyword wins
    platform::db::AccountCopy copy;
    if (!platform::db::copyAccountToServer(root(), kAccount, m_conninfo, &copy, &error)) return false;
    auto target = platform::db::PgConnection::open(m_conninfo, &error);
    return target && platform::sql::installPgFunctions(*target, &error) &&
           target->exec(QStringLiteral("ANALYZE"), &error) &&
           platform::db::writeServerEntry(root(), kAccount, m_conninfo, &error);
}

BenchAccount::~BenchAccount() {
    srv.reset();
    if (m_database.isEmpty()) return;
    QString why;
    auto admin = platform::db::PgConnection::open(m_server, &why);
    if (!admin || !admin->exec(QStringLiteral("DROP DATABASE IF EXISTS ") +
                                   host::sqlIdentQuoted(m_database) + QStringLiteral(" WITH (FORCE)"),
                               &why))
        std::fprintf(stderr, "cannot drop the bench database: %s\n", qPrintable(why));
}

QByteArray BenchAccount::translated(const QString& sql) {
    platform::sql::Translation t;
    if (!srv->connection()->translator().translate(sql, &t, &error)) return {};
    return t.sql.toUtf8();
}

QString BenchAccount::connectionText() const {
    return platform::server::accountConnectionText(root(), kAccount, QStringLiteral("zh-CN"));
}

host::IConnection* BenchLogin::ZxCurrentDb() const { return m_srv->m_cnn(); }

BenchSession::BenchSession(const std::function<bool(BenchAccount&)>& fill, NameTables names,
                           Kind kind) {
    if (!account.open() || (fill && !fill(account)) ||
        (kind == Kind::Server && !(account.moveToServer() && account.connect()))) {
        std::fprintf(stderr, "cannot build the account: %s\n", qPrintable(account.error));
        return;
    }
    userdef::Session& session = userdef::Session::current();
    session.pub = std::make_shared<platform::pub::Pub>(
        std::make_shared<platform::pub::ScriptedPrompter>(), QStringLiteral("zh-cn"));
    session.srvDB = account.srv;
    session.login = std::make_shared<BenchLogin>(account.srv.get());
    if (names == NameTables::Load && !userdef::InitAcc()) {
        std::fprintf(stderr, "cannot start the session: the name tables did not load\n");
        return;
    }
    m_ok = true;
}

BenchSession::~BenchSession() { userdef::Session::current().reset(); }

namespace {

int& offscreenUnlessSet(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

}  // namespace

BenchApplication::BenchApplication(int& argc, char** argv)
    : QApplication(offscreenUnlessSet(argc), argv) {}

void showUnlessHidden(QWidget& window, int width, int height) {
    window.resize(width, height);
    if (!qEnvironmentVariableIsSet("BENCH_HIDDEN")) window.show();
}

int runBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

void plainSqliteRead(benchmark::State& state, sqlite3* db, const QByteArray& sql) {
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = prepare(state, db, sql);
        if (!stmt) return;
        rows = 0;
        size_t bytes = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c) {
                const unsigned char* text = sqlite3_column_text(stmt, c);
                bytes += text ? size_t(sqlite3_column_bytes(stmt, c)) : 0;
            }
        }
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["rows"] = rows;
}

void plainSqliteReadToStrings(benchmark::State& state, sqlite3* db,
                              std::initializer_list<QByteArray> sqls, size_t expectedCells) {
    for (auto _ : state) {
        std::vector<QString> cells;
        cells.reserve(expectedCells);
        for (const QByteArray& sql : sqls) {
            sqlite3_stmt* stmt = prepare(state, db, sql);
            if (!stmt) return;
            while (sqlite3_step(stmt) == SQLITE_ROW)
                for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c)
                    cells.push_back(QString::fromUtf8(
                        reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                        sqlite3_column_bytes(stmt, c)));
            sqlite3_finalize(stmt);
        }
        benchmark::DoNotOptimize(cells.data());
    }
}

PlainPg::PlainPg(const QString& conninfo) {
    m_conn = PQconnectdb(conninfo.toUtf8().constData());
    PGresult* res = PQexec(m_conn, "SET search_path = zxdata_001, zxsystem, zxmeta_001");
    if (PQresultStatus(res) != PGRES_COMMAND_OK) error = QString::fromUtf8(PQerrorMessage(m_conn));
    PQclear(res);
}

PlainPg::~PlainPg() { PQfinish(m_conn); }

void plainPgReadToStrings(benchmark::State& state, pg_conn* db,
                          std::initializer_list<QByteArray> sqls) {
    int rows = 0;
    std::vector<QString> cells;
    for (auto _ : state) {
        cells.clear();
        for (const QByteArray& sql : sqls) {
            PGresult* res = PQexec(db, sql.constData());
            if (PQresultStatus(res) != PGRES_TUPLES_OK) {
                state.SkipWithError(PQerrorMessage(db));
                PQclear(res);
                return;
            }
            rows = PQntuples(res);
            const int columns = PQnfields(res);
            cells.reserve(cells.size() + size_t(rows) * size_t(columns));
            for (int r = 0; r < rows; ++r)
                for (int c = 0; c < columns; ++c)
                    cells.push_back(QString::fromUtf8(PQgetvalue(res, r, c), PQgetlength(res, r, c)));
            PQclear(res);
        }
        benchmark::DoNotOptimize(cells.data());
    }
    state.counters["rows"] = rows;
    state.counters["statements"] = double(sqls.size());
}

void countStatements(benchmark::State& state, quint64 before) {
    const quint64 ran = platform::db::StatementCount::total() - before;
    state.counters["statements"] =
        state.iterations() ? double(ran) / double(state.iterations()) : 0.0;
}

}  // namespace benchsupport
