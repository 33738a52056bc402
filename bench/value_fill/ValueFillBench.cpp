// The value archive's grid fill for an item with 20,000 values, against reading the same rows
// with one plain SQLite statement in the same process. Goal: the fill within twice the plain
// read.
//
//   build-…/value_fill [--benchmark_filter=…]      (BENCH_HIDDEN=1: the window is not shown)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "BenchAccount.h"
#include "archive/FrmZArchive.h"
#include "controls/Grid.h"
#include "itemdef/ItemRecord.h"

namespace {

using namespace benchsupport;

constexpr int kValues = 20000;
const QString kItem = QStringLiteral("20");

// 20,000 values of the colour item, an alias on each, a parent value and a stop flag on some;
// inserted one by one so the row version runs as the server writes it.
bool fill(BenchAccount& account) {
    return account.exec(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < %1) "
            "INSERT INTO Userdefine(cId,cValue,cAlias,cParentValue,bFreeStop) "
            "SELECT '%2', '颜色值'||i, 'C'||i, CASE WHEN i % 3 = 0 THEN '上级'||(i % 50) END, "
            "i % 7 = 0 FROM n")
            .arg(kValues)
            .arg(kItem));
}

BenchAccount* g_account = nullptr;
archive::FrmZArchive* g_window = nullptr;

void BM_FillGrid(benchmark::State& state) {
    for (auto _ : state) {
        g_window->FillGrid();
        benchmark::DoNotOptimize(g_window->grid()->rows());
    }
    state.counters["rows"] = g_window->grid()->rows() - 1;
}
BENCHMARK(BM_FillGrid)->Unit(benchmark::kMillisecond)->MinTime(3.0);

const QByteArray kPlainSql =
    "SELECT cValue,cAlias,cBarCode,cParentValue,bFreeStop FROM Userdefine WHERE cId='20' "
    "ORDER BY pubzxts";

// The same rows in one plain statement: every column's text read.
void BM_PlainSqliteRead(benchmark::State& state) {
    plainSqliteRead(state, g_account->db().handle(), kPlainSql);
}
BENCHMARK(BM_PlainSqliteRead)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same rows with every column turned into a QString, as any Qt program reading them pays.
void BM_PlainSqliteReadToStrings(benchmark::State& state) {
    plainSqliteReadToStrings(state, g_account->db().handle(), {kPlainSql}, size_t(kValues) * 5);
}
BENCHMARK(BM_PlainSqliteReadToStrings)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The value list through the server database service alone (its part of the fill).
void BM_OpenXValues(benchmark::State& state) {
    const QString sql = QStringLiteral(
        "select  Cvalue,Calias,CbarCode,cParentValue,bFreeStop  from userdefine where cId='20' "
        "order by pubzxts");
    for (auto _ : state) {
        host::RecordSetPtr rs = g_account->srv->OpenX(sql);
        benchmark::DoNotOptimize(rs.get());
    }
}
BENCHMARK(BM_OpenXValues)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    BenchProgram program(argc, argv, fill);
    if (!program.ok()) return 1;
    g_account = &program.account();

    const host::RecordSetPtr items = g_account->srv->OpenX(
        QStringLiteral("select ") + itemdef::kItemColumns +
        QStringLiteral(",cItemLang from userdef where cId='20'"));
    if (!items || items->isEmpty()) return 1;
    items->moveFirst();
    auto window = std::make_unique<archive::FrmZArchive>();
    window->init(items);
    showUnlessHidden(*window, 1000, 700);
    window->Load();
    QApplication::processEvents();
    g_window = window.get();
    return runBenchmarks(argc, argv);
}
