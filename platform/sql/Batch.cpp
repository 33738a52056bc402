#include "platform/sql/Batch.h"

#include <QRegularExpression>

namespace platform::sql {

namespace {

// Keywords that always begin a new statement when they stand outside parentheses.
bool startsStatement(const QString& u) {
    static const QStringList words = {
        QStringLiteral("INSERT"),   QStringLiteral("UPDATE"),  QStringLiteral("DELETE"),
        QStringLiteral("DECLARE"),  QStringLiteral("IF"),      QStringLiteral("DROP"),
        QStringLiteral("CREATE"),   QStringLiteral("ALTER"),   QStringLiteral("BEGIN"),
        QStringLiteral("EXEC"),     QStringLiteral("EXECUTE"), QStringLiteral("TRUNCATE"),
        QStringLiteral("PRINT"),    QStringLiteral("RETURN"),  QStringLiteral("GO"),
        QStringLiteral("WHILE"),    QStringLiteral("MERGE"),   QStringLiteral("RAISERROR"),
        QStringLiteral("COMMIT"),   QStringLiteral("ROLLBACK"), QStringLiteral("GOTO"),
        QStringLiteral("WAITFOR"),  QStringLiteral("THROW"),   QStringLiteral("USE"),
    };
    return words.contains(u);
}

// Statements this dialect knows but the host does not run.
bool unsupportedStatement(const QString& u) {
    static const QStringList words = {
        QStringLiteral("WHILE"),  QStringLiteral("MERGE"),      QStringLiteral("GOTO"),
        QStringLiteral("WAITFOR"), QStringLiteral("RAISERROR"), QStringLiteral("THROW"),
        QStringLiteral("OPEN"),   QStringLiteral("FETCH"),      QStringLiteral("CLOSE"),
        QStringLiteral("DEALLOCATE"), QStringLiteral("USE"),    QStringLiteral("GRANT"),
        QStringLiteral("REVOKE"), QStringLiteral("DENY"),       QStringLiteral("COMMIT"),
        QStringLiteral("ROLLBACK"), QStringLiteral("SAVE"),     QStringLiteral("BREAK"),
        QStringLiteral("CONTINUE"), QStringLiteral("WITH"),     QStringLiteral("BULK"),
        QStringLiteral("DBCC"),   QStringLiteral("BACKUP"),     QStringLiteral("RESTORE"),
        QStringLiteral("KILL"),   QStringLiteral("CHECKPOINT"), QStringLiteral("RECONFIGURE"),
        QStringLiteral("SHUTDOWN"), QStringLiteral("READTEXT"), QStringLiteral("WRITETEXT"),
        QStringLiteral("UPDATETEXT"), QStringLiteral("ENABLE"), QStringLiteral("DISABLE"),
    };
    return words.contains(u);
}

class Parser {
public:
    Parser(const QString& sql, std::vector<Token> tokens) : m_sql(sql), m_t(std::move(tokens)) {}

    bool parseAll(std::vector<Statement>* out) {
        while (skipSemicolons()) {
            if (!parseStatement(out, m_i == 0)) return false;
        }
        return true;
    }

    QString error;

private:
    enum class Scan { Query, Insert, Update, Create, Alter, Expression, Other };

    bool atEnd() const { return m_i >= m_t.size(); }
    const Token& cur() const { return m_t[m_i]; }

    bool skipSemicolons() {
        while (!atEnd() && cur().isSymbol(";")) ++m_i;
        return !atEnd();
    }

    bool fail(const QString& text) {
        error = text;
        return false;
    }

    QString sourceOf(size_t first, size_t last) const {
        if (first >= m_t.size() || last <= first) return {};
        return m_sql.mid(m_t[first].pos, m_t[last - 1].end - m_t[first].pos);
    }

    static bool isCompoundWord(const Token& t) {
        return t.isWord("UNION") || t.isWord("ALL") || t.isWord("EXCEPT") ||
               t.isWord("INTERSECT");
    }

