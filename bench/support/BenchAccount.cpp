#include "BenchAccount.h"

#include <sqlite3.h>

#include <QWidget>
#include <cstdio>
#include <vector>

#include "common/InitAcc.h"
#include "common/Session.h"
#include "platform/db/DemoAccount.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/AccountConnection.h"

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

QString BenchAccount::connectionText() const {
    return platform::server::accountConnectionText(root(), kAccount, QStringLiteral("zh-CN"));
}

host::IConnection* BenchLogin::ZxCurrentDb() const { return m_srv->m_cnn(); }

BenchSession::BenchSession(const std::function<bool(BenchAccount&)>& fill, NameTables names) {
    if (!account.open() || (fill && !fill(account))) {
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

}  // namespace benchsupport
