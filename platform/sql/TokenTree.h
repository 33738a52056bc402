#pragma once
// The translator's view of a statement: tokens with parentheses turned into groups, the word
// lists of the dialect, and an output text that puts blanks only where SQL needs them.
#include <QSet>
#include <QString>
#include <vector>

#include "platform/sql/Lexer.h"

namespace platform::sql::detail {

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

inline Span spanOf(const std::vector<Node>& v) { return {v.data(), v.data() + v.size()}; }

// Groups the tokens by parentheses; false with `error` when they do not balance.
bool buildTree(const std::vector<Token>& tokens, std::vector<Node>* root, QString* error);

// Keywords of the dialect that the translator passes on as they are.
const QSet<QString>& keywords();
// Words of the dialect the host does not have; a statement using one is refused, naming it.
const QSet<QString>& unsupportedWords();
bool isKeyword(const Node& n);
// A group of table hints that change locking only: (nolock), (rowlock, updlock) …
bool isHintGroup(const Node& n);
bool isComparison(const Node& n);
bool isMultiplicative(const Node& n);

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

}  // namespace platform::sql::detail
