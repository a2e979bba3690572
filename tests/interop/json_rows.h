#pragma once
// The JSON lines that mdbtools' mdb-json prints, one object per row, parsed just far enough to compare
// with what our reader returns: strings, numbers, true/false/null and {"$binary": base64} objects.
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace interop {

struct JsonValue {
    enum class Kind { String, Number, Boolean, Null, Binary } kind = Kind::Null;
    std::string text;  // String: the text (UTF-8); Number: the literal as printed; Binary: the decoded bytes
    bool boolean = false;
};

using JsonRow = std::map<std::string, JsonValue>;

class JsonLineParser {
public:
    explicit JsonLineParser(std::string_view line) : s_(line) {}

    JsonRow parseObject() {
        JsonRow row;
        expect('{');
        skipSpace();
        if (peek() == '}') return ++i_, row;
        for (;;) {
            skipSpace();
            std::string key = parseString();
            skipSpace();
            expect(':');
            skipSpace();
            row[key] = parseValue();
            skipSpace();
            if (peek() == ',') {
                ++i_;
                continue;
            }
            expect('}');
            return row;
        }
    }

private:
    JsonValue parseValue() {
        JsonValue v;
        const char c = peek();
        if (c == '"') {
            v.kind = JsonValue::Kind::String;
            v.text = parseString();
        } else if (c == '{') {
            JsonRow inner = parseObject();
            v.kind = JsonValue::Kind::Binary;
            v.text = decodeBase64(inner["$binary"].text);
        } else if (s_.substr(i_, 4) == "true" || s_.substr(i_, 5) == "false") {
            v.kind = JsonValue::Kind::Boolean;
            v.boolean = c == 't';
            i_ += v.boolean ? 4 : 5;
        } else if (s_.substr(i_, 4) == "null") {
            i_ += 4;
        } else {
            v.kind = JsonValue::Kind::Number;
            const std::size_t start = i_;
            while (i_ < s_.size() && std::string_view("+-0123456789.eE").find(s_[i_]) != std::string_view::npos) ++i_;
            if (start == i_) throw std::runtime_error("unexpected JSON at " + std::to_string(i_));
            v.text = std::string(s_.substr(start, i_ - start));
        }
        return v;
    }

    std::string parseString() {
        expect('"');
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            c = s_.at(i_++);
            switch (c) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                std::uint32_t cp = hex4();
                if (cp >= 0xd800 && cp < 0xdc00 && s_.substr(i_, 2) == "\\u") {
                    i_ += 2;
                    cp = 0x10000 + ((cp - 0xd800) << 10) + (hex4() - 0xdc00);
                }
                appendUtf8(out, cp);
                break;
            }
            default: out += c;
            }
        }
        expect('"');
        return out;
    }

    std::uint32_t hex4() {
        const std::uint32_t v = std::stoul(std::string(s_.substr(i_, 4)), nullptr, 16);
        i_ += 4;
        return v;
    }

    static void appendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xc0 | cp >> 6);
            out += char(0x80 | (cp & 0x3f));
        } else if (cp < 0x10000) {
            out += char(0xe0 | cp >> 12);
            out += char(0x80 | (cp >> 6 & 0x3f));
            out += char(0x80 | (cp & 0x3f));
        } else {
            out += char(0xf0 | cp >> 18);
            out += char(0x80 | (cp >> 12 & 0x3f));
            out += char(0x80 | (cp >> 6 & 0x3f));
            out += char(0x80 | (cp & 0x3f));
        }
    }

    static std::string decodeBase64(std::string_view in) {
        static constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        std::string out;
        std::uint32_t buffer = 0;
        int bits = 0;
        for (char c : in) {
            const auto pos = alphabet.find(c);
            if (pos == std::string_view::npos) continue;  // '=' padding
            buffer = buffer << 6 | std::uint32_t(pos);
            bits += 6;
            if (bits >= 8) {
                bits -= 8;
                out += char(buffer >> bits & 0xff);
            }
        }
        return out;
    }

    char peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    void skipSpace() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    void expect(char c) {
        if (peek() != c) throw std::runtime_error(std::string("expected '") + c + "' at " + std::to_string(i_));
        ++i_;
    }

    std::string_view s_;
    std::size_t i_ = 0;
};

// Every object line of mdb-json's output.
inline std::vector<JsonRow> parseJsonLines(const std::string& output) {
    std::vector<JsonRow> rows;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string_view line(output.data() + start, end - start);
        if (!line.empty() && line.front() == '{') rows.push_back(JsonLineParser(line).parseObject());
        start = end + 1;
    }
    return rows;
}

}  // namespace interop
