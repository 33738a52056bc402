// "+": which operands are text, and writing a chain of "+" as joins or additions.
#include <QSet>
#include <functional>

#include "platform/sql/Emitter.h"

namespace platform::sql::detail {

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
    if (pg()) {
        if (std::optional<QString> like = likeOperator(s)) return *like;
        markConversions(s);
    }
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
        // Decide each '+' left to right. A text added to a number is a number: PostgreSQL is
        // told so (SQLite converts by itself).
        Cls acc = classify(s.sub(segs[k].b, segs[k].e));
        bool anyText = false;
        std::vector<bool> join, leftNumber, rightNumber;
        for (size_t m = k + 1; m < last; m += 2) {
            const bool plus = s[segs[m].b].symbol("+");
            const Cls right = classify(s.sub(segs[m + 1].b, segs[m + 1].e));
            bool j = false;
            if (plus && !isNumberLike(acc) && !isNumberLike(right) &&
                (acc == Cls::Text || right == Cls::Text))
                j = true;
            join.push_back(j);
            leftNumber.push_back(pg() && !j && acc == Cls::Text);
            rightNumber.push_back(pg() && !j && right == Cls::Text);
            anyText = anyText || j || leftNumber.back() || rightNumber.back();
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
        auto number = [](const QString& text) { return QStringLiteral("CAST(%1 AS numeric)").arg(text); };
        QString chain = operand(segs[k]);
        size_t idx = 0;
        for (size_t m = k + 1; m < last; m += 2, ++idx) {
            const QString op = join[idx] ? QStringLiteral("||") : s[segs[m].b].tok->text;
            const QString right = operand(segs[m + 1]);
            chain = QLatin1Char('(') + (leftNumber[idx] ? number(chain) : chain) + QLatin1Char(' ') +
                    op + QLatin1Char(' ') + (rightNumber[idx] ? number(right) : right) +
                    QLatin1Char(')');
        }
        out.add(chain);
        emitted = segs[last].e;
        k = last + 1;
    }
    if (emitted < s.size()) out.add(seq(s.from(emitted)));
    return out.text();
}

// Every name in s that may be a table, with the alias that follows it. With `derived`, the
// tables of sub-selects in FROM go there and other sub-selects are left out; without it every
// sub-select's tables go to `out` as well.
void Emitter::tablesIn(Span s, std::vector<TableRef>* out, std::vector<TableRef>* derived) {
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i].group()) {
            if (!derived)
                tablesIn(spanOf(s[i].kids), out, nullptr);
            else if (i > 0 && (s[i - 1].word("FROM") || s[i - 1].word("JOIN") || s[i - 1].symbol(",")))
                tablesIn(spanOf(s[i].kids), derived, nullptr);
            continue;
        }
        if (!(s[i].kind(TokenKind::Word) || s[i].kind(TokenKind::Ident)) || isKeyword(s[i]))
            continue;
        if (i > 0 && s[i - 1].symbol(".")) continue;
        if (i > 0 && s[i - 1].word("AS") && !m_aliases.contains(s[i].tok->text.toLower()))
            m_aliases.insert(s[i].tok->text.toLower(), s[i].tok->text);
        QString saved = error;
        const Name n = readName(s, i);
        error = saved;  // unknown databases are reported when the statement is written
        const size_t after = i + n.length;
        const bool call = after < s.size() && s[after].group() && !isHintGroup(s[after]) &&
                          !(i > 0 && s[i - 1].word("INTO"));  // INSERT INTO t (columns)
        if (n.rest.size() == 1 && !call) {
            QString found = m_schema->findTable(n.schema, n.rest.first());
            const bool catalogue = found.isEmpty() && isCatalogueView(n.rest.first());
            if (catalogue) found = n.schema.isEmpty() ? QStringLiteral("main") : n.schema;
            if (!found.isEmpty()) {
                TableRef ref{found, catalogue ? n.rest.first().toLower() : n.rest.first(), QString(), catalogue};
                size_t a = after;
                if (a < s.size() && s[a].word("AS")) ++a;
                if (a < s.size() && ((s[a].kind(TokenKind::Word) && !isKeyword(s[a])) ||
                                     s[a].kind(TokenKind::Ident)))
                    ref.alias = s[a].tok->text;
                out->push_back(ref);
                if (!ref.alias.isEmpty()) m_aliases.insert(ref.alias.toLower(), ref.alias);
            }
        }
        i = after - 1;
    }
}

void Emitter::collectTables() {
    m_tables.emplace();
    if (!m_schema) return;
    schemaDependent = true;
    tablesIn(spanOf(m_root), &*m_tables, nullptr);
}

std::vector<Emitter::TableRef> Emitter::scopeTables(Span s) {
    std::vector<TableRef> own, derived;
    if (!m_schema) return own;
    if (!m_tables) collectTables();
    tablesIn(s, &own, &derived);
    own.insert(own.end(), derived.begin(), derived.end());
    return own;
}

QString Emitter::declaredOf(const Name& n) {
    if (n.rest.isEmpty() || n.star) return {};
    if (!m_tables) collectTables();
    const QString column = n.rest.last();
    const QString qualifier = n.rest.size() >= 2 ? n.rest[n.rest.size() - 2] : QString();
    QString found;
    for (const TableRef& t : *m_tables) {
        if (!qualifier.isEmpty() && qualifier.compare(t.alias, Qt::CaseInsensitive) != 0 &&
            qualifier.compare(t.table, Qt::CaseInsensitive) != 0)
            continue;
        const QString declared = columnTypeIn(t, column);
        if (declared.isNull()) continue;
        if (!found.isNull() && fromDeclared(found) != fromDeclared(declared)) return {};
        found = declared;
    }
    return found;
}

Cls Emitter::classifyName(const Name& n) { return fromDeclared(declaredOf(n)); }

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
            // A date or else an empty text is text, as the server reads it.
            if (c == Cls::Date && u == QLatin1String("ISNULL") && parts.size() == 2 && isBlankText(parts[1]))
                return Cls::Text;
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
        return t.text      ? Cls::Text
               : t.money   ? Cls::Money
               : t.numeric ? Cls::Number
               : t.datetime ? Cls::Date
                            : Cls::Unknown;
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

}  // namespace platform::sql::detail
