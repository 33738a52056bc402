// One login's password check: the argon2id hash check alone (goal: between 50 and 500 ms, slow
// for an attacker with a copied system database, quick for a person), and the whole check of a
// user against the demo's system database around it.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "app/Credentials.h"
#include "platform/db/DemoAccount.h"
#include "platform/db/UserTable.h"

namespace {

void BM_Argon2idHashCheck(benchmark::State& state) {
    const QString stored = platform::db::hashPassword(QStringLiteral("correct horse"));
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::db::verifyPassword(stored, QStringLiteral("correct horse")));
}
BENCHMARK(BM_Argon2idHashCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoginCheck(benchmark::State& state) {
    QTemporaryDir root;
    QString error;
    if (!platform::db::createDemoAccount(root.path(), QStringLiteral("001"), &error)) {
        state.SkipWithError(error.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        const app::UserCheck check =
            app::checkUser(root.path(), QStringLiteral("demo"), QStringLiteral("demo"));
        if (check.result != app::UserCheck::Ok) state.SkipWithError("the demo login failed");
    }
}
BENCHMARK(BM_LoginCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
