#pragma once
// Text order of the host's databases: case-insensitive as NOCASE always was, and ordered as a
// Chinese server orders text (Chinese characters by pinyin: 存货, 单据头, 供应商).
#include <QByteArrayView>

struct sqlite3;

namespace platform::db {

// Replaces the connection's NOCASE collation, which every text column of the schema and of
// the tables the component creates is declared with. Equality is unchanged (ASCII letters
// match in any case); order follows the Chinese collation, ties broken by the old order.
// Indexes over text are therefore only valid in connections opened by this program.
bool installTextCollation(sqlite3* db);

// The collation's comparison (<0, 0, >0) of two UTF-8 texts, as ORDER BY sees it.
int compareText(QByteArrayView a, QByteArrayView b);

}  // namespace platform::db
