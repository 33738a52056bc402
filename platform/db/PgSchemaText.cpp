#include "platform/db/PgSchemaText.h"

#include <QRegularExpression>
#include <QSet>

#include "host/Quote.h"
#include "platform/db/Schema.h"

namespace platform::db {

void SchemaNames::add(const QString& table, const QStringList& columns) {
    m_tables.insert(table.toLower(), table);
    QHash<QString, QString>& c = m_columns[table.toLower()];
    for (const QString& column : columns) c.insert(column.toLower(), column);
}

QString SchemaNames::table(const QString& name) const { return m_tables.value(name.toLower()); }

QString SchemaNames::column(const QString& table, const QString& name) const {
    return m_columns.value(table.toLower()).value(name.toLower());
}

QString SchemaNames::anyColumn(const QString& name) const {
    for (const auto& columns : m_columns)
        if (const QString c = columns.value(name.toLower()); !c.isEmpty()) return c;
    return {};
}

namespace {

struct Token {
    enum Kind { Space, Word, Name, String, Other };
    Kind kind;
    QString text;  // a Name without its quotes
};

// Words, quoted names ("…", […], `…`), string literals and single other characters.
QList<Token> tokens(const QString& sql) {
    QList<Token> out;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto isWord = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    while (i < n) {
        const QChar c = sql.at(i);
        qsizetype j = i + 1;
        if (c.isSpace()) {
            while (j < n && sql.at(j).isSpace()) ++j;
            out.append({Token::Space, sql.mid(i, j - i)});
        } else if (isWord(c)) {
            while (j < n && isWord(sql.at(j))) ++j;
            out.append({Token::Word, sql.mid(i, j - i)});
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') ||
                   c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            QString text;
            while (j < n) {
                if (sql.at(j) == close) {
                    if (close != QLatin1Char(']') && j + 1 < n && sql.at(j + 1) == close) {
                        text += close;
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                text += sql.at(j++);
            }
            if (c == QLatin1Char('\''))
                out.append({Token::String, sql.mid(i, j - i)});
            else
                out.append({Token::Name, text});
        } else if (c == QLatin1Char('-') && j < n && sql.at(j) == QLatin1Char('-')) {
            while (j < n && sql.at(j) != QLatin1Char('\n')) ++j;
            out.append({Token::Space, QStringLiteral(" ")});
        } else {
            out.append({Token::Other, QString(c)});
        }
        i = j;
    }
    return out;
}

bool isWord(const Token& t, const char* word) {
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// The next token after i that is not space; -1 at the end.
qsizetype nextToken(const QList<Token>& ts, qsizetype i) {
    for (++i; i < ts.size(); ++i)
        if (ts[i].kind != Token::Space) return i;
    return -1;
}

const QSet<QString>& keywords() {
    static const QSet<QString> set = [] {
        QSet<QString> s;
        for (const char* w : {"select",
                              "from",
                              "where",
                              "and",
                              "or",
                              "not",
                              "is",
                              "null",
                              "as",
                              "on",
                              "left",
                              "right",
                              "inner",
                              "outer",
                              "cross",
                              "join",
                              "case",
                              "when",
                              "then",
                              "else",
                              "end",
                              "in",
                              "between",
                              "exists",
                              "distinct",
                              "all",
                              "union",
                              "group",
                              "by",
                              "order",
                              "having",
                              "limit",
                              "offset",
                              "asc",
                              "desc",
                              "like",
                              "escape",
                              "using",
                              "true",
                              "false",
                              "current_timestamp",
                              "current_date",
                              "collate",
                              "cast",
                              "integer",
                              "text",
                              "varchar",
                              "create",
                              "view",
                              "if"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return set;
}

// A GLOB pattern as an anchored regular expression.
QString globRegex(const QString& glob) {
    QString re = QStringLiteral("^");
    for (qsizetype i = 0; i < glob.size(); ++i) {
        const QChar c = glob.at(i);
        if (c == QLatin1Char('*')) {
            re += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            re += QLatin1Char('.');
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = glob.indexOf(QLatin1Char(']'), i + 2);
            if (close < 0) return {};
            re += glob.mid(i, close - i + 1);
            i = close;
        } else if (QStringLiteral("\\.^$|()+{}").contains(c)) {
            re += QLatin1Char('\\') + c;
        } else {
            re += c;
        }
    }
    return re + QLatin1Char('$');
}

}  // namespace

QString pgExpression(const QString& sqlite, const SchemaNames& names, const QString& table,
                     QString* error) {
    const QList<Token> ts = tokens(sqlite);
    // Aliases first: FROM/JOIN <table> [AS] <alias>.
    QHash<QString, QString> aliases;  // lower-case alias → table spelling
    for (qsizetype i = 0; i < ts.size(); ++i) {
        if (!(isWord(ts[i], "from") || isWord(ts[i], "join"))) continue;
        const qsizetype t = nextToken(ts, i);
        if (t < 0 || names.table(ts[t].text).isEmpty()) continue;
        const QString spelt = names.table(ts[t].text);
        aliases.insert(ts[t].text.toLower(), spelt);
        qsizetype a = nextToken(ts, t);
        if (a >= 0 && isWord(ts[a], "as")) a = nextToken(ts, a);
        if (a >= 0 && (ts[a].kind == Token::Name ||
                       (ts[a].kind == Token::Word && !keywords().contains(ts[a].text.toLower()))))
            aliases.insert(ts[a].text.toLower(), spelt);
    }
    QString out;
    bool globPattern = false;
    for (qsizetype i = 0; i < ts.size(); ++i) {
        const Token& t = ts[i];
        const qsizetype next = nextToken(ts, i);
        if (t.kind == Token::String) {
            if (globPattern) {
                const QString re =
                    globRegex(t.text.mid(1, t.text.size() - 2)
                                  .replace(QStringLiteral("''"), QStringLiteral("'")));
                if (re.isEmpty()) {
                    if (error)
                        *error = QStringLiteral("the pattern %1 has no translation").arg(t.text);
                    return {};
                }
                out += QLatin1Char('\'') + host::sqlValue(re) + QLatin1Char('\'');
                globPattern = false;
            } else {
                out += t.text;
            }
            continue;
        }
        if (t.kind == Token::Space || t.kind == Token::Other) {
            out += t.kind == Token::Space ? QStringLiteral(" ") : t.text;
            continue;
        }
        const QString lower = t.text.toLower();
        if (t.kind == Token::Word &&
            (lower == QLatin1String("glob") ||
             (lower == QLatin1String("not") && next >= 0 && isWord(ts[next], "glob")))) {
            out += lower == QLatin1String("not") ? QStringLiteral("COLLATE \"C\" !~")
                                                 : QStringLiteral("COLLATE \"C\" ~");
            if (lower == QLatin1String("not")) i = next;
            globPattern = true;
            continue;
        }
        if (t.kind == Token::Word && (t.text.at(0).isDigit() || keywords().contains(lower))) {
            out += t.text;
            continue;
        }
        if (next >= 0 && ts[next].text == QLatin1String("(") && t.kind == Token::Word) {
            if (lower == QLatin1String("ifnull"))
                out += QStringLiteral("COALESCE");
            else if (lower == QLatin1String("udf_getlocaleid"))
                out += QStringLiteral("zxsystem.\"UDF_GetLocaleID\"");
            else if (lower == QLatin1String("glob") || lower == QLatin1String("randomblob") ||
                     lower == QLatin1String("hex") || lower == QLatin1String("instr") ||
                     lower == QLatin1String("printf") || lower == QLatin1String("julianday") ||
                     lower == QLatin1String("strftime")) {
                if (error)
                    *error = QStringLiteral("the function %1 has no translation").arg(t.text);
                return {};
            } else {
                out += t.text;
            }
            continue;
        }
        // A name: a column after "x.", a qualifier before ".", a table, or a bare column.
        const bool qualified = i > 0 && ts[i - 1].text == QLatin1String(".");
        const bool qualifier = i + 1 < ts.size() && ts[i + 1].text == QLatin1String(".");
        QString spelt;
        if (qualified) {
            qsizetype q = i - 2;
            const QString owner =
                q >= 0 ? aliases.value(ts[q].text.toLower(), names.table(ts[q].text)) : QString();
            spelt = names.column(owner, t.text);
        } else if (!qualifier) {
            spelt = !table.isEmpty() ? names.column(table, t.text) : QString();
            if (spelt.isEmpty()) spelt = names.table(t.text);
            if (spelt.isEmpty() && !aliases.contains(lower)) spelt = names.anyColumn(t.text);
        } else if (!aliases.contains(lower)) {
            spelt = names.table(t.text);
        }
        out += host::sqlIdentQuoted(spelt.isEmpty() ? t.text : spelt);
    }
    return out.trimmed();
}

QStringList checkClauses(const QString& createTable) {
    const QList<Token> ts = tokens(createTable);
    QStringList clauses;
    for (qsizetype i = 0; i < ts.size(); ++i) {
        if (!isWord(ts[i], "check")) continue;
        qsizetype open = nextToken(ts, i);
        if (open < 0 || ts[open].text != QLatin1String("(")) continue;
        int depth = 0;
        QString text;
        qsizetype j = open;
        for (; j < ts.size(); ++j) {
            if (ts[j].text == QLatin1String("(") && ts[j].kind == Token::Other) ++depth;
            if (ts[j].text == QLatin1String(")") && ts[j].kind == Token::Other && --depth == 0)
                break;
            if (j > open)
                text += ts[j].kind == Token::Name ? host::sqlIdentQuoted(ts[j].text) : ts[j].text;
        }
        clauses << text.trimmed();
        i = j;
    }
    return clauses;
}

QString indexCondition(const QString& createIndex) {
    const QList<Token> ts = tokens(createIndex);
    QString text;
    bool after = false;
    for (const Token& t : ts) {
        if (after)
            text += t.kind == Token::Name ? host::sqlIdentQuoted(t.text) : t.text;
        else if (isWord(t, "where"))
            after = true;
    }
    return text.trimmed();
}

namespace {

bool isLiteral(const QString& text) {
    static const QRegularExpression literal(
        QStringLiteral("^(?:[-+]?[0-9]+(?:\\.[0-9]*)?|'(?:[^']|'')*'|NULL)$"),
        QRegularExpression::CaseInsensitiveOption);
    return literal.match(text).hasMatch();
}

QString unbracketed(QString text) {
    text = text.trimmed();
    while (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')')) &&
           isLiteral(text.mid(1, text.size() - 2).trimmed()))
        text = text.mid(1, text.size() - 2).trimmed();
    return text;
}

QString squeezed(const QString& text) {
    QString s = text;
    s.remove(QRegularExpression(QStringLiteral("\\s+")));
    return s;
}

}  // namespace

QString pgDefault(const QString& sqliteDefault, const QString& pgType, QString* error) {
    const QString text = unbracketed(sqliteDefault);
    if (isLiteral(text)) {
        if (pgType == QLatin1String("boolean") && !text.startsWith(QLatin1Char('\'')) &&
            text.compare(QLatin1String("NULL"), Qt::CaseInsensitive) != 0)
            return QLatin1Char('\'') + text + QLatin1Char('\'');
        return text;
    }
    const QString guid = squeezed(QString::fromLatin1(kNewGuidDefault));
    if (squeezed(text) == guid || QLatin1Char('(') + squeezed(text) + QLatin1Char(')') == guid)
        return QStringLiteral("(gen_random_uuid()::text)");
    if (text.compare(QLatin1String("CURRENT_TIMESTAMP"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("LOCALTIMESTAMP(0)");
    if (error) *error = QStringLiteral("the default %1 has no translation").arg(sqliteDefault);
    return {};
}

QString sqliteDefault(const QString& pgDefault, QString* error) {
    QString text = pgDefault.trimmed();
    // The server writes a typed literal as 'text'::type.
    static const QRegularExpression typed(QStringLiteral("^('(?:[^']|'')*')::[a-z ]+(\\(.*\\))?$"));
    if (const QRegularExpressionMatch m = typed.match(text); m.hasMatch()) text = m.captured(1);
    if (text == QLatin1String("true") || text == QLatin1String("'1'")) return QStringLiteral("1");
    if (text == QLatin1String("false") || text == QLatin1String("'0'")) return QStringLiteral("0");
    if (isLiteral(text)) return text;
    if (text.contains(QLatin1String("gen_random_uuid()")))
        return QString::fromLatin1(kNewGuidDefault);
    if (text.startsWith(QLatin1String("LOCALTIMESTAMP")))
        return QStringLiteral("CURRENT_TIMESTAMP");
    if (error) *error = QStringLiteral("the default %1 has no translation").arg(pgDefault);
    return {};
}

}  // namespace platform::db
