#include "platform/package/PackageDiff.h"

#include <QHash>
#include <QSet>

#include "platform/package/PackageAccount.h"

namespace platform::package {

namespace {

QString folded(const QString& a, const QString& b = {}) { return (a + u'\t' + b).toLower(); }

QList<FieldChange> compareRecords(const Record& account, const Record& package,
                                  const QStringList& fields, const QStringList& skip = {}) {
    QList<FieldChange> out;
    for (const QString& f : fields) {
        if (skip.contains(f)) continue;
        const QString before = account.value(f), after = package.value(f);
        if (!sameValue(f, before, after)) out << FieldChange{f, before, after};
    }
    return out;
}

bool containsTable(const QStringList& tables, const QString& table) {
    return tables.contains(table, Qt::CaseInsensitive);
}

void compareItem(db::Connection& db, const PackageItem& stored, const PackageItem& wanted,
                 ItemDiff* d) {
    // Key fields match already; the number is the account's own.
    d->fields = compareRecords(stored.fields, wanted.fields, itemFields(),
                               {QStringLiteral("cClass"), QStringLiteral("cItem"), QStringLiteral("cId")});
    for (const QString& t : wanted.tables)
        if (!containsTable(stored.tables, t)) d->tablesAdded << t;
    for (const QString& t : stored.tables)
        if (!containsTable(wanted.tables, t)) d->tablesDropped << TableDrop{t, columnRows(db, t, d->column)};
    QHash<QString, const Record*> storedValues;
    for (const Record& v : stored.values) storedValues.insert(folded(v.value(QStringLiteral("cValue"))), &v);
    QSet<QString> seen;
    for (const Record& v : wanted.values) {
        const QString key = folded(v.value(QStringLiteral("cValue")));
        seen.insert(key);
        const Record* old = storedValues.value(key);
        if (!old) {
            d->values << ValueDiff{Change::New, v.value(QStringLiteral("cValue")), {}, 0};
            continue;
        }
        const QList<FieldChange> changes = compareRecords(*old, v, valueFields());
        if (!changes.isEmpty())
            d->values << ValueDiff{Change::Changed, old->value(QStringLiteral("cValue")), changes, 0};
    }
    for (const Record& v : stored.values) {
        const QString value = v.value(QStringLiteral("cValue"));
        if (!seen.contains(folded(value)))
            d->values << ValueDiff{Change::OnlyInAccount, value, {},
                                   stored.tables.isEmpty()
                                       ? -1
                                       : valueRows(db, stored.tables, d->column, value)};
    }
}

const char* sign(Change kind) {
    switch (kind) {
        case Change::New: return "+";
        case Change::Changed: return "~";
        case Change::Unchanged: return "=";
        case Change::OnlyInAccount: return "-";
    }
    return "?";
}

QString changesText(const QList<FieldChange>& fields, const QString& indent) {
    QString out;
    for (const FieldChange& c : fields)
        out += indent + QStringLiteral("%1: \"%2\" -> \"%3\"\n").arg(c.field, c.before, c.after);
    return out;
}

}  // namespace

bool comparePackage(db::Connection& db, const Package& package, PackageComparison* out,
                    QString* error) {
    *out = {};
    Package account;
    if (!readAccount(db, selectionOf(package), &account, error)) return false;
    QHash<QString, const PackageItem*> stored;
    for (const PackageItem& item : account.items) stored.insert(folded(item.cClass(), item.label()), &item);
    QSet<QString> matched;
    for (const PackageItem& wanted : package.items) {
        const QString key = folded(wanted.cClass(), wanted.label());
        ItemDiff d;
        d.cClass = wanted.cClass();
        d.label = wanted.label();
        d.item = &wanted;
        d.column = wanted.column();
        if (const PackageItem* old = stored.value(key)) {
            matched.insert(key);
            d.accountId = old->fields.value(QStringLiteral("cId"));
            d.column = old->column();
            compareItem(db, *old, wanted, &d);
            const bool same = d.fields.isEmpty() && d.tablesAdded.isEmpty() &&
                              d.tablesDropped.isEmpty() && d.values.isEmpty();
            d.kind = same ? Change::Unchanged : Change::Changed;
        } else {
            d.kind = Change::New;
            d.tablesAdded = wanted.tables;
            for (const Record& v : wanted.values)
                d.values << ValueDiff{Change::New, v.value(QStringLiteral("cValue")), {}, 0};
        }
        if (d.kind == Change::Unchanged) ++out->unchanged;
        else out->items << d;
    }
    for (const PackageItem& old : account.items) {
        if (matched.contains(folded(old.cClass(), old.label())) || !package.inScope(old.cClass()))
            continue;
        ItemDiff d;
        d.kind = Change::OnlyInAccount;
        d.cClass = old.cClass();
        d.label = old.label();
        d.column = old.column();
        d.accountId = old.fields.value(QStringLiteral("cId"));
        for (const QString& t : old.tables) d.tablesDropped << TableDrop{t, columnRows(db, t, d.column)};
        out->items << d;
    }
    QHash<QString, const Record*> storedRules;
    for (const Record& rule : account.rules) storedRules.insert(ruleKey(rule), &rule);
    QSet<QString> seenRules;
    for (const Record& rule : package.rules) {
        const QString key = ruleKey(rule);
        seenRules.insert(key);
        const Record* old = storedRules.value(key);
        if (!old) {
            out->rules << RuleDiff{Change::New, rule, {}, {}};
            continue;
        }
        const QList<FieldChange> changes = compareRecords(*old, rule, ruleFields(), ruleKeyFields());
        if (!changes.isEmpty())
            out->rules << RuleDiff{Change::Changed, rule, old->value(QStringLiteral("guid")), changes};
    }
    for (const Record& rule : account.rules)
        if (!seenRules.contains(ruleKey(rule)))
            out->rules << RuleDiff{Change::OnlyInAccount, rule, rule.value(QStringLiteral("guid")), {}};
    return true;
}

QString comparisonText(const PackageComparison& c, bool removeMissing) {
    const QString notApplied =
        removeMissing ? QString() : QStringLiteral(" [removed only with --remove-missing]");
    QString out;
    int counts[4] = {};
    for (const ItemDiff& item : c.items) ++counts[int(item.kind)];
    out += QStringLiteral("Items: %1 new, %2 changed, %3 unchanged, %4 only in the account\n")
               .arg(counts[0])
               .arg(counts[1])
               .arg(c.unchanged)
               .arg(counts[3]);
    for (const ItemDiff& item : c.items) {
        out += QStringLiteral("%1 %2").arg(QLatin1String(sign(item.kind)), item.title());
        if (!item.column.isEmpty()) out += QStringLiteral(" (%1)").arg(item.column);
        if (item.kind == Change::OnlyInAccount) out += notApplied;
        out += QLatin1Char('\n');
        out += changesText(item.fields, QStringLiteral("    "));
        for (const QString& t : item.tablesAdded)
            out += QStringLiteral("    + table %1: column %2 added\n").arg(t, item.column);
        for (const TableDrop& t : item.tablesDropped)
            out += QStringLiteral("    - table %1: column %2 dropped, %3 rows of data lost%4\n")
                       .arg(t.table, item.column)
                       .arg(t.rows)
                       .arg(item.kind == Change::OnlyInAccount ? QString() : notApplied);
        if (item.kind == Change::New) {
            if (!item.values.isEmpty())
                out += QStringLiteral("    + %1 values\n").arg(item.values.size());
            continue;
        }
        for (const ValueDiff& v : item.values) {
            if (v.kind == Change::OnlyInAccount)
                out += QStringLiteral("    - value \"%1\"%2%3\n")
                           .arg(v.value,
                                v.rows < 0 ? QString()
                                           : QStringLiteral(", held by %1 rows").arg(v.rows),
                                notApplied);
            else
                out += QStringLiteral("    %1 value \"%2\"\n").arg(QLatin1String(sign(v.kind)), v.value);
            out += changesText(v.fields, QStringLiteral("        "));
        }
    }
    int ruleCounts[4] = {};
    for (const RuleDiff& r : c.rules) ++ruleCounts[int(r.kind)];
    out += QStringLiteral("Rules: %1 added, %2 changed, %3 only in the account\n")
               .arg(ruleCounts[0])
               .arg(ruleCounts[1])
               .arg(ruleCounts[3]);
    for (const RuleDiff& r : c.rules) {
        out += QStringLiteral("%1 rule %2%3\n")
                   .arg(QLatin1String(sign(r.kind)), ruleTitle(r.rule),
                        r.kind == Change::OnlyInAccount ? notApplied : QString());
        out += changesText(r.fields, QStringLiteral("    "));
    }
    return out;
}

}  // namespace platform::package