    // Index of the first token after the statement or expression that starts at `from`.
    bool scan(size_t from, Scan kind, size_t* stop) {
        int depth = 0;
        int caseDepth = 0;
        bool insertSource = false;
        bool updateSet = false;
        size_t j = from;
        for (; j < m_t.size(); ++j) {
            const Token& t = m_t[j];
            if (t.kind == TokenKind::Symbol) {
                if (t.upper == QLatin1String("(")) {
                    ++depth;
                } else if (t.upper == QLatin1String(")")) {
                    if (--depth < 0) return fail(QStringLiteral("unbalanced ) at position %1").arg(t.pos));
                } else if (depth == 0 && t.upper == QLatin1String(";")) {
                    break;
                }
                continue;
            }
            if (depth > 0 || t.kind != TokenKind::Word) continue;
            const QString& u = t.upper;
            if (u == QLatin1String("CASE")) {
                ++caseDepth;
            } else if (u == QLatin1String("END")) {
                if (caseDepth == 0) break;
                --caseDepth;
            } else if (u == QLatin1String("ELSE")) {
                if (caseDepth == 0) break;
            } else if (u == QLatin1String("SELECT")) {
                if (j > 0 && isCompoundWord(m_t[j - 1])) continue;
                if (kind == Scan::Insert && !insertSource) {
                    insertSource = true;
                    continue;
                }
                if (kind == Scan::Create && j > 0 && m_t[j - 1].isWord("AS")) continue;
                break;
            } else if (u == QLatin1String("VALUES")) {
                insertSource = true;
            } else if (u == QLatin1String("SET")) {
                if (kind == Scan::Update && !updateSet) {
                    updateSet = true;
                    continue;
                }
                break;
            } else if (kind == Scan::Alter && (u == QLatin1String("DROP") || u == QLatin1String("ALTER")) &&
                       j + 1 < m_t.size() &&
                       (m_t[j + 1].isWord("COLUMN") || m_t[j + 1].isWord("CONSTRAINT"))) {
                continue;  // ALTER TABLE t DROP COLUMN c, ALTER TABLE t ALTER COLUMN c …
            } else if (startsStatement(u)) {
                break;
            }
        }
        if (depth > 0) return fail(QStringLiteral("missing ) in: %1").arg(statementText(sourceOf(from, j))));
        *stop = j;
        return true;
    }

    bool parseStatement(std::vector<Statement>* out, bool batchStart) {
        const size_t first = m_i;
        const Token& t = cur();
        if (t.kind == TokenKind::Symbol && t.upper == QLatin1String("(")) return parseSql(out, Scan::Query);
        if (t.kind != TokenKind::Word)
            return fail(QStringLiteral("unsupported T-SQL construct: %1").arg(
                statementText(m_sql.mid(t.pos, 60))));
        const QString u = t.upper;
        if (u == QLatin1String("SELECT")) return parseSql(out, Scan::Query);
        if (u == QLatin1String("INSERT")) return parseSql(out, Scan::Insert);
        if (u == QLatin1String("UPDATE")) return parseSql(out, Scan::Update);
        if (u == QLatin1String("CREATE")) return parseSql(out, Scan::Create);
        if (u == QLatin1String("ALTER")) return parseSql(out, Scan::Alter);
        if (u == QLatin1String("DELETE") || u == QLatin1String("DROP") || u == QLatin1String("TRUNCATE"))
            return parseSql(out, Scan::Other);
        if (u == QLatin1String("DECLARE")) return parseDeclare(out);
        if (u == QLatin1String("SET")) return parseSet(out);
        if (u == QLatin1String("IF")) return parseIf(out);
        if (u == QLatin1String("BEGIN")) return parseBlock(out);
        if (u == QLatin1String("EXEC") || u == QLatin1String("EXECUTE")) {
            ++m_i;
            return parseExec(out, first);
        }
        if (u == QLatin1String("PRINT") || u == QLatin1String("GO")) {
            size_t stop;
            if (!scan(m_i + 1, Scan::Expression, &stop)) return false;
            Statement s;
            s.kind = Statement::Kind::Nothing;
            s.source = sourceOf(first, stop);
            m_i = stop;
            out->push_back(std::move(s));
            return true;
        }
        if (u == QLatin1String("RETURN")) {
            Statement s;
            s.kind = Statement::Kind::Return;
            s.source = t.text;
            ++m_i;
            out->push_back(std::move(s));
            return true;
        }
        if (u == QLatin1String("ELSE") || u == QLatin1String("END"))
            return fail(QStringLiteral("%1 without a matching %2").arg(
                u, u == QLatin1String("ELSE") ? QStringLiteral("IF") : QStringLiteral("BEGIN")));
        if (unsupportedStatement(u))
            return fail(QStringLiteral("unsupported T-SQL construct: %1").arg(u));
        if (batchStart) return parseExec(out, first);  // a batch naming a procedure
        return fail(QStringLiteral("unsupported T-SQL construct: %1").arg(
            statementText(m_sql.mid(t.pos, 60))));
    }

