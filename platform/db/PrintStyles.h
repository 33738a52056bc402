#pragma once
// Print styles per print key, in zx_PrintStyle of the account database.
#include <QString>

namespace platform::db {

class Connection;

// The table in the component's dialect, for the account connection to create on first use.
inline constexpr const char* kPrintStyleTable =
    "CREATE TABLE zx_PrintStyle(cKey nvarchar(100) NOT NULL PRIMARY KEY, cStyle ntext, "
    "dChanged datetime)";

// The stored style of a key; empty when none is stored. Errors go to `error`.
QString loadPrintStyle(Connection& db, const QString& key, QString* error);
bool savePrintStyle(Connection& db, const QString& key, const QString& style, QString* error);

}  // namespace platform::db
