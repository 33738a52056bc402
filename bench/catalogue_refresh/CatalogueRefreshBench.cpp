// The catalogue's list refresh over an account of 10,000 items, 2,000 of them taking their
// values from related archives, against reading the same rows with one plain SQLite statement
// in the same process. Goal: the refresh within twice the plain read. Afterwards the memory of
// a fill: what the listing holds and the most it needs while filling.
//
//   build-…/catalogue_refresh [--benchmark_filter=…]
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <QApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "AllocationCounter.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "common/InitAcc.h"
#include "controls/Grid.h"
#include "host/ILogin.h"
#include "platform/db/Database.h"
#include "platform/db/DemoAccount.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

namespace {

constexpr int kItems = 10000;
constexpr int kRelated = 2000;

class BenchLogin : public host::ILogin {
public:
    BenchLogin(QString db, platform::server::ClsCommon* srv) : m_db(std::move(db)), m_srv(srv) {}
    QString ZxDbName() const override { return m_db; }
    QString cUserId() const override { return QStringLiteral("demo"); }
    QString cUserName() const override { return QStringLiteral("演示管理员"); }
    QString cAcc_id() const override { return QStringLiteral("001"); }
    host::IConnection* ZxCurrentDb() const override { return m_srv->m_cnn(); }
    QString ZxMetaName() const override { return {}; }
    QString LanguageRegion() const override { return QStringLiteral("zh-cn"); }

private:
    QString m_db;
    platform::server::ClsCommon* m_srv;
};

struct Account {
    QTemporaryDir root;
    std::shared_ptr<platform::server::ClsCommon> srv;
    std::unique_ptr<catalogue::FrmUserDef> window;
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
        return fill();
    }

    // Items up to 10,000 in every class; related archives on 2,000 of them, over report
    // archives, user-defined references and one archive that is neither.
    bool fill() {
        const auto have = db().query(QStringLiteral(
            "SELECT count(*), sum(CASE WHEN IFNULL(cRelArchive,'')<>'' THEN 1 ELSE 0 END) FROM UserDef_Base"));
        if (!have) return false;
        const int missing = kItems - have->at(0, 0).toInt();
        const int related = kRelated - have->at(0, 1).toInt();
        const QString sql = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1), "
            "c(k, cls) AS (VALUES (0,'单据头'),(1,'单据体'),(2,'联系人'),(3,'供应商联系人'),"
            "(4,'客户'),(5,'供应商'),(6,'存货'),(7,'批次属性'),(8,'序列号'),(9,'服务用户档案'),"
            "(10,'班组'),(11,'条码'),(12,'银行账号')), "
            "r(k, arch, fld) AS (VALUES (0,'Person','cPersonName'),(1,'Warehouse','cWhName'),"
            "(2,'SettleStyle','cSSName'),(3,'[UR0001]','cStageName'),(4,'Customer','cCusName'),"
            "(5,'Inventory','cInvName'),(6,'Department','cDepName'),(7,'LegacyArchive','cCode')) "
            "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,bInput,"
            "bArchive,iDataSource,cRelArchive,cRelField,cDicDbName) "
            "SELECT 100000+i, c.cls, '扩展自定义项'||(1000+i), "
            "  CASE i % 5 WHEN 0 THEN '文本' WHEN 1 THEN '日期' WHEN 2 THEN '整型' WHEN 3 THEN '数字' "
            "  ELSE '文本' END, 60, '批量项目'||i, 60, i % 2, i % 3 = 0, "
            "  CASE WHEN i <= %2 THEN 1 ELSE 0 END, "
            "  CASE WHEN i <= %2 THEN r.arch END, CASE WHEN i <= %2 THEN r.fld END, 'cBench'||i "
            "FROM n JOIN c ON c.k = i % 13 JOIN r ON r.k = i % 8");
        return db().exec(sql.arg(missing).arg(related), &error);
    }
};

Account* g_account = nullptr;

