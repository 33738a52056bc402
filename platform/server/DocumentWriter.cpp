#include "platform/server/DocumentWriter.h"

#include <QXmlStreamReader>

#include "host/Quote.h"
#include "platform/db/Database.h"
#include "platform/server/History.h"
#include "platform/server/ServerLog.h"

namespace platform::server {

bool isTextType(const QString& base) {
    return base == QLatin1String("nvarchar") || base == QLatin1String("varchar") ||
           base == QLatin1String("nchar") || base == QLatin1String("char") ||
           base == QLatin1String("character");
}

namespace {

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

// The reason of a failed write as the user reads it: a database held by another writer says so
// plainly instead of SQLite's "database is locked".
QString failureText(db::Connection& db, const QString& why) {
    if (db.lastFailure() != db::Failure::Busy) return why;
    return QStringLiteral("The account database is busy: another user or program is writing to "
                          "it. Nothing was saved; try again in a moment. (%1)")
        .arg(why);
}

// Reads a '…' literal at pos (an N prefix allowed); doubled quotes stand for one.
bool readLiteral(const QString& text, qsizetype& pos, QString* value) {
    if (pos < text.size() && (text.at(pos) == QLatin1Char('N') || text.at(pos) == QLatin1Char('n')) &&
        pos + 1 < text.size() && text.at(pos + 1) == QLatin1Char('\''))
        ++pos;
    if (pos >= text.size() || text.at(pos) != QLatin1Char('\'')) return false;
    ++pos;
    value->clear();
    while (pos < text.size()) {
        const QChar c = text.at(pos++);
        if (c != QLatin1Char('\'')) {
            value->append(c);
            continue;
        }
        if (pos < text.size() && text.at(pos) == QLatin1Char('\'')) {
            value->append(c);
            ++pos;
            continue;
        }
        return true;
    }
    return false;  // unterminated
}

void skipBlanks(const QString& text, qsizetype& pos) {
    while (pos < text.size() && text.at(pos).isSpace()) ++pos;
}

bool readName(const QString& text, qsizetype& pos, QString* name) {
    name->clear();
    if (pos < text.size() && text.at(pos) == QLatin1Char('[')) {
        const qsizetype end = text.indexOf(QLatin1Char(']'), pos);
        if (end < 0) return false;
        *name = text.mid(pos + 1, end - pos - 1);
        pos = end + 1;
        return !name->isEmpty();
    }
    while (pos < text.size() &&
           (text.at(pos).isLetterOrNumber() || text.at(pos) == QLatin1Char('_'))) {
        if (name->isEmpty() && text.at(pos).isDigit()) return false;
        name->append(text.at(pos++));
    }
    return !name->isEmpty();
}

}  // namespace

bool parseDeleteKey(const QString& keyValue, const QString& keyColumn, DeleteKey* key,
                    QString* error) {
    const QString refused = QStringLiteral("The delete key \"%1\" is not a key of column %2: %3");
    key->pairs.clear();
    QString column = keyColumn.trimmed();
    qsizetype at = 0;
    QString checked;
    if (!readName(column, at, &checked) || at != column.size()) {
        setError(error, QStringLiteral("\"%1\" is not a column name.").arg(keyColumn));
        return false;
    }
    const QString text = QLatin1Char('\'') + keyValue + QLatin1Char('\'');
    qsizetype pos = 0;
    QString value;
    readLiteral(text, pos, &value);  // the first literal always reads
    key->pairs.append({checked, value});
    for (;;) {
        skipBlanks(text, pos);
        if (pos >= text.size()) return true;
        QString word;
        if (!readName(text, pos, &word) || word.compare(QLatin1String("and"), Qt::CaseInsensitive)) {
            setError(error, refused.arg(keyValue, keyColumn,
                                        QStringLiteral("only \"and column='value'\" may follow.")));
            return false;
        }
        skipBlanks(text, pos);
        if (!readName(text, pos, &column)) {
            setError(error, refused.arg(keyValue, keyColumn, QStringLiteral("a column name is missing.")));
            return false;
        }
        skipBlanks(text, pos);
        if (pos >= text.size() || text.at(pos) != QLatin1Char('=')) {
            setError(error, refused.arg(keyValue, keyColumn, QStringLiteral("\"=\" is missing.")));
            return false;
        }
        ++pos;
        skipBlanks(text, pos);
        if (!readLiteral(text, pos, &value)) {
            setError(error, refused.arg(keyValue, keyColumn,
                                        QStringLiteral("the value of %1 is not a quoted text.").arg(column)));
            return false;
        }
        key->pairs.append({column, value});
    }
}

std::optional<int> readFlag(const QString& text, bool minusOneIsTrue) {
    const QString flag = text.trimmed().toLower();
    if (flag == QLatin1String("1") || flag == QLatin1String("true") ||
        (minusOneIsTrue && flag == QLatin1String("-1")))
        return 1;
    if (flag == QLatin1String("0") || flag == QLatin1String("false") || flag.isEmpty()) return 0;
    return std::nullopt;
}

bool readFlatDocument(const Document& document, const QString& root, QList<DocumentField>* fields,
                      QString* error) {
    fields->clear();
    const QDomElement element = document.root();
    if (element.isNull() || element.tagName().compare(root, Qt::CaseInsensitive) != 0) {
        setError(error, QStringLiteral("The document is not a <%1> document.").arg(root));
        return false;
    }
    // The DOM drops blank-only texts; the stream reader keeps every character.
    QXmlStreamReader reader(document.xml);
    int depth = 0;
    DocumentField field;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                if (depth == 2) {
                    field = {reader.name().toString(), {}};
                } else if (depth > 2) {
                    setError(error, QStringLiteral("The field <%1> of <%2> holds elements.")
                                        .arg(field.name, root));
                    return false;
                }
                break;
            case QXmlStreamReader::EndElement:
                if (depth == 2) fields->append(field);
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (depth == 2) field.text += reader.text();
                break;
            default:
                break;
        }
    }
    if (reader.hasError()) {
        setError(error, QStringLiteral("The document does not parse: %1").arg(reader.errorString()));
        return false;
    }
    return true;
}

