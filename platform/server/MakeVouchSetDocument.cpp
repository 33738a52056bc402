#include "platform/server/MakeVouchSetDocument.h"

#include <QSet>
#include <QUuid>
#include <QXmlStreamReader>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/server/History.h"

namespace platform::server {

namespace {

const QString kTable = QStringLiteral("AA_ExtendDefineMakeVouch_Set");

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

struct Rule {
    QString path, subId, type, column, targetColumn, source, target, desc, guid;
    int carries = 0;
    bool hasGuid = false;
    bool hasDesc = false;  // a record without <cdesc> keeps the stored description
    QString name() const {
        return QStringLiteral("%1 (%2 → %3)").arg(column, source, target);
    }
};

// The rule elements of the records, each as its fields.
bool readRecords(const Document& document, QList<QList<DocumentField>>* records, QString* error) {
    QXmlStreamReader reader(document.xml);
    int depth = 0;
    int recordDepth = 0;  // 1 for a bare record, 2 under a wrapping root
    QList<DocumentField> fields;
    DocumentField field;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                ++depth;
                const bool isRecord =
                    reader.name().compare(kTable, Qt::CaseInsensitive) == 0;
                if (recordDepth == 0) {
                    if (isRecord) recordDepth = depth;
                    else if (depth > 1) {
                        setError(error, QStringLiteral("The rule records hold an element <%1>.")
                                            .arg(reader.name().toString()));
                        return false;
                    }
                    if (isRecord) fields.clear();
                } else if (depth == recordDepth) {
                    if (!isRecord) {
                        setError(error, QStringLiteral("The rule records hold an element <%1>.")
                                            .arg(reader.name().toString()));
                        return false;
                    }
                    fields.clear();
                } else if (depth == recordDepth + 1) {
                    field = {reader.name().toString(), {}};
                } else if (depth > recordDepth + 1) {
                    setError(error, QStringLiteral("The field <%1> of a rule record holds elements.")
                                        .arg(field.name));
                    return false;
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                if (recordDepth > 0 && depth == recordDepth + 1) fields.append(field);
                if (recordDepth > 0 && depth == recordDepth) records->append(fields);
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (recordDepth > 0 && depth == recordDepth + 1) field.text += reader.text();
                break;
            default:
                break;
        }
    }
    if (reader.hasError()) {
        setError(error, QStringLiteral("The rule records do not parse: %1").arg(reader.errorString()));
        return false;
    }
    if (records->isEmpty()) {
        setError(error, QStringLiteral("The document holds no <%1> rule record.").arg(kTable));
        return false;
    }
    return true;
}

bool readRules(WriteContext& context, const Document& document, QList<Rule>* rules,
               QString* error) {
    QList<QList<DocumentField>> records;
    if (!readRecords(document, &records, error)) return false;
    const QHash<QString, ColumnInfo> columns = context.columns(kTable, error);
    if (columns.isEmpty()) return false;
    for (const QList<DocumentField>& fields : std::as_const(records)) {
        Rule rule;
        QSet<QString> seen;
        for (const DocumentField& f : fields) {
            const QString lower = f.name.toLower();
            if (seen.contains(lower)) {
                setError(error, QStringLiteral("The field <%1> appears twice in a rule record.").arg(f.name));
                return false;
            }
            seen.insert(lower);
            const auto column = columns.constFind(lower);
            if (column == columns.constEnd()) {
                setError(error, QStringLiteral("A rule record has an unknown field <%1>.").arg(f.name));
                return false;
            }
            if (column->maxLength > 0 && f.text.size() > column->maxLength) {
                setError(error, QStringLiteral("The %1 \"%2\" is longer than %3 characters.")
                                    .arg(column->name, f.text.left(80))
                                    .arg(column->maxLength));
                return false;
            }
            if (lower == QLatin1String("cmakevouchid")) rule.path = f.text;
            else if (lower == QLatin1String("csub_id")) rule.subId = f.text;
            else if (lower == QLatin1String("ctype")) rule.type = f.text;
            else if (lower == QLatin1String("cextendfield")) rule.column = f.text;
            else if (lower == QLatin1String("ctargetfield")) rule.targetColumn = f.text;
            else if (lower == QLatin1String("ctablename")) rule.source = f.text;
            else if (lower == QLatin1String("ctargettable")) rule.target = f.text;
            else if (lower == QLatin1String("cdesc")) {
                rule.desc = f.text;
                rule.hasDesc = true;
            }
            else if (lower == QLatin1String("guid")) {
                rule.guid = f.text.trimmed();
                rule.hasGuid = !rule.guid.isEmpty();
            } else if (lower == QLatin1String("btrans")) {
                const std::optional<int> flag = readFlag(f.text, true);
                if (!flag) {
                    setError(error, QStringLiteral("The carry flag \"%1\" is neither 0 nor 1.").arg(f.text));
                    return false;
                }
                rule.carries = *flag;
            } else {
                setError(error, QStringLiteral("A rule record cannot set <%1>.").arg(f.name));
                return false;
            }
        }
        if (rule.path.trimmed().isEmpty() || rule.source.trimmed().isEmpty() ||
            rule.target.trimmed().isEmpty() || rule.column.trimmed().isEmpty()) {
            setError(error, QStringLiteral("A rule record needs its carry-over path, source table, "
                                           "target table and item column."));
            return false;
        }
        if (rule.targetColumn.isEmpty()) rule.targetColumn = rule.column;
        rules->append(rule);
    }
    return true;
}

const QString kKeyWhere = QStringLiteral(
    "COALESCE(\"cMakeVouchID\",'') = ? AND \"cTableName\" = ? AND \"cTargetTable\" = ? AND \"cextendfield\" = ? "
    "AND COALESCE(\"ctype\",'') = ?");
QVariantList keyOf(const Rule& r) { return {r.path, r.source, r.target, r.column, r.type}; }

// The guid of the rule with the key; empty when there is none (null on failure).
std::optional<QString> guidOfKey(WriteContext& context, const Rule& rule, QString* error) {
    const host::RecordSetPtr rows = context.query(
        QStringLiteral("SELECT \"guid\" FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE ") + kKeyWhere,
        keyOf(rule), error);
    if (!rows) return std::nullopt;
    return rows->isEmpty() ? QString() : host::variantText(rows->at(0, 0));
}

bool insert(WriteContext& context, const Rule& r, QString* error) {
    return context.exec(
        QStringLiteral("INSERT INTO \"AA_ExtendDefineMakeVouch_Set\" (\"cMakeVouchID\", \"cSub_id\", \"ctype\", "
                       "\"cextendfield\", \"ctargetfield\", \"cTableName\", \"cTargetTable\", \"btrans\", \"cdesc\", \"guid\") "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {r.path, r.subId, r.type, r.column, r.targetColumn, r.source, r.target, r.carries, r.desc,
         QUuid::createUuid().toString(QUuid::WithoutBraces)},
        error);
}

}  // namespace

bool MakeVouchSetDocument::add(WriteContext& context, const Document& document, QString* error) {
    QList<Rule> rules;
    if (!readRules(context, document, &rules, error)) return false;
    for (const Rule& rule : std::as_const(rules)) {
        const std::optional<QString> existing = guidOfKey(context, rule, error);
        if (!existing) return false;
        if (!existing->isEmpty()) {
            setError(error, QStringLiteral("A carry-over rule for %1 exists already.").arg(rule.name()));
            return false;
        }
        if (!insert(context, rule, error)) return false;
    }
    return true;
}

bool MakeVouchSetDocument::modify(WriteContext& context, const Document& document,
                                  QString* error) {
    QList<Rule> rules;
    if (!readRules(context, document, &rules, error)) return false;
    for (const Rule& rule : std::as_const(rules)) {
        const std::optional<QString> existing = guidOfKey(context, rule, error);
        if (!existing) return false;
        if (rule.hasGuid) {
            if (!existing->isEmpty() && existing->compare(rule.guid, Qt::CaseInsensitive) != 0) {
                setError(error, QStringLiteral("A carry-over rule for %1 exists already.").arg(rule.name()));
                return false;
            }
            if (!context.exec(QStringLiteral(
                                  "UPDATE \"AA_ExtendDefineMakeVouch_Set\" SET \"cMakeVouchID\" = ?, \"cSub_id\" = ?, "
                                  "\"ctype\" = ?, \"cextendfield\" = ?, \"ctargetfield\" = ?, \"cTableName\" = ?, "
                                  "\"cTargetTable\" = ?, \"btrans\" = ?, \"cdesc\" = CASE WHEN ? THEN ? ELSE \"cdesc\" END "
                                  "WHERE \"guid\" = ?"),
                              {rule.path, rule.subId, rule.type, rule.column, rule.targetColumn,
                               rule.source, rule.target, rule.carries, int(rule.hasDesc), rule.desc,
                               rule.guid},
                              error))
                return false;
            if (context.database().changes() == 0) {
                setError(error, QStringLiteral("The carry-over rule %1 no longer exists.").arg(rule.guid));
                return false;
            }
        } else if (!existing->isEmpty()) {
            if (!context.exec(QStringLiteral("UPDATE \"AA_ExtendDefineMakeVouch_Set\" SET \"btrans\" = ?, "
                                             "\"cdesc\" = CASE WHEN ? THEN ? ELSE \"cdesc\" END, \"cSub_id\" = ? "
                                             "WHERE \"guid\" = ?"),
                              {rule.carries, int(rule.hasDesc), rule.desc, rule.subId, *existing},
                              error))
                return false;
        } else if (!insert(context, rule, error)) {
            return false;
        }
    }
    return true;
}

bool MakeVouchSetDocument::remove(WriteContext& context, const DeleteKey& key, QString* error) {
    const QHash<QString, ColumnInfo> columns = context.columns(kTable, error);
    if (columns.isEmpty()) return false;
    QStringList where;
    QVariantList values;
    for (const DocumentField& pair : key.pairs) {
        const auto column = columns.constFind(pair.name.trimmed().toLower());
        if (column == columns.constEnd()) {
            setError(error, QStringLiteral("Carry-over rules have no column \"%1\".").arg(pair.name));
            return false;
        }
        where << host::sqlIdentQuoted(column->name) + QStringLiteral(" = ?");
        values << pair.text;
    }
    if (where.isEmpty()) {
        setError(error, QStringLiteral("A carry-over rule is deleted by a key."));
        return false;
    }
    if (!context.exec(QStringLiteral("DELETE FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE ") +
                          where.join(QStringLiteral(" AND ")),
                      values, error))
        return false;
    if (context.database().changes() == 0) {
        setError(error, QStringLiteral("No carry-over rule has %1 \"%2\".")
                            .arg(key.pairs.first().name, key.pairs.first().text));
        return false;
    }
    return true;
}

namespace {

// The rules of the given columns, and the item the first of them belongs to.
bool ruleScope(WriteContext& context, QStringList columns, const QString& key,
               ChangeScope* scope, QString* error) {
    columns.removeAll(QString());
    columns.removeDuplicates();
    scope->ruleColumns = columns;
    scope->key = key;
    if (columns.isEmpty()) return true;
    const host::RecordSetPtr owner = context.query(
        QStringLiteral("SELECT \"cId\" FROM \"UserDef_Base\" WHERE \"cDicDbName\" = ?"), {columns.first()},
        error);
    if (!owner) return false;
    if (!owner->isEmpty()) scope->itemId = owner->textAt(0, 0);
    return true;
}

}  // namespace

bool MakeVouchSetDocument::documentScope(WriteContext& context, const Document& document, bool,
                                         ChangeScope* scope, QString* error) {
    QList<QList<DocumentField>> records;
    QString why;
    if (!readRecords(document, &records, &why)) return true;  // refused when applied
    QStringList columns, guids;
    for (const QList<DocumentField>& record : records)
        for (const DocumentField& f : record) {
            const QString lower = f.name.toLower();
            if (lower == QLatin1String("cextendfield") || lower == QLatin1String("ctargetfield"))
                columns << f.text.trimmed();
            if (lower == QLatin1String("guid") && !f.text.trimmed().isEmpty())
                guids << f.text.trimmed();
        }
    // A rule changed by its guid may move to other columns: the ones it had are watched too.
    for (const QString& guid : guids) {
        const host::RecordSetPtr stored = context.query(
            QStringLiteral("SELECT \"cextendfield\", \"ctargetfield\" FROM %1 WHERE \"guid\" = ?").arg(host::sqlIdentQuoted(kTable)),
            {guid}, error);
        if (!stored) return false;
        for (int r = 0; r < stored->recordCount(); ++r)
            columns << stored->textAt(r, 0) << stored->textAt(r, 1);
    }
    return ruleScope(context, columns, columns.value(0), scope, error);
}

bool MakeVouchSetDocument::deleteScope(WriteContext& context, const DeleteKey& key,
                                       ChangeScope* scope, QString* error) {
    QString why;
    const QHash<QString, ColumnInfo> known = context.columns(kTable, &why);
    QStringList where;
    QVariantList values;
    for (const DocumentField& pair : key.pairs) {
        const auto column = known.constFind(pair.name.trimmed().toLower());
        if (column == known.constEnd()) return true;  // refused when applied
        where << host::sqlIdentQuoted(column->name) + QStringLiteral(" = ?");
        values << pair.text;
    }
    const host::RecordSetPtr rules = context.query(
        QStringLiteral("SELECT \"cextendfield\", \"ctargetfield\" FROM %1 WHERE %2")
            .arg(host::sqlIdentQuoted(kTable), where.join(QStringLiteral(" AND "))),
        values, error);
    if (!rules) return false;
    QStringList columns;
    for (int r = 0; r < rules->recordCount(); ++r)
        columns << rules->textAt(r, 0) << rules->textAt(r, 1);
    return ruleScope(context, columns, key.pairs.first().text, scope, error);
}

}  // namespace platform::server
