#pragma once
// The work behind BankBuilder: streams the question rows and their long values to the file, then
// writes the index, usage maps, catalog, table definitions and header.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "jet/create/data_page.h"
#include "jet/create/page_file.h"
#include "jet/create/table_layout.h"
#include "jet/create/text_encoding.h"

namespace jet {

class BankWriter {
public:
    BankWriter(std::filesystem::path target, double creationDate);
    ~BankWriter();  // removes the unfinished file

    void append(std::optional<std::string_view> question);
    void finish();
    std::uint32_t rowCount() const { return rowCount_; }

private:
    std::uint32_t storeLongValue(const create::Bytes& value, bool& singlePage);
    void closeDataPage();
    void closeLongValuePage();
    void writeCatalog();

    std::filesystem::path target_, partial_;
    double creationDate_;
    create::PageFile file_;
    create::TableLayout questions_;
    std::uint32_t rowCount_ = 0;
    bool finished_ = false;
    bool failed_ = false;

    create::DataPage dataPage_;          // numbered when it is closed: rows refer to it by its ordinal
    create::TextEncoder encoder_;
    create::DataPage longValuePage_;
    std::uint32_t longValuePageNumber_ = 0;
    std::vector<std::uint32_t> rowPointers_;   // data page ordinal << 8 | row of each row, by ID
    std::vector<std::uint32_t> dataPages_;     // page number of each data page ordinal
    std::vector<std::uint32_t> longValuePages_;
    std::uint32_t lastDataPageFree_ = 0;       // the data page that still has room, for the free-space map
    std::uint32_t lastLongValuePageFree_ = 0;
    create::Bytes rowBuffer_;
};

}  // namespace jet
