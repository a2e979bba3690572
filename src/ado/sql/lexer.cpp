#include "ado/sql/lexer.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "ado/sql/error_at.h"

namespace ado::sql {
namespace {

constexpr std::array kKeywords = {
    "ALL",    "AND",  "AS",     "ASC",   "BETWEEN", "BY",     "DELETE", "DESC", "DISTINCT", "FALSE",
    "FROM",   "IN",   "INSERT", "INTO",  "IS",      "LIKE",   "MOD",    "NOT",  "NULL",     "OR",
    "ORDER",  "PERCENT", "SELECT", "SET", "TOP",    "TRUE",   "UPDATE", "VALUES", "WHERE",
};

std::string asciiUpper(std::string_view word) {
    std::string up(word);
    for (char& c : up)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return up;
}

bool isIdentifierStart(UChar32 c) { return c == '_' || u_hasBinaryProperty(c, UCHAR_ID_START); }
bool isIdentifierPart(UChar32 c) { return c == '_' || u_hasBinaryProperty(c, UCHAR_ID_CONTINUE); }
bool isDigit(UChar32 c) { return c >= '0' && c <= '9'; }
bool isBlank(UChar32 c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v' || u_isUWhiteSpace(c); }

// Walks the statement one code point at a time, counting character positions.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool atEnd() const { return offset_ >= text_.size(); }
    std::size_t position() const { return position_; }
    std::size_t offset() const { return offset_; }

    UChar32 peek(std::size_t ahead = 0) const {
        std::size_t at = offset_;
        UChar32 c = U_SENTINEL;
        for (std::size_t i = 0; i <= ahead; ++i) {
            if (at >= text_.size()) return U_SENTINEL;
            U8_NEXT(text_.data(), at, text_.size(), c);
        }
        return c;
    }
    UChar32 next() {
        UChar32 c;
        U8_NEXT(text_.data(), offset_, text_.size(), c);
        ++position_;
        return c;
    }
    std::string_view slice(std::size_t from) const { return text_.substr(from, offset_ - from); }

private:
    std::string_view text_;
    std::size_t offset_ = 0;
    std::size_t position_ = 1;
};

void appendUtf8(std::string& out, UChar32 c) {
    char buffer[4];
    std::size_t length = 0;
    UBool error = false;
    U8_APPEND(buffer, length, 4, c, error);
    (void)error;  // c is a valid code point: it was decoded from checked UTF-8
    out.append(buffer, length);
}

Token quotedText(Reader& in) {
    Token token{TokenKind::Text, {}, in.position()};
    const UChar32 quote = in.next();
    for (;;) {
        if (in.atEnd()) failAt("文本常量缺少结束的引号", token.position);
        const UChar32 c = in.next();
        if (c == quote) {
            if (in.peek() != quote) return token;
            in.next();
        }
        appendUtf8(token.text, c);
    }
}

Token bracketedName(Reader& in) {
    Token token{TokenKind::Name, {}, in.position(), true};
    in.next();
    for (;;) {
        if (in.atEnd()) failAt("方括号中的名称缺少“]”", token.position);
        const UChar32 c = in.next();
        if (c == ']') break;
        if (c == '[') failAt("方括号中的名称不能含有“[”", in.position() - 1);
        appendUtf8(token.text, c);
    }
    if (token.text.empty()) failAt("方括号中的名称为空", token.position);
    return token;
}

Token number(Reader& in) {
    const std::size_t start = in.offset();
    Token token{TokenKind::Integer, {}, in.position()};
    while (isDigit(in.peek())) in.next();
    if (in.peek() == '.' && (isDigit(in.peek(1)) || start != in.offset())) {
        token.kind = TokenKind::Real;
        in.next();
        while (isDigit(in.peek())) in.next();
    }
    const UChar32 e = in.peek();
    if (e == 'e' || e == 'E') {
        const UChar32 after = in.peek(1);
        const bool signed_ = after == '+' || after == '-';
        if (isDigit(signed_ ? in.peek(2) : after)) {
            token.kind = TokenKind::Real;
            in.next();
            if (signed_) in.next();
            while (isDigit(in.peek())) in.next();
        }
    }
    if (isIdentifierPart(in.peek()) && !isDigit(in.peek()))
        failAt("数字后面紧跟着名称字符", in.position());
    token.text = std::string(in.slice(start));
    return token;
}

Token name(Reader& in) {
    const std::size_t start = in.offset();
    Token token{TokenKind::Name, {}, in.position()};
    in.next();
    while (!in.atEnd() && isIdentifierPart(in.peek())) in.next();
    token.text = std::string(in.slice(start));
    if (isKeyword(token.text)) {
        token.kind = TokenKind::Keyword;
        token.text = asciiUpper(token.text);
    }
    return token;
}

Token symbol(Reader& in) {
    Token token{TokenKind::Symbol, {}, in.position()};
    const UChar32 c = in.next();
    token.text = static_cast<char>(c);
    if ((c == '<' && (in.peek() == '>' || in.peek() == '=')) || (c == '>' && in.peek() == '='))
        token.text += static_cast<char>(in.next());
    return token;
}

void requireUtf8(std::string_view text) {
    std::size_t offset = 0, position = 1;
    while (offset < text.size()) {
        UChar32 c;
        U8_NEXT(text.data(), offset, text.size(), c);
        if (c < 0) failAt("语句不是有效的 UTF-8 文本", position);
        ++position;
    }
}

}  // namespace

bool isKeyword(std::string_view word) {
    if (word.size() > 8) return false;
    const std::string up = asciiUpper(word);
    return std::find(kKeywords.begin(), kKeywords.end(), std::string_view(up)) != kKeywords.end();
}

std::vector<Token> tokenize(std::string_view utf8) {
    if (utf8.size() > kMaxStatementBytes)
        throw EngineError("语句太长：超过 " + std::to_string(kMaxStatementBytes) + " 字节");
    requireUtf8(utf8);
    std::vector<Token> tokens;
    Reader in(utf8);
    while (!in.atEnd()) {
        const UChar32 c = in.peek();
        if (isBlank(c)) {
            in.next();
        } else if (c == '"' || c == '\'') {
            tokens.push_back(quotedText(in));
        } else if (c == '[') {
            tokens.push_back(bracketedName(in));
        } else if (isDigit(c) || (c == '.' && isDigit(in.peek(1)))) {
            tokens.push_back(number(in));
        } else if (isIdentifierStart(c)) {
            tokens.push_back(name(in));
        } else if (c == '?') {
            tokens.push_back(Token{TokenKind::Parameter, "?", in.position()});
            in.next();
        } else if (c < 0x80 && std::string_view("=<>+-*/\\^&(),.;").find(static_cast<char>(c)) != std::string_view::npos) {
            tokens.push_back(symbol(in));
        } else {
            std::string shown;
            appendUtf8(shown, c);
            failAt("无法识别的字符“" + shown + "”", in.position());
        }
    }
    tokens.push_back(Token{TokenKind::End, {}, in.position()});
    return tokens;
}

}  // namespace ado::sql
