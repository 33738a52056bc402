#include "platform/pub/FunctionLocks.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>
#include <QTimer>
#include <cerrno>
#include <csignal>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/db/PgConnection.h"
#include "platform/db/ServerAccount.h"
#include "platform/pub/PubLog.h"
#include "platform/sql/ConnectionText.h"

namespace platform::pub {

namespace {

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    return ca.isEmpty() || cb.isEmpty() ? a == b : ca == cb;
}

bool isRecordMode(int mode) { return mode == 20 || mode == 2 || mode == 8; }

bool processGone(qint64 pid) {
    if (pid <= 0) return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

// The text SQLite's datetime() gives, so rows of every session compare as text.
QString sqliteTime(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// A session's advisory lock key on a server, worked out by the server from the session id (the
// first 64 bits of its MD5) so that every client derives the same key. pg_locks shows the key's
// two halves as classid and objid.
const char kSessionKey[] = "('x' || substr(md5(CAST(?1 AS text)), 1, 16))::bit(64)::bigint";
const char kDeadSessions[] =
    R"(DELETE FROM "zx_FunctionLock" l WHERE "cSessionId" <> ?1 AND NOT EXISTS (
  SELECT 1 FROM pg_catalog.pg_locks k WHERE k.locktype = 'advisory' AND k.granted AND
    k.objsubid = 1 AND k.database =
      (SELECT oid FROM pg_catalog.pg_database WHERE datname = current_database()) AND
    k.classid::bigint = ('x' || substr(md5(l."cSessionId"), 1, 8))::bit(32)::bigint AND
    k.objid::bigint = ('x' || substr(md5(l."cSessionId"), 9, 8))::bit(32)::bigint))";

// The table as an account file declares it, made in an account schema that lacks it. The first
// clients of a new account may come at once: the make is serialized and done once.
const char kServerTable[] = R"(SELECT pg_advisory_xact_lock(2054780928);
CREATE SCHEMA IF NOT EXISTS zxsystem;
CREATE COLLATION IF NOT EXISTS zxsystem.zx_nocase
  (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
CREATE TABLE IF NOT EXISTS %1."zx_FunctionLock"(
  "cFunction" varchar(60) COLLATE zxsystem.zx_nocase NOT NULL,
  "iMode" integer NOT NULL,
  "cRecordKey" varchar(200) COLLATE zxsystem.zx_nocase,
  "cSessionId" varchar(40) COLLATE zxsystem.zx_nocase NOT NULL,
  "cUserId" varchar(20) COLLATE zxsystem.zx_nocase,
  "cHost" varchar(100) COLLATE zxsystem.zx_nocase,
  "iPid" integer,
  "dHeartbeat" timestamp(3));
CREATE INDEX IF NOT EXISTS "IX_zx_FunctionLock" ON %1."zx_FunctionLock"("cFunction", "cRecordKey"))";

// libpq's own keepalives, so that this end also notices a dead server within seconds: the
// connection string with them added (a later keyword wins, in either form of the string).
QString withKeepalives(const QString& conninfo) {
    static const QStringList options = {
        QStringLiteral("keepalives=1"), QStringLiteral("keepalives_idle=3"),
        QStringLiteral("keepalives_interval=1"), QStringLiteral("keepalives_count=3")};
    const bool uri = conninfo.startsWith(QLatin1String("postgresql://")) ||
                     conninfo.startsWith(QLatin1String("postgres://"));
    if (!uri) return conninfo + QLatin1Char(' ') + options.join(QLatin1Char(' '));
    return conninfo + (conninfo.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?')) +
           options.join(QLatin1Char('&'));
}

}  // namespace

FunctionLocks::FunctionLocks(QString sessionId)
    : m_clock([] { return QDateTime::currentDateTimeUtc(); }),
      m_sessionId(std::move(sessionId)),
      m_host(QSysInfo::machineHostName()) {}

FunctionLocks::~FunctionLocks() { releaseAll(); }

QString FunctionLocks::path() const { return m_db ? m_db->location() : QString(); }

bool FunctionLocks::open(const QString& path, QString* error) {
    if (const auto text = sql::ConnectionText::parse(path); text && !text->server.isEmpty()) {
        if (!text->account.isEmpty())
            return openServer(text->server, db::serverDataSchema(text->account), error);
        if (error) *error = QStringLiteral("the connection text names no account");
        return false;
    }
    // The same file under another spelling (relative, through a link) is the same lock table.
    if (m_file && sameFile(m_file->path(), path)) return true;
    releaseAll();
    m_db.reset();
    m_file = nullptr;
    m_server = nullptr;
    QString why;
    auto db = db::Database::open(path, false, &why);
    // Locks are worth nothing after a power loss: no sync on every commit of this connection.
    // The table itself belongs to the account schema.
    if (!db || !db->exec(QStringLiteral("PRAGMA synchronous = NORMAL"), &why)) {
        if (error) *error = why;
        return false;
    }
    m_file = db.get();
    m_db = std::move(db);
    return true;
}

bool FunctionLocks::openServer(const QString& conninfo, const QString& schema, QString* error) {
    if (m_server && m_conninfo == conninfo && m_schema == schema) return true;
    releaseAll();
    m_db.reset();
    m_file = nullptr;
    m_server = nullptr;
    m_conninfo = conninfo;
    m_schema = schema;
    return connectServer(error);
}

// Opens the lock connection and makes it the session's sign of life. The server closes a
// connection whose client went silent: 3 s without traffic, then a probe every second, and
// after 3 unanswered probes (or 6 s of unacknowledged data) it ends the connection and with it
// the session's advisory lock.
bool FunctionLocks::connectServer(QString* error) {
    m_db.reset();
    m_server = nullptr;
    QString why;
    auto pg = db::PgConnection::open(withKeepalives(m_conninfo), &why);
    const QString schema = host::sqlIdentQuoted(m_schema);
    host::RecordSetPtr found;
    bool ok = pg && pg->exec(QStringLiteral("SET tcp_keepalives_idle = 3; "
                                            "SET tcp_keepalives_interval = 1; "
                                            "SET tcp_keepalives_count = 3; "
                                            "SET tcp_user_timeout = 6000; "
                                            "SET search_path TO %1, zxsystem")
                                 .arg(schema),
                             &why);
    if (ok) {
        found = pg->query(QStringLiteral("SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_class c "
                                         "WHERE c.relnamespace = n.oid AND "
                                         "c.relname = 'zx_FunctionLock') FROM "
                                         "pg_catalog.pg_namespace n WHERE n.nspname = ?1"),
                          {m_schema}, &why);
        ok = found != nullptr;
    }
    if (ok && found->isEmpty()) {
        why = QStringLiteral("the server database has no account schema %1").arg(m_schema);
        ok = false;
    }
    if (ok && !found->at(0, 0).toBool()) {
        db::Transaction t(*pg, &why);
        ok = t.ok() && pg->exec(QString::fromLatin1(kServerTable).arg(schema), &why) &&
             t.commit(&why);
    }
    if (ok) {
        const auto taken = pg->query(
            QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(QString::fromLatin1(kSessionKey)),
            {m_sessionId}, &why);
        ok = taken && taken->at(0, 0).toBool();
        if (taken && !ok)
            why = QStringLiteral("the lock session %1 is open elsewhere").arg(m_sessionId);
    }
    if (!ok) {
        if (error) *error = QStringLiteral("cannot keep locks on the server: %1").arg(why);
        return false;
    }
    m_server = pg.get();
    m_db = std::move(pg);
    return true;
}

void FunctionLocks::setTiming(int heartbeatMs, int staleSeconds) {
    m_heartbeatMs = std::max(50, heartbeatMs);
    m_staleSeconds = std::max(1, staleSeconds);
    if (m_timer) m_timer->setInterval(m_heartbeatMs);
}

void FunctionLocks::setClock(Clock clock) {
    m_clock = clock ? std::move(clock) : [] { return QDateTime::currentDateTimeUtc(); };
}

QString FunctionLocks::now() const { return sqliteTime(m_clock()); }

QString FunctionLocks::staleBefore() const {
    return sqliteTime(m_clock().addSecs(-m_staleSeconds));
}

void FunctionLocks::startHeartbeat() {
    if (m_timer || !QCoreApplication::instance()) return;
    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(m_heartbeatMs);
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { heartbeat(); });
    m_timer->start();
}

