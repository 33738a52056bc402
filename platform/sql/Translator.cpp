// The translator itself: keeps translations by statement text and hands each new statement or
// expression to the writer (Emitter.h).
#include "platform/sql/Translator.h"

#include "platform/sql/Emitter.h"

namespace platform::sql {

using detail::Emitter;
using detail::Node;
using detail::spanOf;

Translator::Translator(QString catalog, QStringList attached, SchemaInfo* schema, Target target)
    : m_catalog(std::move(catalog)), m_attached(std::move(attached)), m_schema(schema),
      m_target(target) {}

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
    if (!detail::buildTree(tokens, &root, &why)) {
        if (error) *error = why;
        return false;
    }
    if (root.empty()) {
        if (error) *error = QStringLiteral("the statement is empty");
        return false;
    }
    Emitter emitter(m_catalog, m_attached, m_schema, variables, root, m_target);
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
