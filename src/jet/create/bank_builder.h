#pragma once
// Writes a new question bank: a Jet 4 (Access 2000) file holding the system catalog and the table
// tiku (ID AutoNumber primary key, 题目 Memo), filled row by row and completed by finish().
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace jet {

class BankWriter;  // the page-level work behind BankBuilder

class BankBuilder {
public:
    // Starts a new bank at path. The file appears there only when finish() succeeds (it is written
    // next to it under a temporary name and then renamed over path). Throws jet::Error.
    static BankBuilder create(const std::filesystem::path& path);

    BankBuilder(BankBuilder&&) noexcept;
    BankBuilder& operator=(BankBuilder&&) noexcept;
    // Without finish(), the unfinished file is removed and path is left as it was.
    ~BankBuilder();

    // Appends one question as the next row; its ID is rowCount() after the call.
    // nullopt stores Null, "" an empty string. The text must be valid UTF-8 (throws jet::Error otherwise).
    void append(std::optional<std::string_view> utf8Question);

    // Writes the rest: the primary-key index, usage maps, the row count and next AutoNumber, the
    // header and catalog pages; then moves the file into place. Throws jet::Error.
    void finish();

    std::uint32_t rowCount() const;

private:
    explicit BankBuilder(std::unique_ptr<BankWriter> writer);
    std::unique_ptr<BankWriter> writer_;
};

// Makes a whole bank in one call (tests and tools).
void writeBank(const std::filesystem::path& path, const std::vector<std::optional<std::string>>& questions);

}  // namespace jet
