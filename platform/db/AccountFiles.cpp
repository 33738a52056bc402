#include "platform/db/AccountFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace platform::db {

AccountFiles accountFiles(const QString& dataRoot, const QString& accountId) {
    const QDir root(dataRoot);
    AccountFiles files;
    files.folder = root.absoluteFilePath(accountId);
    files.system = root.absoluteFilePath(QStringLiteral("zxsystem.db"));
    files.data = QDir(files.folder).absoluteFilePath(QStringLiteral("ZxData_%1.db").arg(accountId));
    files.meta = QDir(files.folder).absoluteFilePath(QStringLiteral("ZxMeta_%1.db").arg(accountId));
    return files;
}

bool isValidAccountId(const QString& accountId) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9]{1,20}$"));
    return pattern.match(accountId).hasMatch();
}

bool accountExists(const QString& dataRoot, const QString& accountId) {
    const AccountFiles files = accountFiles(dataRoot, accountId);
    return QFileInfo::exists(files.data) || QFileInfo::exists(files.meta);
}

}  // namespace platform::db
