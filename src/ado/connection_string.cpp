#include "ado/connection_string.h"

#include <algorithm>
#include <cctype>

#include "ado/engine_error.h"

namespace ado {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string inQuotes(std::string_view text) { return "“" + std::string(text) + "”"; }

}  // namespace

ConnectionString ConnectionString::parse(std::string_view text) {
    ConnectionString result;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t equals = text.find('=', at);
        const std::size_t semicolon = text.find(';', at);
        if (equals == std::string_view::npos || (semicolon != std::string_view::npos && semicolon < equals)) {
            // A piece without "=": only blanks are allowed there (empty pieces, a trailing ";").
            const std::size_t end = semicolon == std::string_view::npos ? text.size() : semicolon;
            if (!trim(text.substr(at, end - at)).empty())
                throw EngineError("连接字符串格式不正确：" + inQuotes(trim(text.substr(at, end - at))) +
                                  " 不是“名称=值”的形式");
            at = end + 1;
            continue;
        }
        const std::string key(trim(text.substr(at, equals - at)));
        if (key.empty()) throw EngineError("连接字符串格式不正确：“=”前面缺少名称");
        std::size_t pos = equals + 1;
        while (pos < text.size() && isBlank(text[pos])) ++pos;
        std::string value;
        if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'')) {
            const char quote = text[pos++];
            bool closed = false;
            while (pos < text.size()) {
                if (text[pos] == quote) {
                    if (pos + 1 < text.size() && text[pos + 1] == quote) {
                        value += quote;
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    closed = true;
                    break;
                }
                value += text[pos++];
            }
            if (!closed) throw EngineError("连接字符串格式不正确：" + inQuotes(key) + " 的值缺少结尾的引号");
            while (pos < text.size() && isBlank(text[pos])) ++pos;
            if (pos < text.size() && text[pos] != ';')
                throw EngineError("连接字符串格式不正确：" + inQuotes(key) + " 的值在引号之后还有其他字符");
        } else {
            const std::size_t end = std::min(text.find(';', pos), text.size());
            value = std::string(trim(text.substr(pos, end - pos)));
            pos = end;
        }
        result.properties.emplace_back(key, value);
        at = pos + 1;
    }
    if (auto provider = result.get("Provider")) result.provider = *provider;
    if (auto source = result.get("Data Source")) result.dataSource = *source;
    return result;
}

std::optional<std::string> ConnectionString::get(std::string_view key) const {
    std::optional<std::string> found;
    for (const auto& [name, value] : properties)
        if (equalsIgnoringCase(name, key)) found = value;
    return found;
}

bool isJetProvider(std::string_view provider) {
    provider = trim(provider);
    return equalsIgnoringCase(provider, "Microsoft.Jet.OLEDB.4.0") ||
           equalsIgnoringCase(provider, "Microsoft.Jet.OLEDB.3.51") || equalsIgnoringCase(provider, "Microsoft.Jet.OLEDB");
}

}  // namespace ado
