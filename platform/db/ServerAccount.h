#pragma once
// Moving an account between a data root (three SQLite files) and a PostgreSQL database: the
// system database becomes schema zxsystem (shared by the accounts of that database), the
// account's data and metadata databases schemas zxdata_<acc> and zxmeta_<acc>. Each direction
// runs as one transaction on the target, compares a row count and checksum per table at the end,
// and leaves nothing behind when anything fails.
#include <QList>
#include <QString>
#include <functional>

#include "platform/db/AccountChecksum.h"

namespace platform::db {

class Connection;

inline constexpr const char* kServerSystemSchema = "zxsystem";
// "zxdata_<acc>" or "zxmeta_<acc>", the account id lower-cased.
QString serverDataSchema(const QString& accountId);
QString serverMetaSchema(const QString& accountId);
// Whether the server database holds the schema; false with a reason when it cannot be read.
bool serverSchemaExists(Connection& pg, const QString& schema, bool* exists, QString* error);

// Creates the account on the server from its files under dataRoot, with every table, key,
// index, CHECK rule, foreign key, row-version trigger and view, and every row. An existing
// zxsystem schema of this version is kept: only the account's rows of ua_account and
// UA_Account_sub are added. Refuses when the account's schemas exist, unless `replace`, which
// drops them first (in the same transaction). `copy` receives each copied table and
// what had to change (a column widened to its longest text).
// `serverFunctions` (the dialect's functions and catalogue in zxsystem) runs in the copy's
// transaction once the system tables are there.
using ServerSetup = std::function<bool(Connection&, QString* error)>;
bool copyAccountToServer(const QString& dataRoot, const QString& accountId, const QString& conninfo,
                         AccountCopy* copy, QString* error, bool replace = false,
                         const ServerSetup& serverFunctions = {});

// Creates the account's files under dataRoot from the server account: the schema code's
// databases, completed with the server's further tables and columns, then every row. An
// existing zxsystem.db is kept (the account's rows are added). Refuses when the account's files
// exist.
bool copyAccountToFiles(const QString& conninfo, const QString& accountId, const QString& dataRoot,
                        AccountCopy* copy, QString* error);

}  // namespace platform::db
