#include "jet/database.h"

#include "jet/byte_order.h"
#include "jet/table_reader_state.h"

namespace jet {
namespace detail {

std::optional<std::span<const std::uint8_t>> liveRowBytes(const DatabaseState& db, const DataPage& page,
                                                          const RowSlot& slot, std::uint32_t& storedOnPage) {
    if (slot.deleted()) return std::nullopt;
    storedOnPage = page.number();
    if (!slot.moved()) return page.rowBytes(slot);
    // A moved row keeps a 4-byte pointer to its new place. The new place is marked deleted, so that a
    // scan of its page passes over it; only the pointer leads to it. A chain of moves is followed a
    // bounded number of times, so a damaged loop ends with an error.
    std::span<const std::uint8_t> pointerBytes = page.rowBytes(slot);
    for (int hop = 0; hop < 16; ++hop) {
        if (pointerBytes.size() < 4) db.corrupt("第 " + std::to_string(storedOnPage) + " 页的移动行指针太短");
        const std::uint32_t pointer = le32(pointerBytes.data());
        const DataPage target(db, format::pointerPage(pointer));
        const RowSlot moved = target.slot(format::pointerRow(pointer));
        storedOnPage = target.number();
        if (!moved.moved()) return target.rowBytes(moved);
        pointerBytes = target.rowBytes(moved);
    }
    db.corrupt("第 " + std::to_string(page.number()) + " 页的移动行指针形成循环");
}

bool TableReaderState::next(std::vector<Value>& row, RowId* where) {
    for (;;) {
        if (!page) {
            if (nextPage >= table.dataPages.size()) return false;
            const std::uint32_t number = table.dataPages[nextPage++];
            // Hands back the file behind the pages already read, in steps of 8 MB.
            const std::size_t offset = std::size_t(number) * db->header.pageSize;
            if (offset > releasedBelow + (std::size_t(8) << 20)) {
                db->image.releaseBelow(offset);
                releasedBelow = offset;
            }
            // The map may still mark pages the table gave up; only its own data pages count.
            const auto bytes = db->page(number);
            if (bytes[0] != std::uint8_t(format::PageType::Data)) continue;
            DataPage candidate(*db, number);
            if (candidate.owner() != table.definitionPage) continue;
            page.emplace(candidate);
            nextRow = 0;
        }
        if (nextRow >= page->rowCount()) {
            page.reset();
            continue;
        }
        const std::uint16_t rowNumber = nextRow++;
        const RowSlot slot = page->slot(rowNumber);
        std::uint32_t storedOn = 0;
        const auto bytes = liveRowBytes(*db, *page, slot, storedOn);
        if (!bytes) continue;
        decoder.decode(*bytes, storedOn, row);
        if (where) *where = RowId{page->number(), rowNumber};
        return true;
    }
}

}  // namespace detail

TableReader::TableReader(std::unique_ptr<detail::TableReaderState> state) : state_(std::move(state)) {}
TableReader::TableReader(TableReader&&) noexcept = default;
TableReader& TableReader::operator=(TableReader&&) noexcept = default;
TableReader::~TableReader() = default;

bool TableReader::next(std::vector<Value>& row, RowId* where) { return state_->next(row, where); }

const TableDef& TableReader::table() const { return state_->table; }

}  // namespace jet
