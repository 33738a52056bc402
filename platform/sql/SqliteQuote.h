#pragma once
// How the translator writes values and names into SQLite text: the one place for both.
#include <QString>

namespace platform::sql {

// A text value as a SQLite literal: '...' with quotes doubled (through host::sqlValue).
QString sqliteLiteral(const QString& value);
// A name as a SQLite identifier: left bare when plain and not a keyword, else "..." quoted.
QString sqliteIdent(const QString& name);

}  // namespace platform::sql
