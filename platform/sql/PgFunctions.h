#pragma once
// The server side of the component's dialect on PostgreSQL, in schema zxsystem: the functions
// the translator writes for the PostgreSQL target (zx_len, zx_charindex, zx_money, the LIKE
// operator ~~~ …), the server functions the component calls ("UDF_GetLocaleID",
// "getAllSubName_ExtendDefine"), and the catalogue (zx_object_id, zx_object_name,
// zx_syscolumns, zx_coltype) that answers as the embedded account's does. Also the collations
// zx_nocase and zx_pinyin when they are missing.
#include <QString>

namespace platform::db {
class Connection;
}

namespace platform::sql {

// Creates or replaces all of it; may run again at any time (several clients at once too).
// Runs in a transaction of its own, or as a savepoint of the caller's.
bool installPgFunctions(db::Connection& db, QString* error);

// What installPgFunctions leaves as the comment of schema zxsystem: which version of the
// functions the server has. A connection that finds another installs its own.
QString pgFunctionsStamp();

}  // namespace platform::sql
