#include "platform/server/History.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QSet>
#include <algorithm>

#include "host/Quote.h"
#include "platform/db/Connection.h"
#include "platform/server/ExtendColumns.h"

namespace platform::server {

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// The tables a change covers, parents first, with the columns that tell their rows apart. Rows
// of other items a change touches are kept under their own name, with the columns it changes.
struct TableShape {
    QString name;
    QStringList match;
    QString table = {};        // the table when it differs from the name
    QStringList columns = {};  // the columns kept; all when empty
    QString sqlTable() const { return table.isEmpty() ? name : table; }
};

// The lengths zx_History declares for cKey and cItemId.
constexpr qsizetype kHistoryKeyLength = 200;
constexpr qsizetype kHistoryItemLength = 20;

const QString kChildren = QStringLiteral("UserDef_Base children");
const QString kLayoutFields = QStringLiteral("DocLayoutField");

const QList<TableShape>& tableShapes() {
    static const QList<TableShape> shapes = {
        {QStringLiteral("UserDef_Base"), {QStringLiteral("cId")}},
        {kChildren, {QStringLiteral("cId")}, QStringLiteral("UserDef_Base"),
         {QStringLiteral("cId"), QStringLiteral("cParentID")}},
        {kLayoutFields,
         {QStringLiteral("cLayoutId"), QStringLiteral("cPart"), QStringLiteral("cFieldName")},
         {},
         {QStringLiteral("cLayoutId"), QStringLiteral("cPart"), QStringLiteral("cFieldName"),
          QStringLiteral("cItemId")}},
        {QStringLiteral("userdef_lang"), {QStringLiteral("cid"), QStringLiteral("LocaleID")}},
        {QStringLiteral("UserDefDetail"), {QStringLiteral("cid"), QStringLiteral("TableName")}},
        {QStringLiteral("Userdefine"), {QStringLiteral("cId"), QStringLiteral("cValue")}},
        {QStringLiteral("AA_ExtendDefineMakeVouch_Set"), {QStringLiteral("guid")}},
    };
    return shapes;
}

const QString kColumns = QStringLiteral("columns");

QString json(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

QJsonObject parseJson(const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// A stored value as bound again: whole numbers as integers, null as NULL.
QVariant bindable(const QJsonValue& value) {
    if (value.isNull() || value.isUndefined()) return QVariant();
    if (value.isBool()) return int(value.toBool());
    if (value.isDouble()) {
        const double d = value.toDouble();
        const qlonglong whole = qlonglong(d);
        return double(whole) == d ? QVariant(whole) : QVariant(d);
    }
    return value.toString();
}

QString shown(const QJsonValue& value) {
    if (value.isNull() || value.isUndefined()) return QStringLiteral("NULL");
    if (value.isDouble()) return bindable(value).toString();
    if (value.isBool()) return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return QLatin1Char('"') + value.toString() + QLatin1Char('"');
}

// A row's identity within its table, letter case ignored as the tables compare keys.
QString rowKey(const TableShape& shape, const QJsonObject& row) {
    QStringList parts;
    for (const QString& column : shape.match) parts << bindable(row.value(column)).toString();
    return parts.join(QChar(0x1f)).toLower();
}

QString rowLabel(const TableShape& shape, const QJsonObject& row) {
    QStringList parts;
    for (const QString& column : shape.match) parts << bindable(row.value(column)).toString();
    return shape.sqlTable() + QStringLiteral(" [") + parts.join(QStringLiteral(", ")) +
           QLatin1Char(']');
}

QMap<QString, QJsonObject> keyedRows(const TableShape& shape, const QJsonArray& rows) {
    QMap<QString, QJsonObject> out;
    for (const QJsonValue& row : rows) out.insert(rowKey(shape, row.toObject()), row.toObject());
    return out;
}

bool readRows(WriteContext& context, const TableShape& shape, const QString& where,
              const QVariantList& params, QJsonArray* out, QString* error) {
    QStringList orderBy, columns;
    for (const QString& column : shape.match) orderBy << host::sqlIdentQuoted(column);
    for (const QString& column : shape.columns) columns << host::sqlIdentQuoted(column);
    const host::RecordSetPtr rs = context.query(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
            .arg(columns.isEmpty() ? QStringLiteral("*") : columns.join(QLatin1Char(',')),
                 host::sqlIdentQuoted(shape.sqlTable()), where, orderBy.join(QLatin1Char(','))),
        params, error);
    if (!rs) return false;
    for (int r = 0; r < rs->recordCount(); ++r) {
        QJsonObject row;
        for (int c = 0; c < rs->fieldCount(); ++c) {
            const QString name = rs->field(c).name;
            if (name.compare(QLatin1String("pubzxts"), Qt::CaseInsensitive) == 0) continue;
            row.insert(name, QJsonValue::fromVariant(rs->at(r, c)));
        }
        out->append(row);
    }
    return true;
}

QString marks(qsizetype n) {
    return QStringList(QList<QString>(n, QStringLiteral("?"))).join(QLatin1Char(','));
}

const TableShape& shapeOf(const QString& name) {
    for (const TableShape& s : tableShapes())
        if (s.name == name) return s;
    return tableShapes().first();
}

// The item's column name as its record holds it in either set of rows.
QString itemColumn(const QJsonObject& rows) {
    const QJsonArray base = rows.value(QStringLiteral("UserDef_Base")).toArray();
    return base.isEmpty() ? QString()
                          : base.first().toObject().value(QStringLiteral("cDicDbName")).toString();
}

// The key column of a companion table; empty with a reason when it has none.
QString companionKey(WriteContext& context, const QString& companion, QString* error,
                     QString* type = nullptr) {
    QList<db::TableColumn> columns;
    if (!context.tableColumns(companion, &columns, error)) return {};
    for (const db::TableColumn& column : columns) {
        if (column.keyPosition != 1) continue;
        if (type) *type = storedColumnType(column);
        return column.name;
    }
    setError(error, QStringLiteral("The table %1 has no key column.").arg(companion));
    return {};
}

}  // namespace

QJsonObject ChangeScope::toJson() const {
    QJsonObject out;
    out.insert(QStringLiteral("item"), itemId);
    out.insert(QStringLiteral("key"), key);
    out.insert(QStringLiteral("itemRows"), itemRows);
    out.insert(QStringLiteral("allValues"), allValues);
    out.insert(QStringLiteral("values"), QJsonArray::fromStringList(values));
    out.insert(QStringLiteral("ruleColumns"), QJsonArray::fromStringList(ruleColumns));
    if (!children.isEmpty())
        out.insert(QStringLiteral("children"), QJsonArray::fromStringList(children));
    if (!layoutFields.isEmpty()) {
        QJsonArray fields;
        for (const QStringList& field : layoutFields) fields.append(QJsonArray::fromStringList(field));
        out.insert(QStringLiteral("layoutFields"), fields);
    }
    return out;
}

ChangeScope ChangeScope::fromJson(const QJsonObject& json) {
    ChangeScope scope;
    scope.itemId = json.value(QStringLiteral("item")).toString();
    scope.key = json.value(QStringLiteral("key")).toString();
    scope.itemRows = json.value(QStringLiteral("itemRows")).toBool();
    scope.allValues = json.value(QStringLiteral("allValues")).toBool();
    for (const QJsonValue& v : json.value(QStringLiteral("values")).toArray())
        scope.values << v.toString();
    for (const QJsonValue& v : json.value(QStringLiteral("ruleColumns")).toArray())
        scope.ruleColumns << v.toString();
    for (const QJsonValue& v : json.value(QStringLiteral("children")).toArray())
        scope.children << v.toString();
    for (const QJsonValue& v : json.value(QStringLiteral("layoutFields")).toArray()) {
        QStringList field;
        for (const QJsonValue& part : v.toArray()) field << part.toString();
        scope.layoutFields << field;
    }
    return scope;
}

bool readScope(WriteContext& context, const ChangeScope& scope, QJsonObject* rows,
               QString* error) {
    *rows = {};
    const QVariantList id = {scope.itemId};
    const auto read = [&](const QString& table, const QString& where, const QVariantList& params) {
        QJsonArray out;
        if (!readRows(context, shapeOf(table), where, params, &out, error)) return false;
        rows->insert(table, out);
        return true;
    };
    if (scope.itemRows) {
        if (!read(QStringLiteral("UserDef_Base"), QStringLiteral("\"cId\" = ?"), id) ||
            !read(QStringLiteral("userdef_lang"), QStringLiteral("\"cid\" = ?"), id) ||
            !read(QStringLiteral("UserDefDetail"), QStringLiteral("\"cid\" = ?"), id))
            return false;
        const QString column = itemColumn(*rows);
        const QJsonArray links = rows->value(QStringLiteral("UserDefDetail")).toArray();
        QJsonObject types;
        if (!column.isEmpty() && !links.isEmpty()) {
            ExtendColumns columns(context);
            QStringList names;
            for (const QJsonValue& link : links)
                names << link.toObject().value(QStringLiteral("TableName")).toString();
            if (!columns.load(error) || !columns.readCompanions(names, error)) return false;
            for (const QString& name : names) {
                const db::TableColumn* found = nullptr;
                if (!columns.companionColumn(name, column, &found, error)) return false;
                // The declared type with the column's collation, as the column is made again.
                if (found) types.insert(name, storedColumnType(*found));
            }
        }
        rows->insert(kColumns, types);
    }
    if (scope.allValues) {
        if (!read(QStringLiteral("Userdefine"), QStringLiteral("\"cId\" = ?"), id)) return false;
    } else if (!scope.values.isEmpty()) {
        QVariantList params = id;
        for (const QString& v : scope.values) params << v;
        if (!read(QStringLiteral("Userdefine"),
                  QStringLiteral("\"cId\" = ? AND \"cValue\" IN (%1)").arg(marks(scope.values.size())),
                  params))
            return false;
    }
    if (!scope.ruleColumns.isEmpty()) {
        QVariantList params;
        for (const QString& c : scope.ruleColumns) params << c;
        params += params;
        const QString list = marks(scope.ruleColumns.size());
        if (!read(QStringLiteral("AA_ExtendDefineMakeVouch_Set"),
                  QStringLiteral("\"cextendfield\" IN (%1) OR \"ctargetfield\" IN (%1)").arg(list),
                  params))
            return false;
    }
    if (!scope.children.isEmpty()) {
        QVariantList params;
        for (const QString& c : scope.children) params << c;
        if (!read(kChildren, QStringLiteral("\"cId\" IN (%1)").arg(marks(params.size())), params))
            return false;
    }
    if (!scope.layoutFields.isEmpty()) {
        QStringList where;
        QVariantList params;
        for (const QStringList& field : scope.layoutFields) {
            QStringList match;
            for (qsizetype i = 0; i < field.size(); ++i) {
                match << host::sqlIdentQuoted(shapeOf(kLayoutFields).match.value(i)) +
                             QStringLiteral(" = ?");
                params << field.at(i);
            }
            where << QLatin1Char('(') + match.join(QStringLiteral(" AND ")) + QLatin1Char(')');
        }
        if (!read(kLayoutFields, where.join(QStringLiteral(" OR ")), params)) return false;
    }
    return true;
}

bool ChangeRecorder::begin(WriteContext& context, const ChangeScope& scope,
                           const QString& operation, const QString& table, int undoOf,
                           QString* error) {
    m_scope = scope;
    if (!scope.itemRows && !scope.allValues && scope.values.isEmpty() &&
        scope.ruleColumns.isEmpty())
        return true;  // recorded without rows when it finishes
    if (!readScope(context, scope, &m_before, error)) return false;
    const QJsonObject& before = m_before;
    // The key and item are recorded before the document is checked: a text too long for them
    // is cut here so that the document's own check names it.
    const auto fit = [](const QString& text, qsizetype most) {
        if (text.size() <= most) return text;
        return text.left(text.at(most - 1).isHighSurrogate() ? most - 1 : most);
    };
    const host::RecordSetPtr rs = context.query(
        QStringLiteral("INSERT INTO \"zx_History\"(\"dWhen\", \"cUserId\", \"cOrigin\", "
                       "\"cOperation\", \"cTable\", \"cKey\", \"cItemId\", \"iUndoOf\", \"cScope\", "
                       "\"cBefore\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING \"iChange\""),
        {QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
         context.user(), context.origin(), operation, table, fit(scope.key, kHistoryKeyLength),
         fit(scope.itemId, kHistoryItemLength), undoOf > 0 ? QVariant(undoOf) : QVariant(),
         json(scope.toJson()), json(before)},
        error);
    if (!rs || rs->isEmpty()) return false;
    m_change = rs->at(0, 0).toInt();
    return true;
}

bool ChangeRecorder::keepColumn(WriteContext& context, const QString& linkTable,
                                const QString& companion, const QString& keyColumn,
                                const QString& column, QString* error) {
    if (m_change <= 0) return true;
    return context.exec(
        QStringLiteral("INSERT INTO \"zx_HistoryValue\"(\"iChange\", \"cTable\", \"cColumn\", "
                       "\"vKey\", \"vValue\") SELECT CAST(? AS int), CAST(? AS text), CAST(? AS text), "
                       "%1, %2 FROM %3 WHERE %2 IS NOT NULL ORDER BY %1")
            .arg(host::sqlIdentQuoted(keyColumn), host::sqlIdentQuoted(column),
                 host::sqlIdentQuoted(companion)),
        {m_change, linkTable, column}, error);
}

bool ChangeRecorder::finish(WriteContext& context, const QString& operation, const QString& table,
                            QString* error) {
    if (m_change <= 0)
        return context.exec(
            QStringLiteral("INSERT INTO \"zx_History\"(\"dWhen\", \"cUserId\", \"cOrigin\", "
                           "\"cOperation\", \"cTable\") VALUES (?, ?, ?, ?, ?)"),
            {QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             context.user(), context.origin(), operation, table},
            error);
    QJsonObject after;
    return readScope(context, m_scope, &after, error) &&
           context.exec(QStringLiteral("UPDATE \"zx_History\" SET \"cAfter\" = ? WHERE \"iChange\" = ?"),
                        {json(after), m_change}, error);
}

namespace {

// Sets the column of the companion's rows to the values the change kept of it.
bool putBackRounded(WriteContext& context, int change, const QString& linkTable,
                    const QString& companion, const QString& column, const QString& type,
                    QString* error) {
    QString keyType;
    const QString key = companionKey(context, companion, error, &keyType);
    if (key.isEmpty()) return false;
    db::Connection& db = context.database();
    const QString t = host::sqlIdentQuoted(companion), k = host::sqlIdentQuoted(key);
    const QString kept = QStringLiteral("FROM \"zx_HistoryValue\" WHERE \"iChange\" = ? AND \"cTable\" = ? "
                                        "AND \"cColumn\" = ?");
    const QString keptKey = db.valueAs(QStringLiteral("\"vKey\""), keyType);
    return context.exec(QStringLiteral("UPDATE %1 SET %2 = (SELECT %3 %4 AND %5 = %1.%6) WHERE %6 IN "
                                       "(SELECT %5 %4)")
                            .arg(t, host::sqlIdentQuoted(column),
                                 db.valueAs(QStringLiteral("\"vValue\""), type), kept, keptKey, k),
                        {change, linkTable, column, change, linkTable, column}, error);
}

bool restoreColumns(WriteContext& context, int change,
                    const QJsonObject& before, const QJsonObject& now, QString* error) {
    const QJsonObject was = before.value(kColumns).toObject();
    const QJsonObject is = now.value(kColumns).toObject();
    if (was == is) return true;
    QString column = itemColumn(before);
    if (column.isEmpty()) column = itemColumn(now);
    ExtendColumns columns(context);
    if (!columns.load(error) || !columns.readCompanions(was.keys() + is.keys(), error))
        return false;
    const auto tableOf = [&](const QString& name) {
        const ExtendTable* table = columns.linked(name);
        return table ? *table : ExtendTable{name, name, {}, {}};
    };
    for (auto it = is.begin(); it != is.end(); ++it) {
        if (was.contains(it.key())) continue;
        const ExtendTable table = tableOf(it.key());
        if (!columns.dropColumn(table, column, error)) return false;
    }
    for (auto it = was.begin(); it != was.end(); ++it) {
        const QString type = it.value().toString();
        const ExtendTable table = tableOf(it.key());
        if (is.contains(it.key())) {
            const QString now = is.value(it.key()).toString();
            if (now == type) continue;
            if (!columns.retypeColumn(table, column, type, error)) return false;
            // The values the change rounded come back as they were, on the rows still there.
            if (roundsValues(type, now) &&
                !putBackRounded(context, change, it.key(), columns.companionOf(table), column, type, error))
                return false;
            continue;
        }
        if (!columns.linked(it.key())) {
            setError(error, QStringLiteral("The table %1 is no longer extendable; the column %2 "
                                           "cannot be put back on it.")
                                .arg(it.key(), column));
            return false;
        }
        if (!columns.addColumn(table, column, type, error)) return false;
        QString keyType;
        const QString companion = columns.companionOf(table);
        const QString key = companionKey(context, companion, error, &keyType);
        if (key.isEmpty()) return false;
        const QString k = host::sqlIdentQuoted(key), c = host::sqlIdentQuoted(column);
        // The kept values hold any type; each goes back as a value of its column's type.
        db::Connection& db = context.database();
        if (!context.exec(
                QStringLiteral("INSERT INTO %1(%2, %3) SELECT %4, %5 FROM \"zx_HistoryValue\" "
                               "WHERE \"iChange\" = ? AND \"cTable\" = ? AND \"cColumn\" = ? "
                               "ORDER BY \"vKey\" ON CONFLICT(%2) DO UPDATE SET %3 = excluded.%3")
                    .arg(host::sqlIdentQuoted(companion), k, c,
                         db.valueAs(QStringLiteral("\"vKey\""), keyType),
                         db.valueAs(QStringLiteral("\"vValue\""), type)),
                {change, it.key(), column}, error))
            return false;
    }
    return true;
}

bool restoreRows(WriteContext& context, const QJsonObject& before, const QJsonObject& now,
                 QString* error) {
    const QList<TableShape>& shapes = tableShapes();
    // Rows that were not there before go, children first.
    for (auto s = shapes.rbegin(); s != shapes.rend(); ++s) {
        // Rows of other items are only changed, never taken away.
        if (!now.contains(s->name) || !s->columns.isEmpty()) continue;
        const QMap<QString, QJsonObject> was = keyedRows(*s, before.value(s->name).toArray());
        for (const QJsonValue& value : now.value(s->name).toArray()) {
            const QJsonObject row = value.toObject();
            if (was.contains(rowKey(*s, row))) continue;
            QStringList where;
            QVariantList params;
            for (const QString& column : s->match) {
                where << host::sqlIdentQuoted(column) + QStringLiteral(" = ?");
                params << bindable(row.value(column));
            }
            if (!context.exec(QStringLiteral("DELETE FROM %1 WHERE %2")
                                  .arg(host::sqlIdentQuoted(s->sqlTable()),
                                       where.join(QStringLiteral(" AND "))),
                              params, error))
                return false;
        }
    }
    // Rows of before come back as they were, parents first.
    for (const TableShape& s : shapes) {
        if (!before.contains(s.name)) continue;
        const QMap<QString, QJsonObject> is = keyedRows(s, now.value(s.name).toArray());
        for (const QJsonValue& value : before.value(s.name).toArray()) {
            const QJsonObject row = value.toObject();
            const auto current = is.constFind(rowKey(s, row));
            if (current != is.constEnd() && *current == row) continue;
            QStringList names, sets, where;
            QVariantList params, keys;
            for (auto it = row.begin(); it != row.end(); ++it) {
                names << host::sqlIdentQuoted(it.key());
                sets << host::sqlIdentQuoted(it.key()) + QStringLiteral(" = ?");
                params << bindable(it.value());
            }
            for (const QString& column : s.match) {
                where << host::sqlIdentQuoted(column) + QStringLiteral(" = ?");
                keys << bindable(row.value(column));
            }
            const bool ok =
                current != is.constEnd()
                    ? context.exec(QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                       .arg(host::sqlIdentQuoted(s.sqlTable()), sets.join(QLatin1Char(',')),
                                            where.join(QStringLiteral(" AND "))),
                                   params + keys, error)
                    : context.exec(QStringLiteral("INSERT INTO %1(%2) VALUES (%3)")
                                       .arg(host::sqlIdentQuoted(s.sqlTable()), names.join(QLatin1Char(',')),
                                            marks(names.size())),
                                   params, error);
            if (!ok) return false;
        }
    }
    return true;
}

}  // namespace

bool undoChange(WriteContext& context, ChangeRecorder& recorder, int change, QString* error) {
    const host::RecordSetPtr rs = context.query(
        QStringLiteral("SELECT \"cTable\", \"cKey\", \"cItemId\", \"iUndoOf\", \"iUndoneBy\", "
                       "\"cScope\", \"cBefore\", \"cAfter\" FROM \"zx_History\" WHERE \"iChange\" = ?"),
        {change}, error);
    if (!rs) return false;
    if (rs->isEmpty()) {
        setError(error, QStringLiteral("There is no change %1 in the history.").arg(change));
        return false;
    }
    const QString table = rs->textAt(0, 0), key = rs->textAt(0, 1), item = rs->textAt(0, 2);
    if (!rs->isNullAt(0, 3)) {
        setError(error, QStringLiteral("Change %1 is itself the undo of change %2; it cannot be "
                                       "undone.")
                            .arg(change)
                            .arg(rs->textAt(0, 3)));
        return false;
    }
    if (!rs->isNullAt(0, 4)) {
        setError(error, QStringLiteral("Change %1 has been undone already (by change %2).")
                            .arg(change)
                            .arg(rs->textAt(0, 4)));
        return false;
    }
    if (rs->isNullAt(0, 5) || rs->isNullAt(0, 7)) {
        setError(error,
                 QStringLiteral("Change %1 recorded no rows; it cannot be undone.").arg(change));
        return false;
    }
    const ChangeScope scope = ChangeScope::fromJson(parseJson(rs->textAt(0, 5)));
    const QJsonObject before = parseJson(rs->textAt(0, 6));
    const QJsonObject after = parseJson(rs->textAt(0, 7));

    // A later change of the same item (or key) that stands rests on this one.
    const host::RecordSetPtr later = context.query(
        QStringLiteral("SELECT \"iChange\", \"cOperation\", \"cTable\", \"cUserId\", \"dWhen\" "
                       "FROM \"zx_History\" WHERE \"iChange\" > ? AND \"iUndoOf\" IS NULL AND "
                       "\"iUndoneBy\" IS NULL AND (CASE WHEN ? <> '' THEN \"cItemId\" = ? ELSE "
                       "COALESCE(\"cItemId\", '') = '' AND \"cKey\" = ? END) "
                       "ORDER BY \"iChange\" DESC LIMIT 1"),
        {change, item, item, key}, error);
    if (!later) return false;
    if (!later->isEmpty()) {
        setError(error, QStringLiteral("Change %1 cannot be undone: the later change %2 (%3 of "
                                       "%4 by %5 at %6) of the same item depends on it. Undo "
                                       "that change first.")
                            .arg(change)
                            .arg(later->textAt(0, 0), later->textAt(0, 1), later->textAt(0, 2),
                                 later->textAt(0, 3), later->textAt(0, 4)));
        return false;
    }
    if (!recorder.begin(context, scope, QStringLiteral("Undo"), table, change, error)) return false;
    const QJsonObject now = recorder.before();
    if (now != after) {
        // Rows of other items it changed: name the latest standing change of one of them.
        const TableShape& children = shapeOf(kChildren);
        const QMap<QString, QJsonObject> left = keyedRows(children, after.value(kChildren).toArray());
        const QMap<QString, QJsonObject> is = keyedRows(children, now.value(kChildren).toArray());
        QVariantList params = {change};
        for (auto it = left.begin(); it != left.end(); ++it)
            if (is.value(it.key()) != *it) params << it->value(QStringLiteral("cId")).toString();
        if (params.size() > 1) {
            const host::RecordSetPtr other = context.query(
                QStringLiteral("SELECT \"iChange\", \"cOperation\", \"cTable\", \"cUserId\", "
                               "\"dWhen\", \"cItemId\" FROM \"zx_History\" WHERE \"iChange\" > ? AND "
                               "\"iUndoOf\" IS NULL AND \"iUndoneBy\" IS NULL AND \"cItemId\" IN (%1) "
                               "ORDER BY \"iChange\" DESC LIMIT 1")
                    .arg(marks(params.size() - 1)),
                params, error);
            if (!other) return false;
            if (!other->isEmpty()) {
                setError(error,
                         QStringLiteral("Change %1 cannot be undone: the later change %2 (%3 of "
                                        "%4 by %5 at %6) of the item %7 changed what it left of "
                                        "that item. Undo that change first.")
                             .arg(change)
                             .arg(other->textAt(0, 0), other->textAt(0, 1), other->textAt(0, 2),
                                  other->textAt(0, 3), other->textAt(0, 4), other->textAt(0, 5)));
                return false;
            }
        }
        setError(error, QStringLiteral("Change %1 cannot be undone: its rows were changed since "
                                       "by a change the history does not hold.")
                            .arg(change));
        return false;
    }
    return restoreColumns(context, change, before, now, error) &&
           restoreRows(context, before, now, error) &&
           context.exec(QStringLiteral("UPDATE \"zx_History\" SET \"iUndoneBy\" = ? WHERE \"iChange\" = ?"),
                        {recorder.change(), change}, error);
}

bool readChanges(db::Connection& db, const QString& itemId, QList<ChangeEntry>* changes,
                 QString* error) {
    changes->clear();
    const host::RecordSetPtr rs = db.query(
        QStringLiteral("SELECT h.\"iChange\", h.\"dWhen\", h.\"cUserId\", h.\"cOrigin\", "
                       "h.\"cOperation\", h.\"cTable\", h.\"cKey\", h.\"cItemId\", h.\"iUndoOf\", "
                       "h.\"iUndoneBy\", h.\"cBefore\", h.\"cAfter\", (SELECT count(*) FROM "
                       "\"zx_HistoryValue\" v WHERE v.\"iChange\" = h.\"iChange\") FROM \"zx_History\" h "
                       "WHERE ? = '' OR h.\"cItemId\" = ? ORDER BY h.\"iChange\""),
        {itemId, itemId}, error);
    if (!rs) return false;
    for (int r = 0; r < rs->recordCount(); ++r) {
        ChangeEntry e;
        e.change = rs->at(r, 0).toInt();
        e.when = rs->textAt(r, 1);
        e.user = rs->textAt(r, 2);
        e.origin = rs->textAt(r, 3);
        e.operation = rs->textAt(r, 4);
        e.table = rs->textAt(r, 5);
        e.key = rs->textAt(r, 6);
        e.itemId = rs->textAt(r, 7);
        e.undoOf = rs->at(r, 8).toInt();
        e.undoneBy = rs->at(r, 9).toInt();
        e.before = parseJson(rs->textAt(r, 10));
        e.after = parseJson(rs->textAt(r, 11));
        e.keptValues = rs->at(r, 12).toInt();
        changes->append(e);
    }
    return true;
}

QStringList describeChange(const QJsonObject& before, const QJsonObject& after) {
    QStringList lines;
    for (const TableShape& s : tableShapes()) {
        const QMap<QString, QJsonObject> was = keyedRows(s, before.value(s.name).toArray());
        const QMap<QString, QJsonObject> is = keyedRows(s, after.value(s.name).toArray());
        const auto fields = [](const QJsonObject& row) {
            QStringList out;
            for (auto it = row.begin(); it != row.end(); ++it)
                if (!it.value().isNull()) out << it.key() + QLatin1Char('=') + shown(it.value());
            return out.join(QStringLiteral(", "));
        };
        for (auto it = was.begin(); it != was.end(); ++it)
            if (!is.contains(it.key()))
                lines << QStringLiteral("- %1: %2").arg(rowLabel(s, *it), fields(*it));
        for (auto it = is.begin(); it != is.end(); ++it) {
            const auto old = was.constFind(it.key());
            if (old == was.constEnd()) {
                lines << QStringLiteral("+ %1: %2").arg(rowLabel(s, *it), fields(*it));
                continue;
            }
            QStringList names = old->keys() + it->keys();
            names.removeDuplicates();
            names.sort();
            // A text never filled and one left empty read alike: NULL -> "" is no change to show.
            const auto none = [](const QJsonValue& v) {
                return v.isNull() || v.isUndefined() || v == QJsonValue(QString());
            };
            for (const QString& name : names)
                if (old->value(name) != it->value(name) &&
                    !(none(old->value(name)) && none(it->value(name))))
                    lines << QStringLiteral("  %1 %2: %3 -> %4")
                                 .arg(rowLabel(s, *it), name, shown(old->value(name)),
                                      shown(it->value(name)));
        }
    }
    const QJsonObject was = before.value(kColumns).toObject(), is = after.value(kColumns).toObject();
    QStringList links = was.keys() + is.keys();
    links.removeDuplicates();
    links.sort(Qt::CaseInsensitive);
    const QString column = itemColumn(before).isEmpty() ? itemColumn(after) : itemColumn(before);
    for (const QString& link : links) {
        const QString old = was.value(link).toString(), now = is.value(link).toString();
        if (old != now)
            lines << QStringLiteral("  column %1 on %2: %3 -> %4")
                         .arg(column, link, old.isEmpty() ? QStringLiteral("(none)") : old,
                              now.isEmpty() ? QStringLiteral("(none)") : now);
    }
    return lines;
}

bool purgeHistory(db::Connection& db, int upTo, int* removed, QString* error) {
    db::Transaction t(db, error);
    if (!t.ok()) return false;
    const QString where =
        upTo > 0 ? QStringLiteral(" WHERE \"iChange\" <= ?") : QStringLiteral(" WHERE ? = 0");
    const host::RecordSetPtr count =
        db.query(QStringLiteral("SELECT count(*) FROM \"zx_History\"") + where, {upTo}, error);
    if (!count) return false;
    if (removed) *removed = count->at(0, 0).toInt();
    return db.execParams(QStringLiteral("DELETE FROM \"zx_HistoryValue\" WHERE \"iChange\" IN "
                                        "(SELECT \"iChange\" FROM \"zx_History\"%1)")
                             .arg(where),
                         {upTo}, error) &&
           db.execParams(QStringLiteral("DELETE FROM \"zx_History\"") + where, {upTo}, error) &&
           t.commit(error);
}

}  // namespace platform::server
