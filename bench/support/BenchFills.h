#pragma once
// The grown accounts the benchmarks share, on either kind of account (filled on the embedded
// files before a server copy).
#include <QString>
#include <map>

#include "BenchAccount.h"

namespace benchsupport {

// Item count → class: the catalogue classes the refresh lists, each given that many items.
const std::map<int, QString>& refreshClasses();
// The items of each class; related archives on every fifth, over report archives, user-defined
// references and one archive that is neither.
bool fillRefreshClasses(BenchAccount& account);

// The batch matrix: header tables, their pairs, extended header items, rules and links.
namespace matrixfill {
constexpr int kTables = 50;
constexpr int kPairs = 1000;  // 50 sources × 20 targets each
constexpr int kItems = 300;
constexpr int kRules = 50000;
constexpr int kLinksPerItem = 10;

bool fill(BenchAccount& account);
}  // namespace matrixfill

// Saving items: fifty header tables with (empty) companions in the extension catalogue.
namespace itemsave {
constexpr int kTables = 50;
QString tableName(int n);  // BN_Head01 … BN_Head50
// The demo account with the tables (the account's files, connected).
bool openWithTables(BenchAccount& account);
// The document of a new extended header item `id` on column cHDefine<column>, on every table.
QString document(int id, int column);
}  // namespace itemsave

}  // namespace benchsupport
