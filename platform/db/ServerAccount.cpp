#include "platform/db/ServerAccount.h"

namespace platform::db {

QString serverDataSchema(const QString& accountId) {
    return QStringLiteral("zxdata_") + accountId.toLower();
}

QString serverMetaSchema(const QString& accountId) {
    return QStringLiteral("zxmeta_") + accountId.toLower();
}
}  // namespace platform::db
