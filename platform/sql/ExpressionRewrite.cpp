// Expressions: literals, variables, operators, CASE, functions of the server, CAST and CONVERT.
#include <QSet>

#include "platform/db/Collation.h"
#include "platform/db/PgConnection.h"
#include "platform/sql/Emitter.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql::detail {

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
    if (!pg()) return QStringLiteral("?%1").arg(index + 1);
    // The server infers a parameter's type from where it stands, and fails where it cannot: the
    // variable's declared type says it (a bit is the number it is here).
    const QString declared = m_variables.value(name);
    const QString type = TypeInfo::of(declared).base == QLatin1String("bit") ? QStringLiteral("integer")
                                                                           : db::pgColumnType(declared);
    if (type.isEmpty()) return QStringLiteral("$%1").arg(index + 1);
    return QStringLiteral("CAST($%1 AS %2)").arg(index + 1).arg(type);
}

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
            // CASE x WHEN 1: a bit column is the number it is here.
            if (start == 1 && i > start && isBitColumn(s.sub(start, i)))
                out.add(QStringLiteral("CAST(%1 AS integer)").arg(expr(s.sub(start, i))));
            else if (i > start) out.add(expr(s.sub(start, i)));
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
        if (!m_wraps.isEmpty()) {
            const auto w = m_wraps.find(&n);
            if (w != m_wraps.end() && i + w->length <= s.size()) {
                const Wrap wrap = *w;
                m_wraps.erase(w);
                out.add(QStringLiteral("CAST(%1 AS %2)").arg(seq(s.sub(i, i + wrap.length)), wrap.type));
                i += wrap.length - 1;
                continue;
            }
        }
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
                    out.add(ident(t.text));
                else
                    out.add(sqliteLiteral(t.text));
                continue;
            case TokenKind::Number:
                if (t.text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                    out.add(QString::fromLatin1(pg() ? "decode('%1', 'hex')" : "X'%1'")
                                .arg(t.text.mid(2).size() % 2 ? QLatin1Char('0') + t.text.mid(2)
                                                              : t.text.mid(2)));
                else
                    out.add(t.text);
                continue;
            case TokenKind::Variable:
                out.add(variable(t));
                continue;
            case TokenKind::Symbol: {
                const QString& y = t.upper;
                if (isComparison(n) && y != QLatin1String("=") && y != QLatin1String("<>") &&
                    y != QLatin1String("!=")) {
                    out.add(y == QLatin1String("!<") ? QStringLiteral(">=")
                            : y == QLatin1String("!>") ? QStringLiteral("<=")
                                                       : y);
                    i = orderedOperand(s, i + 1, out) - 1;
                    continue;
                }
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
        if (isWord && u == QLatin1String("BETWEEN")) {
            out.add(u);
            const size_t low = orderedOperand(s, i + 1, out);
            if (low > i + 1 && low < s.size() && s[low].word("AND")) {
                out.add(QStringLiteral("AND"));
                i = orderedOperand(s, low + 1, out) - 1;
            } else {
                i = low - 1;
            }
            continue;
        }
        if (isWord && u == QLatin1String("COLLATE") && i + 1 < s.size() &&
            s[i + 1].kind(TokenKind::Word)) {
            const QString c = s[i + 1].tok->upper;
            out.add(QStringLiteral("COLLATE"));
            if (pg())
                out.add(!c.contains(QLatin1String("_CI")) ? QStringLiteral("\"C\"")
                        : m_ddl                           ? QStringLiteral("zxsystem.zx_nocase")
                                                          : textOrder());
            else
                out.add(!c.contains(QLatin1String("_CI")) ? QStringLiteral("BINARY")
                        : m_ddl                           ? QStringLiteral("NOCASE")
                                                          : textOrder());
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
        if (name.rest.size() == 1 && isCatalogueView(name.rest.first())) {
            const bool columns =
                name.rest.first().compare(QLatin1String("syscolumns"), Qt::CaseInsensitive) == 0;
            out.add(columns ? syscolumns(name.schema) : sysobjects(name.schema));
            const bool aliased = after < s.size() &&
                                 ((s[after].kind(TokenKind::Word) && !isKeyword(s[after])) ||
                                  s[after].kind(TokenKind::Ident) || s[after].word("AS"));
            if (!aliased) out.add(QStringLiteral("AS ") + name.rest.first().toLower());
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
    for (const Span& p : parts) {
        a << expr(p);
        // A bit column is boolean on the server; functions take it as the number it is here.
        if (pg() && u != QLatin1String("COUNT") && isBitColumn(p))
            a.back() = QStringLiteral("CAST(%1 AS integer)").arg(a.back());
    }
    if (!ok()) return {};
    if (pg() && u == QLatin1String("ISNULL") && a.size() == 2) {
        // The replacement takes the type of the first value, as the dialect converts it.
        // A number with a text for NULL reads as text, as on an embedded account; so does a
        // date with an empty text, which the server takes for no date.
        const Cls first = classify(parts[0]), second = classify(parts[1]);
        if ((isNumberLike(first) && second == Cls::Text) || (first == Cls::Date && isBlankText(parts[1])))
            a[0] = QStringLiteral("CAST(%1 AS text)").arg(a[0]);
        else if (first == Cls::Text && isNumberLike(second))
            a[1] = QStringLiteral("CAST(%1 AS text)").arg(a[1]);
    }
    const QString list = a.join(QStringLiteral(", "));
    auto call = [&](const QString& name) { return name + QLatin1Char('(') + list + QLatin1Char(')'); };
    if (u == QLatin1String("ISNULL")) {
        if (a.size() != 2) return fail(QStringLiteral("ISNULL takes two arguments"));
        return call(pg() ? QStringLiteral("COALESCE") : QStringLiteral("IFNULL"));
    }
    if (pg()) {
        static const QHash<QString, QString> server = {
            {QStringLiteral("LEN"), QStringLiteral("zxsystem.zx_len")},
            {QStringLiteral("DATALENGTH"), QStringLiteral("zxsystem.zx_datalength")},
            {QStringLiteral("SUBSTRING"), QStringLiteral("substr")},
            {QStringLiteral("CHARINDEX"), QStringLiteral("zxsystem.zx_charindex")},
            {QStringLiteral("REPLACE"), QStringLiteral("zxsystem.zx_replace")},
            {QStringLiteral("LEFT"), QStringLiteral("zxsystem.zx_left")},
            {QStringLiteral("RIGHT"), QStringLiteral("zxsystem.zx_right")},
            {QStringLiteral("ISNUMERIC"), QStringLiteral("zxsystem.zx_isnumeric")},
            {QStringLiteral("OBJECT_ID"), QStringLiteral("zxsystem.zx_object_id")},
            {QStringLiteral("OBJECT_NAME"), QStringLiteral("zxsystem.zx_object_name")},
            {QStringLiteral("UDF_GETLOCALEID"), QStringLiteral("zxsystem.\"UDF_GetLocaleID\"")},
            {QStringLiteral("GETALLSUBNAME_EXTENDDEFINE"),
             QStringLiteral("zxsystem.\"getAllSubName_ExtendDefine\"")}};
        const auto it = server.constFind(u);
        if (it != server.constEnd()) return call(*it);
        // The session keeps UTC; the current time is the client machine's local time, whose
        // zone the connection names in zx.timezone.
        if (u == QLatin1String("GETDATE") || u == QLatin1String("SYSDATETIME"))
            return QStringLiteral(
                "CAST(now() AT TIME ZONE COALESCE(NULLIF(current_setting('zx.timezone', true), "
                "''), 'UTC') AS timestamp(3))");
        if (u == QLatin1String("GETUTCDATE"))
            return QStringLiteral("CAST(now() AT TIME ZONE 'UTC' AS timestamp(3))");
        if (u == QLatin1String("NEWID")) return QStringLiteral("upper(CAST(gen_random_uuid() AS text))");
        if (u == QLatin1String("ROUND") && a.size() == 2)
            return QStringLiteral("round(CAST(%1 AS numeric), %2)").arg(a[0], a[1]);
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
    if ((u == QLatin1String("MAX") || u == QLatin1String("MIN")) && parts.size() == 1 &&
        ordersText(parts.front()))
        // On the server the result compares without case again, as the column it comes from.
        return written + QLatin1Char('(') + list + QStringLiteral(" COLLATE ") + textOrder() +
               (pg() ? QStringLiteral(") COLLATE zxsystem.zx_nocase") : QStringLiteral(")"));
    if (same.contains(u)) return call(written);
    if (m_schema && m_schema->hasFunction(written)) return call(written);
    return unsupported(QStringLiteral("function %1").arg(written));
}

QString Emitter::convertTarget(const QString& valueSql, const TypeInfo& target, Cls valueClass) {
    if (pg()) {
        if (target.text && valueClass == Cls::Money)
            return QStringLiteral("zxsystem.zx_money_text(%1, 0)").arg(valueSql);
        if (target.text && target.base != QLatin1String("uniqueidentifier"))
            return QStringLiteral("CAST(%1 AS %2)")
                .arg(valueSql, target.length > 0 ? QStringLiteral("varchar(%1)").arg(target.length)
                                                 : QStringLiteral("text"));
        if (target.money) return QStringLiteral("zxsystem.zx_money(%1)").arg(valueSql);
        if (target.integer) {
            // A number is cut towards zero, as the dialect does; the server would round.
            const QString type = target.base == QLatin1String("bigint") ? QStringLiteral("bigint")
                                                                        : QStringLiteral("integer");
            return isNumberLike(valueClass) ? QStringLiteral("CAST(trunc(%1) AS %2)").arg(valueSql, type)
                                            : QStringLiteral("CAST(%1 AS %2)").arg(valueSql, type);
        }
        const QString type = db::pgColumnType(target.base + (target.length > 0 ? QStringLiteral("(%1%2)").arg(target.length).arg(target.scale >= 0 ? QStringLiteral(",%1").arg(target.scale) : QString()) : QString()));
        if (type.isEmpty()) return unsupported(QStringLiteral("conversion to %1").arg(target.base));
        return QStringLiteral("CAST(%1 AS %2)").arg(valueSql, type);
    }
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
    QString valueSql = expr(value);
    if (!ok()) return {};
    if (isBitColumn(value)) valueSql = QStringLiteral("CAST(%1 AS integer)").arg(valueSql);
    if (pg() && target.text && !value.empty() && !value[0].group()) {
        // A decimal column is a number without trailing zeros here, also as text.
        const QString saved = error;
        const Name n = readName(value, 0);
        error = saved;
        if (n.length == value.size() && TypeInfo::of(declaredOf(n)).exact)
            valueSql = QStringLiteral("trim_scale(%1)").arg(valueSql);
    }
    if (!style.empty()) {
        const Cls valueClass = classify(value);
        if (target.text && valueClass == Cls::Money)
            return QStringLiteral("%1(%2, %3)")
                .arg(pg() ? QStringLiteral("zxsystem.zx_money_text") : QStringLiteral("zx_money_text"),
                     valueSql, expr(style));
        if (!(style.size() == 1 && style[0].kind(TokenKind::Number) && style[0].tok->text == QLatin1String("0")) ||
            !target.text)
            return unsupported(QStringLiteral("CONVERT style %1").arg(seq(style)));
    }
    return convertTarget(valueSql, target, target.text || pg() ? classify(value) : Cls::Unknown);
}

}  // namespace platform::sql::detail