    bool parseSql(std::vector<Statement>* out, Scan kind) {
        size_t stop;
        if (!scan(m_i + 1, kind, &stop)) return false;
        Statement s;
        s.kind = Statement::Kind::Sql;
        s.tokens.assign(m_t.begin() + long(m_i), m_t.begin() + long(stop));
        s.source = sourceOf(m_i, stop);
        m_i = stop;
        out->push_back(std::move(s));
        return true;
    }

    bool parseDeclare(std::vector<Statement>* out) {
        const size_t first = m_i++;
        for (;;) {
            if (atEnd() || cur().kind != TokenKind::Variable)
                return fail(QStringLiteral("DECLARE needs a variable name: %1").arg(
                    statementText(sourceOf(first, std::min(m_i + 1, m_t.size())))));
            Statement d;
            d.kind = Statement::Kind::Declare;
            d.variable = cur().text.toLower();
            ++m_i;
            if (!atEnd() && cur().isWord("AS")) ++m_i;
            if (atEnd() || cur().kind != TokenKind::Word)
                return fail(QStringLiteral("DECLARE %1 needs a type").arg(d.variable));
            if (cur().isWord("TABLE") || cur().isWord("CURSOR"))
                return fail(QStringLiteral("unsupported T-SQL construct: DECLARE … %1").arg(cur().upper));
            const size_t typeStart = m_i++;
            if (!atEnd() && cur().isSymbol("(")) {
                while (!atEnd() && !cur().isSymbol(")")) ++m_i;
                if (atEnd()) return fail(QStringLiteral("missing ) in the type of %1").arg(d.variable));
                ++m_i;
            }
            d.typeName = sourceOf(typeStart, m_i);
            d.source = sourceOf(first, m_i);
            out->push_back(d);
            if (!atEnd() && cur().isSymbol("=")) {
                size_t stop;
                if (!scan(m_i + 1, Scan::Expression, &stop)) return false;
                // Stop at the next variable of the same DECLARE.
                for (size_t k = m_i + 1; k < stop; ++k) {
                    if (m_t[k].isSymbol(",") && k + 1 < stop && m_t[k + 1].kind == TokenKind::Variable) {
                        stop = k;
                        break;
                    }
                }
                Statement s;
                s.kind = Statement::Kind::Set;
                s.variable = d.variable;
                s.tokens.assign(m_t.begin() + long(m_i + 1), m_t.begin() + long(stop));
                s.source = sourceOf(first, stop);
                if (s.tokens.empty()) return fail(QStringLiteral("no value for %1").arg(d.variable));
                m_i = stop;
                out->push_back(std::move(s));
            }
            if (!atEnd() && cur().isSymbol(",")) {
                ++m_i;
                continue;
            }
            return true;
        }
    }

    bool parseSet(std::vector<Statement>* out) {
        const size_t first = m_i++;
        if (atEnd()) return fail(QStringLiteral("SET without anything to set"));
        if (cur().kind != TokenKind::Variable) {
            // Session options (SET NOCOUNT ON …) change nothing here.
            size_t stop;
            if (!scan(m_i, Scan::Expression, &stop)) return false;
            Statement s;
            s.kind = Statement::Kind::Nothing;
            s.source = sourceOf(first, stop);
            m_i = stop;
            out->push_back(std::move(s));
            return true;
        }
        Statement s;
        s.kind = Statement::Kind::Set;
        s.variable = cur().text.toLower();
        ++m_i;
        if (atEnd() || !cur().isSymbol("="))
            return fail(QStringLiteral("unsupported T-SQL construct: SET %1 %2").arg(
                s.variable, atEnd() ? QString() : cur().text));
        size_t stop;
        if (!scan(m_i + 1, Scan::Expression, &stop)) return false;
        s.tokens.assign(m_t.begin() + long(m_i + 1), m_t.begin() + long(stop));
        s.source = sourceOf(first, stop);
        if (s.tokens.empty()) return fail(QStringLiteral("no value for %1").arg(s.variable));
        m_i = stop;
        out->push_back(std::move(s));
        return true;
    }

