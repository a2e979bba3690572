#pragma once
// Consistency of a table as the writer keeps it: every index entry points at a live row with that key,
// every live row is in every index, the row count of the definition agrees with the rows, and every
// long-value page a live memo or OLE value uses is in its column's usage map.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

// The inconsistencies found, in the order met; empty when the table is consistent. Indexes whose keys
// the writer cannot encode are not checked (and named in `skipped`). Throws jet::Error when the file
// cannot be read.
std::vector<std::string> checkTable(const std::filesystem::path& bank, std::string_view table,
                                    std::vector<std::string>* skipped = nullptr);

}  // namespace jet
