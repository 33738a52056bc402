// The value archive's grid fill for items with 1,000, 10,000 and 100,000 values, each against
// reading the same rows with one plain SQLite statement in the same process. Goals: the fill
// within 1.5 times the plain read at 10,000 values and within twice it at 100,000; 100,000
// values within 12 times the time of 10,000. Afterwards the memory a filled grid holds per row.
//
//   build-…/value_fill [--benchmark_filter=…]      (BENCH_HIDDEN=1: the windows are not shown)
// Run with --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true
// --benchmark_report_aggregates_only=true (scripts/bench.sh does) and read the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

#include "AllocationCounter.h"
#include "BenchAccount.h"
#include "archive/FrmZArchive.h"
#include "controls/Grid.h"
#include "itemdef/ItemRecord.h"

namespace {

using namespace benchsupport;

// Text items of the demo account and how many values each gets.
const std::map<int, QString> kItems = {{1000, QStringLiteral("6")},
                                       {10000, QStringLiteral("7")},
                                       {100000, QStringLiteral("20")}};

// The values of each item, an alias on each, a parent value and a stop flag on some.
bool fill(BenchAccount& account) {
    for (const auto& [count, item] : kItems)
        if (!account.exec(
                QStringLiteral(
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
                    "INSERT INTO Userdefine(cId,cValue,cAlias,cParentValue,bFreeStop) "
                    "SELECT '%2', '颜色值'||i, 'C'||i, CASE WHEN i % 3 = 0 THEN '上级'||(i % 50) END, "
                    "i % 7 = 0 FROM n")
                    .arg(count)
                    .arg(item)))
            return false;
    return true;
}

BenchAccount* g_account = nullptr;
std::map<int, std::unique_ptr<archive::FrmZArchive>> g_windows;

std::unique_ptr<archive::FrmZArchive> openWindow(const QString& item) {
    const host::RecordSetPtr items = g_account->srv->OpenX(
        QStringLiteral("select ") + itemdef::kItemColumns +
        QStringLiteral(",cItemLang from userdef where cId='") + item + QStringLiteral("'"));
    if (!items || items->isEmpty()) return nullptr;
    items->moveFirst();
    auto window = std::make_unique<archive::FrmZArchive>();
    window->init(items);
    return window;
}

void BM_FillGrid(benchmark::State& state) {
    archive::FrmZArchive& w = *g_windows.at(int(state.range(0)));
    for (auto _ : state) {
        w.FillGrid();
        benchmark::DoNotOptimize(w.grid()->rows());
    }
    state.counters["rows"] = w.grid()->rows() - 1;
}

// The values read and handed to a grid as a record set, painting the rows on screen: the fill
// once the window fills through showRecordSet.
std::unique_ptr<controls::Grid> g_shownGrid;

void BM_ShowValues(benchmark::State& state) {
    controls::Grid& g = *g_shownGrid;
    const QString sql = QStringLiteral(
        "select  Cvalue,Calias,CbarCode,cParentValue,bFreeStop  from userdefine where cId='%1' "
        "order by pubzxts").arg(kItems.at(int(state.range(0))));
    using F = host::GridField;
    for (auto _ : state) {
        g.showRecordSet(g_account->srv->OpenX(sql), {{F::Counter, -1, {}}, {F::Text, 0, {}},
                                                     {F::Text, 1, {}}, {F::Text, 2, {}},
                                                     {F::Text, 3, {}}, {F::Check, 4, {}}});
        g.viewport()->repaint();
        benchmark::DoNotOptimize(g.rows());
    }
    state.counters["rows"] = g.rows() - 1;
}

QByteArray plainSql(int count) {
    return "SELECT cValue,cAlias,cBarCode,cParentValue,bFreeStop FROM Userdefine WHERE cId='" +
           kItems.at(count).toUtf8() + "' ORDER BY pubzxts";
}

// The same rows in one plain statement: every column's text read.
void BM_PlainSqliteRead(benchmark::State& state) {
    plainSqliteRead(state, g_account->db().handle(), plainSql(int(state.range(0))));
}

// The same rows with every column turned into a QString, as any Qt program reading them pays.
void BM_PlainSqliteReadToStrings(benchmark::State& state) {
    const int count = int(state.range(0));
    plainSqliteReadToStrings(state, g_account->db().handle(), {plainSql(count)}, size_t(count) * 5);
}

// The value list through the server database service alone (its part of the fill).
void BM_OpenXValues(benchmark::State& state) {
    const QString sql = QStringLiteral(
        "select  Cvalue,Calias,CbarCode,cParentValue,bFreeStop  from userdefine where cId='%1' "
        "order by pubzxts").arg(kItems.at(int(state.range(0))));
    for (auto _ : state) {
        host::RecordSetPtr rs = g_account->srv->OpenX(sql);
        benchmark::DoNotOptimize(rs.get());
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    for (const auto& entry : kItems) b->Arg(entry.first);
    b->Unit(benchmark::kMillisecond)->MinTime(1.0);
}
BENCHMARK(BM_FillGrid)->Apply(sizes);
BENCHMARK(BM_ShowValues)->Apply(sizes);
BENCHMARK(BM_PlainSqliteRead)->Apply(sizes);
BENCHMARK(BM_PlainSqliteReadToStrings)->Apply(sizes);
BENCHMARK(BM_OpenXValues)->Apply(sizes);

// What a value window holds per row: the memory freed when it closes, for the two largest
// items, the difference per row of the difference (the window's own share cancels), against
// the record set of the values.
std::int64_t freedBy(const std::function<void()>& work) {
    allocation::start();
    work();
    allocation::stop();
    return -allocation::current();
}

void reportMemory() {
    std::int64_t window[2];
    std::int64_t shown[2];
    int i = 0;
    for (int count : {10000, 100000}) {
        std::unique_ptr<archive::FrmZArchive> w = openWindow(kItems.at(count));
        if (!w) return;
        w->Load();
        window[i] = freedBy([&] { w.reset(); });
        auto g = std::make_unique<controls::Grid>();
        using F = host::GridField;
        g->showRecordSet(g_account->srv->OpenX(
                             QStringLiteral("select Cvalue,Calias,CbarCode,cParentValue,bFreeStop "
                                            "from userdefine where cId='%1' order by pubzxts")
                                 .arg(kItems.at(count))),
                         {{F::Counter, -1, {}}, {F::Text, 0, {}}, {F::Text, 1, {}},
                          {F::Text, 2, {}}, {F::Text, 3, {}}, {F::Check, 4, {}}});
        shown[i] = freedBy([&] { g.reset(); });
        ++i;
    }
    allocation::start();
    host::RecordSetPtr rs = g_account->srv->OpenX(
        QStringLiteral("select Cvalue,Calias,CbarCode,cParentValue,bFreeStop from userdefine "
                       "where cId='%1' order by pubzxts").arg(kItems.at(100000)));
    allocation::stop();
    std::printf("value window: %.0f bytes per row held; the record set of the values %.0f bytes "
                "per row\n", double(window[1] - window[0]) / 90000,
                double(allocation::current()) / 100000);
    std::printf("grid showing the values: %.0f bytes per row held, record set included\n",
                double(shown[1] - shown[0]) / 90000);
}

}  // namespace

int main(int argc, char** argv) {
    BenchProgram program(argc, argv, fill);
    if (!program.ok()) return 1;
    g_account = &program.account();
    reportMemory();
    for (const auto& [count, item] : kItems) {
        std::unique_ptr<archive::FrmZArchive> window = openWindow(item);
        if (!window) return 1;
        showUnlessHidden(*window, 1000, 700);
        window->Load();
        g_windows[count] = std::move(window);
    }
    g_shownGrid = std::make_unique<controls::Grid>();
    g_shownGrid->setCols(6);
    for (int c = 0; c < 6; ++c) g_shownGrid->setText(0, c, g_windows.begin()->second->grid()->text(0, c));
    showUnlessHidden(*g_shownGrid, 1000, 700);
    QApplication::processEvents();
    const int status = runBenchmarks(argc, argv);
    g_shownGrid.reset();
    g_windows.clear();
    return status;
}
