#pragma once
// Function locks of one session, kept in zx_FunctionLock of the account database so every
// client of the account sees them.
//
// Each row records function, mode, record key, the owning session (a GUID per public service),
// user, host, process id and a heartbeat. Before every check, locks of dead sessions are
// removed. In an account file a session is dead when its heartbeat, refreshed every few
// seconds, is older than the stale time, or when it ran on this host in a process that no
// longer exists. On a server a session lives exactly as long as its lock connection: that
// connection holds a session-level advisory lock keyed by the session id, which the server
// gives back when the client ends, dies or loses the network (TCP keepalives notice within
// seconds); a row whose key nobody holds is dead.
//
// Rules (true = held elsewhere; a session may always re-take its own lock):
//   mode 1                 shared: never refused, never refuses
//   mode 11                exclusive per function
//   modes 20, 2, 8         exclusive per record among themselves (keyed by the record key; an
//                          empty key stands for every record of the function)
//   any other mode         exclusive per function, mode and record key
//   negative mode          releases what this session holds of the function in that mode;
//                          -2 releases 20 and 2
// A check and its take run in one transaction that excludes every other client's: BEGIN
// IMMEDIATE in a file, a table lock on a server. Times come from the service's clock (UTC),
// stored as SQLite's datetime() text.
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QTimer;

namespace platform::db {
class Connection;
class Database;
class PgConnection;
}  // namespace platform::db

namespace platform::pub {

struct LockHolder {
    QString function;
    int mode = 0;
    QString recordKey;
    QString sessionId;
    QString userId;
    QString host;
    qint64 pid = 0;
};

class FunctionLocks {
public:
    explicit FunctionLocks(QString sessionId);
    ~FunctionLocks();  // releases every lock of the session

    // Works on the account database file at `path` through a connection of its own (it outlives
    // the caller's connections). Switching to another file releases the locks on the old one.
    // A server account's connection text ("Server=…;Account=…") opens it as openServer does.
    bool open(const QString& path, QString* error);
    // Works on a server account: the database of the libpq connection string, the account's data
    // schema (zxdata_<acc>), through a connection of its own. The lock table is made when the
    // schema has none. Switching to another account releases the locks on the old one.
    bool openServer(const QString& conninfo, const QString& schema, QString* error);
    bool isOpen() const { return bool(m_db); }
    QString path() const;  // the file, or the connection string on a server

    enum class Outcome { Taken, Refused, Released, Failed };
    struct Result {
        Outcome outcome = Outcome::Failed;
        std::optional<LockHolder> holder;  // who holds it, when refused
        QString error;                     // when failed
    };
    // A positive mode takes, a negative one releases, 0 does nothing (Released).
    Result apply(const QString& function, int mode, const QString& recordKey,
                 const QString& userId);

    void releaseAll();
    // Refreshes the heartbeat of every lock of the session; the timer calls it on the window's
    // thread, so a beat that finds the database busy is skipped instead of waiting (the next
    // beat comes long before the lock goes stale). False when the beat was not written. A server
    // needs no beat: the lock connection itself is the session's sign of life.
    bool heartbeat();
    // Removes the locks of dead sessions now.
    void removeStale();

    // Heartbeat period and the age after which a lock without heartbeat is stale.
    void setTiming(int heartbeatMs, int staleSeconds);
    int staleSeconds() const { return m_staleSeconds; }
    int heartbeatMs() const { return m_heartbeatMs; }
    QString sessionId() const { return m_sessionId; }
    int heldCount() const;  // rows of this session

    // The clock heartbeats and staleness are measured by; the system clock unless set.
    using Clock = std::function<QDateTime()>;
    void setClock(Clock clock);

private:
    bool connectServer(QString* error);
    void startHeartbeat();
    QString now() const;  // the clock's time as datetime() text
    QString staleBefore() const;

    Clock m_clock;
    QString m_sessionId;
    QString m_host;
    std::unique_ptr<db::Connection> m_db;
    db::Database* m_file = nullptr;        // m_db, when it is an account file
    db::PgConnection* m_server = nullptr;  // m_db, when it is on a server
    QString m_conninfo, m_schema;
    std::unique_ptr<QTimer> m_timer;
    int m_heartbeatMs = 5000;
    int m_staleSeconds = 60;
};

}  // namespace platform::pub
