#pragma once
// Print styles per print key, in zx_PrintStyle of the account database (created on first use).
#include <QString>

namespace platform::db {

class Database;

// The stored style of a key; empty when none is stored. Errors go to `error`.
QString loadPrintStyle(Database& db, const QString& key, QString* error);
bool savePrintStyle(Database& db, const QString& key, const QString& style, QString* error);

}  // namespace platform::db
