#include "platform/server/AccountConnection.h"

#include <QFileInfo>

#include "platform/db/AccountFiles.h"
#include "platform/sql/ConnectionText.h"

namespace platform::server {

QString accountConnectionText(const QString& dataRoot, const QString& accountId,
                              const QString& language, bool meta) {
    const db::AccountFiles files = db::accountFiles(dataRoot, accountId);
    sql::ConnectionText text;
    text.server = db::serverConninfo(dataRoot, accountId);
    text.catalog =
        (meta ? QStringLiteral("ZxMeta_%1") : QStringLiteral("ZxData_%1")).arg(accountId);
    text.account = accountId;
    if (text.server.isEmpty()) {
        text.dataSource = meta ? files.meta : files.data;
        text.systemPath = files.system;
        text.metaPath = files.meta;
    }
    const QString normal = sql::ConnectionText::normalLanguage(language);
    text.language = normal.isEmpty() ? QStringLiteral("zh-CN") : normal;
    return text.format();
}

}  // namespace platform::server
