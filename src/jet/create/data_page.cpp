#include "jet/create/data_page.h"

#include "jet/format.h"

namespace jet::create {
namespace {
const format::Layout& layout = format::Jet4Layout;
}

DataPage::DataPage(std::uint32_t pageSize, std::uint32_t owner) : page_(pageSize, 0), rowsStart_(pageSize) { reset(owner); }

void DataPage::reset(std::uint32_t owner) {
    std::fill(page_.begin(), page_.end(), 0);
    page_[0] = std::uint8_t(format::PageType::Data);
    page_[1] = 0x01;
    put32(&page_[layout.dataOwner], owner);
    rowCount_ = 0;
    rowsStart_ = page_.size();
}

std::size_t DataPage::headerEnd() const { return layout.dataRowTable + 2 * std::size_t(rowCount_); }

std::size_t DataPage::room() const {
    if (rowCount_ >= layout.maxRowsPerPage) return 0;
    const std::size_t free = rowsStart_ - headerEnd();
    return free >= 2 ? free - 2 : 0;
}

std::uint16_t DataPage::add(const std::uint8_t* row, std::size_t length) {
    rowsStart_ -= length;
    std::copy(row, row + length, page_.begin() + std::ptrdiff_t(rowsStart_));
    put16(&page_[layout.dataRowTable + 2 * std::size_t(rowCount_)], std::uint32_t(rowsStart_));
    return rowCount_++;
}

const Bytes& DataPage::bytes() {
    put16(&page_[layout.dataFreeSpace], std::uint32_t(freeSpace()));
    put16(&page_[layout.dataRowCount], rowCount_);
    return page_;
}

}  // namespace jet::create
