#pragma once
// What an open file holds once read: the bytes, the header, the catalog and the table definitions.
// Shared by a Database and every TableReader made from it.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/file_image.h"
#include "jet/format.h"
#include "jet/schema.h"

namespace jet::detail {

struct DatabaseState {
    explicit DatabaseState(const std::filesystem::path& file) : image(file) {}

    FileImage image;
    FileHeader header;
    const format::Layout* layout = &format::Jet4Layout;
    std::vector<CatalogEntry> catalog;
    std::vector<TableDef> tables;         // local tables, user and system, in catalog order
    std::vector<std::string> userTables;  // names of the user tables, in catalog order

    const std::filesystem::path& path() const { return image.path(); }

    // A whole page; throws jet::Error when it lies beyond the file.
    std::span<const std::uint8_t> page(std::uint32_t number) const;

    // Throws jet::Error "文件“…”已损坏：<what>".
    [[noreturn]] void corrupt(std::string_view what) const;

    // The code page of 8-bit text (Jet 3), 1252 when the header names none.
    std::uint16_t textCodePage() const { return header.codePage ? header.codePage : 1252; }
};

}  // namespace jet::detail
