#include "platform/sql/TokenTree.h"

namespace platform::sql::detail {

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

}  // namespace platform::sql::detail
