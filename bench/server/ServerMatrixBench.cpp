// The batch setting's header tab on a server account of 1,000 table pairs, 300 extended header
// items, 50,000 header rules and 3,000 item-to-table links (the embedded matrix bench's account,
// copied to the server): the search against the four reads it needs (pairs, items, rules,
// links) as plain libpq statements, every value turned into a QString. Goal: the search within
// three times the plain reads. Each reports the statements it ran per search.
// Measured (Release, 2-core machine, medians of 5 interleaved repetitions, wall time): 152 ms
// against 120 ms (1.3x), 11 statements per search against 4.
//
//   build-…/server_matrix [--benchmark_filter=…]   ($USERDEF_TEST_PG names a server to use)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <memory>

#include "BenchAccount.h"
#include "BenchFills.h"
#include "carryover/CarryOverSql.h"
#include "carryover/FrmMakeVouchMain.h"
#include "carryover/MakeVouchGrid.h"
#include "controls/Grid.h"
#include "platform/db/StatementCount.h"

namespace {

using namespace carryover;
using namespace benchsupport;

BenchAccount* g_account = nullptr;
std::unique_ptr<FrmMakeVouchMain> g_window;
std::unique_ptr<PlainPg> g_plain;

void BM_SearchHeaderTab(benchmark::State& state) {
    FrmMakeVouchMain& w = *g_window;
    const quint64 before = platform::db::StatementCount::total();
    for (auto _ : state) {
        w.Operating(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid(0)->rows());
    }
    countStatements(state, before);
    state.counters["pairs"] = w.grid(0)->rows() - 1;
    state.counters["items"] = w.grid(0)->cols() - kFirstItemCol;
}
BENCHMARK(BM_SearchHeaderTab)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

void BM_PlainPgReads(benchmark::State& state) {
    QList<QByteArray> sqls;
    for (const QString& sql : {PairRowsSql(kHeaderLetter), ItemColumnsSql(kHeaderLetter),
                               RulesOfLetterSql(kHeaderLetter), ItemLinksSql(kHeaderLetter)}) {
        sqls << g_account->translated(sql);
        if (sqls.last().isEmpty()) return state.SkipWithError(qPrintable(g_account->error));
    }
    plainPgReadToStrings(state, g_plain->get(), {sqls[0], sqls[1], sqls[2], sqls[3]});
}
BENCHMARK(BM_PlainPgReads)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    BenchProgram program(argc, argv, matrixfill::fill, BenchSession::Kind::Server);
    if (!program.ok()) return 1;
    g_account = &program.account();
    g_plain = std::make_unique<PlainPg>(g_account->conninfo());
    if (!g_plain->error.isEmpty()) {
        std::fprintf(stderr, "no plain connection: %s\n", qPrintable(g_plain->error));
        return 1;
    }
    g_window = std::make_unique<FrmMakeVouchMain>();
    showUnlessHidden(*g_window, 1400, 800);
    QApplication::processEvents();
    const int status = runBenchmarks(argc, argv);
    g_window.reset();
    g_plain.reset();
    return status;
}
