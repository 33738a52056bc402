#pragma once
// The demo account: a system database shared by all accounts under a data root, and per account
// its data and metadata databases, filled with realistic items, values, extension and carry-over
// catalogues and archive rows.
#include <QString>

#include "platform/db/AccountFiles.h"

namespace platform::db {

// Raised whenever the demo data changes, so cached copies (test templates) are rebuilt.
constexpr int kDemoVersion = 6;

// Creates zxsystem.db when missing (users, menus, subsystems), registers the account there and
// creates its two databases. Refuses an existing account; on failure removes what it created
// for the account and fills `error`.
bool createDemoAccount(const QString& dataRoot, const QString& accountId, QString* error);

// Deletes the account's folder and its rows in zxsystem.db.
bool removeAccount(const QString& dataRoot, const QString& accountId, QString* error);

}  // namespace platform::db