    bool parseOne(std::vector<Statement>* out, const QString& where) {
        if (!skipSemicolons()) return fail(QStringLiteral("a statement is missing after %1").arg(where));
        std::vector<Statement> parts;
        if (!parseStatement(&parts, false)) return false;
        if (parts.size() == 1) {
            out->push_back(std::move(parts.front()));
        } else {
            Statement block;
            block.kind = Statement::Kind::Block;
            block.body = std::move(parts);
            out->push_back(std::move(block));
        }
        return true;
    }

    bool parseIf(std::vector<Statement>* out) {
        const size_t first = m_i++;
        size_t stop;
        if (!scan(m_i, Scan::Expression, &stop)) return false;
        if (stop == m_i) return fail(QStringLiteral("IF without a condition"));
        Statement s;
        s.kind = Statement::Kind::If;
        s.tokens.assign(m_t.begin() + long(m_i), m_t.begin() + long(stop));
        m_i = stop;
        const QString head = statementText(sourceOf(first, stop));
        if (!parseOne(&s.body, head)) return false;
        if (!atEnd() && cur().isWord("ELSE")) {
            ++m_i;
            if (!parseOne(&s.elseBody, QStringLiteral("ELSE"))) return false;
        }
        s.source = sourceOf(first, m_i);
        out->push_back(std::move(s));
        return true;
    }

    bool parseBlock(std::vector<Statement>* out) {
        const size_t first = m_i++;
        if (!atEnd() && (cur().isWord("TRAN") || cur().isWord("TRANSACTION") ||
                         cur().isWord("TRY") || cur().isWord("CATCH") || cur().isWord("DISTRIBUTED")))
            return fail(QStringLiteral("unsupported T-SQL construct: BEGIN %1").arg(cur().upper));
        Statement s;
        s.kind = Statement::Kind::Block;
        for (;;) {
            if (!skipSemicolons()) return fail(QStringLiteral("BEGIN without END"));
            if (cur().isWord("END")) {
                ++m_i;
                break;
            }
            if (!parseStatement(&s.body, false)) return false;
        }
        s.source = sourceOf(first, m_i);
        out->push_back(std::move(s));
        return true;
    }

    bool parseExec(std::vector<Statement>* out, size_t first) {
        if (atEnd() || (cur().kind != TokenKind::Word && cur().kind != TokenKind::Ident))
            return fail(QStringLiteral("EXEC needs a procedure name"));
        Statement s;
        s.kind = Statement::Kind::Exec;
        // dbo.name, db..name, db.dbo.name: the procedure is the last part.
        s.procedure = cur().text;
        ++m_i;
        while (!atEnd() && cur().isSymbol(".")) {
            ++m_i;
            if (!atEnd() && (cur().kind == TokenKind::Word || cur().kind == TokenKind::Ident)) {
                s.procedure = cur().text;
                ++m_i;
            }
        }
        size_t stop;
        if (!scan(m_i, Scan::Expression, &stop)) return false;
        s.tokens.assign(m_t.begin() + long(m_i), m_t.begin() + long(stop));
        s.source = sourceOf(first, stop);
        m_i = stop;
        out->push_back(std::move(s));
        return true;
    }

    const QString& m_sql;
    std::vector<Token> m_t;
    size_t m_i = 0;
};

}  // namespace

QString statementText(const QString& source) {
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QString text = source;
    text.replace(blanks, QStringLiteral(" "));
    text = text.trimmed();
    if (text.size() > 300) text = text.left(297) + QStringLiteral("...");
    return text;
}

bool parseBatch(const QString& sql, Batch* batch, QString* error) {
    batch->statements.clear();
    std::vector<Token> tokens;
    if (!tokenize(sql, &tokens, error)) return false;
    Parser parser(sql, std::move(tokens));
    if (!parser.parseAll(&batch->statements)) {
        if (error) *error = parser.error;
        return false;
    }
    return true;
}

}  // namespace platform::sql
