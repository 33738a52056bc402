#include "platform/package/PackageAccount.h"

#include <QHash>
#include <QSet>

#include "host/Quote.h"
#include "host/RecordSet.h"
#include "platform/db/Connection.h"
#include "platform/sql/SqlTypes.h"

namespace platform::package {

namespace {

// Item fields as UserDef_Base spells them; cParent is read from cParentID and made a label.
const QStringList& baseColumns() {
    static const QStringList list = [] {
        QStringList out;
        for (const QString& f : itemFields()) {
            if (f == QLatin1String("cParent")) out << QStringLiteral("cParentID");
            else if (!f.startsWith(QLatin1String("cItemName_"))) out << f;
        }
        return out;
    }();
    return list;
}

// A stored value as the package writes it: NULL as empty, flags "0"/"1", numbers plainly.
QString fieldText(const QString& field, const QVariant& value) {
    if (isFlagField(field)) {
        const QString t = host::variantText(value).trimmed().toLower();
        return t == QLatin1String("1") || t == QLatin1String("true") || t == QLatin1String("-1")
                   ? QStringLiteral("1")
                   : QStringLiteral("0");
    }
    return host::variantText(value);
}

QString lower(const QString& s) { return s.toLower(); }

host::RecordSetPtr read(db::Connection& db, const QString& sql, QString* error) {
    QString why;
    host::RecordSetPtr rs = db.query(sql, {}, &why);
    if (!rs && error) *error = QStringLiteral("The account's definitions cannot be read: %1").arg(why);
    return rs;
}

QString selectOf(const QStringList& columns, const QString& table) {
    QStringList quoted;
    for (const QString& c : columns) quoted << host::sqlIdentQuoted(c);
    return QStringLiteral("SELECT %1 FROM %2").arg(quoted.join(QLatin1Char(',')), host::sqlIdentQuoted(table));
}

bool matchesLabel(const Record& f, const QString& label) {
    for (const char* name : {"cItem", "cItemName", "cId"})
        if (f.value(QLatin1String(name)).compare(label.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

}  // namespace

Selection selectionOf(const Package& package) {
    Selection s;
    s.scope = package.scope;
    for (const PackageItem& item : package.items) s.items.append({item.cClass(), item.label()});
    return s;
}

bool readAccount(db::Connection& db, const Selection& selection, Package* out, QString* error) {
    out->items.clear();
    out->rules.clear();
    out->scope = selection.scope;
    const host::RecordSetPtr base =
        read(db, selectOf(QStringList{QStringLiteral("cId")} + baseColumns(),
                          QStringLiteral("UserDef_Base")),
             error);
    if (!base) return false;
    // Every item by id, for parents; the chosen ones in order.
    QHash<QString, QString> labelOfId;
    QList<Record> all;
    for (int r = 0; r < base->recordCount(); ++r) {
        Record f;
        for (int c = 1; c < base->fieldCount(); ++c) {
            const QString name = baseColumns().at(c - 1);
            f.insert(name == QLatin1String("cParentID") ? QStringLiteral("cParent") : name,
                     fieldText(name, base->at(r, c)));
        }
        labelOfId.insert(lower(base->textAt(r, 0)), f.value(QStringLiteral("cItem")));
        all << f;
    }
    QSet<QString> wanted;  // "class\tlabel", lower-cased
    for (const auto& [cClass, label] : selection.items) wanted.insert(lower(cClass + u'\t' + label));
    QSet<QString> namedLabels, seenClasses;
    QHash<QString, int> chosenById;  // lower-cased id → index into out->items
    for (const Record& f : all) {
        const QString cClass = f.value(QStringLiteral("cClass"));
        seenClasses.insert(lower(cClass));
        bool chosen = false;
        switch (selection.scope.kind) {
            case PackageScope::All: chosen = true; break;
            case PackageScope::Classes:
                chosen = selection.scope.classes.contains(cClass, Qt::CaseInsensitive);
                break;
            case PackageScope::Items:
                chosen = wanted.contains(lower(cClass + u'\t' + f.value(QStringLiteral("cItem"))));
                if (!selection.labels.isEmpty() &&
                    (selection.scope.classes.isEmpty() ||
                     selection.scope.classes.contains(cClass, Qt::CaseInsensitive)))
                    for (const QString& label : selection.labels)
                        if (matchesLabel(f, label)) {
                            chosen = true;
                            namedLabels.insert(lower(label.trimmed()));
                        }
                break;
        }
        if (!chosen) continue;
        PackageItem item;
        item.fields = f;
        item.fields[QStringLiteral("cParent")] =
            labelOfId.value(lower(f.value(QStringLiteral("cParent")).trimmed()));
        chosenById.insert(lower(f.value(QStringLiteral("cId"))), int(out->items.size()));
        out->items << item;
    }
    for (const QString& cClass : selection.scope.classes)
        if (selection.refuseUnknown && !seenClasses.contains(lower(cClass))) {
            if (error) *error = QStringLiteral("The account has no item of the class \"%1\".").arg(cClass);
            return false;
        }
    for (const QString& label : selection.labels)
        if (!namedLabels.contains(lower(label.trimmed()))) {
            if (error) *error = QStringLiteral("No item \"%1\" in the account.").arg(label);
            return false;
        }

    const host::RecordSetPtr names = read(
        db, QStringLiteral("SELECT \"cid\", \"LocaleID\", \"cItemName\" FROM \"userdef_lang\" WHERE \"LocaleID\" IN "
                           "('zh-TW', 'en-US')"),
        error);
    const host::RecordSetPtr links =
        names ? read(db, QStringLiteral("SELECT \"cid\", \"TableName\" FROM \"UserDefDetail\""), error) : nullptr;
    const host::RecordSetPtr values =
        links ? read(db, selectOf(QStringList{QStringLiteral("cId")} + valueFields(),
                                  QStringLiteral("Userdefine")),
                     error)
              : nullptr;
    if (!values) return false;
    for (int r = 0; r < names->recordCount(); ++r) {
        const int at = chosenById.value(lower(names->textAt(r, 0)), -1);
        if (at < 0) continue;
        const bool tw = names->textAt(r, 1).compare(QLatin1String("zh-TW"), Qt::CaseInsensitive) == 0;
        out->items[at].fields.insert(tw ? QStringLiteral("cItemName_zh_TW")
                                        : QStringLiteral("cItemName_en_US"),
                                     names->textAt(r, 2));
    }
    for (int r = 0; r < links->recordCount(); ++r) {
        const int at = chosenById.value(lower(links->textAt(r, 0)), -1);
        if (at >= 0) out->items[at].tables << links->textAt(r, 1);
    }
    for (int r = 0; r < values->recordCount(); ++r) {
        const int at = chosenById.value(lower(values->textAt(r, 0)), -1);
        if (at < 0) continue;
        Record v;
        for (int c = 1; c < values->fieldCount(); ++c)
            v.insert(valueFields().at(c - 1), fieldText(valueFields().at(c - 1), values->at(r, c)));
        out->items[at].values << v;
    }

    // Rules: every one for the whole account, else those of the chosen items' columns.
    const host::RecordSetPtr rules =
        read(db, selectOf(ruleFields() + QStringList{QStringLiteral("guid")},
                          QStringLiteral("AA_ExtendDefineMakeVouch_Set")),
             error);
    if (!rules) return false;
    QSet<QString> columns;
    for (const PackageItem& item : out->items)
        if (!item.column().isEmpty()) columns.insert(lower(item.column()));
    for (int r = 0; r < rules->recordCount(); ++r) {
        Record rule;
        for (int c = 0; c < rules->fieldCount(); ++c) {
            const QString name = c < ruleFields().size() ? ruleFields().at(c) : QStringLiteral("guid");
            rule.insert(name, fieldText(name, rules->at(r, c)));
        }
        if (selection.scope.kind == PackageScope::All ||
            columns.contains(lower(rule.value(QStringLiteral("cextendfield")))) ||
            columns.contains(lower(rule.value(QStringLiteral("ctargetfield")))))
            out->rules << rule;
    }
    out->sort();
    return true;
}

namespace {

// The companion of a host table as the extension catalogue names it, with its columns, when it
// exists; an empty name otherwise.
QString companionOf(db::Connection& db, const QString& tableName,
                    QList<db::TableColumn>* columns) {
    const host::RecordSetPtr host = db.query(
        QStringLiteral("SELECT \"cTableName\" FROM \"AA_DefineExtend\" WHERE \"TableName\" = ? OR \"cTableName\" = ?"),
        {tableName, tableName});
    if (!host || host->isEmpty()) return {};
    const QString companion = host->textAt(0, 0) + QStringLiteral("_extradefine");
    return db.tableColumns(companion, columns) && !columns->isEmpty() ? companion : QString();
}

// The companion when it has the column; empty otherwise.
QString companionWith(db::Connection& db, const QString& tableName, const QString& column) {
    QList<db::TableColumn> columns;
    const QString companion = companionOf(db, tableName, &columns);
    for (const db::TableColumn& c : columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return companion;
    return {};
}

}  // namespace

int rowBytes(db::Connection& db, const QString& tableName) {
    QList<db::TableColumn> columns;
    int bytes = 0;
    companionOf(db, tableName, &columns);
    for (const db::TableColumn& c : columns) {
        const sql::TypeInfo type = sql::TypeInfo::of(c.type);
        bytes += type.wide ? type.byteLength / 2 : type.byteLength;
    }
    return bytes;
}

int itemBytes(const QString& cType, int maxLen) {
    if (cType == QStringLiteral("文本")) return maxLen;
    if (cType == QStringLiteral("整型") || cType == QStringLiteral("整数")) return 4;
    return 8;
}

int columnRows(db::Connection& db, const QString& tableName, const QString& column) {
    const QString companion = companionWith(db, tableName, column);
    if (companion.isEmpty()) return 0;
    const host::RecordSetPtr rs = db.query(
        QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 IS NOT NULL AND CAST(%2 AS TEXT) <> ''")
            .arg(host::sqlIdentQuoted(companion), host::sqlIdentQuoted(column)));
    return rs && !rs->isEmpty() ? rs->at(0, 0).toInt() : -1;
}

int valueRows(db::Connection& db, const QStringList& tables, const QString& column,
              const QString& value) {
    int total = 0;
    for (const QString& table : tables) {
        const QString companion = companionWith(db, table, column);
        if (companion.isEmpty()) continue;
        const host::RecordSetPtr rs =
            db.query(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                         .arg(host::sqlIdentQuoted(companion), host::sqlIdentQuoted(column)),
                     {value});
        if (rs && !rs->isEmpty()) total += rs->at(0, 0).toInt();
    }
    return total;
}

}  // namespace platform::package
