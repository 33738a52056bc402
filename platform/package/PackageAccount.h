#pragma once
// Reads an account's definitions as a package, and what a change would touch there: the rows of
// data a column holds on a table, the rows that hold a value. Plain statements on the account's
// database, one per table read (joined in memory), never one per item.
#include <QString>
#include <QStringList>

#include "platform/package/PackageModel.h"

namespace platform::db {
class Connection;
}

namespace platform::package {

// What to read: the scope's items (Items: those matching `items` by class and label, or by
// `labels`: an item label, item name or number, within `scope.classes` when given), and the
// rules that involve their columns (every rule for All).
struct Selection {
    PackageScope scope;
    QList<QPair<QString, QString>> items;  // class, label
    QStringList labels;
    // An export's choice: a class without items is refused as a likely typo.
    bool refuseUnknown = false;
};

// The selection a package stands for in another account: its scope, and its items by class
// and label.
Selection selectionOf(const Package& package);

// The definitions of the account; false with the reason when a table cannot be read, a label
// names no item, or (refuseUnknown) a class has none. Account rules keep their "guid" (written to no file).
bool readAccount(db::Connection& db, const Selection& selection, Package* out, QString* error);

// The bytes a row of the host table's companion takes as the server's catalogue reports them
// (text columns by their length, others by their size), 0 when it has no companion yet; and
// those an item's column adds (text: its length; integer 4; number and dates 8). An item whose
// column would take a row past kRowSizeLimit is refused.
constexpr int kRowSizeLimit = 4000;
int rowBytes(db::Connection& db, const QString& tableName);
int itemBytes(const QString& cType, int maxLen);

// The rows of the host table's companion whose `column` holds a value (not NULL, not empty); 0
// when the table has no companion or the companion no such column. -1 when unreadable.
int columnRows(db::Connection& db, const QString& tableName, const QString& column);
// The rows of the item's linked companions whose `column` holds `value`.
int valueRows(db::Connection& db, const QStringList& tables, const QString& column,
              const QString& value);

}  // namespace platform::package
