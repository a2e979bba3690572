#pragma once
// The two statements that the search box's text turns into.
#include <string>
#include <string_view>

namespace search {

// The statement for an empty search box: every question of the bank.
inline constexpr std::string_view kWholeBankStatement = "select 题目 from tiku";

// The statement for the search text: the whole bank for the empty text, otherwise the questions whose
// text contains the search text, letter case ignored. The text goes into a double-quoted literal; each
// double quote in it is written twice, so that it stays a character of the text and cannot end the
// literal early.
std::string statementFor(std::string_view searchText);

// The search text as the inside of a double-quoted literal.
std::string quotedLiteralBody(std::string_view text);

}  // namespace search
