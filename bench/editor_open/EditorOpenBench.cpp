// Opening the table tree of an extended header item on an account with 60 extendable tables in
// 12 subsystems besides the demo account's own: the tree built, the item's tables ticked and
// one table group followed, as the editor does when it shows the item. Goal: under 50 ms.
//
//   build-…/editor_open [--benchmark_filter=…]
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "common/Globals.h"
#include "controls/CheckTreeModel.h"
#include "host/ILogin.h"
#include "itemdef/ExtendTables.h"
#include "platform/db/Database.h"
#include "platform/db/DemoAccount.h"
#include "platform/pub/Pub.h"
#include "platform/pub/ScriptedPrompter.h"
#include "platform/server/AccountConnection.h"
#include "platform/server/ClsCommon.h"
#include "platform/sql/TSqlConnection.h"

namespace {

constexpr int kSubsystems = 12;
constexpr int kTables = 60;

class BenchLogin : public host::ILogin {
public:
    explicit BenchLogin(platform::server::ClsCommon* srv) : m_srv(srv) {}
    QString ZxDbName() const override { return {}; }
    QString cUserId() const override { return QStringLiteral("demo"); }
    QString cUserName() const override { return QStringLiteral("演示管理员"); }
    QString cAcc_id() const override { return QStringLiteral("001"); }
    host::IConnection* ZxCurrentDb() const override { return m_srv->m_cnn(); }
    QString ZxMetaName() const override { return {}; }
    QString LanguageRegion() const override { return QStringLiteral("zh-cn"); }

private:
    platform::server::ClsCommon* m_srv;
};

struct Account {
    QTemporaryDir root;
    std::shared_ptr<platform::server::ClsCommon> srv;
    QString error;

    platform::db::Database& db() { return srv->connection()->database(); }

    bool open() {
        if (!platform::db::createDemoAccount(root.path(), QStringLiteral("001"), &error))
            return false;
        srv = std::make_shared<platform::server::ClsCommon>();
        srv->init(platform::server::accountConnectionText(root.path(), QStringLiteral("001"),
                                                          QStringLiteral("zh-CN")));
        if (!srv->Status()) {
            error = srv->lastError();
            return false;
        }
        return fill();
    }

    bool exec(const QString& sql) { return db().exec(sql, &error); }

    // Subsystems XA…XL in the supply-chain and finance groups, five header tables each (every
    // fifth table also under the next subsystem), groups of two tables, and item 1001 linked to
    // every third table.
    bool fill() {
        const QString codes = QStringLiteral("ABCDEFGHIJKL");
        for (int s = 0; s < kSubsystems; ++s) {
            const QString code = QStringLiteral("X") + codes.at(s);
            if (!exec(QStringLiteral("INSERT INTO zxsystem.ua_subsys(csub_id,csub_name,ntype) "
                                     "VALUES ('%1','扩展子系统%2',1)")
                          .arg(code)
                          .arg(s + 1)) ||
                !exec(QStringLiteral("INSERT INTO zxsystem.UA_Menu(cMenu_ID,cSupMenu_ID,Depends,"
                                     "iOrder) VALUES ('%1','%2','',%3)")
                          .arg(code, s % 2 ? QStringLiteral("GFI") : QStringLiteral("GSC"))
                          .arg(60 + s)))
                return false;
        }
        for (int t = 1; t <= kTables; ++t) {
            const QString table = QStringLiteral("BT_Head%1").arg(t, 2, 10, QLatin1Char('0'));
            const int s = (t - 1) / 5;
            QString sub = QStringLiteral("X") + codes.at(s);
            if (t % 5 == 0) sub += QStringLiteral(",X") + codes.at((s + 1) % kSubsystems);
            if (!exec(QStringLiteral("CREATE TABLE %1(ID int PRIMARY KEY, cCode nvarchar(30))")
                          .arg(table)) ||
                !exec(QStringLiteral("INSERT INTO AA_DefineExtend(cSub_ID,cTableName,TableDesc,"
                                     "cTableDesc,cType,cParentTableName,TableName,cPKName,"
                                     "bDeleteIgnoreCheck) VALUES ('%1','%2','扩展单据%3表头',"
                                     "'扩展单据%3主表','H',NULL,'%2','ID',0)")
                          .arg(sub, table)
                          .arg(t)))
                return false;
            if (t % 3 == 0 &&
                !exec(QStringLiteral("INSERT INTO UserDefDetail(cid,TableName) VALUES "
                                     "('1001','%1')")
                          .arg(table)))
                return false;
            if (!exec(QStringLiteral("INSERT INTO AA_DefineExtendTables(cTableName,groupname,"
                                     "ctype) VALUES ('%1','扩展联动%2','H')")
                          .arg(table)
                          .arg((t + 1) / 2)))
                return false;
        }
        return true;
    }
};

Account* g_account = nullptr;

void BM_OpenExtendedHeaderItem(benchmark::State& state) {
    int nodes = 0, ticked = 0;
    for (auto _ : state) {
        controls::CheckTreeModel tree;
        itemdef::ExtendEditorState editor;
        editor.cClass = QStringLiteral("单据头");
        editor.cId = QStringLiteral("1001");
        editor.extended = true;
        if (!itemdef::BuildExtendTree(tree, editor) || !itemdef::LoadExtendTables(tree, editor)) {
            state.SkipWithError("the tree could not be built");
            return;
        }
        tree.setTicked(QStringLiteral("Mark&&BT_Head01"), true);
        itemdef::SyncTableGroups(tree, editor, QStringLiteral("Mark&&BT_Head01"), true);
        nodes = tree.nodeCount();
        ticked = 0;
        for (const QString& key : tree.keys()) ticked += tree.isTicked(key) ? 1 : 0;
        benchmark::DoNotOptimize(ticked);
    }
    state.counters["nodes"] = nodes;
    state.counters["ticked"] = ticked;
}
BENCHMARK(BM_OpenExtendedHeaderItem)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Account account;
    if (!account.open()) {
        std::fprintf(stderr, "cannot build the account: %s\n", qPrintable(account.error));
        return 1;
    }
    userdef::g_Pub = std::make_shared<platform::pub::Pub>(
        std::make_shared<platform::pub::ScriptedPrompter>(), QStringLiteral("zh-cn"));
    userdef::g_SrvDB = account.srv;
    userdef::g_Login = std::make_shared<BenchLogin>(account.srv.get());
    g_account = &account;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    userdef::g_Login.reset();
    userdef::g_SrvDB.reset();
    userdef::g_Pub.reset();
    return 0;
}
