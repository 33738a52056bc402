// The catalogue listing in the component's dialect, translated and run, against the same query
// written by hand in SQLite, over 10,000 items on one connection. Goal: at most 1.5 times.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "platform/db/Database.h"
#include "platform/db/Schema.h"
#include "platform/sql/ConnectionText.h"
#include "platform/sql/TSqlConnection.h"
#include "platform/sql/Translator.h"

namespace {

// 10,000 items on the account schema the desk uses; every tenth has a parent.
const char* const kItems = R"SQL(
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)
INSERT INTO UserDef_Base(cId, cClass, CItem, CType, IMaxLen, cItemName, iLength, bFixLength, bCheckVal,
  bInput, bArchive, bMultiSel, cParentID, bIsUserDefAttachFile, iDataSource, bIsUserDefPic, cDicDbName)
SELECT i, CASE i % 5 WHEN 0 THEN '单据头' WHEN 1 THEN '单据体' WHEN 2 THEN '存货' WHEN 3 THEN '客户' ELSE '联系人' END,
  '扩展自定义项' || i, '文本', 60, '项目' || i, 60, 0, i % 2, 0, 0, 0, CASE WHEN i > 10 THEN i - 10 END, 0, 0, 0,
  'cHDefine' || i FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)
INSERT INTO userdef_lang SELECT i, 'zh-CN', '项目' || i FROM n;
)SQL";

const QString kListing = QStringLiteral(
    "Select  cId,cClass,CItem,CType,IMaxLen,cItemName,iLength,iDecimalDigits,bFixLength,bCheckVal,bInput,"
    "bArchive,iDataSource,cRelArchive,cRelField,cParentItemName,bIsUserDefAttachFile,bIsUserDefPic,cRefID  "
    "from UserDef_Parent  order by cClass ,cast(cid as int) asc,cItem ASC ");

const QString kHandWritten = QStringLiteral(
    "SELECT cId, cClass, CItem, CType, IMaxLen, cItemName, iLength, iDecimalDigits, bFixLength, bCheckVal, "
    "bInput, bArchive, iDataSource, cRelArchive, cRelField, cParentItemName, bIsUserDefAttachFile, "
    "bIsUserDefPic, cRefID FROM UserDef_Parent ORDER BY cClass, CAST(cId AS INTEGER), cItem");

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<platform::sql::TSqlConnection> connection;
    Fixture() {
        QString error;
        const QString path = dir.filePath(QStringLiteral("ZxData_001.db"));
        auto db = platform::db::Database::open(path, true, &error);
        if (!db || !platform::db::createAccountSchema(*db, &error) ||
            !db->exec(QString::fromUtf8(kItems), &error))
            qFatal("cannot build the benchmark account: %s", qPrintable(error));
        db.reset();
        platform::sql::ConnectionText text;
        text.dataSource = path;
        text.catalog = QStringLiteral("ZxData_001");
        text.account = QStringLiteral("001");
        connection = platform::sql::TSqlConnection::open(text.format(), &error);
        if (!connection) qFatal("cannot open the benchmark account: %s", qPrintable(error));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void TranslatedListing(benchmark::State& state) {
    auto& c = *fixture().connection;
    for (auto _ : state) {
        auto rows = c.open(kListing);
        if (!rows || rows->recordCount() != 10000) state.SkipWithError("the listing failed");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(TranslatedListing)->Unit(benchmark::kMillisecond);

void HandWrittenListing(benchmark::State& state) {
    auto& db = fixture().connection->database();
    for (auto _ : state) {
        auto rows = db.query(kHandWritten);
        if (!rows || rows->recordCount() != 10000) state.SkipWithError("the listing failed");
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(HandWrittenListing)->Unit(benchmark::kMillisecond);

// The translation alone, without its cache: what the first run of a statement pays.
void TranslateUncached(benchmark::State& state) {
    for (auto _ : state) {
        platform::sql::Translator translator(QStringLiteral("ZxData_001"), {}, nullptr);
        platform::sql::Translation t;
        QString error;
        if (!translator.translate(kListing, &t, &error)) state.SkipWithError("translation failed");
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(TranslateUncached)->Unit(benchmark::kMicrosecond);

}  // namespace
