#include "platform/sql/Lexer.h"

namespace platform::sql {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('#') || c.isHighSurrogate();
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('#') ||
           c == QLatin1Char('$') || c == QLatin1Char('@') || c.isSurrogate();
}

}  // namespace

bool tokenize(const QString& sql, std::vector<Token>* tokens, QString* error) {
    tokens->clear();
    const int n = int(sql.size());
    int i = 0;
    auto fail = [&](const QString& what) {
        if (error) *error = what;
        return false;
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n')) ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int start = i;
            int depth = 0;
            while (i < n) {
                if (sql[i] == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
                    ++depth;
                    i += 2;
                } else if (sql[i] == QLatin1Char('*') && i + 1 < n &&
                           sql[i + 1] == QLatin1Char('/')) {
                    i += 2;
                    if (--depth == 0) break;
                } else {
                    ++i;
                }
            }
            if (depth != 0) return fail(QStringLiteral("unterminated comment at position %1").arg(start));
            continue;
        }
        Token t;
        t.pos = i;
        const bool national = (c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < n &&
                              sql[i + 1] == QLatin1Char('\'');
        if (c == QLatin1Char('\'') || national) {
            t.kind = TokenKind::String;
            t.national = national;
            i += national ? 2 : 1;
            QString value;
            bool closed = false;
            while (i < n) {
                if (sql[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && sql[i + 1] == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += sql[i++];
            }
            if (!closed) return fail(QStringLiteral("unterminated string literal at position %1").arg(t.pos));
            t.text = value;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('"')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : QLatin1Char('"');
            t.kind = TokenKind::Ident;
            ++i;
            QString name;
            bool closed = false;
            while (i < n) {
                if (sql[i] == close) {
                    if (i + 1 < n && sql[i + 1] == close) {
                        name += close;
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                name += sql[i++];
            }
            if (!closed) return fail(QStringLiteral("unterminated identifier at position %1").arg(t.pos));
            t.text = name;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            t.kind = TokenKind::Number;
            if (c == QLatin1Char('0') && i + 1 < n &&
                (sql[i + 1] == QLatin1Char('x') || sql[i + 1] == QLatin1Char('X'))) {
                i += 2;
                while (i < n && (sql[i].isDigit() ||
                                 QStringLiteral("abcdefABCDEF").contains(sql[i])))
                    ++i;
            } else {
                while (i < n && sql[i].isDigit()) ++i;
                if (i < n && sql[i] == QLatin1Char('.')) {
                    ++i;
                    while (i < n && sql[i].isDigit()) ++i;
                }
                if (i < n && (sql[i] == QLatin1Char('e') || sql[i] == QLatin1Char('E'))) {
                    int j = i + 1;
                    if (j < n && (sql[j] == QLatin1Char('+') || sql[j] == QLatin1Char('-'))) ++j;
                    if (j < n && sql[j].isDigit()) {
                        i = j;
                        while (i < n && sql[i].isDigit()) ++i;
                    }
                }
            }
            t.text = sql.mid(t.pos, i - t.pos);
            if (i < n && isWordStart(sql[i]))
                return fail(QStringLiteral("unsupported T-SQL construct: %1").arg(sql.mid(t.pos, i - t.pos + 1)));
        } else if (c == QLatin1Char('@')) {
            t.kind = TokenKind::Variable;
            ++i;
            if (i < n && sql[i] == QLatin1Char('@')) ++i;
            while (i < n && isWordChar(sql[i])) ++i;
            t.text = sql.mid(t.pos, i - t.pos);
            if (t.text.size() < 2) return fail(QStringLiteral("a variable name is missing at position %1").arg(t.pos));
        } else if (isWordStart(c)) {
            t.kind = TokenKind::Word;
            while (i < n && isWordChar(sql[i])) ++i;
            t.text = sql.mid(t.pos, i - t.pos);
            t.upper = t.text.toUpper();
        } else {
            t.kind = TokenKind::Symbol;
            static const char* const twoChar[] = {"<>", "!=", "<=", ">=", "!<", "!>", "::", "+=",
                                                  "-=", "*=", "/=", "||"};
            QString sym;
            if (i + 1 < n) {
                const QString two = sql.mid(i, 2);
                for (const char* s : twoChar)
                    if (two == QLatin1String(s)) sym = two;
            }
            if (sym.isEmpty()) {
                if (!QStringLiteral("(),.;+-*/%=<>&|^~").contains(c))
                    return fail(QStringLiteral("unsupported T-SQL construct: %1 at position %2").arg(c).arg(i));
                sym = QString(c);
            }
            i += int(sym.size());
            t.text = sym;
            t.upper = sym;
        }
        t.end = i;
        tokens->push_back(std::move(t));
    }
    return true;
}

}  // namespace platform::sql
