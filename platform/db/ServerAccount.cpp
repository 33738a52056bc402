#include "platform/db/ServerAccount.h"

#include "platform/db/Connection.h"

namespace platform::db {

QString serverDataSchema(const QString& accountId) {
    return QStringLiteral("zxdata_") + accountId.toLower();
}

QString serverMetaSchema(const QString& accountId) {
    return QStringLiteral("zxmeta_") + accountId.toLower();
}

bool serverSchemaExists(Connection& pg, const QString& schema, bool* exists, QString* error) {
    const host::RecordSetPtr rs =
        pg.query(QStringLiteral("SELECT 1 FROM pg_catalog.pg_namespace WHERE nspname = ?1"),
                 {schema}, error);
    if (!rs) return false;
    *exists = !rs->isEmpty();
    return true;
}

}  // namespace platform::db
