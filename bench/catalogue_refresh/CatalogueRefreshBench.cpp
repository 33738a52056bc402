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
#include <functional>
#include <map>
#include <memory>

#include "AllocationCounter.h"
#include "BenchAccount.h"
#include "BenchFills.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "common/Globals.h"
#include "controls/Grid.h"

namespace {

using namespace benchsupport;

const std::map<int, QString>& kClasses = refreshClasses();
const auto fill = fillRefreshClasses;

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

// The listing read and handed to a grid as a record set, the grid showing the fields as the
// window shows them (coded columns localised, related archives by their names) and painting
// the rows on screen: the refresh once the window fills through showRecordSet.
std::unique_ptr<controls::Grid> g_shownGrid;

void BM_ShowListing(benchmark::State& state) {
    controls::Grid& g = *g_shownGrid;
    const QString sql = catalogue::listingSql(kClasses.at(int(state.range(0))));
    for (auto _ : state) {
        host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(sql);
        auto names = std::make_shared<catalogue::RelatedArchiveNames>(QStringLiteral("001"));
        auto coded = std::make_shared<catalogue::CodedColumns>(*g_window->grid(), *names);
        const int archiveCol = catalogue::kColRelArchive, fieldCol = archiveCol + 1;
        std::vector<host::GridField> columns(size_t(g_window->grid()->cols()));
        columns[0] = {host::GridField::Counter, -1, {}};
        for (int f = 0; f + 1 < int(columns.size()) && f < rs->fieldCount(); ++f) {
            const catalogue::FieldShow show = catalogue::fieldShow(rs->field(f).type);
            const int col = f + 1;
            columns[size_t(col)] = {host::GridField::Text, f,
                [names, coded, show, col, archiveCol, fieldCol](const host::RecordSet& rs, int r, int f) {
                    const QString stored = catalogue::fieldDisplayText(rs, r, f, show);
                    if (col != archiveCol && col != fieldCol) return coded->shown(col, stored);
                    const QString archive = rs.textAt(r, archiveCol - 1);
                    if (archive.isEmpty()) return stored;
                    const auto shown = names->resolve(archive, rs.textAt(r, fieldCol - 1));
                    return col == archiveCol ? shown.first : shown.second;
                }};
        }
        g.showRecordSet(rs, std::move(columns));
        g.viewport()->repaint();
        benchmark::DoNotOptimize(g.rows());
    }
    state.counters["rows"] = g.rows() - 1;
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
BENCHMARK(BM_ShowListing)->Apply(sizes);
BENCHMARK(BM_PlainSqliteRead)->Apply(sizes);
BENCHMARK(BM_PlainSqliteReadByteOrder)->Apply(sizes);
BENCHMARK(BM_PlainSqliteReadToStrings)->Apply(sizes);
BENCHMARK(BM_OpenXListing)->Apply(sizes);

double megabytes(std::int64_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

// What a window showing a class holds per row: the memory freed when it closes, for the two
// largest classes, the difference per row of the difference (the window's own share cancels),
// against the listing's record set; and the most a refresh of the largest class needed.
std::int64_t freedBy(const std::function<void()>& work) {
    allocation::start();
    work();
    allocation::stop();
    return -allocation::current();
}

void reportMemory() {
    std::map<int, std::pair<int, std::int64_t>> held;  // size -> rows, bytes
    std::int64_t peak = 0;
    for (const auto& [count, cls] : kClasses) {
        auto w = std::make_unique<catalogue::FrmUserDef>(false);
        w->resize(1200, 800);
        w->Load();
        w->selectClass(cls);
        allocation::start();
        w->RunCommand(QStringLiteral("Refresh"));
        allocation::stop();
        peak = std::max(peak, allocation::peak());
        const int rows = w->grid()->rows() - 1;
        held[count] = {rows, freedBy([&] { w.reset(); })};
    }
    const auto& [rows10, bytes10] = held.at(10000);
    const auto& [rows100, bytes100] = held.at(100000);
    const double perRow = double(bytes100 - bytes10) / (rows100 - rows10);
    allocation::start();
    host::RecordSetPtr rs = userdef::g_SrvDB->OpenX(catalogue::listingSql(kClasses.at(100000)));
    allocation::stop();
    std::printf("catalogue window: %.0f bytes per row held; the listing's record set %.0f bytes per "
                "row; a refresh of %d rows peaked at %.1f MiB\n",
                perRow, double(allocation::current()) / rows100, rows100, megabytes(peak));
    // A grid showing the record set holds it: what it frees on release, per row of the difference.
    std::int64_t shown[2];
    int i = 0;
    for (int count : {10000, 100000}) {
        auto g = std::make_unique<controls::Grid>();
        g->setCols(20);
        using F = host::GridField;
        std::vector<F> columns(20, F{F::Text, 0, {}});
        for (int c = 1; c < 20; ++c) columns[size_t(c)].field = c - 1;
        columns[0] = {F::Counter, -1, {}};
        g->showRecordSet(userdef::g_SrvDB->OpenX(catalogue::listingSql(kClasses.at(count))),
                         std::move(columns));
        shown[i++] = freedBy([&] { g.reset(); });
    }
    std::printf("grid showing the listing: %.0f bytes per row held, record set included\n",
                double(shown[1] - shown[0]) / (rows100 - rows10));
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
    g_shownGrid = std::make_unique<controls::Grid>();
    g_shownGrid->setCols(window->grid()->cols());
    for (int c = 0; c < window->grid()->cols(); ++c)
        g_shownGrid->setText(0, c, window->grid()->text(0, c));
    showUnlessHidden(*g_shownGrid, 1200, 800);
    QApplication::processEvents();
    const int status = runBenchmarks(argc, argv);
    g_shownGrid.reset();
    return status;
}
