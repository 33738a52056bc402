#include "platform/pub/FunctionLocks.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <unistd.h>

#include "platform/db/Database.h"
#include "platform/pub/PubLog.h"

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

}  // namespace

FunctionLocks::FunctionLocks(QString sessionId)
    : m_clock([] { return QDateTime::currentDateTimeUtc(); }),
      m_sessionId(std::move(sessionId)),
      m_host(QSysInfo::machineHostName()) {}

FunctionLocks::~FunctionLocks() { releaseAll(); }

QString FunctionLocks::path() const { return m_db ? m_db->path() : QString(); }

bool FunctionLocks::open(const QString& path, QString* error) {
    // The same file under another spelling (relative, through a link) is the same lock table.
    if (m_db && sameFile(m_db->path(), path)) return true;
    releaseAll();
    m_db.reset();
    QString why;
    auto db = db::Database::open(path, false, &why);
    // Locks are worth nothing after a power loss: no sync on every commit of this connection.
    // The table itself belongs to the account schema.
    if (!db || !db->exec(QStringLiteral("PRAGMA synchronous = NORMAL"), &why)) {
        if (error) *error = why;
        return false;
    }
    m_db = std::move(db);
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
    if (!m_db) return false;
    QString error;
    m_db->setBusyTimeout(0);
    const bool ok = m_db->execParams(
        QStringLiteral("UPDATE zx_FunctionLock SET dHeartbeat = ?2 WHERE cSessionId = ?1"),
        {m_sessionId, now()}, &error);
    m_db->setBusyTimeout(db::Database::kBusyTimeoutMs);
    if (!ok) qCInfo(lcPub) << "lock heartbeat skipped:" << error;
    return ok;
}

void FunctionLocks::removeStale() {
    if (!m_db) return;
    QString error;
    if (!m_db->execParams(
            QStringLiteral("DELETE FROM zx_FunctionLock WHERE cSessionId <> ?1 AND "
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
    if (!m_db) {
        result.error = QStringLiteral("no lock database");
        return result;
    }
    if (mode == 0) {
        result.outcome = Outcome::Released;
        return result;
    }
    if (mode < 0) {
        const int m = -mode;
        const QString sql = QStringLiteral(
            "DELETE FROM zx_FunctionLock WHERE cSessionId = ?1 AND cFunction = ?2 AND "
            "(iMode = ?3 OR iMode = ?4)");
        if (!m_db->execParams(sql, {m_sessionId, function, m, m == 2 ? 20 : m}, &result.error))
            return result;
        result.outcome = Outcome::Released;
        return result;
    }

    db::Transaction t(*m_db, &result.error);
    if (!t.ok()) return result;
    removeStale();

    const QString key = recordKey.trimmed();
    QString conflict;
    QVariantList params{m_sessionId, function};
    if (mode == 1) {
        // Shared: nothing to check.
    } else if (mode == 11) {
        conflict = QStringLiteral("iMode = 11");
    } else {
        const QString sameKey =
            QStringLiteral("(?3 = '' OR IFNULL(cRecordKey, '') = '' OR cRecordKey = ?3)");
        params << key;
        conflict = isRecordMode(mode) ? QStringLiteral("iMode IN (20, 2, 8) AND ") + sameKey
                                      : QStringLiteral("iMode = ?4 AND ") + sameKey;
        if (!isRecordMode(mode)) params << mode;
    }
    if (!conflict.isEmpty()) {
        auto rows = m_db->query(
            QStringLiteral("SELECT cFunction, iMode, cRecordKey, cSessionId, cUserId, cHost, iPid "
                           "FROM zx_FunctionLock WHERE cSessionId <> ?1 AND cFunction = ?2 AND ") +
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
    auto own = m_db->query(QStringLiteral("SELECT 1 FROM zx_FunctionLock WHERE cSessionId = ?1 AND "
                                          "cFunction = ?2 AND iMode = ?3 AND "
                                          "IFNULL(cRecordKey, '') = ?4"),
                           {m_sessionId, function, mode, key}, &result.error);
    if (!own) return result;
    const bool ok =
        own->isEmpty()
            ? m_db->execParams(QStringLiteral("INSERT INTO zx_FunctionLock(cFunction, iMode, "
                                              "cRecordKey, cSessionId, cUserId, cHost, iPid, "
                                              "dHeartbeat) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
                               {function, mode, key, m_sessionId, userId, m_host,
                                qint64(QCoreApplication::applicationPid()), now()},
                               &result.error)
            : m_db->execParams(QStringLiteral("UPDATE zx_FunctionLock SET dHeartbeat = ?2 "
                                              "WHERE cSessionId = ?1"),
                               {m_sessionId, now()}, &result.error);
    if (!ok || !t.commit(&result.error)) return result;
    result.outcome = Outcome::Taken;
    startHeartbeat();
    return result;
}

void FunctionLocks::releaseAll() {
    if (!m_db) return;
    QString error;
    if (!m_db->execParams(QStringLiteral("DELETE FROM zx_FunctionLock WHERE cSessionId = ?1"),
                          {m_sessionId}, &error))
        qCWarning(lcPub) << "releasing the session's locks failed:" << error;
}

int FunctionLocks::heldCount() const {
    if (!m_db) return 0;
    auto rows = m_db->query(
        QStringLiteral("SELECT count(*) FROM zx_FunctionLock WHERE cSessionId = ?1"),
        {m_sessionId});
    return rows && !rows->isEmpty() ? rows->at(0, 0).toInt() : 0;
}

}  // namespace platform::pub
