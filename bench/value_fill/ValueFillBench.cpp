// The value archive's grid fill for an item with 20,000 values, against reading the same rows
// with one plain SQLite statement in the same process. Goal: the fill within twice the plain
// read.
//
//   build-…/value_fill [--benchmark_filter=…]      (BENCH_HIDDEN=1: the window is not shown)
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

#include "archive/FrmZArchive.h"
#include "common/Globals.h"
#include "common/InitAcc.h"
#include "controls/Grid.h"
#include "host/ILogin.h"
#include "itemdef/ItemRecord.h"
#include "platform/db/Database.h"
#include "platform/db/DemoAccount.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

namespace {

constexpr int kValues = 20000;
const QString kItem = QStringLiteral("20");

class BenchLogin : public host::ILogin {
public:
    explicit BenchLogin(platform::server::ClsCommon* srv) : m_srv(srv) {}
    QString ZxDbName() const override { return {}; }
    QString cUserId() const override { return QStringLiteral("demo"); }
    QString cUserName() const override { return QStringLiteral("演示管理员"); }
    QString cAcc_id() const override { return QStringLiteral("001"); }
    host::IConnection* ZxCurrentDb() const override { return m_srv->m_cnn(); }
    QString ZxMetaName() const override { return {}; }
    QString LanguageRegion() const override { return QStringLiteral("zh-cn"); }

private:
    platform::server::ClsCommon* m_srv;
};

struct Account {
    QTemporaryDir root;
    std::shared_ptr<platform::server::ClsCommon> srv;
    QString error;

    platform::db::Database& db() { return srv->connection()->database(); }

    bool open() {
        if (!platform::db::createDemoAccount(root.path(), QStringLiteral("001"), &error)) return false;
        srv = std::make_shared<platform::server::ClsCommon>();
        srv->init(platform::server::accountConnectionText(root.path(), QStringLiteral("001"),
                                                          QStringLiteral("zh-CN")));
        if (!srv->Status()) {
            error = srv->lastError();
            return false;
        }
        // 20,000 values of the colour item, an alias on each, a parent value and a stop flag on
        // some; inserted one by one so the row version runs as the server writes it.
        return db().exec(
            QStringLiteral(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                "INSERT INTO Userdefine(cId,cValue,cAlias,cParentValue,bFreeStop) "
                "SELECT '%2', '颜色值'||i, 'C'||i, CASE WHEN i % 3 = 0 THEN '上级'||(i % 50) END, "
                "i % 7 = 0 FROM n")
                .arg(kValues)
                .arg(kItem),
            &error);
    }
};

Account* g_account = nullptr;
archive::FrmZArchive* g_window = nullptr;

void BM_FillGrid(benchmark::State& state) {
    for (auto _ : state) {
        g_window->FillGrid();
        benchmark::DoNotOptimize(g_window->grid()->rows());
    }
    state.counters["rows"] = g_window->grid()->rows() - 1;
}
BENCHMARK(BM_FillGrid)->Unit(benchmark::kMillisecond)->MinTime(3.0);

const QByteArray kPlainSql =
    "SELECT cValue,cAlias,cBarCode,cParentValue,bFreeStop FROM Userdefine WHERE cId='20' "
    "ORDER BY pubzxts";

// The same rows in one plain statement: every column's text read.
void BM_PlainSqliteRead(benchmark::State& state) {
    sqlite3* db = g_account->db().handle();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, kPlainSql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            return;
        }
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
BENCHMARK(BM_PlainSqliteRead)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same rows with every column turned into a QString, as any Qt program reading them pays.
void BM_PlainSqliteReadToStrings(benchmark::State& state) {
    sqlite3* db = g_account->db().handle();
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, kPlainSql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            return;
        }
        std::vector<QString> cells;
        cells.reserve(size_t(kValues) * 5);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int c = 0, n = sqlite3_column_count(stmt); c < n; ++c)
                cells.push_back(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                    sqlite3_column_bytes(stmt, c)));
        sqlite3_finalize(stmt);
        benchmark::DoNotOptimize(cells.data());
    }
}
BENCHMARK(BM_PlainSqliteReadToStrings)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The value list through the server database service alone (its part of the fill).
void BM_OpenXValues(benchmark::State& state) {
    const QString sql = QStringLiteral(
        "select  Cvalue,Calias,CbarCode,cParentValue,bFreeStop  from userdefine where cId='20' "
        "order by pubzxts");
    for (auto _ : state) {
        host::RecordSetPtr rs = g_account->srv->OpenX(sql);
        benchmark::DoNotOptimize(rs.get());
    }
}
BENCHMARK(BM_OpenXValues)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    Account account;
    if (!account.open()) {
        std::fprintf(stderr, "cannot build the account: %s\n", qPrintable(account.error));
        return 1;
    }
    auto pub = std::make_shared<platform::pub::Pub>(std::make_shared<platform::pub::ScriptedPrompter>(),
                                                    QStringLiteral("zh-cn"));
    userdef::g_Pub = pub;
    userdef::g_SrvDB = account.srv;
    userdef::g_Login = std::make_shared<BenchLogin>(account.srv.get());
    if (!userdef::InitAcc()) return 1;

    const host::RecordSetPtr items = account.srv->OpenX(
        QStringLiteral("select ") + itemdef::kItemColumns +
        QStringLiteral(",cItemLang from userdef where cId='20'"));
    if (!items || items->isEmpty()) return 1;
    items->moveFirst();
    auto window = std::make_unique<archive::FrmZArchive>();
    window->init(items);
    window->resize(1000, 700);
    if (!qEnvironmentVariableIsSet("BENCH_HIDDEN")) window->show();
    window->Load();
    QApplication::processEvents();
    g_account = &account;
    g_window = window.get();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    window.reset();
    userdef::g_Login.reset();
    userdef::g_SrvDB.reset();
    userdef::g_Pub.reset();
    return 0;
}
