#pragma once
// The translator's writer: walks the token tree of one statement or expression and writes its
// SQLite or PostgreSQL text (the target). Its work is spread over units with one job each:
//   NameResolution.cpp     dbo., three-part and db..t names, #temp/tempdb, syscolumns, the
//                          stored spelling of names
//   PlusTyping.cpp         whether "+" joins texts or adds numbers (expr() finds the chains)
//   ExpressionRewrite.cpp  literals, variables, CASE, functions, CAST/CONVERT
//   QueryRewrite.cpp       SELECT lists ('alias' = expr), TOP, UNION and its ORDER BY, the
//                          order text is compared in
//   StatementRewrite.cpp   INSERT, UPDATE, DELETE, CREATE, DROP, ALTER
//   Conversions.cpp        what the dialect converts by itself and PostgreSQL does not: text
//                          against numbers, bit columns as numbers, LIKE
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "platform/sql/SqlTypes.h"
#include "platform/sql/TokenTree.h"
#include "platform/sql/Translator.h"

namespace platform::sql::detail {

// Type classes for "+" and the conversions.
enum class Cls { Unknown, Number, Text, Money, Date };

inline Cls fromDeclared(const QString& declared) {
    if (declared.isNull()) return Cls::Unknown;
    const TypeInfo info = TypeInfo::of(declared);
    if (info.text) return Cls::Text;
    if (info.money) return Cls::Money;
    if (info.numeric) return Cls::Number;
    if (info.datetime) return Cls::Date;
    return Cls::Unknown;
}

inline bool isNumberLike(Cls c) { return c == Cls::Number || c == Cls::Money; }

// A string literal of blanks only: no value of a date on the server.
inline bool isBlankText(Span s) {
    return s.size() == 1 && s[0].kind(TokenKind::String) && s[0].tok->text.trimmed().isEmpty();
}
// syscolumns or sysobjects, in any letter case.
bool isCatalogueView(const QString& name);

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
            const VariableTypes& variables, const std::vector<Node>& root,
            Target target = Target::Sqlite)
        : m_catalog(catalog), m_attached(attached), m_schema(schema), m_variables(variables),
          m_root(root), m_target(target) {}

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

    // -- the target's spelling
    bool pg() const { return m_target == Target::Postgres; }
    QString ident(const QString& name) const;
    QString textOrder() const;  // the collation text is ordered in

    // -- names
    Name readName(Span s, size_t i);
    QString emitName(const Name& n);
    // The stored spelling of a name's parts: table, alias or column as the statement allows.
    QStringList storedParts(const Name& n);
    // The declared type of the column a name stands for; null when it is none or ambiguous.
    QString declaredOf(const Name& n);
    QString mapDatabase(const QString& db);
    QString syscolumns(const QString& schema);
    QString sysobjects(const QString& schema);

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
    bool named(Span item);
    QString columnDefinition(Span d);
    std::optional<QString> pgUpdate(Span s);
    std::optional<QString> pgAlterColumn(const Name& table, Span s);
    QString orderBy(Span s, bool withoutPrefixes);
    // Text is ordered as the server orders it: ORDER BY, MIN/MAX and <, >, BETWEEN name the
    // connection's Chinese order, except in tables and indexes (DDL), which keep NOCASE.
    bool ordersText(Span s);
    size_t primaryEnd(Span s, size_t b);
    size_t orderedOperand(Span s, size_t b, Out& out);
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

    // -- conversions the dialect makes by itself (PostgreSQL)
    bool isBitColumn(Span s);
    size_t primaryStart(Span s, size_t end);
    void markConversions(Span s);
    std::optional<QString> likeOperator(Span s);
    QString assigned(const QString& valueSql, Span value, const QString& targetType);
    struct Wrap {
        size_t length = 0;
        QString type;
    };
    QHash<const Node*, Wrap> m_wraps;  // operands written as CAST(… AS type)
    QStringList m_targetTypes;   // declared types of an INSERT's columns, for its SELECT list
    QStringList m_pendingTargets;

    struct TableRef {
        QString schema, table, alias;
        bool catalogue = false;  // syscolumns or sysobjects
    };
    // A column of a table as the statement reads it: its declared type (null when the table has
    // no such column) and its stored spelling. The catalogue views answer from their own list.
    QString columnTypeIn(const TableRef& t, const QString& column);
    QString storedColumnIn(const TableRef& t, const QString& column);
    void tablesIn(Span s, std::vector<TableRef>* out, std::vector<TableRef>* derived);
    // The tables a SELECT reads at its own level (those of its derived tables last): where a
    // bare column name is looked for first.
    std::vector<TableRef> scopeTables(Span s);
    std::vector<std::vector<TableRef>> m_scopes;  // of the SELECTs being written, innermost last

    const QString& m_catalog;
    const QStringList& m_attached;
    SchemaInfo* m_schema;
    const VariableTypes& m_variables;
    const std::vector<Node>& m_root;
    std::optional<std::vector<TableRef>> m_tables;
    QHash<QString, QString> m_aliases;  // lower-cased alias → as first written
    bool m_ddl = false;  // writing a table or index definition
    Target m_target;
};

}  // namespace platform::sql::detail
