#pragma once
// Splits a statement of the Jet dialect into tokens.
//
// Positions are 1-based and count characters (Unicode code points) of the statement, so that a
// message can point at the place the user sees. Keywords are recognised case-insensitively; a name in
// square brackets is always a name, never a keyword.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ado::sql {

enum class TokenKind {
    End,         // after the last token
    Name,        // plain or [bracketed] name; text holds the name without brackets
    Keyword,     // a reserved word; text holds it in upper case
    Integer,     // digits only; text holds the digits
    Real,        // a number with a point or an exponent; text holds it as written
    Text,        // a quoted literal; text holds its value with doubled quotes undone
    Parameter,   // ?
    Symbol,      // an operator or punctuation; text holds it: = <> < > <= >= + - * / \ ^ & ( ) , . ;
};

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    std::size_t position = 0;  // of the token's first character
    bool bracketed = false;    // a Name written as [name]
};

// The longest statement accepted, in bytes of UTF-8.
inline constexpr std::size_t kMaxStatementBytes = 1u << 20;

// The tokens of a statement, ending with one End token. Throws ado::EngineError for text that is not
// UTF-8, an unterminated literal or bracketed name, a character that starts no token, or a statement
// longer than kMaxStatementBytes.
std::vector<Token> tokenize(std::string_view utf8);

// Whether a word (any case) is one of the dialect's reserved words.
bool isKeyword(std::string_view word);

}  // namespace ado::sql
