#pragma once
// Tokens of the component's SQL dialect (T-SQL as the host's server speaks it).
#include <QString>
#include <vector>

namespace platform::sql {

enum class TokenKind {
    Word,      // keyword or plain identifier, also "#temp" names; `upper` holds it upper-cased
    Ident,     // [bracketed] or "quoted" identifier; `text` holds the name itself
    String,    // '...' or N'...'; `text` holds the value with quotes undoubled
    Number,    // 12, 1.5, 2e3, 0x1F
    Variable,  // @name (text as written) or @@name
    Symbol,    // ( ) , . ; + - * / % = <> != < > <= >= !< !> & | ^ ~
};

struct Token {
    TokenKind kind = TokenKind::Symbol;
    QString text;
    QString upper;        // Word: text upper-cased; Symbol: the symbol; otherwise empty
    bool national = false;  // String written N'...'
    int pos = 0;          // offset in the source text
    int end = 0;          // offset just after the token

    bool is(TokenKind k, const char* u) const { return kind == k && upper == QLatin1String(u); }
    bool isWord(const char* u) const { return is(TokenKind::Word, u); }
    bool isSymbol(const char* s) const { return is(TokenKind::Symbol, s); }
};

// Splits `sql` into tokens, dropping blanks and comments. False with `error` filled on an
// unterminated literal or comment or a character the dialect does not know.
bool tokenize(const QString& sql, std::vector<Token>* tokens, QString* error);

}  // namespace platform::sql
