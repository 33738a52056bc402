// The batch setting's header tab over an account of 1,000 table pairs, 300 extended header
// items, 50,000 header rules and 3,000 item-to-table links: the search (item columns, pair
// rows, rules, links, marks) against
//   - the plain walk over every rule for every cell and every link for every matching rule,
//     run on 10 pairs × 30 items (all rules and links) and scaled by 1,000 to the full matrix;
//   - a raw read of the rules and links with plain SQLite statements.
// Goals: the search at least 100 times faster than the walk, at most 3 times the raw read.
// Afterwards the memory the filled grid holds.
//
//   build-…/carryover_matrix [--benchmark_filter=…]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

#include "AllocationCounter.h"
#include "BenchAccount.h"
#include "BenchFills.h"
#include "carryover/CarryOverSql.h"
#include "carryover/FrmMakeVouchMain.h"
#include "carryover/MakeVouchGrid.h"
#include "carryover/RuleMatrix.h"
#include "controls/Grid.h"

namespace {

using namespace carryover;
using namespace benchsupport;

using namespace matrixfill;

constexpr int kWalkPairs = 10;
constexpr int kWalkItems = 30;

BenchAccount* g_account = nullptr;
std::unique_ptr<FrmMakeVouchMain> g_window;

// The header tab's search as the user runs it.
void BM_SearchHeaderTab(benchmark::State& state) {
    FrmMakeVouchMain& w = *g_window;
    for (auto _ : state) {
        w.Operating(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid(0)->rows());
    }
    state.counters["pairs"] = w.grid(0)->rows() - 1;
    state.counters["items"] = w.grid(0)->cols() - kFirstItemCol;
}
BENCHMARK(BM_SearchHeaderTab)->Unit(benchmark::kMillisecond)->MinTime(3.0);

struct Inputs {
    QVector<TablePair> pairs;
    QStringList items;
    QVector<RuleCell> rules;
    QVector<ItemLink> links;
};
Inputs readInputs() {
    Inputs in;
    auto& srv = *g_account->srv;
    auto pairs = srv.OpenX(PairRowsSql(kHeaderLetter));
    for (int r = 0; r < pairs->recordCount(); ++r)
        in.pairs.push_back({pairs->at(r, 2).toString(), pairs->at(r, 4).toString()});
    auto items = srv.OpenX(ItemColumnsSql(kHeaderLetter));
    for (int r = 0; r < items->recordCount(); ++r) in.items << items->at(r, 1).toString();
    in.rules = ReadRuleCells(*srv.OpenX(RulesOfLetterSql(kHeaderLetter)));
    in.links = ReadItemLinks(*srv.OpenX(ItemLinksSql(kHeaderLetter)));
    return in;
}

// The marks alone, from rules and links already read.
void BM_HashMarks(benchmark::State& state) {
    const Inputs in = readInputs();
    for (auto _ : state) {
        RuleMatrix m(in.pairs, in.items, in.rules, in.links);
        benchmark::DoNotOptimize(m.at(0, 0));
    }
    state.counters["rules"] = in.rules.size();
    state.counters["links"] = in.links.size();
}
BENCHMARK(BM_HashMarks)->Unit(benchmark::kMillisecond)->MinTime(3.0);

bool itemOnBothTables(const QString& name, const QString& source, const QString& target,
                      const QVector<ItemLink>& links) {
    bool onSource = false, onTarget = false;
    for (const ItemLink& l : links) {
        if (l.column.toLower() != name) continue;
        if (l.table.toLower() == source.toLower()) onSource = true;
        if (l.table.toLower() == target.toLower()) onTarget = true;
    }
    return onSource && onTarget;
}

// The plain walk on the first 10 pairs and 30 items; the counter scales it to the whole.
void BM_NestedWalkCutDown(benchmark::State& state) {
    const Inputs in = readInputs();
    int available = 0;
    for (auto _ : state) {
        available = 0;
        for (int c = 0; c < kWalkItems; ++c) {
            const QString probe = in.items[c].toLower();
            for (int r = 0; r < kWalkPairs; ++r) {
                bool found = false;
                for (const RuleCell& rule : in.rules) {
                    if (rule.column.toLower() == probe &&
                        rule.source.toLower() == in.pairs[r].source.toLower() &&
                        rule.target.toLower() == in.pairs[r].target.toLower() &&
                        itemOnBothTables(probe, rule.source, rule.target, in.links))
                        found = true;
                }
                available += found;
            }
        }
        benchmark::DoNotOptimize(available);
    }
    state.counters["scale"] = double(in.pairs.size()) * in.items.size() / (kWalkPairs * kWalkItems);
}
BENCHMARK(BM_NestedWalkCutDown)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The rules and links with plain SQLite statements, every value turned into a QString.
void BM_RawReadRulesAndLinks(benchmark::State& state) {
    plainSqliteReadToStrings(
        state, g_account->db().handle(),
        {QByteArrayLiteral("SELECT cMakeVouchID,a.cSub_id,a.ctype,cextendfield,ctargetfield,a.cTableName,"
                           "cTargetTable,btrans,cdesc,a.GUID,b.TableDesc,c.TableDesc FROM "
                           "AA_ExtendDefineMakeVouch_Set a LEFT JOIN AA_DefineExtend b ON "
                           "b.cTableName=a.cTableName LEFT JOIN AA_DefineExtend c ON "
                           "c.cTableName=a.cTargetTable WHERE a.ctype='H'"),
         QByteArrayLiteral("SELECT a.TableName,b.cDicDbName FROM UserDefDetail a JOIN UserDef_Base b "
                           "ON a.cid=b.cId WHERE b.cClass='单据头'")},
        size_t(kRules) * 12 + 10000);
}
BENCHMARK(BM_RawReadRulesAndLinks)->Unit(benchmark::kMillisecond)->MinTime(3.0);

double megabytes(std::int64_t bytes) { return double(bytes) / (1024.0 * 1024.0); }

void reportMemory() {
    FrmMakeVouchMain w;
    allocation::start();
    w.Operating(QStringLiteral("Refresh"));
    allocation::stop();
    std::printf("memory of the filled header grid (%d pairs × %d items): held %.1f MiB, peak %.1f MiB\n",
                w.grid(0)->rows() - 1, w.grid(0)->cols() - kFirstItemCol,
                megabytes(allocation::current()), megabytes(allocation::peak()));
}

}  // namespace

int main(int argc, char** argv) {
    BenchProgram program(argc, argv, fill);
    if (!program.ok()) return 1;

    reportMemory();
    g_account = &program.account();
    g_window = std::make_unique<FrmMakeVouchMain>();
    const int status = runBenchmarks(argc, argv);
    g_window.reset();
    return status;
}
