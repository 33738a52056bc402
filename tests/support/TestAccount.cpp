#include "tests/support/TestAccount.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <stdexcept>

#include "host/Quote.h"
#include "platform/db/DemoAccount.h"
#include "platform/db/ServerAccount.h"
#include "platform/db/Schema.h"
#include "platform/server/AccountConnection.h"
#include "platform/sql/PgFunctions.h"
#include "platform/sql/ServerFunctions.h"

namespace testsupport {

namespace {

const QString kAccount = QStringLiteral("001");

QString templateDir() {
    const QString env = qEnvironmentVariable("USERDEF_TEST_TEMPLATE");
    return env.isEmpty() ? QDir::temp().absoluteFilePath(QStringLiteral("userdef-test-template"))
                         : QDir(env).absolutePath();
}

QByteArray stamp() {
    return QStringLiteral("schema %1 demo %2\n")
        .arg(platform::db::kSchemaVersion).arg(platform::db::kDemoVersion).toUtf8();
}

bool isCurrent(const QString& dir) {
    QFile f(QDir(dir).absoluteFilePath(QStringLiteral("STAMP")));
    const platform::db::AccountFiles files = platform::db::accountFiles(dir, kAccount);
    return f.open(QIODevice::ReadOnly) && f.readAll() == stamp() &&
           QFileInfo::exists(files.system) && QFileInfo::exists(files.data) &&
           QFileInfo::exists(files.meta);
}

bool build(const QString& dir, QString* error) {
    const QString work = dir + QStringLiteral(".build");
    QDir(work).removeRecursively();
    if (!QDir().mkpath(work)) {
        *error = QStringLiteral("Cannot create %1.").arg(work);
        return false;
    }
    if (!platform::db::createDemoAccount(work, kAccount, error)) return false;
    QSaveFile f(QDir(work).absoluteFilePath(QStringLiteral("STAMP")));
    if (!f.open(QIODevice::WriteOnly) || f.write(stamp()) < 0 || !f.commit()) {
        *error = QStringLiteral("Cannot write the template stamp in %1.").arg(work);
        return false;
    }
    QDir(dir).removeRecursively();
    if (!QDir().rename(work, dir)) {
        *error = QStringLiteral("Cannot move %1 to %2.").arg(work, dir);
        return false;
    }
    return true;
}

// Builds the template now when missing or stale; false with `error` when it cannot.
bool ensureTemplate(QString* error) {
    static bool ready = false;
    static QString failure;
    if (ready) return true;
    const QString dir = templateDir();
    QDir().mkpath(QFileInfo(dir).absolutePath());
    QLockFile lock(dir + QStringLiteral(".lock"));
    lock.setStaleLockTime(10 * 60 * 1000);
    if (!lock.lock()) {
        *error = QStringLiteral("Cannot lock %1.lock.").arg(dir);
        return false;
    }
    if (!failure.isEmpty()) {
        *error = failure;
        return false;
    }
    if (!isCurrent(dir) && !build(dir, &failure)) {
        failure = QStringLiteral("Cannot build the demo template in %1: %2").arg(dir, failure);
        *error = failure;
        return false;
    }
    ready = true;
    return true;
}

// The demo account on the tests' server, copied once from the template folder into a database
// that every server account of the run clones. Named by the template's stamp, so programs
// sharing the server share it; made under another name and renamed, so none sees it half-made.
QString serverTemplate(QString* error) {
    static QString name, failure;
    const QString wanted = QStringLiteral("userdef_template_s%1_d%2")
                               .arg(platform::db::kSchemaVersion).arg(platform::db::kDemoVersion);
    const auto made = [&](platform::db::Connection& db) {
        const host::RecordSetPtr rows = db.query(
            QStringLiteral("SELECT 1 FROM pg_catalog.pg_database WHERE datname = ?1"), {wanted},
            &failure);
        return rows && !rows->isEmpty();
    };
    if (name.isEmpty() && failure.isEmpty()) {
        PgTestDatabase probe;  // reaches the server; its own database is dropped with it
        platform::db::AccountCopy copy;
        if (!probe.db) failure = probe.error;
        else if (made(*probe.db)) name = wanted;
        else if (platform::db::copyAccountToServer(templateDir(), kAccount, probe.conninfo, &copy,
                                                   &failure, false,
                                                   &platform::sql::installPgFunctions)) {
            // The copy's database becomes the template: no connection may stay on it.
            probe.db.reset();
            auto admin = platform::db::PgConnection::open(probe.server, &failure);
            if (admin && admin->exec(QStringLiteral("ALTER DATABASE %1 RENAME TO %2")
                                         .arg(host::sqlIdentQuoted(probe.name),
                                              host::sqlIdentQuoted(wanted)),
                                     &failure))
                probe.server.clear();  // the probe has nothing left to drop
            if (admin && made(*admin)) name = wanted;  // also when another program made it first
        }
        if (name.isEmpty())
            failure = QStringLiteral("Cannot put the demo account on the test server: %1").arg(failure);
    }
    if (name.isEmpty()) *error = failure;
    return name;
}

}  // namespace

TestAccount::TestAccount(Kind kind) : m_kind(kind) {
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("Cannot create a temporary folder: %1").arg(m_dir.errorString());
        return;
    }
    if (!ensureTemplate(&m_error)) return;
    if (kind == Kind::Server) {
        const QString from = serverTemplate(&m_error);
        if (from.isEmpty()) return;
        m_server = std::make_unique<PgTestDatabase>(from);
        QString why;
        if (!m_server->db ||
            !m_server->db->exec(QStringLiteral("SET search_path = zxdata_001, zxsystem, zxmeta_001"),
                                &why)) {
            m_error = m_server->db ? why : m_server->error;
            return;
        }
        platform::db::writeServerEntry(m_dir.path(), kAccount, m_server->conninfo, &m_error);
        return;
    }
    const platform::db::AccountFiles from = platform::db::accountFiles(templateDir(), kAccount);
    const platform::db::AccountFiles to = platform::db::accountFiles(m_dir.path(), kAccount);
    for (const auto& [file, copy] : {std::pair{from.system, to.system},
                                     std::pair{from.data, to.data}, std::pair{from.meta, to.meta}}) {
        QDir().mkpath(QFileInfo(copy).absolutePath());
        if (!QFile::copy(file, copy)) {
            m_error = QStringLiteral("Cannot copy %1 to %2.").arg(file, copy);
            return;
        }
    }
}

