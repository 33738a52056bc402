// Clients of one server account: one killed half way through a save, two saving at once.
#include <poll.h>

#include <QDeadlineTimer>
#include <QThread>
#include <csignal>
#include <thread>

#include "platform/pub/FunctionLocks.h"
#include "platform/server/DocumentWriter.h"
#include "tests/support/PgTestServer.h"

using namespace platform::server;

namespace {

bool within(int ms, const std::function<bool()>& done) {
    for (QDeadlineTimer deadline(ms); !done() && !deadline.hasExpired();) QThread::msleep(20);
    return done();
}

struct Numbering : TableDocument {  // the next free number, read and then written
    bool add(WriteContext& c, const Document&, QString* e) override {
        auto next = c.query("SELECT COALESCE(MAX(n), 0) + 1 FROM numbered", {}, e);
        return next && c.exec("INSERT INTO numbered VALUES (?)", {next->at(0, 0)}, e);
    }
    bool modify(WriteContext&, const Document&, QString*) override { return false; }
    bool remove(WriteContext&, const DeleteKey&, QString*) override { return false; }
};

struct Client {
    std::unique_ptr<platform::db::PgConnection> db;
    DocumentWriter writer{*db};
    platform::pub::FunctionLocks locks;
    Client(const QString& conninfo, const QString& session)
        : db(platform::db::PgConnection::open(conninfo + " options=-csearch_path=zxdata_t", {})),
          locks(session) {
        writer.registerTable("numbered", std::make_shared<Numbering>());
        locks.open("Server=" + conninfo + ";Account=T", nullptr);
    }
    bool save() { return writer.add("<n/>", "numbered", nullptr); }
    QString lock(const char* user) {  // empty when taken, else who holds it or why not
        auto r = locks.apply("UserDef", 11, {}, user);
        return r.holder ? r.holder->userId : r.error;
    }
};

struct ServerLocks : testsupport::PgTest {
    void SetUp() override {
        ASSERT_TRUE(pg.db && pg.db->exec("CREATE SCHEMA zxdata_t; SET search_path TO zxdata_t; "
                                         "CREATE TABLE numbered(n int); CREATE TABLE \"zx_History\"("
                                         "\"dWhen\" text, \"cUserId\" text, \"cOrigin\" text, "
                                         "\"cOperation\" text, \"cTable\" text)"));
    }
    int count(const QString& sql) { return pg.db->query(sql)->at(0, 0).toInt(); }
};

}  // namespace

TEST_F(ServerLocks, AKilledClientsSaveIsAbsentAndItsLockFreeWithinTenSeconds) {
    Client other(pg.conninfo, "b");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) {  // takes the lock, then stops just before its save commits
        Client killed(pg.conninfo, "c");
        killed.writer.setPauseAtStatement(4, [&](int) { write(ready[1], "x", 1) && pause(); });
        if (killed.lock("carl").isEmpty()) killed.save();
        _exit(1);
    }
    pollfd fd{ready[0], POLLIN, 0};
    EXPECT_EQ(poll(&fd, 1, 60000), 1);
    EXPECT_EQ(other.lock("ben"), "carl");
    kill(child, SIGKILL);
    EXPECT_TRUE(within(10000, [&] { return other.lock("ben").isEmpty(); }));
    EXPECT_EQ(count("SELECT count(*) FROM numbered"), 0);
}

TEST_F(ServerLocks, ConcurrentSavesNeverTakeOneNumber) {
    Client a(pg.conninfo, "a"), b(pg.conninfo, "b");
    std::atomic<bool> aRead{false};
    // a has read its number and writes it once b waits for a (unserialized, b would save first).
    a.writer.setPauseAtStatement(2, [&](int) {
        aRead = true;
        const QString waits = "SELECT count(*) FROM pg_locks WHERE NOT granted AND pid = %1";
        within(30000, [&] { return count(waits.arg(b.db->backendPid())) > 0; });
    });
    std::thread first([&] { EXPECT_TRUE(a.save()); });
    EXPECT_TRUE(within(30000, [&] { return aRead.load(); }));
    EXPECT_TRUE(b.save());
    first.join();
    EXPECT_EQ(count("SELECT count(DISTINCT n) FROM numbered"), 2);
}