bool WriteContext::countStatement(QString* error) {
    ++m_count;
    if (m_pauseAt > 0 && m_count == m_pauseAt && m_pause) m_pause(m_count);
    if (m_failAt > 0 && m_count == m_failAt) {
        setError(error, QStringLiteral("The server failed at statement %1 (test failure point).")
                            .arg(m_count));
        return false;
    }
    return true;
}

bool WriteContext::exec(const QString& sql, const QVariantList& params, QString* error) {
    if (!countStatement(error)) return false;
    return m_db.execParams(sql, params, error);
}

host::RecordSetPtr WriteContext::query(const QString& sql, const QVariantList& params,
                                       QString* error) {
    if (!countStatement(error)) return nullptr;
    return m_db.query(sql, params, error);
}

bool WriteContext::tableNames(QStringList* names, QString* error) {
    return countStatement(error) && m_db.tableNames(names, error);
}

bool WriteContext::tableColumns(const QString& table, QList<db::TableColumn>* columns,
                                QString* error) {
    return countStatement(error) && m_db.tableColumns(table, columns, error);
}

bool WriteContext::tablesColumns(const QStringList& tables,
                                 QHash<QString, QList<db::TableColumn>>* columns, QString* error) {
    return countStatement(error) && m_db.tablesColumns(tables, columns, error);
}

QHash<QString, ColumnInfo> WriteContext::columns(const QString& table, QString* error) {
    QHash<QString, ColumnInfo> out;
    QList<db::TableColumn> columns;
    if (!m_db.tableColumns(table, &columns, error)) return out;
    for (const db::TableColumn& column : columns) {
        const db::DeclaredType type = db::DeclaredType::parse(column.type);
        out.insert(column.name.toLower(),
                   {column.name, isTextType(type.base) && type.length > 0 ? type.length : -1});
    }
    if (out.isEmpty()) setError(error, QStringLiteral("The table %1 does not exist.").arg(table));
    return out;
}

DocumentWriter::DocumentWriter(db::Connection& db) : m_db(db) {}
DocumentWriter::~DocumentWriter() = default;

void DocumentWriter::registerTable(const QString& table, std::shared_ptr<TableDocument> handler) {
    if (!m_tables.contains(table.toLower())) m_names << table;
    m_tables.insert(table.toLower(), std::move(handler));
}

QStringList DocumentWriter::tables() const { return m_names; }

std::shared_ptr<TableDocument> DocumentWriter::handler(const QString& table,
                                                      QString* error) const {
    auto found = m_tables.value(table.trimmed().toLower());
    if (!found)
        setError(error, QStringLiteral("The server takes no documents for the table \"%1\".").arg(table));
    return found;
}

