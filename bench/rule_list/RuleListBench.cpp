// The carry-over rule list's refresh with 1,000, 10,000 and 100,000 carrying rules, each against
// reading the same rows with one plain SQLite statement in the same process. The account holds
// 100,000 rules over 1,000 table pairs and 100 header items; before each run the first N of
// them carry and the rest do not (outside the measurement), so every size lists exactly N rows.
// Afterwards the memory the filled list holds per row.
//
//   build-…/rule_list [--benchmark_filter=…]      (BENCH_HIDDEN=1: the window is not shown)
// Run with --benchmark_repetitions=7 --benchmark_enable_random_interleaving=true
// --benchmark_report_aggregates_only=true (scripts/bench.sh does) and read the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <functional>
#include <memory>

#include "AllocationCounter.h"
#include "BenchAccount.h"
#include "carryover/FrmMakeVouchSet.h"
#include "controls/Grid.h"

namespace {

using namespace benchsupport;

constexpr int kTables = 50;
constexpr int kPairs = 1000;  // 50 sources × 20 targets each
constexpr int kItems = 100;   // cHDefine1…cHDefine100: the demo's four and 96 more
constexpr int kRules = 100000;

// Rule k: pair k % 1000, item k / 1000 + 1 (one rule per pair and item), cdesc k.
bool fill(BenchAccount& account) {
    const auto n = [](int v) { return QString::number(v); };
    const auto count = [&n](int upTo) {
        return "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < " +
               n(upTo) + ") ";
    };
    const QStringList statements = {
        "UPDATE AA_ExtendDefineMakeVouch_Set SET btrans=0",
        count(kTables) + "INSERT INTO AA_DefineExtend(cSub_ID,cTableName,TableDesc,cTableDesc,cType) "
                         "SELECT 'BN','BT'||i,'试算单据'||i,'试算单据全称'||i,'H' FROM n WHERE i < " +
            n(kTables),
        count(kPairs) + "INSERT INTO AA_ExtendDefineMakeVouch_sub(cMakeVouchID,cTableName,cTargetTable,cType) "
                        "SELECT 'BP'||i,'BT'||(i/20),'BT'||((i/20+1+i%20)%" + n(kTables) +
            "),'H' FROM n WHERE i < " + n(kPairs),
        count(kItems) + "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,cDicDbName) "
                        "SELECT 1100+i,'单据头','扩展自定义项'||(4+i),'文本',60,'试算项目'||i,60,"
                        "'cHDefine'||(4+i) FROM n WHERE i >= 1 AND i <= " + n(kItems - 4),
        count(kRules) + "INSERT INTO AA_ExtendDefineMakeVouch_Set(cMakeVouchID,cTableName,cTargetTable,"
                        "cextendfield,ctargetfield,ctype,btrans,cdesc,cSub_id) "
                        "SELECT s.cMakeVouchID,s.cTableName,s.cTargetTable,'cHDefine'||(n.i/" +
            n(kPairs) + "+1),'cHDefine'||(n.i/" + n(kPairs) + "+1),'H',0,n.i,'BN' "
                        "FROM n JOIN AA_ExtendDefineMakeVouch_sub s ON s.cMakeVouchID='BP'||(n.i%" +
            n(kPairs) + ") WHERE n.i < " + n(kRules)};
    for (const QString& sql : statements)
        if (!account.exec(sql)) return false;
    return true;
}

BenchAccount* g_account = nullptr;
std::unique_ptr<carryover::FrmMakeVouchSet> g_window;

// The first `rows` rules carry, the others not.
void carry(int rows) {
    if (!g_account->exec(QStringLiteral("UPDATE AA_ExtendDefineMakeVouch_Set SET btrans = "
                                        "(cSub_id='BN' AND CAST(cdesc AS INT) < %1)")
                             .arg(rows)))
        std::fprintf(stderr, "%s\n", qPrintable(g_account->error));
}
void carrySize(const benchmark::State& state) { carry(int(state.range(0))); }

void BM_RefreshRuleList(benchmark::State& state) {
    carryover::FrmMakeVouchSet& w = *g_window;
    for (auto _ : state) {
        w.ButtonClick(QStringLiteral("Refresh"));
        benchmark::DoNotOptimize(w.grid()->rows());
    }
    state.counters["rows"] = w.grid()->rows() - 1;
}

// The list statement's rows in one plain statement, in the same text order: every column's
// text read.
const QByteArray kPlainSql =
    "SELECT cMakeVouchID,s.cTableName,a.cTableDesc,cTargetTable,b.cTableDesc,cextendfield,"
    "e.cItemName,ctargetfield,t.cItemName,s.ctype,btrans,cdesc,s.cSub_id,s.guid "
    "FROM AA_ExtendDefineMakeVouch_Set s JOIN AA_DefineExtend a ON a.cTableName=s.cTableName "
    "JOIN AA_DefineExtend b ON b.cTableName=s.cTargetTable "
    "JOIN UserDef_Base e ON e.cDicDbName=s.cextendfield "
    "JOIN UserDef_Base t ON t.cDicDbName=s.ctargetfield "
    "WHERE btrans=1 ORDER BY s.cTableName COLLATE ZX_PINYIN,cTargetTable COLLATE ZX_PINYIN";

void BM_PlainSqliteRead(benchmark::State& state) {
    plainSqliteRead(state, g_account->db().handle(), kPlainSql);
}

void BM_PlainSqliteReadToStrings(benchmark::State& state) {
    plainSqliteReadToStrings(state, g_account->db().handle(), {kPlainSql},
                             size_t(state.range(0)) * 14);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(10000)->Arg(100000)->Setup(carrySize)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}
BENCHMARK(BM_RefreshRuleList)->Apply(sizes);
BENCHMARK(BM_PlainSqliteRead)->Apply(sizes);
BENCHMARK(BM_PlainSqliteReadToStrings)->Apply(sizes);

// What the list holds per row: the memory freed when the window closes, for 10,000 and
// 100,000 rules, the difference per row of the difference.
void reportMemory() {
    std::int64_t held[2];
    int i = 0;
    for (int rows : {10000, 100000}) {
        carry(rows);
        auto w = std::make_unique<carryover::FrmMakeVouchSet>();
        allocation::start();
        w.reset();
        allocation::stop();
        held[i++] = -allocation::current();
    }
    std::printf("rule list: %.0f bytes per row held\n", double(held[1] - held[0]) / 90000);
}

}  // namespace

int main(int argc, char** argv) {
    BenchProgram program(argc, argv, fill);
    if (!program.ok()) return 1;
    g_account = &program.account();
    reportMemory();
    g_window = std::make_unique<carryover::FrmMakeVouchSet>();
    showUnlessHidden(*g_window, 1200, 800);
    QApplication::processEvents();
    const int status = runBenchmarks(argc, argv);
    g_window.reset();
    return status;
}
