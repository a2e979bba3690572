#pragma once
// The scan of a statement for parameter markers: ":name" outside literals becomes "?", "::" becomes ":".
#include <string>
#include <string_view>
#include <vector>

namespace vcl {

struct ScannedStatement {
    std::string text;                 // the statement with every marker replaced by "?"
    std::vector<std::string> names;   // the markers' names in order (quotes around a name stripped)
};

// A literal opens at a double quote, an apostrophe or a grave accent and ends only at the same character;
// two of them in a row stand for one and keep it open. Inside a literal nothing is a marker. A marker ends
// at a line feed, carriage return, blank, ")", "," or ";" outside a literal, or at the end of the text.
ScannedStatement scanParameters(std::string_view statement);

}  // namespace vcl
