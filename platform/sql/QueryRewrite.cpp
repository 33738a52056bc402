// Queries: select lists with 'alias' = expr, TOP as LIMIT, UNION members and their ORDER BY,
// and the order text is compared in.
#include <utility>

#include "platform/db/Collation.h"
#include "platform/sql/Emitter.h"
#include "platform/sql/SqliteQuote.h"

namespace platform::sql::detail {

// Whether a select item has a name of its own: a column, t.*, or an alias (with or without AS).
bool Emitter::named(Span item) {
    const Node& last = item[item.size() - 1];
    if (last.symbol("*")) return true;
    const bool word = last.kind(TokenKind::Ident) || (last.kind(TokenKind::Word) && !isKeyword(last));
    if (word && item.size() >= 2 && !item[item.size() - 2].kind(TokenKind::Symbol)) return true;
    if (!(item[0].kind(TokenKind::Word) || item[0].kind(TokenKind::Ident)) || isKeyword(item[0])) return false;
    const QString saved = error;
    const Name n = readName(item, 0);
    error = saved;
    return n.length == item.size();
}

QString Emitter::selectList(Span s) {
    QStringList items;
    // The columns an INSERT fills from this list: their values are converted as assigned.
    const QStringList targets = std::exchange(m_pendingTargets, {});
    for (const Span& item : splitTop(s, ",")) {
        if (item.empty()) return fail(QStringLiteral("an empty item in a select list"));
        if (items.size() < targets.size()) {
            const Span value = item.size() > 2 && item[item.size() - 2].word("AS") ? item.sub(0, item.size() - 2) : item;
            items << assigned(expr(value), value, targets[items.size()]);
            continue;
        }
        if (item.size() >= 3 && item[1].symbol("=")) {
            const Node& head = item[0];
            if (head.kind(TokenKind::Variable))
                return unsupported(QStringLiteral("SELECT %1 = …").arg(head.tok->text));
            if (head.kind(TokenKind::String) || head.kind(TokenKind::Ident) ||
                (head.kind(TokenKind::Word) && !isKeyword(head))) {
                items << expr(item.from(2)) + QStringLiteral(" AS ") + ident(head.tok->text);
                continue;
            }
        }
        items << expr(item);
        if (pg() && !named(item)) {
            // An unnamed column reads under the text SQLite gives it: its own SQL there.
            Emitter sqlite(m_catalog, m_attached, m_schema, m_variables, m_root, Target::Sqlite);
            const QString text = sqlite.expr(item);
            if (sqlite.ok() && !text.isEmpty()) items.back() += QStringLiteral(" AS ") + ident(text);
        }
    }
    return items.join(QStringLiteral(", "));
}

QString Emitter::selectCore(Span s, bool inCompound) {
    if (s.empty() || !s[0].word("SELECT")) return fail(QStringLiteral("a SELECT is expected"));
    struct Scope {
        std::vector<std::vector<TableRef>>& scopes;
        ~Scope() { scopes.pop_back(); }
    } scope{m_scopes};
    m_scopes.push_back(pg() ? scopeTables(s) : std::vector<TableRef>{});
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
    Span tail = s.from(listEnd);
    size_t order = 0;
    while (order + 1 < tail.size() && !(tail[order].word("ORDER") && tail[order + 1].word("BY")))
        ++order;
    if (order + 1 >= tail.size()) order = tail.size();
    size_t orderEnd = order;
    while (orderEnd < tail.size() && !tail[orderEnd].word("FOR") && !tail[orderEnd].word("OPTION"))
        ++orderEnd;
    head.add(expr(tail.sub(0, order)));
    if (order < tail.size() && pg() && s[1].word("DISTINCT")) {
        // The server orders a DISTINCT list only by its own columns: order the rows it gives.
        const QString inner = head.text();
        head = Out();
        head.add(QStringLiteral("SELECT * FROM (") + inner + QStringLiteral(") AS zx_q ORDER BY"));
        head.add(orderBy(tail.sub(order + 2, orderEnd), true));
        head.add(expr(tail.from(orderEnd)));
    } else if (order < tail.size()) {
        head.add(QStringLiteral("ORDER BY"));
        head.add(orderBy(tail.sub(order + 2, orderEnd), false));
        head.add(expr(tail.from(orderEnd)));
    }
    if (limit.isEmpty()) return head.text();
    if (inCompound)
        return QString::fromLatin1(pg() ? "SELECT * FROM (%1 LIMIT %2) AS zx_m" : "SELECT * FROM (%1 LIMIT %2)")
            .arg(head.text(), limit);
    return head.text() + QStringLiteral(" LIMIT ") + limit;
}

bool Emitter::ordersText(Span s) {
    if (m_ddl || s.empty()) return false;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i].word("COLLATE")) return false;
    // The server refuses a collation on anything but text: only what is known to be text.
    return pg() ? classify(s) == Cls::Text && !isBitColumn(s) : !isNumberLike(classify(s));
}

