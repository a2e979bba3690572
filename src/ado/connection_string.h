#pragma once
// An OLE DB connection string: "Key=Value;Key=Value", keys compared without regard to case.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ado {

struct ConnectionString {
    std::string provider;     // "Provider", as written (trimmed)
    std::string dataSource;   // "Data Source", as written (trimmed); resolved only when connecting
    std::vector<std::pair<std::string, std::string>> properties;  // every pair, in order, keys as written

    // Splits the string into its pairs. Values are trimmed; a value in double or single quotes keeps its
    // blanks and semicolons, a doubled quote inside stands for one. Throws EngineError on a malformed string.
    static ConnectionString parse(std::string_view text);

    // The value of a key (case-insensitive); the last one wins when a key repeats.
    std::optional<std::string> get(std::string_view key) const;
};

// Whether a provider name is the Jet provider this engine stands in for ("Microsoft.Jet.OLEDB.4.0",
// any case; also without the version or with 3.51).
bool isJetProvider(std::string_view provider);

}  // namespace ado
