// The catalogue's list refresh over an account of 10,000 items, 2,000 of them taking their
// values from related archives, against reading the same rows with one plain SQLite statement
// in the same process. Goal: the refresh within twice the plain read. Afterwards the memory of
// a fill: what the listing holds and the most it needs while filling.
//
//   build-…/catalogue_refresh [--benchmark_filter=…]
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "AllocationCounter.h"
#include "BenchAccount.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "controls/Grid.h"

namespace {

using namespace benchsupport;

constexpr int kItems = 10000;
constexpr int kRelated = 2000;

// Items up to 10,000 in every class; related archives on 2,000 of them, over report archives,
// user-defined references and one archive that is neither.
bool fill(BenchAccount& account) {
    const auto have = account.db().query(QStringLiteral(
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
    return account.exec(sql.arg(missing).arg(related));
}

BenchAccount* g_account = nullptr;
catalogue::FrmUserDef* g_window = nullptr;

void BM_RefreshItemList(benchmark::State& state) {
    catalogue::FrmUserDef& w = *g_window;
    for (auto _ : state) {
        w.RunCommand(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid()->rows());
    }
    state.counters["rows"] = w.grid()->rows() - 1;
}
BENCHMARK(BM_RefreshItemList)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same rows in one plain statement: every column's text read.
void plainRead(benchmark::State& state, const char* order) {
    plainSqliteRead(state, g_account->db().handle(),
                    QStringLiteral("SELECT %1 FROM UserDef_Parent ORDER BY %2")
                        .arg(catalogue::kListFields, QLatin1String(order))
                        .toUtf8());
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
    plainSqliteReadToStrings(
        state, g_account->db().handle(),
        {QStringLiteral("SELECT %1 FROM UserDef_Parent ORDER BY cClass, CAST(cId AS INT), cItem")
             .arg(catalogue::kListFields)
             .toUtf8()},
        size_t(kItems) * 19);
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
    BenchProgram program(argc, argv, fill);
    if (!program.ok()) return 1;

    reportMemory();

    auto window = std::make_unique<catalogue::FrmUserDef>(false);
    showUnlessHidden(*window, 1200, 800);
    window->Load();
    QApplication::processEvents();
    g_account = &program.account();
    g_window = window.get();
    return runBenchmarks(argc, argv);
}
