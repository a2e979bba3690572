#pragma once
// What the writer's parts need of the file while a change is being made: pages to read and write, new
// pages, and a row of a data page addressed by its pointer.
#include <cstdint>
#include <vector>

#include "jet/write/page_journal.h"

namespace jet::write {

class PageStore {
public:
    explicit PageStore(PageTransaction& change) : change_(change) {}

    std::vector<std::uint8_t> read(std::uint32_t page) const { return change_.read(page); }
    void write(std::uint32_t page, std::vector<std::uint8_t> image) { change_.write(page, std::move(image)); }
    // A new page at the end of the file, marked used in the file's global map.
    std::uint32_t allocate(std::vector<std::uint8_t> image);
    std::uint32_t pageSize() const { return change_.pageSize(); }
    // Pages read from the bank so far (those this change already holds aside).
    std::uint64_t bankReads() const { return change_.bankReads(); }

    // The bytes of row `pointer` (page << 8 | row); throws jet::Error when it is not there.
    std::vector<std::uint8_t> readRow(std::uint32_t pointer) const;
    void writeRow(std::uint32_t pointer, std::vector<std::uint8_t> bytes);

private:
    PageTransaction& change_;
};

// Marks `page` in the usage map whose row is at `mapPointer`. Throws jet::Error when the map cannot
// reach the page.
void addToUsageMap(PageStore& store, std::uint32_t mapPointer, std::uint32_t page);
// Marks or unmarks `page`; a page the map cannot reach counts as not marked already.
void setInUsageMap(PageStore& store, std::uint32_t mapPointer, std::uint32_t page, bool marked);
// The pages the map marks, ascending. Throws jet::Error when the map row is not there.
std::vector<std::uint32_t> usageMapPages(const PageStore& store, std::uint32_t mapPointer);

}  // namespace jet::write
