#include "platform/server/ItemDocument.h"

#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <optional>

#include "host/Quote.h"
#include "platform/server/CoverLayouts.h"
#include "platform/server/ExtendColumns.h"
#include "platform/server/History.h"

namespace platform::server {

namespace {

const QString kBase = QStringLiteral("UserDef_Base");

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

bool is(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

struct Link {
    QString itemId;
    QString table;
};

// The document as sent: plain fields in order, the root's cover attribute and the table links.
struct ParsedItem {
    QList<DocumentField> fields;
    QString coverBody;
    QList<Link> added, kept, removed;
};

bool parseItem(const Document& document, ParsedItem* out, QString* error) {
    const QDomElement root = document.root();
    if (root.isNull() || !(is(root.tagName(), "Userdef_base") || is(root.tagName(), "Userdef"))) {
        setError(error, QStringLiteral("The document is not an item document (<Userdef_base> or "
                                       "<Userdef>)."));
        return false;
    }
    const QDomNamedNodeMap attributes = root.attributes();
    for (int i = 0; i < attributes.count(); ++i)
        if (is(attributes.item(i).nodeName(), "bCoverVouchBody"))
            out->coverBody = attributes.item(i).nodeValue().trimmed();
    // The DOM drops blank-only texts; the stream reader keeps every character of a value.
    QXmlStreamReader reader(document.xml);
    int depth = 0;
    QList<Link>* section = nullptr;
    DocumentField field;
    Link link;
    QString linkField;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement: {
                ++depth;
                const QString name = reader.name().toString();
                if (depth == 1) {
                    // the root, checked above
                } else if (depth == 2) {
                    section = is(name, "AddUserDefDetail")      ? &out->added
                              : is(name, "ModifyUserDefDetail") ? &out->kept
                              : is(name, "DeleteUserDefDetail") ? &out->removed
                                                                : nullptr;
                    field = {name, {}};
                } else if (depth == 3 && section && is(name, "UserDefDetail")) {
                    link = {};
                } else if (depth == 4 && section && (is(name, "cId") || is(name, "Tablename"))) {
                    linkField = name;
                } else {
                    setError(error,
                             QStringLiteral("The item document has an unexpected element <%1>.")
                                 .arg(name));
                    return false;
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                if (depth == 2 && !section) out->fields.append(field);
                if (depth == 3 && section) section->append(link);
                if (depth == 2) section = nullptr;
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (depth == 2 && !section) field.text += reader.text();
                if (depth == 4 && is(linkField, "cId")) link.itemId += reader.text();
                if (depth == 4 && is(linkField, "Tablename")) link.table += reader.text();
                break;
            default:
                break;
        }
    }
    if (reader.hasError()) {
        setError(error,
                 QStringLiteral("The document does not parse: %1").arg(reader.errorString()));
        return false;
    }
    return true;
}

// The class code of the extension catalogue and the column prefix of a class's extended items.
QString classCode(const QString& cClass) {
    if (cClass == QStringLiteral("单据头")) return QStringLiteral("H");
    if (cClass == QStringLiteral("单据体")) return QStringLiteral("B");
    if (cClass == QStringLiteral("存货")) return QStringLiteral("INV");
    if (cClass == QStringLiteral("客户")) return QStringLiteral("CUS");
    if (cClass == QStringLiteral("联系人")) return QStringLiteral("CON");
    return {};
}

QString columnPrefix(const QString& code) {
    if (code == QLatin1String("H")) return QStringLiteral("chdefine");
    if (code == QLatin1String("B")) return QStringLiteral("cbdefine");
    if (code == QLatin1String("INV")) return QStringLiteral("cidefine");
    if (code == QLatin1String("CUS")) return QStringLiteral("ccdefine");
    if (code == QLatin1String("CON")) return QStringLiteral("cldefine");
    return {};
}

QString storedType(const QString& cType) {
    return cType == QStringLiteral("整数") ? QStringLiteral("整型") : cType;
}

// The document's values, checked: known columns once each, numbers and flags well formed,
// texts within their declared length.
struct ItemValues {
    QString id;
    std::optional<QString> cClass, cType, dicDbName, fieldName, name, parentId;
    std::optional<int> maxLen, decimals;
    QList<QPair<QString, QVariant>> columns;  // UserDef_Base columns to write, cId left out
    QList<QPair<QString, QString>> names;     // locale → name
    QString cover;                            // bCoverVouch
};

bool readValues(WriteContext& context, const ParsedItem& parsed, ItemValues* out, QString* error) {
    const QHash<QString, ColumnInfo> columns = context.columns(kBase, error);
    if (columns.isEmpty()) return false;
    const QHash<QString, ColumnInfo> langColumns =
        context.columns(QStringLiteral("userdef_lang"), error);
    if (langColumns.isEmpty()) return false;
    const int nameLength = langColumns.value(QStringLiteral("citemname")).maxLength;
    static const QSet<QString> numbers = {QStringLiteral("imaxlen"), QStringLiteral("ilength"),
                                          QStringLiteral("idecimaldigits"),
                                          QStringLiteral("idatasource")};
    static const QSet<QString> references = {QStringLiteral("crelarchive"),
                                             QStringLiteral("crelfield"), QStringLiteral("crefid")};
    QSet<QString> seen;
    bool hasId = false;
    for (const DocumentField& field : parsed.fields) {
        const QString lower = field.name.toLower();
        if (seen.contains(lower)) {
            setError(error, QStringLiteral("The field <%1> appears twice in the item document.")
                                .arg(field.name));
            return false;
        }
        seen.insert(lower);
        if (lower == QLatin1String("pubzxts")) continue;  // the row version is the server's own
        if (lower == QLatin1String("bcovervouch")) {
            out->cover = field.text.trimmed();
            continue;
        }
        if (lower == QLatin1String("cfieldname")) {
            out->fieldName = field.text.trimmed();
            continue;
        }
        if (lower == QLatin1String("citemname_zh_tw") ||
            lower == QLatin1String("citemname_en_us")) {
            if (nameLength > 0 && field.text.size() > nameLength) {
                setError(error, QStringLiteral("The item name \"%1\" is longer than %2 characters.")
                                    .arg(field.text.left(80))
                                    .arg(nameLength));
                return false;
            }
            out->names.append({lower.endsWith(QLatin1String("tw")) ? QStringLiteral("zh-TW")
                                                                   : QStringLiteral("en-US"),
                               field.text});
            continue;
        }
        const auto column = columns.constFind(lower);
        if (column == columns.constEnd() || lower == QLatin1String("pubzxts")) {
            setError(
                error,
                QStringLiteral("The item document has an unknown field <%1>.").arg(field.name));
            return false;
        }
        QVariant value = field.text;
        if (numbers.contains(lower)) {
            const QString text = field.text.trimmed();
            bool ok = true;
            const int number = text.toInt(&ok);
            if (!text.isEmpty() && !ok) {
                setError(error, QStringLiteral("The %1 \"%2\" is not a whole number.")
                                    .arg(column->name, field.text.left(80)));
                return false;
            }
            value = text.isEmpty() ? QVariant() : QVariant(number);
            if (lower == QLatin1String("imaxlen") && !text.isEmpty()) out->maxLen = number;
            if (lower == QLatin1String("idecimaldigits") && !text.isEmpty()) out->decimals = number;
        } else if (lower.startsWith(QLatin1Char('b'))) {
            const std::optional<int> flag = readFlag(field.text);
            if (!flag) {
                setError(error, QStringLiteral("The flag %1 \"%2\" is neither 0 nor 1.")
                                    .arg(column->name, field.text.left(80)));
                return false;
            }
            value = *flag;
        } else {
            QString text = field.text;
            // A blank related archive or field is how the editor clears them.
            if (references.contains(lower) && text.trimmed().isEmpty()) text.clear();
            if (lower == QLatin1String("cid") || lower == QLatin1String("cclass") ||
                lower == QLatin1String("ctype") || lower == QLatin1String("cdicdbname") ||
                lower == QLatin1String("cparentid"))
                text = text.trimmed();
            if (column->maxLength > 0 && text.size() > column->maxLength) {
                setError(error, QStringLiteral("The %1 \"%2\" is longer than %3 characters.")
                                    .arg(column->name, text.left(80))
                                    .arg(column->maxLength));
                return false;
            }
            value =
                lower == QLatin1String("cparentid") && text.isEmpty() ? QVariant() : QVariant(text);
            if (lower == QLatin1String("cid")) {
                out->id = text;
                hasId = true;
                continue;
            }
            if (lower == QLatin1String("cclass")) out->cClass = text;
            if (lower == QLatin1String("ctype")) out->cType = text;
            if (lower == QLatin1String("cdicdbname")) out->dicDbName = text;
            if (lower == QLatin1String("cparentid")) out->parentId = text.trimmed();
            if (lower == QLatin1String("citemname")) {
                out->name = text;
                out->names.prepend({QStringLiteral("zh-CN"), text});
            }
        }
        out->columns.append({column->name, value});
    }
    if (!hasId || out->id.isEmpty()) {
        setError(error, QStringLiteral("The item document names no item (<cId>)."));
        return false;
    }
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(out->id).hasMatch()) {
        setError(
            error,
            QStringLiteral("The item number \"%1\" is not a whole number.").arg(out->id.left(80)));
        return false;
    }
    if (out->dicDbName && out->fieldName &&
        out->dicDbName->compare(*out->fieldName, Qt::CaseInsensitive) != 0) {
        setError(error, QStringLiteral("The field name %1 differs from the column name %2.")
                            .arg(out->fieldName->left(80), out->dicDbName->left(80)));
        return false;
    }
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (out->dicDbName && !out->dicDbName->isEmpty() &&
        !identifier.match(*out->dicDbName).hasMatch()) {
        setError(error, QStringLiteral("The column name \"%1\" is not a valid column name.")
                            .arg(out->dicDbName->left(80)));
        return false;
    }
    return true;
}

// The stored item, as the checks of a modify or delete need it.
struct StoredItem {
    QString cClass, cItem, cType, name, dicDbName;
    int maxLen = 0, decimals = 0;
};

bool loadItem(WriteContext& context, const QString& id, StoredItem* item, QString* error) {
    const host::RecordSetPtr rs = context.query(
        QStringLiteral(
            "SELECT \"cClass\", \"cType\", \"IMaxLen\", \"iDecimalDigits\", \"cItemName\", \"cDicDbName\", \"cItem\" FROM "
            "\"UserDef_Base\" WHERE \"cId\" = ?"),
        {id}, error);
    if (!rs) return false;
    if (rs->isEmpty()) {
        setError(error,
                 QStringLiteral("The item %1 does not exist (another user may have deleted it).")
                     .arg(id));
        return false;
    }
    item->cClass = rs->at(0, 0).toString();
    item->cType = rs->at(0, 1).toString();
    item->maxLen = rs->at(0, 2).toInt();
    item->decimals = rs->at(0, 3).toInt();
    item->name = rs->at(0, 4).toString();
    item->dicDbName = rs->at(0, 5).toString();
    item->cItem = rs->at(0, 6).toString();
    return true;
}

// A parent is an item of the same class whose own parents never lead back to the item.
bool checkParent(WriteContext& context, const ItemValues& values, const QString& cClass,
                 QString* error) {
    if (!values.parentId || values.parentId->isEmpty()) return true;
    QString at = *values.parentId;
    QStringList chain;
    while (!at.isEmpty() && !chain.contains(at)) {
        if (at == values.id) {
            setError(error, QStringLiteral("The item %1 cannot have the parent %2: the parents "
                                           "would lead back to the item itself (%3).")
                                .arg(values.id, *values.parentId,
                                     (chain << at).join(QStringLiteral(" → "))));
            return false;
        }
        const host::RecordSetPtr rs = context.query(
            QStringLiteral("SELECT \"cClass\", \"cParentID\" FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {at},
            error);
        if (!rs) return false;
        if (rs->isEmpty() || (chain.isEmpty() && rs->at(0, 0).toString() != cClass)) {
            setError(error, QStringLiteral("The parent %1 of the item %2 is no item of its class.")
                                .arg(*values.parentId, values.id));
            return false;
        }
        chain << at;
        at = rs->at(0, 1).toString().trimmed();
    }
    return true;
}

bool writeNames(WriteContext& context, const ItemValues& values, QString* error) {
    for (const auto& [locale, name] : values.names) {
        const bool ok =
            name.isEmpty()
                ? context.exec(
                      QStringLiteral("DELETE FROM \"userdef_lang\" WHERE \"cid\" = ? AND \"LocaleID\" = ?"),
                      {values.id, locale}, error)
                : context.exec(
                      QStringLiteral(
                          "INSERT INTO \"userdef_lang\"(\"cid\", \"LocaleID\", \"cItemName\") VALUES (?, ?, ?) "
                          "ON CONFLICT(\"cid\", \"LocaleID\") DO UPDATE SET \"cItemName\" = "
                          "excluded.\"cItemName\""),
                      {values.id, locale, name}, error);
        if (!ok) return false;
    }
    return true;
}

// Links named for another item, or tables named twice in one section, are refused; a link
// without a table (a vendor item's) stands for no table.
bool checkLinks(const QString& id, const QList<Link>& links, QStringList* tables, QString* error) {
    QSet<QString> seen;
    for (const Link& link : links) {
        if (link.itemId.trimmed() != id) {
            setError(error, QStringLiteral("A table link names item \"%1\", not the item %2.")
                                .arg(link.itemId.left(80), id));
            return false;
        }
        const QString table = link.table.trimmed();
        if (table.isEmpty() || seen.contains(table.toLower())) continue;
        seen.insert(table.toLower());
        *tables << table;
    }
    return true;
}

QString columnTypeOf(const QString& cType, int maxLen, int decimals, QString* error) {
    return extendColumnType(storedType(cType), maxLen, decimals, error);
}

bool linkTables(WriteContext& context, ExtendColumns& columns, const QString& id,
                const QString& code, const QStringList& tables, const QString& column,
                const QString& type, QString* error) {
    if (!columns.readCompanions(tables, error)) return false;
    for (const QString& name : tables) {
        const ExtendTable* table = columns.find(name, code, error);
        if (!table) return false;
        if (!context.exec(QStringLiteral("INSERT INTO \"UserDefDetail\"(\"cid\", \"TableName\") VALUES (?, ?)"),
                          {id, table->tableName}, error) ||
            !columns.addColumn(*table, column, type, error))
            return false;
    }
    return true;
}

bool insertItem(WriteContext& context, const ItemValues& values, QString* error) {
    QStringList names = {QStringLiteral("\"cId\"")};
    QVariantList params = {values.id};
    for (const auto& [name, value] : values.columns) {
        names << host::sqlIdentQuoted(name);
        params << value;
    }
    const QString marks = QStringList(QList<QString>(names.size(), QStringLiteral("?"))).join(',');
    return context.exec(QStringLiteral("INSERT INTO \"UserDef_Base\" (%1) VALUES (%2)")
                            .arg(names.join(QLatin1Char(',')), marks),
                        params, error);
}

bool updateItem(WriteContext& context, const ItemValues& values, QString* error) {
    QStringList sets;
    QVariantList params;
    for (const auto& [name, value] : values.columns) {
        sets << host::sqlIdentQuoted(name) + QStringLiteral(" = ?");
        params << value;
    }
    if (sets.isEmpty()) return true;
    params << values.id;
    return context.exec(
        QStringLiteral("UPDATE \"UserDef_Base\" SET %1 WHERE \"cId\" = ?").arg(sets.join(QLatin1Char(','))),
        params, error);
}

QStringList linkedTables(WriteContext& context, const QString& id, bool* ok, QString* error) {
    QStringList out;
    const host::RecordSetPtr rs = context.query(
        QStringLiteral("SELECT \"TableName\" FROM \"UserDefDetail\" WHERE \"cid\" = ? ORDER BY \"TableName\""), {id},
        error);
    *ok = rs != nullptr;
    for (int r = 0; rs && r < rs->recordCount(); ++r) out << rs->at(r, 0).toString();
    return out;
}

// Carry-over rules of a column that goes away: of one table (as source or target), or of every
// table when table is empty. A later item that gets the column name again starts without them.
bool dropRules(WriteContext& context, const QString& column, const QString& table, QString* error) {
    QString why;
    if (column.isEmpty() ||
        context.columns(QStringLiteral("AA_ExtendDefineMakeVouch_Set"), &why).isEmpty())
        return true;
    QString sql = QStringLiteral(
        "DELETE FROM \"AA_ExtendDefineMakeVouch_Set\" WHERE (\"cextendfield\" = ? OR \"ctargetfield\" = ?)");
    QVariantList params = {column, column};
    if (!table.isEmpty()) {
        sql += QStringLiteral(" AND (\"cTableName\" = ? OR \"cTargetTable\" = ?)");
        params << table << table;
    }
    return context.exec(sql, params, error);
}

bool containsName(const QStringList& list, const QString& name) {
    return list.contains(name, Qt::CaseInsensitive);
}

}  // namespace

bool isExtendColumn(const QString& cDicDbName) {
    static const QRegularExpression pattern(QStringLiteral("^c[HBICL]Define[0-9]+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(cDicDbName).hasMatch();
}

bool ItemDocument::add(WriteContext& context, const Document& document, QString* error) {
    ParsedItem parsed;
    ItemValues values;
    if (!parseItem(document, &parsed, error) || !readValues(context, parsed, &values, error))
        return false;
    if (!values.cClass || values.cClass->isEmpty()) {
        setError(error, QStringLiteral("The item document names no class (<cClass>)."));
        return false;
    }
    const host::RecordSetPtr sameId = context.query(
        QStringLiteral("SELECT \"cClass\" FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {values.id}, error);
    if (!sameId) return false;
    if (!sameId->isEmpty()) {
        setError(error, QStringLiteral("The item number (cId) %1 is already used by another item.")
                            .arg(values.id));
        return false;
    }
    const QString column = values.dicDbName.value_or(QString());
    if (!column.isEmpty()) {
        const host::RecordSetPtr sameColumn = context.query(
            QStringLiteral("SELECT \"cId\" FROM \"UserDef_Base\" WHERE \"cDicDbName\" = ?"), {column}, error);
        if (!sameColumn) return false;
        if (!sameColumn->isEmpty()) {
            setError(error,
                     QStringLiteral("The column name (cDicDbName) %1 is already used by item %2.")
                         .arg(column, sameColumn->at(0, 0).toString()));
            return false;
        }
    }
    if (!checkParent(context, values, *values.cClass, error)) return false;
    QStringList tables;
    if (!checkLinks(values.id, parsed.added + parsed.kept, &tables, error)) return false;
    const QString code = classCode(*values.cClass);
    QString type;
    if (isExtendColumn(column)) {
        if (!column.toLower().startsWith(columnPrefix(code))) {
            setError(error, QStringLiteral("The column name %1 does not belong to the class %2.")
                                .arg(column, *values.cClass));
            return false;
        }
        type = columnTypeOf(values.cType.value_or(QString()), values.maxLen.value_or(0),
                            values.decimals.value_or(0), error);
        if (type.isEmpty()) return false;
    } else if (!tables.isEmpty()) {
        setError(error,
                 QStringLiteral("The item %1 is not an extended item and is linked to no table.")
                     .arg(values.id));
        return false;
    }
    if (!insertItem(context, values, error) || !writeNames(context, values, error)) return false;
    if (tables.isEmpty()) return true;
    ExtendColumns columns(context);
    return columns.load(error) &&
           linkTables(context, columns, values.id, code, tables, column, type, error);
}

bool ItemDocument::modify(WriteContext& context, const Document& document, QString* error) {
    ParsedItem parsed;
    ItemValues values;
    if (!parseItem(document, &parsed, error) || !readValues(context, parsed, &values, error))
        return false;
    StoredItem stored;
    if (!loadItem(context, values.id, &stored, error)) return false;
    if (values.cClass && values.cClass->compare(stored.cClass, Qt::CaseInsensitive) != 0) {
        setError(error, QStringLiteral("The class of the item %1 cannot change.").arg(values.id));
        return false;
    }
    if (values.dicDbName && values.dicDbName->compare(stored.dicDbName, Qt::CaseInsensitive) != 0) {
        setError(error, QStringLiteral("The column name of the item %1 cannot change (%2).")
                            .arg(values.id, stored.dicDbName));
        return false;
    }
    if (values.cType && storedType(*values.cType) != storedType(stored.cType)) {
        setError(error, QStringLiteral("The type of the existing item %1 cannot change (%2).")
                            .arg(values.id, stored.cType));
        return false;
    }
    if (!checkParent(context, values, stored.cClass, error)) return false;
    const bool extended = isExtendColumn(stored.dicDbName);
    QStringList added, removed, kept;
    if (!checkLinks(values.id, parsed.added, &added, error) ||
        !checkLinks(values.id, parsed.kept, &kept, error) ||
        !checkLinks(values.id, parsed.removed, &removed, error))
        return false;
    if (!extended && !added.isEmpty()) {
        setError(error,
                 QStringLiteral("The item %1 is not an extended item and is linked to no table.")
                     .arg(values.id));
        return false;
    }
    if (!updateItem(context, values, error) || !writeNames(context, values, error)) return false;

    if (extended && (!added.isEmpty() || !removed.isEmpty() || values.maxLen || values.decimals)) {
        const QString column = stored.dicDbName;
        const QString code = classCode(stored.cClass);
        QString oldType = columnTypeOf(stored.cType, stored.maxLen, stored.decimals, nullptr);
        const int maxLen = values.maxLen.value_or(stored.maxLen);
        const QString newType =
            columnTypeOf(stored.cType, maxLen, values.decimals.value_or(stored.decimals), error);
        if (newType.isEmpty()) return false;
        ExtendColumns columns(context);
        if (!columns.load(error)) return false;
        bool ok = false;
        QStringList current = linkedTables(context, values.id, &ok, error);
        if (!ok || !columns.readCompanions(current + removed + added, error)) return false;
        for (const QString& name : removed) {
            if (!containsName(current, name)) continue;  // unlinked already
            ExtendTable fallback{name, name, {}, {}};
            const ExtendTable* table = columns.linked(name);
            if (!context.exec(
                    QStringLiteral("DELETE FROM \"UserDefDetail\" WHERE \"cid\" = ? AND \"TableName\" = ?"),
                    {values.id, name}, error) ||
                !columns.dropColumn(table ? *table : fallback, column, error) ||
                !dropRules(context, column, table ? table->hostTable : name, error))
                return false;
            current.removeIf(
                [&](const QString& t) { return t.compare(name, Qt::CaseInsensitive) == 0; });
        }
        if (newType != oldType) {
            // Existing values must fit the new length; each linked companion takes the new type.
            const bool shorter =
                storedType(stored.cType) == QStringLiteral("文本") && maxLen < stored.maxLen;
            for (const QString& name : current) {
                ExtendTable fallback{name, name, {}, {}};
                const ExtendTable* table = columns.linked(name);
                if (!table) table = &fallback;
                if (shorter) {
                    int rows = 0;
                    if (!columns.countLonger(*table, column, maxLen, &rows, error)) return false;
                    if (rows > 0) {
                        setError(error,
                                 QStringLiteral("The maximum length of the item %1 cannot become "
                                                "%2: %3 rows of %4 hold longer values.")
                                     .arg(values.id)
                                     .arg(maxLen)
                                     .arg(rows)
                                     .arg(table->companion()));
                        return false;
                    }
                }
                if (!columns.retypeColumn(*table, column, newType, error)) return false;
            }
        }
        QStringList fresh;
        for (const QString& name : added)
            if (!containsName(current, name)) fresh << name;
        if (!linkTables(context, columns, values.id, code, fresh, column, newType, error))
            return false;
    }

    // A saved name change of a regular item shows in the document layouts when asked to.
    if (!extended && values.name && !values.name->isEmpty() && *values.name != stored.name)
        return coverLayoutCaptions(context, values.id, stored.cClass, *values.name,
                                   values.cover == QLatin1String("1"),
                                   parsed.coverBody == QLatin1String("1"), error);
    return true;
}

bool ItemDocument::remove(WriteContext& context, const DeleteKey& key, QString* error) {
    if (key.pairs.size() != 1 || !is(key.pairs.first().name, "cid")) {
        setError(error, QStringLiteral("An item is deleted by its number alone (key column cid)."));
        return false;
    }
    const QString id = key.pairs.first().text.trimmed();
    StoredItem stored;
    if (!loadItem(context, id, &stored, error)) return false;
    // Extended items by column name, or by label where their class gives them no column.
    if (!isExtendColumn(stored.dicDbName) &&
        !stored.cItem.startsWith(QStringLiteral("扩展自定义项"))) {
        setError(
            error,
            QStringLiteral("The item %1 is not an extended item and cannot be deleted.").arg(id));
        return false;
    }
    bool ok = false;
    const QStringList links = linkedTables(context, id, &ok, error);
    if (!ok) return false;
    if (!links.isEmpty()) {
        ExtendColumns columns(context);
        if (!columns.load(error) || !columns.readCompanions(links, error)) return false;
        for (const QString& name : links) {
            ExtendTable fallback{name, name, {}, {}};
            const ExtendTable* table = columns.linked(name);
            if (!columns.dropColumn(table ? *table : fallback, stored.dicDbName, error))
                return false;
        }
    }
    return dropRules(context, stored.dicDbName, {}, error) &&
           context.exec(QStringLiteral("DELETE FROM \"UserDefDetail\" WHERE \"cid\" = ?"), {id}, error) &&
           context.exec(QStringLiteral("DELETE FROM \"userdef_lang\" WHERE \"cid\" = ?"), {id}, error) &&
           context.exec(QStringLiteral("DELETE FROM \"Userdefine\" WHERE \"cId\" = ?"), {id}, error) &&
           context.exec(
               QStringLiteral("UPDATE \"UserDef_Base\" SET \"cParentID\" = NULL WHERE \"cParentID\" = ?"), {id},
               error) &&
           context.exec(QStringLiteral("DELETE FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {id}, error);
}

namespace {

// An item's record, names, links and column types, its carry-over rules, and on a delete its
// values, the parent link of its children and the layout fields bound to it, which the delete
// clears.
bool itemScope(WriteContext& context, const QString& id, const QString& column, bool deleting,
               ChangeScope* scope, QString* error) {
    scope->itemId = scope->key = id;
    scope->itemRows = true;
    scope->allValues = deleting;
    const host::RecordSetPtr stored = context.query(
        QStringLiteral("SELECT \"cDicDbName\" FROM \"UserDef_Base\" WHERE \"cId\" = ?"), {id}, error);
    if (!stored) return false;
    const QString name = stored->isEmpty() ? column : stored->textAt(0, 0).trimmed();
    if (!name.isEmpty()) scope->ruleColumns << name;
    if (!deleting) return true;
    const host::RecordSetPtr children = context.query(
        QStringLiteral("SELECT \"cId\" FROM \"UserDef_Base\" WHERE \"cParentID\" = ? ORDER BY \"cId\""), {id},
        error);
    if (!children) return false;
    for (int r = 0; r < children->recordCount(); ++r) scope->children << children->textAt(r, 0);
    return layoutFieldsOf(context, id, &scope->layoutFields, error);
}

}  // namespace

bool ItemDocument::documentScope(WriteContext& context, const Document& document, bool,
                                 ChangeScope* scope, QString* error) {
    QString id, column;
    for (QDomElement e = document.root().firstChildElement(); !e.isNull();
         e = e.nextSiblingElement()) {
        if (is(e.tagName(), "cId")) id = e.text().trimmed();
        if (is(e.tagName(), "cDicDbName")) column = e.text().trimmed();
    }
    return itemScope(context, id, column, false, scope, error);
}

bool ItemDocument::deleteScope(WriteContext& context, const DeleteKey& key, ChangeScope* scope,
                               QString* error) {
    return itemScope(context, key.pairs.first().text.trimmed(), {}, true, scope, error);
}

}  // namespace platform::server
