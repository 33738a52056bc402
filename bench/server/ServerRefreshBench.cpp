// The catalogue's list refresh on a server account, for classes of 1,000, 10,000 and 100,000
// items (the same account the embedded refresh bench lists, copied to the server), against
// reading the listing's rows with one plain libpq statement, every value turned into a QString.
// Goal: the refresh within twice the plain read. Each reports the statements it ran per
// refresh: the refresh reads once, whatever the number of rows.
// Measured (Release, 2-core machine, PostgreSQL 15 on a local socket, medians of 5 interleaved
// repetitions, wall time): 1,000 items 4.4 ms against 2.9 ms (1.5x); 10,000 33 ms against 31 ms
// (1.05x); 100,000 447 ms against 485 ms (0.9x). 11-12 statements per refresh whatever the
// number of rows: the listing, the session's names (7 reads) and the related archives' names of
// the whole listing (up to 3 reads); at 1,000 items these fixed reads are the whole difference.
//
//   build-…/server_refresh [--benchmark_filter=…]   ($USERDEF_TEST_PG names a server to use)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <memory>

#include "BenchAccount.h"
#include "BenchFills.h"
#include "catalogue/FrmUserDef.h"
#include "catalogue/ItemListing.h"
#include "controls/Grid.h"
#include "platform/db/StatementCount.h"

namespace {

using namespace benchsupport;

BenchAccount* g_account = nullptr;
catalogue::FrmUserDef* g_window = nullptr;
std::unique_ptr<PlainPg> g_plain;

void BM_RefreshItemList(benchmark::State& state) {
    catalogue::FrmUserDef& w = *g_window;
    if (!w.selectClass(refreshClasses().at(int(state.range(0)))))
        return state.SkipWithError("no class");
    const quint64 before = platform::db::StatementCount::total();
    for (auto _ : state) {
        w.RunCommand(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid()->rows());
    }
    countStatements(state, before);
    state.counters["rows"] = w.grid()->rows() - 1;
}

// The listing's statement as the server gets it, with plain libpq.
void BM_PlainPgRead(benchmark::State& state) {
    const QByteArray sql =
        g_account->translated(catalogue::listingSql(refreshClasses().at(int(state.range(0)))));
    if (sql.isEmpty()) return state.SkipWithError(qPrintable(g_account->error));
    plainPgReadToStrings(state, g_plain->get(), {sql});
}

void sizes(benchmark::internal::Benchmark* b) {
    for (const auto& entry : refreshClasses()) b->Arg(entry.first);
    b->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
}
BENCHMARK(BM_RefreshItemList)->Apply(sizes);
BENCHMARK(BM_PlainPgRead)->Apply(sizes);

}  // namespace

int main(int argc, char** argv) {
    BenchProgram program(argc, argv, fillRefreshClasses, BenchSession::Kind::Server);
    if (!program.ok()) return 1;
    g_account = &program.account();
    g_plain = std::make_unique<PlainPg>(g_account->conninfo());
    if (!g_plain->error.isEmpty()) {
        std::fprintf(stderr, "no plain connection: %s\n", qPrintable(g_plain->error));
        return 1;
    }
    auto window = std::make_unique<catalogue::FrmUserDef>(false);
    showUnlessHidden(*window, 1200, 800);
    window->Load();
    QApplication::processEvents();
    g_window = window.get();
    const int status = runBenchmarks(argc, argv);
    g_plain.reset();
    return status;
}
