// What the dialect converts by itself and PostgreSQL refuses, written out for the server: a
// text compared with a number or computed with one is a number, a bit column (boolean on the
// server) compared or computed with is 0 or 1 and takes 0 or 1 when assigned, and LIKE matches
// the dialect's patterns through the operator zxsystem.~~~ (PgFunctions.cpp).
#include "platform/sql/Emitter.h"

namespace platform::sql::detail {

namespace {

bool isNamePart(const Node& n) {
    return n.kind(TokenKind::Ident) || (n.kind(TokenKind::Word) && !isKeyword(n));
}

// Where the pattern of a LIKE ends: at the next keyword, comma or comparison.
bool endsPattern(const Node& n) {
    return n.symbol(",") || isComparison(n) || (isKeyword(n) && !n.word("NULL") && !n.word("CASE"));
}

// A string literal that is not a number.
bool isWord(Span s) {
    bool number = false;
    if (s.size() == 1 && s[0].kind(TokenKind::String)) s[0].tok->text.trimmed().toDouble(&number);
    return s.size() == 1 && s[0].kind(TokenKind::String) && !number;
}

}  // namespace

bool Emitter::isBitColumn(Span s) {
    if (!pg() || !m_schema || s.empty() || !isNamePart(s[0])) return false;
    const QString saved = error;
    const Name n = readName(s, 0);
    error = saved;
    if (n.length != s.size()) return false;
    const QString declared = declaredOf(n);
    return !declared.isNull() && TypeInfo::of(declared).base == QLatin1String("bit");
}

// The start of the operand that ends just before `end` (a literal, variable, name, call, CAST or
// group); `end` when there is none.
size_t Emitter::primaryStart(Span s, size_t end) {
    if (end == 0) return end;
    size_t j = end - 1;
    const Node& n = s[j];
    if (n.kind(TokenKind::String) || n.kind(TokenKind::Number) || n.kind(TokenKind::Variable))
        return j;
    if (n.group()) {
        const bool call = j > 0 && (isNamePart(s[j - 1]) || s[j - 1].word("LEFT") || s[j - 1].word("RIGHT"));
        if (!call) return j;
        --j;
    } else if (!isNamePart(n)) {
        return end;
    }
    while (j >= 2 && s[j - 1].symbol(".") && isNamePart(s[j - 2])) j -= 2;
    return j;
}

void Emitter::markConversions(Span s) {
    if (!m_schema) return;
    for (size_t i = 0; i < s.size() && ok(); ++i) {
        if (s[i].word("CASE")) {
            i = matchEnd(s, i);
            continue;
        }
        if (s[i].word("IN") || s[i].word("BETWEEN")) {  // a bit column against numbers
            const size_t end = i > 0 && s[i - 1].word("NOT") ? i - 1 : i;
            const size_t b = primaryStart(s, end);
            if (b < end && isBitColumn(s.sub(b, end))) m_wraps.insert(&s[b], Wrap{end - b, QStringLiteral("integer")});
            continue;
        }
        const bool plus = s[i].symbol("+");
        if (!isComparison(s[i]) && !plus && !s[i].symbol("-") && !isMultiplicative(s[i])) continue;
        // The right operand may carry a sign (cId = -1).
        const size_t sign = i + 1 < s.size() && (s[i + 1].symbol("-") || s[i + 1].symbol("+")) ? 1 : 0;
        const size_t b = primaryStart(s, i), e = primaryEnd(s, i + 1 + sign);
        if (b == i || e == i + 1 + sign) continue;  // no operand the translator can tell
        const Span left = s.sub(b, i), right = s.sub(i + 1, e), magnitude = s.sub(i + 1 + sign, e);
        auto convert = [&](Span o, const char* type) {
            m_wraps.insert(o.b, Wrap{o.size(), QString::fromLatin1(type)});
        };
        const bool leftBit = isBitColumn(left), rightBit = isBitColumn(right);
        if (leftBit) convert(left, "integer");
        if (rightBit) convert(right, "integer");
        if (plus) continue;  // "+" is typed with its whole chain (PlusTyping.cpp)
        const Cls l = leftBit ? Cls::Number : classify(left);
        const Cls r = rightBit ? Cls::Number : classify(magnitude);
        // A literal takes the other side's type on the server by itself; a number compared with
        // a text that is none (a column <> '') compares as text, as here.
        if (l == Cls::Text && isNumberLike(r) && !left[0].kind(TokenKind::String)) convert(left, "numeric");
        if (r == Cls::Text && isNumberLike(l) && !right[0].kind(TokenKind::String)) convert(right, "numeric");
        if (isComparison(s[i]) && isNumberLike(l) && isWord(right)) convert(left, "text");
        if (isComparison(s[i]) && isNumberLike(r) && isWord(left)) convert(right, "text");
        // A date compared with an empty text (a column <> '') compares as text, as here: the
        // server takes no empty text for a date.
        if (isComparison(s[i]) && l == Cls::Date && isBlankText(right)) convert(left, "text");
        if (isComparison(s[i]) && r == Cls::Date && isBlankText(left)) convert(right, "text");
    }
}

std::optional<QString> Emitter::likeOperator(Span s) {
    size_t like = s.size();
    for (size_t i = 0; i < s.size() && ok(); ++i) {
        if (s[i].word("CASE")) {
            i = matchEnd(s, i);
            continue;
        }
        if (s[i].word("LIKE")) {
            like = i;
            break;
        }
    }
    if (like == s.size()) return std::nullopt;
    const bool negated = like > 0 && s[like - 1].word("NOT");
    size_t end = like + 1;
    while (end < s.size() && !endsPattern(s[end])) {
        if (s[end].word("CASE")) end = matchEnd(s, end);
        ++end;
    }
    if (end == like + 1) return fail(QStringLiteral("LIKE needs a pattern"));
    QString pattern = QLatin1Char('(') + expr(s.sub(like + 1, end)) + QLatin1Char(')');
    size_t rest = end;
    if (end < s.size() && s[end].word("ESCAPE")) {
        rest = end + 1 < s.size() && s[end + 1].word("NULL") ? end + 2 : primaryEnd(s, end + 1);
        if (rest == end + 1) return fail(QStringLiteral("ESCAPE needs a character"));
        pattern = QStringLiteral("ARRAY[CAST(%1 AS text), CAST(%2 AS text)]").arg(pattern, expr(s.sub(end + 1, rest)));
    }
    Out out;
    out.add(expr(s.sub(0, negated ? like - 1 : like)));
    out.add(QString::fromLatin1(negated ? "OPERATOR(zxsystem.!~~~)" : "OPERATOR(zxsystem.~~~)"));
    out.add(pattern);
    if (rest < s.size()) out.add(expr(s.from(rest)));
    return out.text();
}

QString Emitter::assigned(const QString& valueSql, Span value, const QString& targetType) {
    if (!pg() || targetType.isNull()) return valueSql;
    const TypeInfo target = TypeInfo::of(targetType);
    if (target.base == QLatin1String("bit"))
        return isBitColumn(value) ? valueSql : QStringLiteral("CAST(%1 AS boolean)").arg(valueSql);
    if (target.numeric && classify(value) == Cls::Text &&
        !(value.size() == 1 && value[0].kind(TokenKind::String)))
        return QStringLiteral("CAST(%1 AS numeric)").arg(valueSql);
    return valueSql;
}

}  // namespace platform::sql::detail
