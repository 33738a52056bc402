#pragma once
// Text order of the host's databases: case-insensitive as NOCASE always was, and ordered as a
// Chinese server orders text (Chinese characters by pinyin: 存货, 单据头, 供应商).
#include <QByteArrayView>

struct sqlite3;

namespace platform::db {

// The name the order is registered under. Text columns are declared with SQLite's own NOCASE,
// so tables and indexes stay valid to every SQLite tool; statements that ask for an order
// (ORDER BY, MIN/MAX and comparisons of text) name this collation. It matches text exactly
// where NOCASE does (ASCII letters in any case); it orders by the Chinese collation, ties broken
// by NOCASE. No table or index may declare it.
inline constexpr const char* kTextOrder = "ZX_PINYIN";

// Registers kTextOrder on the connection.
bool installTextCollation(sqlite3* db);

// The collation's comparison (<0, 0, >0) of two UTF-8 texts, as ORDER BY sees it.
int compareText(QByteArrayView a, QByteArrayView b);

}  // namespace platform::db