TestAccount::~TestAccount() {
    m_srv.reset();
    m_db.reset();
    m_functions.reset();
    m_server.reset();
}

QString TestAccount::dataRoot() const { return m_dir.path(); }
QString TestAccount::dataPath() const { return platform::db::accountFiles(dataRoot(), kAccount).data; }
QString TestAccount::metaPath() const { return platform::db::accountFiles(dataRoot(), kAccount).meta; }
QString TestAccount::systemPath() const { return platform::db::accountFiles(dataRoot(), kAccount).system; }

QString TestAccount::connectionText(const QString& language) const {
    return platform::server::accountConnectionText(dataRoot(), kAccount, language);
}

QString TestAccount::metaConnectionText(const QString& language) const {
    return platform::server::accountConnectionText(dataRoot(), kAccount, language, true);
}

platform::server::ClsCommon& TestAccount::srv() {
    if (!m_srv) {
        m_srv = std::make_unique<platform::server::ClsCommon>();
        m_srv->init(connectionText());
        EXPECT_TRUE(m_srv->Status()) << m_srv->lastError().toStdString();
    }
    return *m_srv;
}

platform::db::Connection& TestAccount::conn() {
    if (m_server && m_server->db) return *m_server->db;
    return db();
}

platform::db::Database& TestAccount::db() {
    if (m_kind == Kind::Server)
        throw std::runtime_error("a server account has no embedded database");
    if (!m_db) {
        QString error;
        m_db = platform::db::Database::open(dataPath(), false, &error);
        if (!m_db)
            throw std::runtime_error(
                QStringLiteral("Cannot open %1: %2").arg(dataPath(), error).toStdString());
        EXPECT_TRUE(m_db->attach(systemPath(), QStringLiteral("zxsystem"), &error))
            << error.toStdString();
        EXPECT_TRUE(m_db->attach(metaPath(), QStringLiteral("ZxMeta_001"), &error))
            << error.toStdString();
        m_functions = platform::sql::ServerFunctions::install(*m_db, QStringLiteral("zh-CN"),
                                                              QStringLiteral("ZxData_001"), &error);
        EXPECT_TRUE(m_functions) << error.toStdString();
    }
    return *m_db;
}

QStringList TestAccount::rows(const QString& sql, const QVariantList& params,
                              const QStringList& leaveOut) {
    QStringList out;
    const host::RecordSetPtr rs = conn().query(sql, params);
    for (int r = 0; rs && r < rs->recordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs->fieldCount(); ++c)
            if (!leaveOut.contains(rs->field(c).name, Qt::CaseInsensitive))
                cells << (rs->at(r, c).isNull() ? QStringLiteral("~") : rs->at(r, c).toString());
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

}  // namespace testsupport
