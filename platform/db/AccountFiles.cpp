#include "platform/db/AccountFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace platform::db {

AccountFiles accountFiles(const QString& dataRoot, const QString& accountId) {
    const QDir root(dataRoot);
    AccountFiles files;
    files.folder = root.absoluteFilePath(accountId);
    files.system = root.absoluteFilePath(QStringLiteral("zxsystem.db"));
    files.data = QDir(files.folder).absoluteFilePath(QStringLiteral("ZxData_%1.db").arg(accountId));
    files.meta = QDir(files.folder).absoluteFilePath(QStringLiteral("ZxMeta_%1.db").arg(accountId));
    files.server = QDir(files.folder).absoluteFilePath(QStringLiteral("server.conninfo"));
    return files;
}

bool isValidAccountId(const QString& accountId) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9]{1,20}$"));
    return pattern.match(accountId).hasMatch();
}

bool accountExists(const QString& dataRoot, const QString& accountId) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    return QFileInfo::exists(files.data) || QFileInfo::exists(files.meta) ||
           QFileInfo::exists(files.server);
}

QString serverConninfo(const QString& dataRoot, const QString& accountId) {
    QFile entry(accountFiles(dataRoot, accountId).server);
    if (!entry.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(entry.readAll()).section(QLatin1Char('\n'), 0, 0).trimmed();
}

bool writeServerEntry(const QString& dataRoot, const QString& accountId, const QString& conninfo,
                      QString* error) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    QSaveFile entry(files.server);
    if (!QDir().mkpath(files.folder) || !entry.open(QIODevice::WriteOnly) ||
        entry.write(conninfo.trimmed().toUtf8() + '\n') < 0 || !entry.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(files.server, entry.errorString());
        return false;
    }
    return true;
}

QStringList serverAccounts(const QString& dataRoot) {
    QStringList ids;
    const QDir root(dataRoot);
    for (const QString& id : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (isValidAccountId(id) && QFileInfo::exists(accountFiles(dataRoot, id).server)) ids << id;
    return ids;
}

}  // namespace platform::db
