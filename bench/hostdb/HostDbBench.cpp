// The demo account and the server database service: building the account (once per build tree
// for the tests' template), copying it (every test that touches data), and the statements the
// windows run most, on the demo data. Goals: the account builds in under a second, a copy takes
// under 50 ms, the catalogue listing of all items opens in under 20 ms.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchAccount.h"
#include "platform/db/DemoAccount.h"
#include "platform/server/ClsCommon.h"

namespace {

const QString kAccount = QStringLiteral("001");

// One demo account for the read benchmarks, built on first use; no connection holds its files.
const benchsupport::BenchAccount& demoAccount() {
    static benchsupport::BenchAccount account;
    static const bool built = account.create();
    if (!built) std::fprintf(stderr, "cannot build the account: %s\n", qPrintable(account.error));
    return account;
}

void BM_CreateDemoAccount(benchmark::State& state) {
    for (auto _ : state) {
        QTemporaryDir dir;
        QString error;
        if (!platform::db::createDemoAccount(dir.path(), kAccount, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}
BENCHMARK(BM_CreateDemoAccount)->Unit(benchmark::kMillisecond);

void BM_CopyAccountFiles(benchmark::State& state) {
    const platform::db::AccountFiles from =
        platform::db::accountFiles(demoAccount().root(), kAccount);
    for (auto _ : state) {
        QTemporaryDir dir;
        const platform::db::AccountFiles to = platform::db::accountFiles(dir.path(), kAccount);
        QDir().mkpath(to.folder);
        if (!QFile::copy(from.system, to.system) || !QFile::copy(from.data, to.data) ||
            !QFile::copy(from.meta, to.meta))
            state.SkipWithError("copy failed");
    }
}
BENCHMARK(BM_CopyAccountFiles)->Unit(benchmark::kMillisecond);

void BM_ConnectService(benchmark::State& state) {
    const QString text = demoAccount().connectionText();
    for (auto _ : state) {
        platform::server::ClsCommon srv;
        srv.init(text);
        if (!srv.Status()) state.SkipWithError(srv.lastError().toUtf8().constData());
    }
}
BENCHMARK(BM_ConnectService)->Unit(benchmark::kMillisecond);

// Runs one statement per iteration on one connection.
void runStatement(benchmark::State& state, const QString& sql, bool rows) {
    platform::server::ClsCommon srv;
    srv.init(demoAccount().connectionText());
    for (auto _ : state) {
        const bool ok = rows ? srv.OpenX(sql) != nullptr : srv.ExecuteX(sql);
        if (!ok) state.SkipWithError(srv.lastError().toUtf8().constData());
    }
}

void BM_CatalogueListingOfAllItems(benchmark::State& state) {
    runStatement(
        state,
        "Select  cId,cClass,CItem,CType,IMaxLen,cItemName,iLength,iDecimalDigits,bFixLength,"
        "bCheckVal,bInput,bArchive,iDataSource,cRelArchive,cRelField,cParentItemName,"
        "bIsUserDefAttachFile,bIsUserDefPic,cRefID  from UserDef_Parent  order by cClass "
        ",cast(cid as int) asc,cItem ASC ",
        true);
}
BENCHMARK(BM_CatalogueListingOfAllItems)->Unit(benchmark::kMillisecond);

void BM_TableTreeSubsystems(benchmark::State& state) {
    runStatement(
        state,
        " DECLARE  @bmSupMenuID NVARCHAR(100)  IF EXISTS (SELECT 1 From ZxSystem.dbo.ua_account "
        "WHERE  cacc_id = '001' AND ciscompanyver = 1)  SET @bmSupMenuID = N'GAG' Else  SET "
        "@bmSupMenuID = N'MAG'  SELECT * FROM    (SELECT a.csub_id,a.csub_name,'cSupMenu_ID' = "
        "CASE "
        "WHEN b.csupmenu_id IS NULL THEN N'AAAA' Else b.csupmenu_id END,b.iorder    FROM "
        "zxsystem.dbo.ua_subsys a WITH (nolock)    LEFT JOIN    (SELECT "
        "cmenu_id,csupmenu_id,iorder "
        "FROM          (SELECT cmenu_id,csupmenu_id,iorder FROM ZxData_001..ua_menu Union SELECT "
        "cmenu_id,csupmenu_id,iorder FROM zxsystem.dbo.ua_menu        ) AS ua_menu WHERE  "
        "csupmenu_id "
        "IN (SELECT cmenu_id FROM   zxsystem.dbo.ua_menu a WHERE  csupmenu_id = '#1')   ) b    ON "
        "a.csub_id = b.cmenu_id WHERE  a.csub_id IN       (SELECT cSub_Id FROM "
        "ZxSystem.dbo.UA_SubSys "
        "WHERE cSub_Id IN           (SELECT cSub_Id FROM ZxSystem.dbo.UA_Account_sub WHERE "
        "cAcc_id='001' AND iYear='9999' AND NOT dSubSysUsed IS NULL              UNION SELECT "
        "cSub_Id "
        "FROM ZxSystem.dbo.UA_Subsys WHERE (ntype=1 OR ntype IS NULL ) AND cSub_Id NOT "
        "IN(N'AS',N'DP',N'EA',N'FP',N'DA')           )      )   Union All SELECT TOP 1 N'BM' AS "
        "csub_id,b.csub_name,@bmSupMenuID AS csupmenu_id,a.iorder FROM zxsystem.dbo.ua_menu "
        "a,ua_subsys b    WHERE a.cmenu_id IN (N'BM',N'BG') AND b.csub_id = N'BM' AND "
        "a.csupmenu_id "
        "<> '' AND a.csupmenu_id IS NOT NULL) AS a ORDER BY iorder",
        true);
}
BENCHMARK(BM_TableTreeSubsystems)->Unit(benchmark::kMillisecond);

// The rule editor runs the field-pair batch and its join once per listed item.
void BM_FieldPairBatchAndJoin(benchmark::State& state) {
    platform::server::ClsCommon srv;
    srv.init(demoAccount().connectionText());
    const QString batch = QStringLiteral(
        " if not (select object_id('Tempdb..#AA_ExtendDefineFieldsForMakeVouch')) is null \r\n"
        " DROP TABLE #AA_ExtendDefineFieldsForMakeVouch \r\n"
        " Create table #AA_ExtendDefineFieldsForMakeVouch(ctablename nvarchar(200),cextendfield "
        "nvarchar(200))\r\n"
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('SA_OrderHead','cHDefine1') \r\n"
        " Insert into #AA_ExtendDefineFieldsForMakeVouch values('SA_DispatchHead','cHDefine1') ");
    const QString join = QStringLiteral(
        " SELECT  Sub.cMakeVouchID,base.cSub_id,sub.cType,source.cextendfield,target.cextendfield,"
        "source.ctablename,target.ctablename,1,base.cDesc FROM #AA_ExtendDefineFieldsForMakeVouch "
        "source INNER JOIN #AA_ExtendDefineFieldsForMakeVouch target ON source.cextendfield = "
        "target.cextendfield  INNER JOIN AA_ExtendDefineMakeVouch_sub Sub ON source.ctablename = "
        "Sub.ctablename AND target.ctablename = Sub.ctargettable  INNER JOIN "
        "AA_ExtendDefineMakeVouch_base base ON sub.cMakeVouchID = base.cMakeVouchID");
    for (auto _ : state) {
        if (!srv.ExecuteX(batch) || !srv.OpenX(join))
            state.SkipWithError(srv.lastError().toUtf8().constData());
    }
}
BENCHMARK(BM_FieldPairBatchAndJoin)->Unit(benchmark::kMillisecond);

void BM_RefDesignProcedure(benchmark::State& state) {
    runStatement(state, QStringLiteral("AA_CreateDefineRefDesignView"), false);
}
BENCHMARK(BM_RefDesignProcedure)->Unit(benchmark::kMillisecond);

}  // namespace
