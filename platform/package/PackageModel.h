#pragma once
// A package: the definitions of chosen items (their record, names, tables and value lists) and
// the carry-over rules that involve their columns, as one file carries them between accounts.
// Nothing in it is an internal id of an account: items are known by class and label, parents by
// label, tables and columns by name, values by value, rules by their key. An item's number
// (cId) travels as a wish that an import keeps when it is free in the account.
//
// Every record keeps its fields as texts under the names of the server documents, in the fixed
// order of its field list; a NULL and an empty text are the same, flags are "0" or "1".
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace platform::package {

// The format an export writes and the newest one an import reads.
constexpr int kFormatVersion = 1;

using Record = QMap<QString, QString>;

// The fields of an item (cParent is the parent's label), a value and a rule, in file order.
const QStringList& itemFields();
const QStringList& valueFields();
const QStringList& ruleFields();
// The fields that make a rule's key: path, source table, target table, item column, type.
const QStringList& ruleKeyFields();
// True for a flag ("b…"): "0" or "1".
bool isFlagField(const QString& field);

struct PackageItem {
    Record fields;
    QStringList tables;    // the host tables an extended item is linked to, sorted
    QList<Record> values;  // sorted by cValue

    QString cClass() const { return fields.value(QStringLiteral("cClass")); }
    QString label() const { return fields.value(QStringLiteral("cItem")); }
    QString column() const { return fields.value(QStringLiteral("cDicDbName")); }
    // "class / label", as messages name the item.
    QString title() const;
};

// What an export chose: everything, the items of some classes, or single items. Items of the
// account outside the scope are never "only in the account".
struct PackageScope {
    enum Kind { All, Classes, Items };
    Kind kind = All;
    QStringList classes;  // for Classes, sorted
};

struct Package {
    int format = kFormatVersion;
    PackageScope scope;
    QList<PackageItem> items;  // sorted by class, then label
    QList<Record> rules;       // sorted by key

    // Puts items, tables, values and rules in the file's order.
    void sort();
    const PackageItem* find(const QString& cClass, const QString& label) const;
    bool inScope(const QString& cClass) const;
};

// The key of a rule as one text (its key fields, lower-cased, joined by tabs) and as the user
// reads it ("SA01: SA_OrderHead → SA_DispatchHead, cHDefine1 (H)").
QString ruleKey(const Record& rule);
QString ruleTitle(const Record& rule);

// Whether two field values are the same to the account: flags by their number, names of
// tables and columns, ids and types without regard to letter case, other texts exactly.
bool sameValue(const QString& field, const QString& a, const QString& b);

}  // namespace platform::package
