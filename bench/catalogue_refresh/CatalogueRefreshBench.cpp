// The catalogue's list refresh of classes with 1,000, 10,000 and 100,000 items, a fifth of them
// taking their values from related archives, each against reading the same rows with one plain
// SQLite statement in the same process. Goals: the refresh within 1.5 times the plain read at
// 10,000 items and within twice it at 100,000; 100,000 items within 12 times the time of 10,000.
// Afterwards the memory of a fill: what the listing holds per row and the most it needs.
//
//   build-…/catalogue_refresh [--benchmark_filter=…]
// Run with --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true
// --benchmark_report_aggregates_only=true (scripts/bench.sh does) and read the medians.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "AllocationCounter.h"
#include "BenchAccount.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "controls/Grid.h"

namespace {

using namespace benchsupport;

// The classes the items go to and how many each gets (besides the demo account's own).
const std::map<int, QString> kClasses = {{1000, QStringLiteral("单据头")},
                                         {10000, QStringLiteral("单据体")},
                                         {100000, QStringLiteral("存货")}};

// The items of each class; related archives on every fifth, over report archives, user-defined
// references and one archive that is neither.
bool fill(BenchAccount& account) {
    int first = 1;
    for (const auto& [count, cls] : kClasses) {
        const QString sql = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT %1 UNION ALL SELECT i+1 FROM n WHERE i < %2), "
            "r(k, arch, fld) AS (VALUES (0,'Person','cPersonName'),(1,'Warehouse','cWhName'),"
            "(2,'SettleStyle','cSSName'),(3,'[UR0001]','cStageName'),(4,'Customer','cCusName'),"
            "(5,'Inventory','cInvName'),(6,'Department','cDepName'),(7,'LegacyArchive','cCode')) "
            "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,bInput,"
            "bArchive,iDataSource,cRelArchive,cRelField,cDicDbName) "
            "SELECT 100000+i, '%3', '扩展自定义项'||(1000+i), "
            "  CASE i % 5 WHEN 0 THEN '文本' WHEN 1 THEN '日期' WHEN 2 THEN '整型' WHEN 3 THEN '数字' "
            "  ELSE '文本' END, 60, '批量项目'||i, 60, i % 2, i % 3 = 0, "
            "  CASE WHEN i % 5 = 0 THEN 1 ELSE 0 END, "
            "  CASE WHEN i % 5 = 0 THEN r.arch END, CASE WHEN i % 5 = 0 THEN r.fld END, 'cBench'||i "
            "FROM n JOIN r ON r.k = i % 8");
        if (!account.exec(sql.arg(first).arg(first + count - 1).arg(cls))) return false;
        first += count;
    }
    return true;
}

BenchAccount* g_account = nullptr;
catalogue::FrmUserDef* g_window = nullptr;

void BM_RefreshItemList(benchmark::State& state) {
    catalogue::FrmUserDef& w = *g_window;
    if (!w.selectClass(kClasses.at(int(state.range(0))))) return state.SkipWithError("no class");
    for (auto _ : state) {
        w.RunCommand(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid()->rows());
    }
    state.counters["rows"] = w.grid()->rows() - 1;
}

// The same rows in one plain statement: every column's text read.
QByteArray plainSql(int count, const char* order = "cClass, CAST(cId AS INT), cItem") {
    return QStringLiteral("SELECT %1 FROM UserDef_Parent WHERE cClass='%2' ORDER BY %3")
        .arg(catalogue::kListFields, kClasses.at(count), QLatin1String(order))
        .toUtf8();
}

void BM_PlainSqliteRead(benchmark::State& state) {
    plainSqliteRead(state, g_account->db().handle(), plainSql(int(state.range(0))));
}

// The same read with texts ordered by their bytes: what the Chinese text order costs.
void BM_PlainSqliteReadByteOrder(benchmark::State& state) {
    plainSqliteRead(state, g_account->db().handle(),
                    plainSql(int(state.range(0)),
                             "cClass COLLATE BINARY, CAST(cId AS INT), cItem COLLATE BINARY"));
}

// The same rows with every column turned into a QString, as any Qt program reading them pays.
void BM_PlainSqliteReadToStrings(benchmark::State& state) {
    const int count = int(state.range(0));
    plainSqliteReadToStrings(state, g_account->db().handle(), {plainSql(count)}, size_t(count) * 19);
}

// The listing through the server database service alone (its part of the refresh).
void BM_OpenXListing(benchmark::State& state) {
    const QString sql = catalogue::listingSql(kClasses.at(int(state.range(0))));
    for (auto _ : state) {
        host::RecordSetPtr rs = g_account->srv->OpenX(sql);
        benchmark::DoNotOptimize(rs.get());
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    for (const auto& entry : kClasses) b->Arg(entry.first);
    b->Unit(benchmark::kMillisecond)->MinTime(1.0);
}
BENCHMARK(BM_RefreshItemList)->Apply(sizes);
BENCHMARK(BM_PlainSqliteRead)->Apply(sizes);
BENCHMARK(BM_PlainSqliteReadByteOrder)->Apply(sizes);
BENCHMARK(BM_PlainSqliteReadToStrings)->Apply(sizes);
BENCHMARK(BM_OpenXListing)->Apply(sizes);

double megabytes(std::int64_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

// Per class: what a refresh of a window already showing the class keeps per row, against the
// listing's record set alone; and the most the largest fill needed.
void reportMemory() {
    catalogue::FrmUserDef w(false);
    w.resize(1200, 800);
    w.Load();
    for (const auto& [count, cls] : kClasses) {
        w.selectClass(cls);
        const int rows = std::max(w.grid()->rows() - 1, 1);
        w.grid()->setRows(1);
        allocation::start();
        w.RunCommand(QStringLiteral("Refresh"));
        allocation::stop();
        const std::int64_t held = allocation::current();
        const std::int64_t peak = allocation::peak();
        allocation::start();
        host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(catalogue::listingSql(cls));
        allocation::stop();
        std::printf("listing of %d rows: %.0f bytes per row held after a refresh (peak %.1f MiB); "
                    "the record set of the rows %.0f bytes per row\n",
                    rows, double(held) / rows, megabytes(peak), double(allocation::current()) / rows);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("process peak resident size: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
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
