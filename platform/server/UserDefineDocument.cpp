#include "platform/server/UserDefineDocument.h"

#include <QSet>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/server/History.h"

namespace platform::server {

namespace {

const QString kTable = QStringLiteral("Userdefine");

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// The document's fields checked against the table: known columns once each, texts within their
// declared length, the stop flag 0 or 1. sValue only where allowed.
struct ValueFields {
    QList<QPair<QString, QVariant>> columns;  // as the table spells them, with their values
    QString itemId;
    QString value;
    bool hasValue = false;
    QString oldValue;
    bool hasOldValue = false;
};

bool readFields(WriteContext& context, const Document& document, bool withKey, ValueFields* out,
                QString* error) {
    QList<DocumentField> fields;
    if (!readFlatDocument(document, kTable, &fields, error)) return false;
    const QHash<QString, ColumnInfo> columns = context.columns(kTable, error);
    if (columns.isEmpty()) return false;
    QSet<QString> seen;
    for (const DocumentField& field : std::as_const(fields)) {
        const QString lower = field.name.toLower();
        if (seen.contains(lower)) {
            setError(error, QStringLiteral("The field <%1> appears twice in the value document.")
                                .arg(field.name));
            return false;
        }
        seen.insert(lower);
        if (lower == QLatin1String("svalue") && withKey) {
            out->oldValue = field.text;
            out->hasOldValue = true;
            continue;
        }
        const auto column = columns.constFind(lower);
        if (column == columns.constEnd() || lower == QLatin1String("pubzxts")) {
            setError(error, QStringLiteral("The value document has an unknown field <%1>.")
                                .arg(field.name));
            return false;
        }
        if (column->maxLength > 0 && field.text.size() > column->maxLength) {
            setError(error, QStringLiteral("The %1 \"%2\" is longer than %3 characters.")
                                .arg(column->name, field.text)
                                .arg(column->maxLength));
            return false;
        }
        QVariant value = field.text;
        if (lower == QLatin1String("bfreestop")) {
            const std::optional<int> flag = readFlag(field.text);
            if (!flag) {
                setError(error, QStringLiteral("The stop flag \"%1\" is neither 0 nor 1.")
                                    .arg(field.text));
                return false;
            }
            value = *flag;
        }
        if (lower == QLatin1String("cid")) {
            out->itemId = field.text.trimmed();
            continue;  // the key, bound where the statement needs it
        }
        if (lower == QLatin1String("cvalue")) {
            out->value = field.text;
            out->hasValue = true;
        }
        out->columns.append({column->name, value});
    }
    if (out->itemId.isEmpty()) {
        setError(error, QStringLiteral("The value document names no item (<cId>)."));
        return false;
    }
    if (withKey && !out->hasOldValue) {
        setError(error, QStringLiteral("The value document names no value to change (<sValue>)."));
        return false;
    }
    if ((!withKey || out->hasValue) && out->value.trimmed().isEmpty()) {
        setError(error, QStringLiteral("The value is empty."));
        return false;
    }
    return true;
}

bool itemExists(WriteContext& context, const QString& itemId, QString* error) {
    const host::RecordSetPtr rs =
        context.query(QStringLiteral("SELECT 1 FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {itemId}, error);
    if (!rs) return false;
    if (rs->isEmpty()) {
        setError(error, QStringLiteral("The item %1 does not exist.").arg(itemId));
        return false;
    }
    return true;
}

QString duplicateText(const QString& value, const QString& itemId) {
    return QStringLiteral("The value \"%1\" already exists for item %2.").arg(value, itemId);
}

}  // namespace

bool UserDefineDocument::add(WriteContext& context, const Document& document, QString* error) {
    ValueFields fields;
    if (!readFields(context, document, false, &fields, error)) return false;
    if (!itemExists(context, fields.itemId, error)) return false;
    const host::RecordSetPtr dup = context.query(
        QStringLiteral("SELECT 1 FROM \"Userdefine\" WHERE \"cId\" = ? AND \"cValue\" = ?"),
        {fields.itemId, fields.value}, error);
    if (!dup) return false;
    if (!dup->isEmpty()) {
        setError(error, duplicateText(fields.value, fields.itemId));
        return false;
    }
    QStringList names = {QStringLiteral("\"cId\"")};
    QVariantList params = {fields.itemId};
    for (const auto& [name, value] : std::as_const(fields.columns)) {
        names << host::sqlIdentQuoted(name);
        params << value;
    }
    const QString marks = QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(',');
    return context.exec(QStringLiteral("INSERT INTO \"Userdefine\" (%1) VALUES (%2)")
                            .arg(names.join(QLatin1Char(',')), marks),
                        params, error);
}

bool UserDefineDocument::modify(WriteContext& context, const Document& document, QString* error) {
    ValueFields fields;
    if (!readFields(context, document, true, &fields, error)) return false;
    // A change that carries nothing to store is refused rather than answered as done.
    if (fields.columns.isEmpty()) {
        setError(error, QStringLiteral("The change of value \"%1\" of item %2 carries no field "
                                       "to store; nothing was saved.")
                            .arg(fields.oldValue, fields.itemId));
        return false;
    }
    const host::RecordSetPtr row = context.query(
        QStringLiteral("SELECT \"pubzxts\" FROM \"Userdefine\" WHERE \"cId\" = ? AND \"cValue\" = ?"),
        {fields.itemId, fields.oldValue}, error);
    if (!row) return false;
    if (row->isEmpty()) {
        setError(error, QStringLiteral("The value \"%1\" of item %2 no longer exists.")
                            .arg(fields.oldValue, fields.itemId));
        return false;
    }
    // The row is the one its key (item, old value) names; the key compares without case, so
    // one other row at most can hold the new value.
    if (fields.hasValue) {
        const host::RecordSetPtr dup = context.query(
            QStringLiteral("SELECT 1 FROM \"Userdefine\" WHERE \"cId\" = ? AND \"cValue\" = ? AND "
                           "\"cValue\" <> ?"),
            {fields.itemId, fields.value, fields.oldValue}, error);
        if (!dup) return false;
        if (!dup->isEmpty()) {
            setError(error, duplicateText(fields.value, fields.itemId));
            return false;
        }
    }
    QStringList sets;
    QVariantList params;
    for (const auto& [name, value] : std::as_const(fields.columns)) {
        sets << host::sqlIdentQuoted(name) + QStringLiteral(" = ?");
        params << value;
    }
    params << fields.itemId << fields.oldValue;
    const QString now = fields.hasValue ? fields.value : fields.oldValue;
    // Values are listed by row version, that is in the order they were added: a changed value
    // takes back the version its insert gave it and so keeps its place in the list.
    return context.exec(QStringLiteral("UPDATE \"Userdefine\" SET %1 WHERE \"cId\" = ? AND "
                                       "\"cValue\" = ?")
                            .arg(sets.join(QLatin1Char(','))),
                        params, error) &&
           context.exec(QStringLiteral("UPDATE \"Userdefine\" SET \"pubzxts\" = ? WHERE \"cId\" = ? "
                                       "AND \"cValue\" = ?"),
                        {row->at(0, 0), fields.itemId, now}, error);
}

bool UserDefineDocument::remove(WriteContext& context, const DeleteKey& key, QString* error) {
    const QHash<QString, ColumnInfo> columns = context.columns(kTable, error);
    if (columns.isEmpty()) return false;
    QStringList where;
    QVariantList params;
    QStringList shown;
    for (const DocumentField& pair : key.pairs) {
        const auto column = columns.constFind(pair.name.toLower());
        if (column == columns.constEnd()) {
            setError(error, QStringLiteral("The table Userdefine has no column %1.").arg(pair.name));
            return false;
        }
        where << host::sqlIdentQuoted(column->name) + QStringLiteral(" = ?");
        params << pair.text;
        shown << QStringLiteral("%1 \"%2\"").arg(column->name, pair.text);
    }
    if (!context.exec(QStringLiteral("DELETE FROM \"Userdefine\" WHERE ") +
                          where.join(QStringLiteral(" AND ")),
                      params, error))
        return false;
    if (context.database().changes() == 0) {
        setError(error, QStringLiteral("No value with %1 exists.").arg(shown.join(QStringLiteral(", "))));
        return false;
    }
    return true;
}

bool UserDefineDocument::documentScope(WriteContext&, const Document& document, bool,
                                       ChangeScope* scope, QString*) {
    QList<DocumentField> fields;
    QString why;
    if (!readFlatDocument(document, kTable, &fields, &why)) return true;  // refused when applied
    for (const DocumentField& field : fields) {
        const QString lower = field.name.toLower();
        if (lower == QLatin1String("cid")) scope->itemId = field.text.trimmed();
        if (lower == QLatin1String("cvalue") || lower == QLatin1String("svalue"))
            scope->values << field.text;
    }
    scope->values.removeDuplicates();
    scope->key = scope->itemId;
    if (!scope->values.isEmpty()) scope->key += QStringLiteral(" / ") + scope->values.last();
    return true;
}

bool UserDefineDocument::deleteScope(WriteContext&, const DeleteKey& key, ChangeScope* scope,
                                     QString*) {
    bool onlyValue = true;
    for (const DocumentField& pair : key.pairs) {
        const QString lower = pair.name.toLower();
        if (lower == QLatin1String("cid"))
            scope->itemId = pair.text.trimmed();
        else if (lower == QLatin1String("cvalue"))
            scope->values << pair.text;
        else
            onlyValue = false;
    }
    // A key by another column may take any of the item's values.
    if (!onlyValue || scope->values.isEmpty()) {
        scope->values.clear();
        scope->allValues = true;
    }
    scope->key = scope->itemId;
    if (!scope->values.isEmpty()) scope->key += QStringLiteral(" / ") + scope->values.first();
    return true;
}

}  // namespace platform::server
