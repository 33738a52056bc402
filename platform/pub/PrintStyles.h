#pragma once
// Print styles per print key, in zx_PrintStyle of the account database (created on first use).
#include <QString>

namespace platform::db {
class Database;
}

namespace platform::pub {

// The stored style of a key; empty when none is stored. Errors go to `error`.
QString loadPrintStyle(db::Database& db, const QString& key, QString* error);
bool savePrintStyle(db::Database& db, const QString& key, const QString& style, QString* error);

}  // namespace platform::pub