bool FunctionLocks::heartbeat() {
    if (m_server) return true;
    if (!m_file) return false;
    QString error;
    m_file->setBusyTimeout(0);
    const bool ok = m_file->execParams(
        QStringLiteral(R"(UPDATE "zx_FunctionLock" SET "dHeartbeat" = ?2 WHERE "cSessionId" = ?1)"),
        {m_sessionId, now()}, &error);
    m_file->setBusyTimeout(db::Database::kBusyTimeoutMs);
    if (!ok) qCInfo(lcPub) << "lock heartbeat skipped:" << error;
    return ok;
}

void FunctionLocks::removeStale() {
    if (!m_db) return;
    QString error;
    if (m_server) {
        if (!m_server->execParams(QString::fromLatin1(kDeadSessions), {m_sessionId}, &error))
            qCWarning(lcPub) << "removing locks of ended sessions failed:" << error;
        return;
    }
    if (!m_db->execParams(QStringLiteral("DELETE FROM zx_FunctionLock WHERE cSessionId <> ?1 AND "
                                         "(dHeartbeat IS NULL OR dHeartbeat < ?2)"),
                          {m_sessionId, staleBefore()}, &error))
        qCWarning(lcPub) << "removing stale locks failed:" << error;
    auto rows = m_db->query(QStringLiteral("SELECT DISTINCT cSessionId, iPid FROM zx_FunctionLock "
                                           "WHERE cHost = ?1 AND cSessionId <> ?2"),
                            {m_host, m_sessionId}, &error);
    if (!rows) return;
    for (int r = 0; r < rows->recordCount(); ++r) {
        const qint64 pid = rows->at(r, 1).toLongLong();
        if (!processGone(pid)) continue;
        qCInfo(lcPub) << "removing locks of ended process" << pid;
        m_db->execParams(QStringLiteral("DELETE FROM zx_FunctionLock WHERE cSessionId = ?1"),
                         {rows->at(r, 0)}, &error);
    }
}

