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
#include "carryover/CarryOverSql.h"
#include "carryover/FrmMakeVouchMain.h"
#include "carryover/MakeVouchGrid.h"
#include "carryover/RuleMatrix.h"
#include "controls/Grid.h"

namespace {

using namespace carryover;
using namespace benchsupport;

constexpr int kTables = 50;
constexpr int kPairs = 1000;  // 50 sources × 20 targets each
constexpr int kItems = 300;
constexpr int kRules = 50000;
constexpr int kLinksPerItem = 10;
constexpr int kWalkPairs = 10;
constexpr int kWalkItems = 30;

// Tables BT0…BT49 of type H; pair k: source k/20, target source+1+k%20 (mod 50). Items
// cHDefine5…cHDefine300 join the demo's four header items. Item j is on the ten tables j, j+5, …
// (mod 50). Rule k: pair k%1000, item 6·(k/1000) + (k%1000)%6, so every (pair, item) has one
// rule at most; two in three carry.
bool fill(BenchAccount& account) {
    const auto n = [](int v) { return QString::number(v); };
    const auto count = [&n](int upTo) {
        return "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < " +
               n(upTo) + ") ";
    };
    const QStringList statements = {
        count(kTables) + "INSERT INTO AA_DefineExtend(cSub_ID,cTableName,TableDesc,cTableDesc,cType) "
                "SELECT 'BN','BT'||i,'试算单据'||i,'试算单据'||i,'H' FROM n WHERE i < " +
            n(kTables),
        count(kPairs) + "INSERT INTO AA_ExtendDefineMakeVouch_sub(cMakeVouchID,cTableName,cTargetTable,cType) "
                "SELECT 'BP'||i,'BT'||(i/20),'BT'||((i/20+1+i%20)%" +
            n(kTables) + "),'H' FROM n WHERE i < " + n(kPairs),
        count(kItems) + "INSERT INTO UserDef_Base(cId,cClass,cItem,cType,IMaxLen,cItemName,iLength,cDicDbName) "
                "SELECT 1100+i,'单据头','扩展自定义项'||(4+i),'文本',60,'试算项目'||i,60,"
                "'cHDefine'||(4+i) FROM n WHERE i >= 1 AND i <= " +
            n(kItems - 4),
        count(kItems) + ", m(k) AS (SELECT 0 UNION ALL SELECT k+1 FROM m WHERE k < " +
            n(kLinksPerItem) + ") "
                "INSERT OR IGNORE INTO UserDefDetail(cid,TableName) "
                "SELECT b.cId,'BT'||((n.i + m.k*5) % " +
            n(kTables) + ") FROM n, m JOIN UserDef_Base b ON b.cDicDbName='cHDefine'||(n.i+1) "
                         "WHERE n.i < " +
            n(kItems) + " AND m.k < " + n(kLinksPerItem),
        count(kRules) + "INSERT INTO AA_ExtendDefineMakeVouch_Set(cMakeVouchID,cTableName,cTargetTable,"
                "cextendfield,ctargetfield,ctype,btrans,cdesc,cSub_id) "
                "SELECT s.cMakeVouchID,s.cTableName,s.cTargetTable,"
                "'cHDefine'||(6*(n.i/" + n(kPairs) + ")+(n.i%" + n(kPairs) + ")%6+1),"
                "'cHDefine'||(6*(n.i/" + n(kPairs) + ")+(n.i%" + n(kPairs) + ")%6+1),"
                "'H',n.i%3<>0,'','BN' FROM n JOIN AA_ExtendDefineMakeVouch_sub s "
                "ON s.cMakeVouchID='BP'||(n.i%" + n(kPairs) + ") WHERE n.i < " + n(kRules)};
    for (const QString& sql : statements)
        if (!account.exec(sql)) return false;
    return true;
}

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