// The nodes of the operand starting at b up to its first operator: a literal, variable, name,
// call, group, CASE or CAST; b when it is none of these.
size_t Emitter::primaryEnd(Span s, size_t b) {
    if (b >= s.size()) return b;
    const Node& n = s[b];
    if (n.group() || n.kind(TokenKind::String) || n.kind(TokenKind::Number) ||
        n.kind(TokenKind::Variable))
        return b + 1;
    if (n.word("CASE")) return matchEnd(s, b) + 1;
    if ((n.word("CAST") || n.word("CONVERT")) && b + 1 < s.size() && s[b + 1].group()) return b + 2;
    if (n.kind(TokenKind::Symbol) || isKeyword(n)) return b;
    const QString saved = error;
    const Name name = readName(s, b);
    error = saved;
    size_t end = b + name.length;
    if (end < s.size() && s[end].group() && !isHintGroup(s[end])) ++end;
    return end;
}

// Writes the operand at b, in the text order when it is text (an explicit COLLATE on one side
// of a comparison decides it). Answers the index after it; b when nothing was written.
size_t Emitter::orderedOperand(Span s, size_t b, Out& out) {
    const size_t end = primaryEnd(s, b);
    if (end == b || (end < s.size() && s[end].word("COLLATE")) || !ordersText(s.sub(b, end)))
        return b;
    if (pg())  // BETWEEN takes a collated operand only in parentheses there
        out.add(QLatin1Char('(') + seq(s.sub(b, end)) + QStringLiteral(" COLLATE ") + textOrder() + QLatin1Char(')'));
    else
        out.add(seq(s.sub(b, end)) + QStringLiteral(" COLLATE ") + textOrder());
    return end;
}

QString Emitter::orderBy(Span s, bool withoutPrefixes) {
    QStringList terms;
    for (Span term : splitTop(s, ",")) {
        Out out;
        QString direction;
        if (term.size() > 1 && (term[term.size() - 1].word("ASC") || term[term.size() - 1].word("DESC"))) {
            direction = term[term.size() - 1].tok->upper;
            term = term.sub(0, term.size() - 1);
        }
        bool done = false;
        if (withoutPrefixes && term.size() >= 3 &&
            (term[0].kind(TokenKind::Word) || term[0].kind(TokenKind::Ident)) &&
            term[1].symbol(".") && !isKeyword(term[0])) {
            QString saved = error;
            const Name n = readName(term, 0);
            error = saved;
            if (!n.rest.isEmpty() && !(n.length < term.size() && term[n.length].group())) {
                out.add(pg() ? ident(storedParts(n).last()) : sqliteIdent(n.rest.last()));
                if (n.length < term.size()) out.add(expr(term.from(n.length)));
                done = true;
            }
        }
        if (!done) out.add(expr(term));
        if (ordersText(term)) out.add(QStringLiteral("COLLATE ") + textOrder());
        out.add(direction);
        // NULL is the least value here; the server would put it last.
        if (pg()) out.add(direction == QLatin1String("DESC") ? QStringLiteral("NULLS LAST") : QStringLiteral("NULLS FIRST"));
        terms << out.text();
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
    const QStringList targets = std::exchange(m_targetTypes, {});
    for (size_t m = 0; m < members.size(); ++m) {
        if (m > 0) out.add(ops[int(m - 1)]);
        const Span& member = members[m];
        if (member.size() == 1 && member[0].group()) {
            m_targetTypes = targets;
            out.add(QStringLiteral("SELECT * FROM (") + query(spanOf(member[0].kids)) +
                    QLatin1String(pg() ? ") AS zx_m" : ")"));
        } else {
            m_pendingTargets = targets;
            out.add(selectCore(member, compound));
        }
    }
    if (compound && !order.empty()) {
        // The server takes only the result's own column names in the ORDER BY of a UNION;
        // ordered by a collation they stand in an outer query.
        if (pg()) {
            const QString inner = out.text();
            out = Out();
            out.add(QStringLiteral("SELECT * FROM (") + inner + QStringLiteral(") AS zx_u"));
        }
        out.add(QStringLiteral("ORDER BY"));
        out.add(orderBy(order, true));
    }
    return out.text();
}

}  // namespace platform::sql::detail
