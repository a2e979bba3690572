#include "search/search_statement.h"

namespace search {

namespace {
constexpr std::string_view kConditionHead = "select 题目 from tiku where InStr(1,LCase(题目),LCase(\"";
constexpr std::string_view kConditionTail = "\"),0)<>0";
}  // namespace

std::string quotedLiteralBody(std::string_view text)
{
    std::string body;
    body.reserve(text.size());
    for (char c : text) {
        body += c;
        if (c == '"')
            body += '"';
    }
    return body;
}

std::string statementFor(std::string_view searchText)
{
    if (searchText.empty())
        return std::string(kWholeBankStatement);
    std::string statement;
    statement.reserve(kConditionHead.size() + searchText.size() + kConditionTail.size());
    statement += kConditionHead;
    statement += quotedLiteralBody(searchText);
    statement += kConditionTail;
    return statement;
}

}  // namespace search
