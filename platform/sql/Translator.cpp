#include "platform/sql/Translator.h"

#include <QSet>
#include <functional>
#include <optional>

#include "platform/sql/SqlTypes.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql {

namespace {

// ---------------------------------------------------------------------------------------------
// Token tree: parentheses become groups.

struct Node {
    const Token* tok = nullptr;  // null for a group
    const Token* open = nullptr;
    std::vector<Node> kids;
    bool group() const { return tok == nullptr; }
    bool word(const char* u) const { return tok && tok->isWord(u); }
    bool symbol(const char* s) const { return tok && tok->isSymbol(s); }
    bool kind(TokenKind k) const { return tok && tok->kind == k; }
};

struct Span {
    const Node* b = nullptr;
    const Node* e = nullptr;
    size_t size() const { return size_t(e - b); }
    bool empty() const { return b == e; }
    const Node& operator[](size_t i) const { return b[i]; }
    Span sub(size_t from, size_t to) const { return {b + from, b + std::min(to, size())}; }
    Span from(size_t i) const { return sub(i, size()); }
};

Span spanOf(const std::vector<Node>& v) { return {v.data(), v.data() + v.size()}; }

bool buildTree(const std::vector<Token>& tokens, std::vector<Node>* root, QString* error) {
    std::vector<std::vector<Node>*> stack{root};
    std::vector<Node*> groups;
    for (const Token& t : tokens) {
        if (t.isSymbol("(")) {
            Node g;
            g.open = &t;
            stack.back()->push_back(std::move(g));
            Node* added = &stack.back()->back();
            groups.push_back(added);
            stack.push_back(&added->kids);
        } else if (t.isSymbol(")")) {
            if (stack.size() == 1) {
                *error = QStringLiteral("unbalanced ) at position %1").arg(t.pos);
                return false;
            }
            stack.pop_back();
            groups.pop_back();
        } else {
            Node n;
            n.tok = &t;
            stack.back()->push_back(std::move(n));
        }
    }
    if (stack.size() != 1) {
        *error = QStringLiteral("missing )");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Word lists.

const QSet<QString>& keywords() {
    static const QSet<QString> set = [] {
        QSet<QString> s;
        for (const char* w :
             {"SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "IN", "IS", "NULL", "LIKE",
              "BETWEEN", "EXISTS", "AS", "ON", "JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER",
              "CROSS", "UNION", "ALL", "DISTINCT", "TOP", "ORDER", "BY", "GROUP", "HAVING", "ASC",
              "DESC", "CASE", "WHEN", "THEN", "ELSE", "END", "INSERT", "INTO", "VALUES",
              "UPDATE", "SET", "DELETE", "CREATE", "TABLE", "DROP", "ALTER", "ADD", "COLUMN",
              "ESCAPE", "COLLATE", "INDEX", "VIEW", "PRIMARY", "KEY", "DEFAULT", "CONSTRAINT",
              "UNIQUE", "REFERENCES", "FOREIGN", "CHECK", "EXCEPT", "INTERSECT", "PERCENT",
              "TIES", "WITH", "CURRENT_TIMESTAMP", "CLUSTERED", "NONCLUSTERED", "TRUNCATE",
              "SOME", "ANY", "NOCHECK", "CASCADE", "NO", "ACTION", "IF"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return set;
}

const QSet<QString>& unsupportedWords() {
    static const QSet<QString> set = [] {
        QSet<QString> s;
        for (const char* w :
             {"PIVOT", "UNPIVOT", "APPLY", "OVER", "MERGE", "FOR", "OPTION", "OUTPUT",
              "COMPUTE", "CONTAINS", "FREETEXT", "CONTAINSTABLE", "FREETEXTTABLE", "OPENROWSET",
              "OPENQUERY", "OPENXML", "OPENDATASOURCE", "TABLESAMPLE", "IDENTITY", "ROWGUIDCOL",
              "WITHIN", "READTEXT", "CURSOR", "HOLDLOCK"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    return set;
}

bool isKeyword(const Node& n) { return n.kind(TokenKind::Word) && keywords().contains(n.tok->upper); }

// Table hints that change locking only.
bool isHintGroup(const Node& n) {
    if (!n.group() || n.kids.empty()) return false;
    static const QSet<QString> hints = {
        QStringLiteral("NOLOCK"),   QStringLiteral("READUNCOMMITTED"), QStringLiteral("ROWLOCK"),
        QStringLiteral("UPDLOCK"),  QStringLiteral("READPAST"),        QStringLiteral("PAGLOCK"),
        QStringLiteral("TABLOCK"),  QStringLiteral("TABLOCKX"),        QStringLiteral("XLOCK"),
        QStringLiteral("NOWAIT"),   QStringLiteral("READCOMMITTED"),   QStringLiteral("REPEATABLEREAD"),
        QStringLiteral("SERIALIZABLE")};
    for (const Node& k : n.kids) {
        if (k.symbol(",")) continue;
        if (!k.kind(TokenKind::Word) || !hints.contains(k.tok->upper)) return false;
    }
    return true;
}

bool isComparison(const Node& n) {
    if (!n.kind(TokenKind::Symbol)) return false;
    const QString& s = n.tok->upper;
    return s == QLatin1String("=") || s == QLatin1String("<>") || s == QLatin1String("!=") ||
           s == QLatin1String("<") || s == QLatin1String(">") || s == QLatin1String("<=") ||
           s == QLatin1String(">=") || s == QLatin1String("!<") || s == QLatin1String("!>");
}

bool isMultiplicative(const Node& n) {
    return n.symbol("*") || n.symbol("/") || n.symbol("%");
}

// A column type for SQLite DDL: "(max)" has no SQLite spelling, so the long kinds stand in.
QString ddlType(const QString& written) {
    const QString lower = written.toLower().remove(QLatin1Char(' '));
    if (!lower.endsWith(QLatin1String("(max)"))) return written;
    const QString base = lower.left(lower.size() - 5);
    if (base == QLatin1String("nvarchar")) return QStringLiteral("ntext");
    if (base == QLatin1String("varchar")) return QStringLiteral("text");
    if (base == QLatin1String("varbinary")) return QStringLiteral("image");
    return written;
}

// ---------------------------------------------------------------------------------------------
// Type classes for "+".

enum class Cls { Unknown, Number, Text, Money };

Cls fromDeclared(const QString& declared) {
    if (declared.isNull()) return Cls::Unknown;
    const TypeInfo info = TypeInfo::of(declared);
    if (info.text) return Cls::Text;
    if (info.money) return Cls::Money;
    if (info.numeric) return Cls::Number;
    return Cls::Unknown;
}

bool isNumberLike(Cls c) { return c == Cls::Number || c == Cls::Money; }

// ---------------------------------------------------------------------------------------------
// Output with the blanks SQL needs and no more.

class Out {
public:
    void add(const QString& piece) {
        if (piece.isEmpty()) return;
        if (!m_text.isEmpty()) {
            const QChar last = m_text.back();
            const QChar first = piece.front();
            const bool glueLeft = last == QLatin1Char('(') || last == QLatin1Char('.');
            const bool glueRight = first == QLatin1Char(')') || first == QLatin1Char(',') ||
                                   first == QLatin1Char('.');
            if (!glueLeft && !glueRight) m_text += QLatin1Char(' ');
        }
        m_text += piece;
    }
    void addGlued(const QString& piece) { m_text += piece; }
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// ---------------------------------------------------------------------------------------------
// A dotted name as written, resolved to schema and parts.

struct Name {
    size_t length = 0;      // nodes used
    QStringList parts;      // as written, empty for ".."
    QString schema;         // SQLite schema, empty when the name does not give one
    QStringList rest;       // object [. column …] after database and owner are taken off
    bool star = false;      // alias.*
};

class Emitter {
public:
    Emitter(const QString& catalog, const QStringList& attached, SchemaInfo* schema,
            const VariableTypes& variables, const std::vector<Node>& root)
        : m_catalog(catalog), m_attached(attached), m_schema(schema), m_variables(variables),
          m_root(root) {}

    QString error;
    QStringList parameters;
    bool schemaDependent = false;

    bool ok() const { return error.isEmpty(); }

    std::optional<QString> statement(Span s, Translation* t);
    QString expr(Span s);
    QString query(Span s);

private:
    // -- errors
    QString fail(const QString& text) {
        if (error.isEmpty()) error = text;
        return {};
    }
    QString unsupported(const QString& what) {
        return fail(QStringLiteral("unsupported T-SQL construct: %1").arg(what));
    }

    // -- names
    Name readName(Span s, size_t i);
    QString emitName(const Name& n);
    QString mapDatabase(const QString& db);
    QString syscolumns(const QString& schema);

    // -- pieces
    QString seq(Span s);
    QString caseBlock(Span s);
    QString function(const QString& name, const Node& args);
    QString cast(const Node& args, bool isConvert);
    QString convertTarget(const QString& valueSql, const TypeInfo& target, Cls valueClass);
    std::vector<Span> splitTop(Span s, const char* symbol);
    size_t matchEnd(Span s, size_t caseAt);
    QString selectCore(Span s, bool inCompound);
    QString selectList(Span s);
    QString orderByWithoutPrefixes(Span s);
    QString variable(const Token& t);

    // -- "+"
    struct Segment {
        bool op = false;  // '+' or '-'
        size_t b = 0, e = 0;
    };
    std::vector<Segment> segments(Span s);
    Cls classify(Span s);
    Cls classifyFunction(const QString& name, const Node& args);
    Cls classifyName(const Name& n);
    void collectTables();

    struct TableRef {
        QString schema, table, alias;
    };

    const QString& m_catalog;
    const QStringList& m_attached;
    SchemaInfo* m_schema;
    const VariableTypes& m_variables;
    const std::vector<Node>& m_root;
    std::optional<std::vector<TableRef>> m_tables;
};

// ---------------------------------------------------------------------------------------------
// Names.

Name Emitter::readName(Span s, size_t i) {
    Name n;
    size_t j = i;
    auto partAt = [&](size_t k) {
        return k < s.size() && (s[k].kind(TokenKind::Word) || s[k].kind(TokenKind::Ident));
    };
    if (!partAt(j)) return n;
    n.parts << s[j].tok->text;
    ++j;
    while (j < s.size() && s[j].symbol(".")) {
        if (partAt(j + 1)) {
            n.parts << s[j + 1].tok->text;
            j += 2;
        } else if (j + 1 < s.size() && s[j + 1].symbol(".")) {
            n.parts << QString();
            j += 1;
        } else if (j + 1 < s.size() && s[j + 1].symbol("*")) {
            n.star = true;
            j += 2;
            break;
        } else {
            break;
        }
    }
    n.length = j - i;
    // [database.][owner.]object[.column]
    QStringList parts = n.parts;
    const auto isOwner = [](const QString& p) {
        return p.isEmpty() || p.compare(QLatin1String("dbo"), Qt::CaseInsensitive) == 0;
    };
    if (parts.size() >= 3 && isOwner(parts[1]) && !parts[0].isEmpty() &&
        !isOwner(parts[0])) {
        n.schema = mapDatabase(parts[0]);
        parts = parts.mid(2);
    } else if (parts.size() >= 2 && isOwner(parts[0])) {
        parts = parts.mid(1);
    } else if (parts.size() >= 3) {
        n.schema = mapDatabase(parts[0]);
        parts = parts.mid(1);
        if (!parts.isEmpty() && isOwner(parts[0])) parts = parts.mid(1);
    }
    if (!parts.isEmpty() && parts.first().startsWith(QLatin1Char('#'))) {
        if (n.schema.isEmpty() || n.schema == QLatin1String("temp"))
            n.schema = QStringLiteral("temp");
        else
            fail(QStringLiteral("a temporary table lives in tempdb: %1").arg(n.parts.join('.')));
    }
    n.rest = parts;
    return n;
}

QString Emitter::mapDatabase(const QString& db) {
    if (db.compare(QLatin1String("tempdb"), Qt::CaseInsensitive) == 0) return QStringLiteral("temp");
    if (db.compare(m_catalog, Qt::CaseInsensitive) == 0) return QStringLiteral("main");
    for (const QString& a : m_attached)
        if (a.compare(db, Qt::CaseInsensitive) == 0) return a;
    fail(QStringLiteral("unknown database: %1").arg(db));
    return QStringLiteral("main");
}

QString Emitter::syscolumns(const QString& schema) {
    const QString s = schema.isEmpty() ? QStringLiteral("main") : schema;
    const QString lit = sqliteLiteral(s);
    return QStringLiteral(
               "(SELECT zx_object_id(%1, m.name) AS id, p.name AS name, "
               "CAST(zx_xtype(p.type) AS INTEGER) AS xtype, "
               "CAST(zx_collength(p.type) AS INTEGER) AS length, p.cid + 1 AS colid, "
               "p.cid + 1 AS colorder, CAST(zx_xtype(p.type) AS INTEGER) AS xusertype, "
               "CAST(zx_precision(p.type) AS INTEGER) AS prec, "
               "CAST(zx_scale(p.type) AS INTEGER) AS scale, "
               "CASE WHEN p.\"notnull\" THEN 0 ELSE 1 END AS isnullable "
               "FROM %2.sqlite_master AS m JOIN pragma_table_info(m.name, %1) AS p "
               "WHERE m.type IN ('table', 'view'))")
        .arg(lit, sqliteIdent(s));
}

QString Emitter::emitName(const Name& n) {
    QStringList out;
    if (!n.schema.isEmpty()) out << sqliteIdent(n.schema);
    for (const QString& p : n.rest) out << sqliteIdent(p);
    QString text = out.join(QLatin1Char('.'));
    if (n.star) text += QStringLiteral(".*");
    return text;
}

QString Emitter::variable(const Token& t) {
    if (t.text.startsWith(QLatin1String("@@"))) return unsupported(t.text.toUpper());
    const QString name = t.text.toLower();
    if (!m_variables.contains(name))
        return fail(QStringLiteral("must declare the scalar variable %1").arg(t.text));
    int index = int(parameters.indexOf(name));
    if (index < 0) {
        parameters << name;
        index = int(parameters.size()) - 1;
    }
    return QStringLiteral("?%1").arg(index + 1);
}

// ---------------------------------------------------------------------------------------------
// Expressions.

std::vector<Span> Emitter::splitTop(Span s, const char* symbol) {
    std::vector<Span> parts;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i].symbol(symbol)) {
            parts.push_back(s.sub(start, i));
            start = i + 1;
        }
    }
    parts.push_back(s.from(start));
    return parts;
}

size_t Emitter::matchEnd(Span s, size_t caseAt) {
    int depth = 0;
    for (size_t i = caseAt; i < s.size(); ++i) {
        if (s[i].word("CASE")) ++depth;
        if (s[i].word("END") && --depth == 0) return i;
    }
    fail(QStringLiteral("CASE without END"));
    return s.size() - 1;
}

// Operands and '+'/'-' operators at this level, for finding "+" chains.
std::vector<Emitter::Segment> Emitter::segments(Span s) {
    std::vector<Segment> out;
    size_t start = 0;
    auto close = [&](size_t end) {
        if (end > start) out.push_back({false, start, end});
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const Node& n = s[i];
        if (n.word("CASE")) {
            i = matchEnd(s, i);
            continue;
        }
        const bool plusMinus = n.symbol("+") || n.symbol("-");
        const bool delimiter = plusMinus || n.symbol(",") || isComparison(n) ||
                               (isKeyword(n) && !n.word("NULL") &&
                                !((n.word("LEFT") || n.word("RIGHT")) && i + 1 < s.size() &&
                                  s[i + 1].group()));
        if (!delimiter) continue;
        close(i);
        if (plusMinus) {
            out.push_back({true, i, i + 1});
        } else {
            out.push_back({true, i, i});  // a barrier: not part of any chain
        }
        start = i + 1;
    }
    close(s.size());
    return out;
}

QString Emitter::expr(Span s) {
    if (!ok()) return {};
    bool hasPlus = false;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i].symbol("+")) hasPlus = true;
    if (!hasPlus) return seq(s);

    // Find chains operand (op operand)+ and emit those with a text "+" specially.
    const std::vector<Segment> segs = segments(s);
    Out out;
    size_t emitted = 0;  // nodes of s already written
    size_t k = 0;
    while (k < segs.size()) {
        // A chain starts at an operand followed by an operator with an operand after it.
        if (segs[k].op || k + 2 >= segs.size() || !segs[k + 1].op ||
            segs[k + 1].b == segs[k + 1].e || segs[k + 2].op) {
            ++k;
            continue;
        }
        size_t last = k;
        while (last + 2 < segs.size() && segs[last + 1].op && segs[last + 1].e > segs[last + 1].b &&
               !segs[last + 2].op)
            last += 2;
        // Decide each '+' left to right.
        Cls acc = classify(s.sub(segs[k].b, segs[k].e));
        bool anyText = false;
        std::vector<bool> join;
        for (size_t m = k + 1; m < last; m += 2) {
            const bool plus = s[segs[m].b].symbol("+");
            const Cls right = classify(s.sub(segs[m + 1].b, segs[m + 1].e));
            bool j = false;
            if (plus && !isNumberLike(acc) && !isNumberLike(right) &&
                (acc == Cls::Text || right == Cls::Text))
                j = true;
            join.push_back(j);
            anyText = anyText || j;
            acc = j ? Cls::Text : (plus || isNumberLike(acc) || isNumberLike(right) ? Cls::Number
                                                                                   : Cls::Unknown);
        }
        if (!anyText) {
            k = last + 1;
            continue;
        }
        if (segs[k].b > emitted) out.add(seq(s.sub(emitted, segs[k].b)));
        auto operand = [&](const Segment& g) {
            Span o = s.sub(g.b, g.e);
            QString text = seq(o);
            for (size_t x = 0; x < o.size(); ++x)
                if (isMultiplicative(o[x])) return QLatin1Char('(') + text + QLatin1Char(')');
            return text;
        };
        QString chain = operand(segs[k]);
        size_t idx = 0;
        for (size_t m = k + 1; m < last; m += 2, ++idx) {
            const QString op = join[idx] ? QStringLiteral("||") : s[segs[m].b].tok->text;
            chain = QLatin1Char('(') + chain + QLatin1Char(' ') + op + QLatin1Char(' ') +
                    operand(segs[m + 1]) + QLatin1Char(')');
        }
        out.add(chain);
        emitted = segs[last].e;
        k = last + 1;
    }
    if (emitted < s.size()) out.add(seq(s.from(emitted)));
    return out.text();
}

QString Emitter::caseBlock(Span s) {
    // s: CASE … END. Parts between WHEN/THEN/ELSE at this CASE's level are expressions.
    Out out;
    out.add(QStringLiteral("CASE"));
    size_t start = 1;
    int depth = 0;
    for (size_t i = 1; i + 1 < s.size(); ++i) {
        if (s[i].word("CASE")) ++depth;
        if (s[i].word("END")) --depth;
        if (depth > 0) continue;
        if (s[i].word("WHEN") || s[i].word("THEN") || s[i].word("ELSE")) {
            if (i > start) out.add(expr(s.sub(start, i)));
            out.add(s[i].tok->upper);
            start = i + 1;
        }
    }
    if (s.size() - 1 > start) out.add(expr(s.sub(start, s.size() - 1)));
    out.add(QStringLiteral("END"));
    return out.text();
}

QString Emitter::seq(Span s) {
    Out out;
    for (size_t i = 0; i < s.size() && ok(); ++i) {
        const Node& n = s[i];
        if (n.group()) {
            if (!n.kids.empty() && n.kids.front().word("SELECT")) {
                out.add(QLatin1Char('(') + query(spanOf(n.kids)) + QLatin1Char(')'));
            } else if (isHintGroup(n) && i > 0 && !s[i - 1].group()) {
                // t (nolock)
            } else {
                out.add(QLatin1Char('(') + expr(spanOf(n.kids)) + QLatin1Char(')'));
            }
            continue;
        }
        const Token& t = *n.tok;
        switch (t.kind) {
            case TokenKind::String:
                if (i > 0 && s[i - 1].word("AS"))
                    out.add(sqliteIdent(t.text));
                else
                    out.add(sqliteLiteral(t.text));
                continue;
            case TokenKind::Number:
                if (t.text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                    out.add(QStringLiteral("X'%1'").arg(t.text.mid(2).size() % 2
                                                            ? QLatin1Char('0') + t.text.mid(2)
                                                            : t.text.mid(2)));
                else
                    out.add(t.text);
                continue;
            case TokenKind::Variable:
                out.add(variable(t));
                continue;
            case TokenKind::Symbol: {
                const QString& y = t.upper;
                if (y == QLatin1String("!=")) out.add(QStringLiteral("<>"));
                else if (y == QLatin1String("!<")) out.add(QStringLiteral(">="));
                else if (y == QLatin1String("!>")) out.add(QStringLiteral("<="));
                else if (y == QLatin1String("^") || y == QLatin1String("::") ||
                         y == QLatin1String("||") || y == QLatin1String("+=") ||
                         y == QLatin1String("-=") || y == QLatin1String("*=") ||
                         y == QLatin1String("/="))
                    return unsupported(y);
                else if (y == QLatin1String(".")) out.addGlued(y);
                else out.add(y);
                continue;
            }
            case TokenKind::Word:
            case TokenKind::Ident:
                break;
        }
        const bool isWord = t.kind == TokenKind::Word;
        const QString& u = t.upper;
        const bool nextGroup = i + 1 < s.size() && s[i + 1].group();
        if (isWord && unsupportedWords().contains(u)) return unsupported(u);
        if (isWord && u == QLatin1String("CASE")) {
            const size_t end = matchEnd(s, i);
            out.add(caseBlock(s.sub(i, end + 1)));
            i = end;
            continue;
        }
        if (isWord && (u == QLatin1String("CAST") || u == QLatin1String("CONVERT") ||
                       u == QLatin1String("TRY_CAST") || u == QLatin1String("TRY_CONVERT"))) {
            if (!nextGroup) return fail(QStringLiteral("%1 needs its arguments").arg(u));
            out.add(cast(s[i + 1], u.endsWith(QLatin1String("CONVERT"))));
            ++i;
            continue;
        }
        if (isWord && u == QLatin1String("TOP")) return unsupported(QStringLiteral("TOP here"));
        if (isWord && u == QLatin1String("WITH") && nextGroup) {
            if (!isHintGroup(s[i + 1])) return unsupported(QStringLiteral("WITH hint"));
            ++i;
            continue;
        }
        if (isWord && u == QLatin1String("COLLATE") && i + 1 < s.size() &&
            s[i + 1].kind(TokenKind::Word)) {
            const QString c = s[i + 1].tok->upper;
            out.add(QStringLiteral("COLLATE"));
            out.add(c.contains(QLatin1String("_CI")) ? QStringLiteral("NOCASE")
                                                      : QStringLiteral("BINARY"));
            ++i;
            continue;
        }
        const bool functionKeyword = (u == QLatin1String("LEFT") || u == QLatin1String("RIGHT")) && nextGroup;
        if (isWord && keywords().contains(u) && !functionKeyword) {
            out.add(u);
            continue;
        }
        // A name, maybe dotted, maybe a function.
        const Name name = readName(s, i);
        if (!ok()) return {};
        const size_t after = i + name.length;
        if (after < s.size() && s[after].group() && !name.star && !isHintGroup(s[after])) {
            if (name.rest.isEmpty()) return fail(QStringLiteral("a function name is missing"));
            out.add(function(name.rest.last(), s[after]));
            i = after;
            continue;
        }
        if (name.rest.size() == 1 &&
            name.rest.first().compare(QLatin1String("syscolumns"), Qt::CaseInsensitive) == 0) {
            out.add(syscolumns(name.schema));
            const bool aliased = after < s.size() &&
                                 ((s[after].kind(TokenKind::Word) && !isKeyword(s[after])) ||
                                  s[after].kind(TokenKind::Ident) || s[after].word("AS"));
            if (!aliased) out.add(QStringLiteral("AS syscolumns"));
            i = after - 1;
            continue;
        }
        if (name.rest.isEmpty()) return fail(QStringLiteral("a name is incomplete: %1").arg(name.parts.join('.')));
        out.add(emitName(name));
        i = after - 1;
    }
    return out.text();
}

QString Emitter::function(const QString& written, const Node& args) {
    const QString u = written.toUpper();
    const std::vector<Span> parts =
        args.kids.empty() ? std::vector<Span>{} : splitTop(spanOf(args.kids), ",");
    QStringList a;
    for (const Span& p : parts) a << expr(p);
    if (!ok()) return {};
    const QString list = a.join(QStringLiteral(", "));
    auto call = [&](const QString& name) { return name + QLatin1Char('(') + list + QLatin1Char(')'); };
    if (u == QLatin1String("ISNULL")) {
        if (a.size() != 2) return fail(QStringLiteral("ISNULL takes two arguments"));
        return call(QStringLiteral("IFNULL"));
    }
    if (u == QLatin1String("GETDATE") || u == QLatin1String("SYSDATETIME"))
        return QStringLiteral("datetime('now', 'localtime')");
    if (u == QLatin1String("GETUTCDATE")) return QStringLiteral("datetime('now')");
    if (u == QLatin1String("LEN")) return call(QStringLiteral("zx_len"));
    if (u == QLatin1String("DATALENGTH")) return call(QStringLiteral("zx_datalength"));
    if (u == QLatin1String("SUBSTRING")) return call(QStringLiteral("SUBSTR"));
    if (u == QLatin1String("CHARINDEX")) return call(QStringLiteral("zx_charindex"));
    if (u == QLatin1String("LEFT")) return call(QStringLiteral("zx_left"));
    if (u == QLatin1String("RIGHT")) return call(QStringLiteral("zx_right"));
    if (u == QLatin1String("NEWID")) return call(QStringLiteral("zx_newid"));
    if (u == QLatin1String("ISNUMERIC")) return call(QStringLiteral("zx_isnumeric"));
    if (u == QLatin1String("COUNT") && args.kids.size() == 1 && args.kids.front().symbol("*"))
        return QStringLiteral("COUNT(*)");
    if (u == QLatin1String("COUNT") && !args.kids.empty() && args.kids.front().word("DISTINCT"))
        return QStringLiteral("COUNT(DISTINCT ") + expr(spanOf(args.kids).from(1)) + QLatin1Char(')');
    static const QSet<QString> same = {
        QStringLiteral("UPPER"),   QStringLiteral("LOWER"),    QStringLiteral("LTRIM"),
        QStringLiteral("RTRIM"),   QStringLiteral("REPLACE"),  QStringLiteral("ABS"),
        QStringLiteral("ROUND"),   QStringLiteral("COALESCE"), QStringLiteral("NULLIF"),
        QStringLiteral("COUNT"),   QStringLiteral("SUM"),      QStringLiteral("MAX"),
        QStringLiteral("MIN"),     QStringLiteral("AVG"),      QStringLiteral("OBJECT_ID"),
        QStringLiteral("OBJECT_NAME"), QStringLiteral("UDF_GETLOCALEID"),
        QStringLiteral("GETALLSUBNAME_EXTENDDEFINE"), QStringLiteral("TRIM")};
    if (same.contains(u)) return call(written);
    if (m_schema && m_schema->hasFunction(written)) return call(written);
    return unsupported(QStringLiteral("function %1").arg(written));
}

QString Emitter::convertTarget(const QString& valueSql, const TypeInfo& target, Cls valueClass) {
    if (target.text) {
        if (valueClass == Cls::Money)
            return QStringLiteral("zx_money_text(%1, 0)").arg(valueSql);
        QString castSql = QStringLiteral("CAST(%1 AS TEXT)").arg(valueSql);
        if (target.length > 0) castSql = QStringLiteral("SUBSTR(%1, 1, %2)").arg(castSql).arg(target.length);
        return castSql;
    }
    if (target.money) return QStringLiteral("zx_money(%1)").arg(valueSql);
    if (target.integer) return QStringLiteral("CAST(%1 AS INTEGER)").arg(valueSql);
    if (target.exact)
        return QStringLiteral("ROUND(CAST(%1 AS REAL), %2)").arg(valueSql).arg(std::max(target.scale, 0));
    if (target.numeric) return QStringLiteral("CAST(%1 AS REAL)").arg(valueSql);
    if (target.binary) return QStringLiteral("CAST(%1 AS BLOB)").arg(valueSql);
    if (target.datetime) return QStringLiteral("CAST(%1 AS TEXT)").arg(valueSql);
    return unsupported(QStringLiteral("conversion to %1").arg(target.base));
}

QString Emitter::cast(const Node& args, bool isConvert) {
    Span s = spanOf(args.kids);
    Span value, type, style;
    if (isConvert) {
        const std::vector<Span> parts = splitTop(s, ",");
        if (parts.size() < 2 || parts.size() > 3)
            return fail(QStringLiteral("CONVERT takes a type, a value and maybe a style"));
        type = parts[0];
        value = parts[1];
        if (parts.size() == 3) style = parts[2];
    } else {
        size_t as = s.size();
        for (size_t i = 0; i < s.size(); ++i)
            if (s[i].word("AS")) as = i;
        if (as == s.size()) return fail(QStringLiteral("CAST needs AS and a type"));
        value = s.sub(0, as);
        type = s.from(as + 1);
    }
    QString typeText;
    for (size_t i = 0; i < type.size(); ++i) {
        if (type[i].group()) {
            QStringList nums;
            for (const Node& k : type[i].kids) nums << (k.tok ? k.tok->text : QString());
            typeText += QLatin1Char('(') + nums.join(QString()) + QLatin1Char(')');
        } else {
            typeText += (typeText.isEmpty() ? QString() : QStringLiteral(" ")) + type[i].tok->text;
        }
    }
    const TypeInfo target = TypeInfo::of(typeText);
    if (!target.known) return unsupported(QStringLiteral("type %1").arg(typeText));
    const QString valueSql = expr(value);
    if (!ok()) return {};
    if (!style.empty()) {
        const Cls valueClass = classify(value);
        if (target.text && valueClass == Cls::Money)
            return QStringLiteral("zx_money_text(%1, %2)").arg(valueSql, expr(style));
        if (!(style.size() == 1 && style[0].kind(TokenKind::Number) && style[0].tok->text == QLatin1String("0")) ||
            !target.text)
            return unsupported(QStringLiteral("CONVERT style %1").arg(seq(style)));
    }
    return convertTarget(valueSql, target, target.text ? classify(value) : Cls::Unknown);
}

// ---------------------------------------------------------------------------------------------
// Classification for "+".

void Emitter::collectTables() {
    m_tables.emplace();
    if (!m_schema) return;
    schemaDependent = true;
    // Every name that may be a table, with the alias that follows it.
    std::function<void(Span)> walk = [&](Span s) {
        for (size_t i = 0; i < s.size(); ++i) {
            if (s[i].group()) {
                walk(spanOf(s[i].kids));
                continue;
            }
            if (!(s[i].kind(TokenKind::Word) || s[i].kind(TokenKind::Ident)) || isKeyword(s[i]))
                continue;
            if (i > 0 && s[i - 1].symbol(".")) continue;
            QString saved = error;
            const Name n = readName(s, i);
            error = saved;  // unknown databases are reported when the statement is written
            const size_t after = i + n.length;
            if (n.rest.size() == 1 && !(after < s.size() && s[after].group() && !isHintGroup(s[after]))) {
                const QString found = m_schema->findTable(n.schema, n.rest.first());
                if (!found.isEmpty()) {
                    TableRef ref{found, n.rest.first(), QString()};
                    size_t a = after;
                    if (a < s.size() && s[a].word("AS")) ++a;
                    if (a < s.size() && ((s[a].kind(TokenKind::Word) && !isKeyword(s[a])) ||
                                         s[a].kind(TokenKind::Ident)))
                        ref.alias = s[a].tok->text;
                    m_tables->push_back(ref);
                }
            }
            i = after - 1;
        }
    };
    walk(spanOf(m_root));
}

Cls Emitter::classifyName(const Name& n) {
    if (n.rest.isEmpty() || n.star) return Cls::Unknown;
    if (!m_tables) collectTables();
    const QString column = n.rest.last();
    const QString qualifier = n.rest.size() >= 2 ? n.rest[n.rest.size() - 2] : QString();
    std::optional<Cls> found;
    for (const TableRef& t : *m_tables) {
        if (!qualifier.isEmpty() && qualifier.compare(t.alias, Qt::CaseInsensitive) != 0 &&
            qualifier.compare(t.table, Qt::CaseInsensitive) != 0)
            continue;
        const QString declared = m_schema->columnType(t.schema, t.table, column);
        if (declared.isNull()) continue;
        const Cls c = fromDeclared(declared);
        if (found && *found != c) return Cls::Unknown;
        found = c;
    }
    return found.value_or(Cls::Unknown);
}

Cls Emitter::classifyFunction(const QString& written, const Node& args) {
    const QString u = written.toUpper();
    const std::vector<Span> parts =
        args.kids.empty() ? std::vector<Span>{} : splitTop(spanOf(args.kids), ",");
    static const QSet<QString> text = {
        QStringLiteral("UPPER"),  QStringLiteral("LOWER"),     QStringLiteral("LTRIM"),
        QStringLiteral("RTRIM"),  QStringLiteral("TRIM"),      QStringLiteral("REPLACE"),
        QStringLiteral("SUBSTRING"), QStringLiteral("LEFT"),   QStringLiteral("RIGHT"),
        QStringLiteral("OBJECT_NAME"), QStringLiteral("UDF_GETLOCALEID"),
        QStringLiteral("GETALLSUBNAME_EXTENDDEFINE"), QStringLiteral("NEWID"),
        QStringLiteral("STR"),    QStringLiteral("CHAR"),      QStringLiteral("NCHAR")};
    static const QSet<QString> number = {
        QStringLiteral("LEN"),    QStringLiteral("DATALENGTH"), QStringLiteral("CHARINDEX"),
        QStringLiteral("COUNT"),  QStringLiteral("SUM"),        QStringLiteral("AVG"),
        QStringLiteral("ABS"),    QStringLiteral("ROUND"),      QStringLiteral("OBJECT_ID"),
        QStringLiteral("ISNUMERIC")};
    if (text.contains(u)) return Cls::Text;
    if (number.contains(u)) return Cls::Number;
    if (u == QLatin1String("ISNULL") || u == QLatin1String("COALESCE") ||
        u == QLatin1String("NULLIF") || u == QLatin1String("MAX") || u == QLatin1String("MIN")) {
        for (const Span& p : parts) {
            const Cls c = classify(p);
            if (c != Cls::Unknown) return c;
        }
    }
    return Cls::Unknown;
}

Cls Emitter::classify(Span s) {
    if (s.empty()) return Cls::Unknown;
    // A chain of + and - at this level: evaluate its type left to right.
    const std::vector<Segment> segs = segments(s);
    bool chain = false;
    for (const Segment& g : segs)
        if (g.op && g.e > g.b) chain = true;
    if (chain && !segs.front().op) {
        Cls acc = classify(s.sub(segs[0].b, segs[0].e));
        for (size_t m = 1; m + 1 < segs.size(); m += 2) {
            if (!segs[m].op || segs[m].e == segs[m].b || segs[m + 1].op) return Cls::Unknown;
            const bool plus = s[segs[m].b].symbol("+");
            const Cls r = classify(s.sub(segs[m + 1].b, segs[m + 1].e));
            if (plus && !isNumberLike(acc) && !isNumberLike(r) && (acc == Cls::Text || r == Cls::Text))
                acc = Cls::Text;
            else
                acc = Cls::Number;
        }
        return acc;
    }
    for (size_t i = 0; i < s.size(); ++i)
        if (isMultiplicative(s[i])) return Cls::Number;
    const Node& n = s[0];
    if (n.group()) {
        if (!n.kids.empty() && n.kids.front().word("SELECT")) {
            // First item of the sub-select's list.
            Span inner = spanOf(n.kids);
            size_t b = 1, e = inner.size();
            while (b < e && (inner[b].word("DISTINCT") || inner[b].word("ALL"))) ++b;
            if (b < e && inner[b].word("TOP")) b += 2;
            for (size_t i = b; i < e; ++i)
                if (inner[i].symbol(",") || inner[i].word("FROM")) {
                    e = i;
                    break;
                }
            return classify(inner.sub(b, e));
        }
        return s.size() == 1 ? classify(spanOf(n.kids)) : Cls::Unknown;
    }
    switch (n.tok->kind) {
        case TokenKind::String:
            return Cls::Text;
        case TokenKind::Number:
            return Cls::Number;
        case TokenKind::Variable:
            return fromDeclared(m_variables.value(n.tok->text.toLower()));
        default:
            break;
    }
    const QString& u = n.tok->upper;
    if (n.tok->kind == TokenKind::Word && u == QLatin1String("CASE")) {
        Cls result = Cls::Unknown;
        int depth = 0;
        for (size_t i = 1; i < s.size(); ++i) {
            if (s[i].word("CASE")) ++depth;
            if (s[i].word("END")) {
                if (depth == 0) break;
                --depth;
            }
            if (depth == 0 && (s[i].word("THEN") || s[i].word("ELSE"))) {
                size_t j = i + 1;
                int d = 0;
                while (j < s.size()) {
                    if (s[j].word("CASE")) ++d;
                    if (s[j].word("END")) {
                        if (d == 0) break;
                        --d;
                    }
                    if (d == 0 && (s[j].word("WHEN") || s[j].word("ELSE"))) break;
                    ++j;
                }
                const Cls c = classify(s.sub(i + 1, j));
                if (isNumberLike(c)) return c;
                if (c == Cls::Text) result = Cls::Text;
            }
        }
        return result;
    }
    if (n.tok->kind == TokenKind::Word && (u == QLatin1String("CAST") || u == QLatin1String("CONVERT")) &&
        s.size() >= 2 && s[1].group()) {
        Span a = spanOf(s[1].kids);
        QString typeText;
        if (u == QLatin1String("CONVERT")) {
            for (size_t i = 0; i < a.size() && !a[i].symbol(","); ++i)
                typeText += a[i].tok ? a[i].tok->text + QLatin1Char(' ') : QString();
        } else {
            size_t as = a.size();
            for (size_t i = 0; i < a.size(); ++i)
                if (a[i].word("AS")) as = i;
            for (size_t i = as + 1; i < a.size(); ++i)
                if (a[i].tok) typeText += a[i].tok->text + QLatin1Char(' ');
        }
        const TypeInfo t = TypeInfo::of(typeText);
        return t.text ? Cls::Text : t.money ? Cls::Money : t.numeric ? Cls::Number : Cls::Unknown;
    }
    if (n.tok->kind == TokenKind::Word && u == QLatin1String("NULL")) return Cls::Unknown;
    QString saved = error;
    const Name name = readName(s, 0);
    error = saved;
    if (name.length < s.size() && s[name.length].group() && !name.rest.isEmpty())
        return classifyFunction(name.rest.last(), s[name.length]);
    if (name.length == s.size()) return classifyName(name);
    return Cls::Unknown;
}

// ---------------------------------------------------------------------------------------------
// Queries.

QString Emitter::selectList(Span s) {
    QStringList items;
    for (const Span& item : splitTop(s, ",")) {
        if (item.empty()) return fail(QStringLiteral("an empty item in a select list"));
        if (item.size() >= 3 && item[1].symbol("=")) {
            const Node& head = item[0];
            if (head.kind(TokenKind::Variable))
                return unsupported(QStringLiteral("SELECT %1 = …").arg(head.tok->text));
            if (head.kind(TokenKind::String) || head.kind(TokenKind::Ident) ||
                (head.kind(TokenKind::Word) && !isKeyword(head))) {
                items << expr(item.from(2)) + QStringLiteral(" AS ") + sqliteIdent(head.tok->text);
                continue;
            }
        }
        items << expr(item);
    }
    return items.join(QStringLiteral(", "));
}

QString Emitter::selectCore(Span s, bool inCompound) {
    if (s.empty() || !s[0].word("SELECT")) return fail(QStringLiteral("a SELECT is expected"));
    Out head;
    head.add(QStringLiteral("SELECT"));
    size_t i = 1;
    if (i < s.size() && (s[i].word("DISTINCT") || s[i].word("ALL"))) head.add(s[i++].tok->upper);
    QString limit;
    if (i < s.size() && s[i].word("TOP")) {
        if (i + 1 >= s.size()) return fail(QStringLiteral("TOP needs a number"));
        const Node& n = s[i + 1];
        if (n.group())
            limit = QLatin1Char('(') + expr(spanOf(n.kids)) + QLatin1Char(')');
        else if (n.kind(TokenKind::Number) || n.kind(TokenKind::Variable))
            limit = n.kind(TokenKind::Number) ? n.tok->text : variable(*n.tok);
        else
            return fail(QStringLiteral("TOP needs a number"));
        i += 2;
        if (i < s.size() && (s[i].word("PERCENT") || s[i].word("WITH")))
            return unsupported(QStringLiteral("TOP … %1").arg(s[i].tok->upper));
    }
    size_t listEnd = i;
    while (listEnd < s.size()) {
        const Node& n = s[listEnd];
        if (n.word("FROM") || n.word("WHERE") || n.word("GROUP") || n.word("HAVING") ||
            n.word("ORDER") || n.word("INTO") || n.word("FOR") || n.word("OPTION"))
            break;
        ++listEnd;
    }
    if (listEnd < s.size() && s[listEnd].word("INTO"))
        return unsupported(QStringLiteral("SELECT … INTO"));
    head.add(selectList(s.sub(i, listEnd)));
    if (listEnd < s.size()) head.add(expr(s.from(listEnd)));
    if (limit.isEmpty()) return head.text();
    if (inCompound) return QStringLiteral("SELECT * FROM (%1 LIMIT %2)").arg(head.text(), limit);
    return head.text() + QStringLiteral(" LIMIT ") + limit;
}

QString Emitter::orderByWithoutPrefixes(Span s) {
    QStringList terms;
    for (const Span& term : splitTop(s, ",")) {
        if (term.size() >= 3 && (term[0].kind(TokenKind::Word) || term[0].kind(TokenKind::Ident)) &&
            term[1].symbol(".") && !isKeyword(term[0])) {
            QString saved = error;
            const Name n = readName(term, 0);
            error = saved;
            if (!n.rest.isEmpty() && !(n.length < term.size() && term[n.length].group())) {
                Out out;
                out.add(sqliteIdent(n.rest.last()));
                if (n.length < term.size()) out.add(expr(term.from(n.length)));
                terms << out.text();
                continue;
            }
        }
        terms << expr(term);
    }
    return terms.join(QStringLiteral(", "));
}

QString Emitter::query(Span s) {
    if (!ok()) return {};
    if (s.empty()) return fail(QStringLiteral("an empty query"));
    // Members of a UNION / EXCEPT / INTERSECT and the operators between them.
    std::vector<Span> members;
    QStringList ops;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i].word("UNION") || s[i].word("EXCEPT") || s[i].word("INTERSECT")) {
            members.push_back(s.sub(start, i));
            QString op = s[i].tok->upper;
            if (i + 1 < s.size() && s[i + 1].word("ALL")) {
                op += QStringLiteral(" ALL");
                ++i;
            }
            ops << op;
            start = i + 1;
        }
    }
    members.push_back(s.from(start));
    const bool compound = members.size() > 1;
    Span order;
    if (compound) {
        Span& last = members.back();
        for (size_t i = 0; i < last.size(); ++i) {
            if (last[i].word("ORDER") && i + 1 < last.size() && last[i + 1].word("BY")) {
                order = last.from(i + 2);
                last = last.sub(0, i);
                break;
            }
        }
    }
    Out out;
    for (size_t m = 0; m < members.size(); ++m) {
        if (m > 0) out.add(ops[int(m - 1)]);
        const Span& member = members[m];
        if (member.size() == 1 && member[0].group()) {
            out.add(QStringLiteral("SELECT * FROM (") + query(spanOf(member[0].kids)) + QLatin1Char(')'));
        } else {
            out.add(selectCore(member, compound));
        }
    }
    if (compound && !order.empty()) {
        out.add(QStringLiteral("ORDER BY"));
        out.add(orderByWithoutPrefixes(order));
    }
    return out.text();
}

// ---------------------------------------------------------------------------------------------
// Statements.

std::optional<QString> Emitter::statement(Span s, Translation* t) {
    const Node& first = s[0];
    if (first.group() || first.word("SELECT")) {
        t->returnsRows = true;
        const QString q = query(s);
        if (!ok()) return std::nullopt;
        return q;
    }
    const QString u = first.tok->upper;
    Out out;
    if (u == QLatin1String("INSERT")) {
        size_t i = 1;
        if (i < s.size() && s[i].word("INTO")) ++i;
        const Name n = readName(s, i);
        if (n.rest.isEmpty()) return fail(QStringLiteral("INSERT needs a table")), std::nullopt;
        out.add(QStringLiteral("INSERT INTO"));
        out.add(emitName(n));
        i += n.length;
        if (i < s.size() && s[i].group() && !(s[i].kids.size() && s[i].kids.front().word("SELECT"))) {
            out.add(QLatin1Char('(') + expr(spanOf(s[i].kids)) + QLatin1Char(')'));
            ++i;
        }
        if (i >= s.size()) return fail(QStringLiteral("INSERT needs VALUES or a SELECT")), std::nullopt;
        if (s[i].word("VALUES") || s[i].word("DEFAULT")) {
            out.add(expr(s.from(i)));
        } else if (s[i].word("SELECT") || s[i].group()) {
            out.add(query(s.from(i)));
        } else {
            return unsupported(QStringLiteral("INSERT … %1").arg(s[i].tok ? s[i].tok->upper : QStringLiteral("("))),
                   std::nullopt;
        }
    } else if (u == QLatin1String("UPDATE")) {
        for (size_t i = 1; i < s.size(); ++i) {
            if (s[i].word("FROM")) return unsupported(QStringLiteral("UPDATE … FROM")), std::nullopt;
            if (s[i].word("TOP")) return unsupported(QStringLiteral("UPDATE TOP")), std::nullopt;
        }
        out.add(expr(s));
    } else if (u == QLatin1String("DELETE")) {
        size_t i = 1;
        if (i < s.size() && s[i].word("TOP")) return unsupported(QStringLiteral("DELETE TOP")), std::nullopt;
        if (i < s.size() && s[i].word("FROM")) ++i;
        for (size_t k = i; k < s.size(); ++k)
            if (s[k].word("FROM") || s[k].word("JOIN"))
                return unsupported(QStringLiteral("DELETE … FROM … JOIN")), std::nullopt;
        out.add(QStringLiteral("DELETE FROM"));
        out.add(expr(s.from(i)));
    } else if (u == QLatin1String("TRUNCATE")) {
        if (s.size() < 3 || !s[1].word("TABLE")) return unsupported(QStringLiteral("TRUNCATE")), std::nullopt;
        out.add(QStringLiteral("DELETE FROM"));
        out.add(expr(s.from(2)));
    } else if (u == QLatin1String("CREATE")) {
        t->changesSchema = true;
        size_t i = 1;
        if (i < s.size() && s[i].word("TABLE")) {
            const Name n = readName(s, i + 1);
            if (n.rest.size() != 1) return fail(QStringLiteral("CREATE TABLE needs a table name")), std::nullopt;
            i += 1 + n.length;
            if (i >= s.size() || !s[i].group() || i + 1 != s.size())
                return unsupported(QStringLiteral("CREATE TABLE without a column list")), std::nullopt;
            out.add(n.schema == QLatin1String("temp") ? QStringLiteral("CREATE TEMP TABLE")
                                                       : QStringLiteral("CREATE TABLE"));
            Name plain = n;
            if (plain.schema == QLatin1String("temp")) plain.schema.clear();
            out.add(emitName(plain));
            QStringList defs;
            for (const Span& d : splitTop(spanOf(s[i].kids), ",")) {
                if (d.empty()) return fail(QStringLiteral("an empty column in CREATE TABLE")), std::nullopt;
                if (isKeyword(d[0])) {
                    defs << expr(d);
                    continue;
                }
                if (!(d[0].kind(TokenKind::Word) || d[0].kind(TokenKind::Ident)) || d.size() < 2 ||
                    !d[1].kind(TokenKind::Word))
                    return fail(QStringLiteral("a column needs a name and a type")), std::nullopt;
                if (unsupportedWords().contains(d[1].tok->upper))
                    return unsupported(d[1].tok->upper), std::nullopt;
                size_t k = 2;
                QString type = d[1].tok->text;
                if (k < d.size() && d[k].group()) {
                    QStringList args;
                    for (const Node& a : d[k].kids) args << (a.tok ? a.tok->text : QString());
                    type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
                    ++k;
                }
                if (!TypeInfo::of(type).known) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
                QString def = sqliteIdent(d[0].tok->text) + QLatin1Char(' ') + ddlType(type);
                bool collate = false;
                for (size_t x = k; x < d.size(); ++x)
                    if (d[x].word("COLLATE")) collate = true;
                if (TypeInfo::of(type).text && !collate) def += QStringLiteral(" COLLATE NOCASE");
                if (k < d.size()) def += QLatin1Char(' ') + expr(d.from(k));
                defs << def;
            }
            out.addGlued(QLatin1Char('(') + defs.join(QStringLiteral(", ")) + QLatin1Char(')'));
        } else if (i < s.size() && s[i].word("VIEW")) {
            const Name n = readName(s, i + 1);
            i += 1 + n.length;
            if (n.rest.size() != 1 || i >= s.size() || !s[i].word("AS"))
                return unsupported(QStringLiteral("CREATE VIEW")), std::nullopt;
            out.add(QStringLiteral("CREATE VIEW"));
            out.add(emitName(n));
            out.add(QStringLiteral("AS"));
            out.add(query(s.from(i + 1)));
        } else {
            bool index = false;
            for (size_t k = 1; k < s.size() && k < 4; ++k)
                if (s[k].word("INDEX")) index = true;
            if (!index)
                return unsupported(QStringLiteral("CREATE %1").arg(i < s.size() && s[i].tok ? s[i].tok->upper : QString())),
                       std::nullopt;
            out.add(QStringLiteral("CREATE"));
            for (size_t k = 1; k < s.size(); ++k) {
                if (s[k].word("CLUSTERED") || s[k].word("NONCLUSTERED")) continue;
                out.add(expr(s.from(k)));
                break;
            }
        }
    } else if (u == QLatin1String("DROP")) {
        t->changesSchema = true;
        if (s.size() < 3 || !(s[1].word("TABLE") || s[1].word("VIEW") || s[1].word("INDEX")))
            return unsupported(QStringLiteral("DROP %1").arg(s.size() > 1 && s[1].tok ? s[1].tok->upper : QString())),
                   std::nullopt;
        out.add(QStringLiteral("DROP"));
        out.add(s[1].tok->upper);
        size_t i = 2;
        if (i + 1 < s.size() && s[i].word("IF") && s[i + 1].word("EXISTS")) {
            out.add(QStringLiteral("IF EXISTS"));
            i += 2;
        }
        const Name n = readName(s, i);
        if (n.rest.size() != 1 || i + n.length != s.size())
            return unsupported(QStringLiteral("DROP of several objects or of %1").arg(n.parts.join('.'))),
                   std::nullopt;
        out.add(emitName(n));
    } else if (u == QLatin1String("ALTER")) {
        t->changesSchema = true;
        if (s.size() < 5 || !s[1].word("TABLE")) return unsupported(QStringLiteral("ALTER")), std::nullopt;
        const Name n = readName(s, 2);
        size_t i = 2 + n.length;
        out.add(QStringLiteral("ALTER TABLE"));
        out.add(emitName(n));
        if (i < s.size() && s[i].word("ADD")) {
            ++i;
            if (i < s.size() && s[i].word("COLUMN")) ++i;
            if (i + 1 >= s.size()) return fail(QStringLiteral("ALTER TABLE ADD needs a column")), std::nullopt;
            for (size_t k = i; k < s.size(); ++k)
                if (s[k].symbol(",")) return unsupported(QStringLiteral("ALTER TABLE ADD of several columns")), std::nullopt;
            QString type = s[i + 1].tok ? s[i + 1].tok->text : QString();
            size_t k = i + 2;
            if (k < s.size() && s[k].group()) {
                QStringList args;
                for (const Node& a : s[k].kids) args << (a.tok ? a.tok->text : QString());
                type += QLatin1Char('(') + args.join(QString()) + QLatin1Char(')');
                ++k;
            }
            if (!TypeInfo::of(type).known) return unsupported(QStringLiteral("type %1").arg(type)), std::nullopt;
            QString def = QStringLiteral("ADD COLUMN ") + sqliteIdent(s[i].tok->text) + QLatin1Char(' ') + ddlType(type);
            if (TypeInfo::of(type).text) def += QStringLiteral(" COLLATE NOCASE");
            out.add(def);
            if (k < s.size()) out.add(expr(s.from(k)));
        } else if (i + 1 < s.size() && s[i].word("DROP") && s[i + 1].word("COLUMN")) {
            out.add(QStringLiteral("DROP COLUMN"));
            out.add(expr(s.from(i + 2)));
        } else {
            return unsupported(QStringLiteral("ALTER TABLE %1").arg(i < s.size() && s[i].tok ? s[i].tok->upper : QString())),
                   std::nullopt;
        }
    } else {
        return unsupported(u), std::nullopt;
    }
    if (!ok()) return std::nullopt;
    return out.text();
}

}  // namespace

// ---------------------------------------------------------------------------------------------

Translator::Translator(QString catalog, QStringList attached, SchemaInfo* schema)
    : m_catalog(std::move(catalog)), m_attached(std::move(attached)), m_schema(schema) {}

void Translator::schemaChanged() {
    for (auto it = m_cache.begin(); it != m_cache.end();) {
        if (it->schemaDependent)
            it = m_cache.erase(it);
        else
            ++it;
    }
}

namespace {
enum Mode { StatementMode = 0, ValueMode = 1, ConditionMode = 2 };

QString cacheKey(const QString& source, int mode, const std::vector<Token>& tokens,
                 const VariableTypes& variables) {
    QString key = QString::number(mode) + QLatin1Char('\x1f') + source;
    for (const Token& t : tokens) {
        if (t.kind == TokenKind::Variable)
            key += QLatin1Char('\x1f') + t.text.toLower() + QLatin1Char('=') +
                   variables.value(t.text.toLower(), QStringLiteral("?"));
    }
    return key;
}
}  // namespace

bool Translator::run(const std::vector<Token>& tokens, const QString& key, int mode,
                     const VariableTypes& variables, Translation* out, QString* error) {
    const auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd()) {
        *out = cached->translation;
        return true;
    }
    std::vector<Node> root;
    QString why;
    if (!buildTree(tokens, &root, &why)) {
        if (error) *error = why;
        return false;
    }
    if (root.empty()) {
        if (error) *error = QStringLiteral("the statement is empty");
        return false;
    }
    Emitter emitter(m_catalog, m_attached, m_schema, variables, root);
    Translation t;
    if (mode == StatementMode) {
        const std::optional<QString> sql = emitter.statement(spanOf(root), &t);
        if (sql) t.sql = *sql;
    } else {
        const QString e = emitter.expr(spanOf(root));
        t.returnsRows = true;
        t.sql = mode == ConditionMode ? QStringLiteral("SELECT CASE WHEN %1 THEN 1 ELSE 0 END").arg(e)
                                      : QStringLiteral("SELECT %1").arg(e);
    }
    if (!emitter.ok()) {
        if (error) *error = emitter.error;
        return false;
    }
    t.parameters = emitter.parameters;
    if (m_cache.size() > 2000) m_cache.clear();
    m_cache.insert(key, Entry{t, emitter.schemaDependent});
    *out = t;
    return true;
}

bool Translator::translate(const Statement& statement, const VariableTypes& variables,
                           Translation* out, QString* error) {
    const QString key = cacheKey(statement.source, StatementMode, statement.tokens, variables);
    return run(statement.tokens, key, StatementMode, variables, out, error);
}

bool Translator::translateExpression(const std::vector<Token>& tokens, const QString& source,
                                     const VariableTypes& variables, bool condition,
                                     Translation* out, QString* error) {
    const int mode = condition ? ConditionMode : ValueMode;
    return run(tokens, cacheKey(source, mode, tokens, variables), mode, variables, out, error);
}

bool Translator::translate(const QString& sql, Translation* out, QString* error) {
    Batch batch;
    if (!parseBatch(sql, &batch, error)) return false;
    if (batch.statements.size() != 1 || batch.statements.front().kind != Statement::Kind::Sql) {
        if (error) *error = QStringLiteral("exactly one statement is expected: %1").arg(statementText(sql));
        return false;
    }
    return translate(batch.statements.front(), {}, out, error);
}

}  // namespace platform::sql
