#pragma once
// The question bank's settings as the main window's description gives them to its query.
#include <string_view>

namespace bank {

// The bank file is named without a folder: it is looked up in the current directory when connecting.
inline constexpr std::string_view kConnectionString =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=data.mdb;Persist Security Info=False";
inline constexpr std::string_view kFileName = "data.mdb";
inline constexpr std::string_view kInitialStatement = "select * from tiku";
inline constexpr std::string_view kTable = "tiku";
inline constexpr std::string_view kQuestionColumn = "题目";

}  // namespace bank

namespace vcl {
class TADOQuery;
}

namespace bank {

// Gives a query the bank's settings as the window description does: the connection string, the static
// cursor and the initial statement as its only line. Opening is left to the caller (or to Loaded()).
void applyQuestionBankSettings(vcl::TADOQuery& query);

}  // namespace bank