bool DocumentWriter::write(Kind kind, const QString& table, QString* error,
                           const std::function<bool(WriteContext&, ChangeRecorder&, QString*)>& apply) {
    static const char* const kNames[] = {"Add", "Modify", "Delete", "Undo"};
    const QString what = QString::fromLatin1(kNames[int(kind)]);
    m_lastCount = 0;
    QString why;
    db::Transaction transaction(m_db, &why);
    // Every check the handler makes (a number or column name still free) comes after this.
    if (!transaction.ok() || !m_db.awaitWriteTurn(&why)) {
        setError(error, failureText(m_db, why));
        return false;
    }
    WriteContext context(m_db, m_failAt, m_pauseAt, m_pause);
    context.m_user = m_user;
    context.m_origin = m_origin ? m_origin() : QString();
    ChangeRecorder recorder;
    context.m_recorder = &recorder;
    bool ok = apply(context, recorder, &why) && recorder.finish(context, what, table, &why);
    // The commit counts as a statement, so a test can fail the write at its very end too.
    if (ok) ok = context.countStatement(&why) && transaction.commit(&why);
    m_lastCount = context.m_count;
    if (!ok) {
        why = failureText(m_db, why);
        qCWarning(lcServer).noquote() << what << table << "refused:" << why;
        setError(error, why);
    }
    return ok;
}

bool TableDocument::documentScope(WriteContext&, const Document&, bool, ChangeScope*, QString*) {
    return true;
}

bool TableDocument::deleteScope(WriteContext&, const DeleteKey&, ChangeScope*, QString*) {
    return true;
}

namespace {

bool parseDocument(const QString& xml, Document* document, QString* error) {
    document->xml = xml;
    // The parser lets some of them through (half a surrogate pair); no document may carry them.
    if (const qsizetype at = host::xmlUnfitAt(xml); at >= 0) {
        setError(error, QStringLiteral("The document holds a character no XML document can carry "
                                       "(U+%1 at position %2); nothing was written.")
                            .arg(uint(xml.at(at).unicode()), 4, 16, QLatin1Char('0'))
                            .arg(at));
        return false;
    }
    QString message;
    int line = 0;
    int column = 0;
    if (!document->dom.setContent(xml, &message, &line, &column)) {
        // Records concatenated without a root element (the rule records) are read under one.
        const QString wrapped = QStringLiteral("<Documents>") + xml + QStringLiteral("</Documents>");
        if (document->dom.setContent(wrapped)) {
            document->xml = wrapped;
            return true;
        }
        setError(error, QStringLiteral("The document does not parse (line %1, column %2): %3")
                            .arg(line)
                            .arg(column)
                            .arg(message));
        return false;
    }
    return true;
}

}  // namespace

bool DocumentWriter::add(const QString& xml, const QString& table, QString* error) {
    Document document;
    const auto h = handler(table, error);
    if (!h || !parseDocument(xml, &document, error)) return false;
    return write(Kind::Add, table, error, [&](WriteContext& c, ChangeRecorder& r, QString* e) {
        ChangeScope scope;
        return h->documentScope(c, document, false, &scope, e) &&
               r.begin(c, scope, QStringLiteral("Add"), table, 0, e) && h->add(c, document, e);
    });
}

bool DocumentWriter::modify(const QString& xml, const QString& table, QString* error) {
    Document document;
    const auto h = handler(table, error);
    if (!h || !parseDocument(xml, &document, error)) return false;
    return write(Kind::Modify, table, error, [&](WriteContext& c, ChangeRecorder& r, QString* e) {
        ChangeScope scope;
        return h->documentScope(c, document, true, &scope, e) &&
               r.begin(c, scope, QStringLiteral("Modify"), table, 0, e) &&
               h->modify(c, document, e);
    });
}

bool DocumentWriter::remove(const QString& keyValue, const QString& keyColumn,
                            const QString& table, QString* error) {
    DeleteKey key;
    const auto h = handler(table, error);
    if (!h || !parseDeleteKey(keyValue, keyColumn, &key, error)) return false;
    return write(Kind::Delete, table, error, [&](WriteContext& c, ChangeRecorder& r, QString* e) {
        ChangeScope scope;
        return h->deleteScope(c, key, &scope, e) &&
               r.begin(c, scope, QStringLiteral("Delete"), table, 0, e) && h->remove(c, key, e);
    });
}

bool DocumentWriter::undo(int change, QString* error) {
    // Recorded under the table of the change it reverts.
    QString table = QStringLiteral("zx_History");
    const host::RecordSetPtr rs =
        m_db.query(QStringLiteral("SELECT \"cTable\" FROM \"zx_History\" WHERE \"iChange\" = ?"), {change});
    if (rs && !rs->isEmpty()) table = rs->textAt(0, 0);
    return write(Kind::Undo, table, error, [&](WriteContext& c, ChangeRecorder& r, QString* e) {
        return undoChange(c, r, change, e);
    });
}

}  // namespace platform::server
