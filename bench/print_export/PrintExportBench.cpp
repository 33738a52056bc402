// Export of a long list: 20,000 rows x 6 columns from print data to an XLSX workbook and to a
// CSV file, and the layout (page count) of the same list for printing.
// Goal: the workbook written in under 2 s.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "BenchAccount.h"
#include "controls/PrintControl.h"
#include "host/Quote.h"

namespace {

constexpr int kRows = 20000;

QString longList() {
    QString xml = QStringLiteral(
        "<PrintData><Title>自定义项</Title><Account>001</Account><UserId>demo</UserId>"
        "<UserName>演示</UserName><Date>2026-12-06</Date><Columns>"
        "<Column width=\"1500\" align=\"left\">编号</Column>"
        "<Column width=\"3000\" align=\"left\">名称</Column>"
        "<Column width=\"1500\" align=\"left\">类别</Column>"
        "<Column width=\"1500\" align=\"right\">长度</Column>"
        "<Column width=\"1500\" align=\"right\">金额</Column>"
        "<Column width=\"3000\" align=\"left\">备注</Column></Columns><Rows>");
    const auto cell = [](const QString& t) {
        return QStringLiteral("<Cell>") + host::xmlText(t) + QStringLiteral("</Cell>");
    };
    for (int r = 1; r <= kRows; ++r)
        xml += QStringLiteral("<Row>") + cell(QStringLiteral("V%1").arg(r, 6, 10, QLatin1Char('0'))) +
               cell(QStringLiteral("取值 %1 号").arg(r)) + cell(QStringLiteral("单据头")) +
               cell(QString::number(r % 120)) + cell(QString::number(r * 0.25, 'f', 2)) +
               cell(r % 3 ? QString() : QStringLiteral("备注, \"引号\" %1").arg(r)) +
               QStringLiteral("</Row>");
    return xml + QStringLiteral("</Rows></PrintData>");
}

void exportTo(benchmark::State& state, const char* suffix) {
    controls::PrintControl prn;
    if (!prn.SetDataStyleXML(longList(), {})) {
        state.SkipWithError("print data refused");
        return;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.") + QLatin1String(suffix));
    for (auto _ : state) {
        const controls::ExportResult r = prn.ExportToFile(path);
        if (r.count != kRows) state.SkipWithError(r.error.toUtf8().constData());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

}  // namespace

static void BM_ExportXlsx20000x6(benchmark::State& state) { exportTo(state, "xlsx"); }
BENCHMARK(BM_ExportXlsx20000x6)->Unit(benchmark::kMillisecond);

static void BM_ExportCsv20000x6(benchmark::State& state) { exportTo(state, "csv"); }
BENCHMARK(BM_ExportCsv20000x6)->Unit(benchmark::kMillisecond);

static void BM_ReadPrintData20000x6(benchmark::State& state) {
    const QString xml = longList();
    controls::PrintControl prn;
    for (auto _ : state) benchmark::DoNotOptimize(prn.SetDataStyleXML(xml, {}));
}
BENCHMARK(BM_ReadPrintData20000x6)->Unit(benchmark::kMillisecond);

static void BM_PageCount20000x6(benchmark::State& state) {
    controls::PrintControl prn;
    prn.SetDataStyleXML(longList(), {});
    for (auto _ : state) benchmark::DoNotOptimize(prn.pageCount());
}
BENCHMARK(BM_PageCount20000x6)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchsupport::BenchApplication app(argc, argv);
    return benchsupport::runBenchmarks(argc, argv);
}
