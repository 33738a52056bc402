// The look-up window and the check tree at 10,000 entries: filling the window, one keystroke
// of filtering, and filling a tree node by node (each node announced) and in one update.
//
//   QT_QPA_PLATFORM=offscreen build-…/lookup_controls [--benchmark_filter=…]
#include <benchmark/benchmark.h>

#include <QApplication>

#include "controls/CheckTree.h"
#include "controls/LookupWindow.h"

namespace {

constexpr int kRows = 10000;

host::RecordSetPtr archiveRows() {
    QVector<QVector<QVariant>> rows;
    rows.reserve(kRows);
    for (int i = 0; i < kRows; ++i)
        rows.append({QStringLiteral("K%1").arg(i, 5, 10, QLatin1Char('0')),
                     QStringLiteral("Archive name %1").arg(i), QStringLiteral("AA")});
    return std::make_shared<host::RecordSet>(
        QVector<host::FieldInfo>{{"key"}, {"name"}, {"sub"}}, std::move(rows));
}

void BM_LookupFill(benchmark::State& state) {
    const host::RecordSetPtr rows = archiveRows();
    controls::LookupWindow window;
    window.show();
    for (auto _ : state) {
        window.setRows(rows);
        QApplication::processEvents();  // the view lays out and paints
        benchmark::DoNotOptimize(window.visibleRowCount());
    }
}
BENCHMARK(BM_LookupFill)->Unit(benchmark::kMillisecond);

void BM_LookupKeystroke(benchmark::State& state) {
    controls::LookupWindow window;
    window.setRows(archiveRows());
    window.show();
    bool narrow = false;
    for (auto _ : state) {
        // One typed character: from "name 1" to "name 12" and back.
        window.setFilterText(narrow ? QStringLiteral("name 12") : QStringLiteral("name 1"));
        QApplication::processEvents();
        narrow = !narrow;
        benchmark::DoNotOptimize(window.visibleRowCount());
    }
}
BENCHMARK(BM_LookupKeystroke)->Unit(benchmark::kMillisecond);

void fillTree(controls::CheckTreeModel& model, bool oneUpdate) {
    if (oneUpdate) model.beginUpdate();
    for (int g = 0; g < 100; ++g) {
        const QString group = QStringLiteral("G%1").arg(g);
        model.addNode(group, group);
        for (int t = 0; t < 99; ++t)
            model.addNode(QStringLiteral("Mark&&T%1_%2").arg(g).arg(t), QStringLiteral("Table"),
                          group);
    }
    if (oneUpdate) model.endUpdate();
}

void BM_CheckTreeFill(benchmark::State& state) {
    const bool oneUpdate = state.range(0) != 0;
    for (auto _ : state) {
        controls::CheckTree tree;
        tree.show();
        fillTree(*tree.model(), oneUpdate);
        tree.expandAll();
        QApplication::processEvents();
        benchmark::DoNotOptimize(tree.model()->nodeCount());
    }
    state.SetLabel(oneUpdate ? "one update" : "node by node");
}
BENCHMARK(BM_CheckTreeFill)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
