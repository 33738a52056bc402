#include "tests/support/PgTestServer.h"

#include <QCoreApplication>
#include <QProcess>

#include "host/Quote.h"

namespace testsupport {

PgTestDatabase::PgTestDatabase(const QString& templateDb) {
    static QString shared = qEnvironmentVariable("USERDEF_TEST_PG");
    static int counter = 0;
    const QString pid = QString::number(QCoreApplication::applicationPid());
    if (shared.isEmpty()) {
        QProcess p;  // the script's watcher stops this server once the program has ended
        p.start("bash", {USERDEF_SOURCE_DIR "/scripts/pg-test-server.sh", "start", pid});
        if (!p.waitForFinished(180000)) p.kill();
        shared = QString::fromUtf8(p.readAllStandardOutput()).section('\n', 1, 1);
        error = "no test server: " + QString::fromUtf8(p.readAllStandardError());
    }
    server = shared;
    name = QStringLiteral("userdef_t%1_%2").arg(pid).arg(++counter);
    auto admin = server.isEmpty() ? nullptr : platform::db::PgConnection::open(server, &error);
    const QString create = "CREATE DATABASE " + host::sqlIdentQuoted(name) +
                           (templateDb.isEmpty() ? QString() : " TEMPLATE " + host::sqlIdentQuoted(templateDb));
    if (!admin || !admin->exec(create, &error)) return;
    conninfo = server + " dbname=" + name;  // the later keyword wins
    db = platform::db::PgConnection::open(conninfo, &error);
}

PgTestDatabase::~PgTestDatabase() {
    db.reset();
    QString why;
    auto admin = server.isEmpty() ? nullptr : platform::db::PgConnection::open(server, &why);
    const QString drop = "DROP DATABASE IF EXISTS " + host::sqlIdentQuoted(name) + " WITH (FORCE)";
    if (admin && !admin->exec(drop, &why))
        ADD_FAILURE() << "cannot drop the test database: " << why.toStdString();
}

}  // namespace testsupport