FunctionLocks::Result FunctionLocks::apply(const QString& function, int mode,
                                           const QString& recordKey, const QString& userId) {
    Result result;
    // A server connection lost since the last call comes back as a new session of the same id;
    // its rows may be gone, taken over by another client in between.
    if (m_server && !m_server->isOpen()) {
        qCWarning(lcPub) << "the lock connection to" << m_conninfo << "was lost; reconnecting";
        connectServer(&result.error);
    }
    if (!m_db) {
        if (result.error.isEmpty()) result.error = QStringLiteral("no lock database");
        return result;
    }
    if (mode == 0) {
        result.outcome = Outcome::Released;
        return result;
    }
    // Names in double quotes: a server keeps the table's spelling, a file takes them either way.
    if (mode < 0) {
        const int m = -mode;
        const QString sql = QStringLiteral(
            R"(DELETE FROM "zx_FunctionLock" WHERE "cSessionId" = ?1 AND "cFunction" = ?2 AND )"
            R"(("iMode" = ?3 OR "iMode" = ?4))");
        if (!m_db->execParams(sql, {m_sessionId, function, m, m == 2 ? 20 : m}, &result.error))
            return result;
        result.outcome = Outcome::Released;
        return result;
    }

    db::Transaction t(*m_db, &result.error);
    if (!t.ok()) return result;
    // One client at a time checks and takes; a client that keeps the table longer than a busy
    // wait gets a failure instead of a hang.
    if (m_server && !m_server->exec(QStringLiteral(R"(SET LOCAL lock_timeout = %1; )"
                                                   R"(LOCK TABLE "zx_FunctionLock" IN SHARE ROW )"
                                                   R"(EXCLUSIVE MODE)")
                                        .arg(db::Database::kBusyTimeoutMs),
                                    &result.error))
        return result;
    removeStale();

    const QString key = recordKey.trimmed();
    QString conflict;
    QVariantList params{m_sessionId, function};
    if (mode == 1) {
        // Shared: nothing to check.
    } else if (mode == 11) {
        conflict = QStringLiteral(R"("iMode" = 11)");
    } else {
        const QString sameKey =
            QStringLiteral(R"((?3 = '' OR COALESCE("cRecordKey", '') = '' OR "cRecordKey" = ?3))");
        params << key;
        conflict = isRecordMode(mode) ? QStringLiteral(R"("iMode" IN (20, 2, 8) AND )") + sameKey
                                      : QStringLiteral(R"("iMode" = ?4 AND )") + sameKey;
        if (!isRecordMode(mode)) params << mode;
    }
    if (!conflict.isEmpty()) {
        auto rows = m_db->query(
            QStringLiteral(R"(SELECT "cFunction", "iMode", "cRecordKey", "cSessionId", "cUserId", )"
                           R"("cHost", "iPid" FROM "zx_FunctionLock" WHERE "cSessionId" <> ?1 )"
                           R"(AND "cFunction" = ?2 AND )") +
                conflict + QStringLiteral(" LIMIT 1"),
            params, &result.error);
        if (!rows) return result;
        if (!rows->isEmpty()) {
            LockHolder h;
            h.function = rows->text(0);
            h.mode = rows->value(1).toInt();
            h.recordKey = rows->text(2);
            h.sessionId = rows->text(3);
            h.userId = rows->text(4);
            h.host = rows->text(5);
            h.pid = rows->value(6).toLongLong();
            result.holder = h;
            result.outcome = Outcome::Refused;
            return result;
        }
    }
    auto own = m_db->query(
        QStringLiteral(R"(SELECT 1 FROM "zx_FunctionLock" WHERE "cSessionId" = ?1 AND )"
                       R"("cFunction" = ?2 AND "iMode" = ?3 AND COALESCE("cRecordKey", '') = ?4)"),
        {m_sessionId, function, mode, key}, &result.error);
    if (!own) return result;
    const bool ok =
        own->isEmpty()
            ? m_db->execParams(
                  QStringLiteral(R"(INSERT INTO "zx_FunctionLock"("cFunction", "iMode", )"
                                 R"("cRecordKey", "cSessionId", "cUserId", "cHost", "iPid", )"
                                 R"("dHeartbeat") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8))"),
                  {function, mode, key, m_sessionId, userId, m_host,
                   qint64(QCoreApplication::applicationPid()), now()},
                  &result.error)
            : m_db->execParams(QStringLiteral(R"(UPDATE "zx_FunctionLock" SET "dHeartbeat" = ?2 )"
                                              R"(WHERE "cSessionId" = ?1)"),
                               {m_sessionId, now()}, &result.error);
    if (!ok || !t.commit(&result.error)) return result;
    result.outcome = Outcome::Taken;
    if (m_file) startHeartbeat();
    return result;
}

void FunctionLocks::releaseAll() {
    if (!m_db) return;
    QString error;
    if (!m_db->execParams(
            QStringLiteral(R"(DELETE FROM "zx_FunctionLock" WHERE "cSessionId" = ?1)"),
            {m_sessionId}, &error))
        qCWarning(lcPub) << "releasing the session's locks failed:" << error;
}

int FunctionLocks::heldCount() const {
    if (!m_db) return 0;
    auto rows = m_db->query(
        QStringLiteral(R"(SELECT count(*) FROM "zx_FunctionLock" WHERE "cSessionId" = ?1)"),
        {m_sessionId});
    return rows && !rows->isEmpty() ? rows->at(0, 0).toInt() : 0;
}

}  // namespace platform::pub