void BM_RefreshItemList(benchmark::State& state) {
    catalogue::FrmUserDef& w = *g_account->window;
    for (auto _ : state) {
        w.RunCommand(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid()->rows());
    }
    state.counters["rows"] = w.grid()->rows() - 1;
}
BENCHMARK(BM_RefreshItemList)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same rows in one plain statement: every column's text read.
void plainRead(benchmark::State& state, const char* order) {
    sqlite3* db = g_account->db().handle();
    const QByteArray sql = QStringLiteral("SELECT %1 FROM UserDef_Parent ORDER BY %2")
                               .arg(catalogue::kListFields, QLatin1String(order))
                               .toUtf8();
    int rows = 0;
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
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

void BM_PlainSqliteRead(benchmark::State& state) {
    plainRead(state, "cClass, CAST(cId AS INT), cItem");
}
BENCHMARK(BM_PlainSqliteRead)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same read with texts ordered by their bytes: what the Chinese text order costs.
void BM_PlainSqliteReadByteOrder(benchmark::State& state) {
    plainRead(state, "cClass COLLATE BINARY, CAST(cId AS INT), cItem COLLATE BINARY");
}
BENCHMARK(BM_PlainSqliteReadByteOrder)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The worst case of the text order: 10,000 distinct Chinese names sorted, against byte order.
void BM_SortByNameChineseOrder(benchmark::State& state) { plainRead(state, "cItemName, cId"); }
BENCHMARK(BM_SortByNameChineseOrder)->Unit(benchmark::kMillisecond)->MinTime(3.0);
void BM_SortByNameByteOrder(benchmark::State& state) {
    plainRead(state, "cItemName COLLATE BINARY, cId COLLATE BINARY");
}
BENCHMARK(BM_SortByNameByteOrder)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same rows with every column turned into a QString, as any Qt program reading them pays.
void BM_PlainSqliteReadToStrings(benchmark::State& state) {
    sqlite3* db = g_account->db().handle();
    const QByteArray sql = QStringLiteral("SELECT %1 FROM UserDef_Parent ORDER BY cClass, CAST(cId AS INT), cItem")
                               .arg(catalogue::kListFields)
                               .toUtf8();
    for (auto _ : state) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            return;
        }
        std::vector<QString> cells;
        cells.reserve(size_t(kItems) * 19);
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

// The listing through the server database service alone (its part of the refresh).
void BM_OpenXListing(benchmark::State& state) {
    const QString sql = catalogue::listingSql(catalogue::kRootKey);
    for (auto _ : state) {
        host::RecordSetPtr rs = g_account->srv->OpenX(sql);
        benchmark::DoNotOptimize(rs.get());
    }
}
BENCHMARK(BM_OpenXListing)->Unit(benchmark::kMillisecond)->MinTime(3.0);

double megabytes(std::int64_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

// One fill of a new window: what the listing keeps and the most the fill needed; then the same
// for a refresh of the filled window.
void reportMemory() {
    catalogue::FrmUserDef w(false);
    w.resize(1200, 800);
    allocation::start();
    w.Load();
    allocation::stop();
    std::printf("memory of a first fill (%d rows): held %.1f MiB, peak %.1f MiB\n",
                w.grid()->rows() - 1, megabytes(allocation::current()), megabytes(allocation::peak()));
    allocation::start();
    w.RunCommand(QStringLiteral("Refresh"));
    allocation::stop();
    std::printf("memory of a refresh: peak %.1f MiB above what the list held, %.1f MiB left after it\n",
                megabytes(allocation::peak()), megabytes(allocation::current()));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("process peak resident size: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);

    // The listing's record set alone, and the same values as rows of QVariants (how record sets
    // held them before they kept the database's values).
    const QString sql = catalogue::listingSql(catalogue::kRootKey);
    userdef::g_SrvDB->OpenX(sql);  // translation cached, statements warm
    allocation::start();
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
    allocation::stop();
    const std::int64_t compact = allocation::current();
    allocation::start();
    QVector<QVector<QVariant>> variants(rs->recordCount());
    for (int r = 0; r < rs->recordCount(); ++r) {
        variants[r].resize(rs->fieldCount());
        for (int c = 0; c < rs->fieldCount(); ++c) variants[r][c] = rs->at(r, c);
    }
    allocation::stop();
    const int rows = std::max(rs->recordCount(), 1);
    std::printf("record set of the listing: %.0f bytes per row held; as QVariant rows %.0f bytes per row\n",
                double(compact) / rows, double(allocation::current()) / rows);
}

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
    userdef::g_Login = std::make_shared<BenchLogin>(QString(), account.srv.get());
    if (!userdef::InitAcc()) return 1;

    reportMemory();

    account.window = std::make_unique<catalogue::FrmUserDef>(false);
    account.window->resize(1200, 800);
    if (!qEnvironmentVariableIsSet("BENCH_HIDDEN")) account.window->show();
    account.window->Load();
    QApplication::processEvents();
    g_account = &account;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    account.window.reset();
    userdef::g_Login.reset();
    userdef::g_SrvDB.reset();
    userdef::g_Pub.reset();
    return 0;
}
