#pragma once
// What importing a package into an account would change: items new, changed (field by field),
// unchanged and only in the account; the tables each item would gain or lose, with the rows of
// data each lost column takes; the values that would come, change or go, with the rows that
// hold a value that goes; the rules that would be added, changed or removed.
//
// Items match by class and label, tables and columns by name, values by value, rules by key.
// Removals (items, table links, values and rules that only the account has) are listed always
// and applied only when asked.
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/package/PackageModel.h"

namespace platform::db {
class Connection;
}

namespace platform::package {

struct FieldChange {
    QString field, before, after;
};

enum class Change { New, Changed, Unchanged, OnlyInAccount };

struct TableDrop {
    QString table;
    int rows = 0;  // rows of data the item's column holds there
};

struct ValueDiff {
    Change kind = Change::New;  // never Unchanged
    QString value;
    QList<FieldChange> fields;  // for Changed
    int rows = 0;  // for OnlyInAccount: rows of the linked tables that hold it; -1 for an item
                   // linked to no table (a regular item's archive is not counted)
};

struct ItemDiff {
    Change kind = Change::New;
    QString cClass, label, column;
    QString accountId;                 // the account's number of the item, when it has it
    const PackageItem* item = nullptr; // in the package, when it has it
    QList<FieldChange> fields;
    QStringList tablesAdded;
    QList<TableDrop> tablesDropped;
    QList<ValueDiff> values;
    QString title() const { return cClass + QStringLiteral(" / ") + label; }
};

struct RuleDiff {
    Change kind = Change::New;
    Record rule;    // the package's, or the account's for OnlyInAccount
    QString guid;   // the account's rule, when it has it
    QList<FieldChange> fields;
};

struct PackageComparison {
    QList<ItemDiff> items;  // every item but the unchanged ones, in package order then the rest
    int unchanged = 0;
    QList<RuleDiff> rules;
};

// Compares `package` with the account's definitions in the package's scope; false with the
// reason when the account cannot be read. The comparison points into `package`.
bool comparePackage(db::Connection& db, const Package& package, PackageComparison* out,
                    QString* error);

// The comparison as the user reads it, a line each; removals marked as applied only with
// --remove-missing unless removeMissing.
QString comparisonText(const PackageComparison& comparison, bool removeMissing);

}  // namespace platform::package
