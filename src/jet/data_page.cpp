#include "jet/data_page.h"

#include <string>

#include "jet/byte_order.h"

namespace jet::detail {

DataPage::DataPage(const DatabaseState& db, std::uint32_t number) : db_(&db), number_(number), bytes_(db.page(number)) {
    const auto& layout = *db.layout;
    if (bytes_[0] != std::uint8_t(format::PageType::Data))
        db.corrupt("第 " + std::to_string(number) + " 页应是数据页");
    rowCount_ = le16(bytes_.data() + layout.dataRowCount);
    if (layout.dataRowTable + 2u * rowCount_ > bytes_.size())
        db.corrupt("第 " + std::to_string(number) + " 页的行数 " + std::to_string(rowCount_) + " 超出页面");
}

std::uint32_t DataPage::owner() const { return le32(bytes_.data() + db_->layout->dataOwner); }

RowSlot DataPage::slot(std::uint16_t row) const {
    const auto& layout = *db_->layout;
    auto entry = [&](std::uint16_t r) { return le16(bytes_.data() + layout.dataRowTable + 2u * r); };
    if (row >= rowCount_)
        db_->corrupt("第 " + std::to_string(number_) + " 页没有第 " + std::to_string(row) + " 行");
    RowSlot s;
    const std::uint16_t raw = entry(row);
    s.flags = raw & ~format::RowOffsetMask;
    s.start = raw & format::RowOffsetMask;
    // Rows fill the page from its end: a row ends where the one before it starts.
    s.end = row == 0 ? std::uint32_t(bytes_.size()) : std::uint32_t(entry(std::uint16_t(row - 1)) & format::RowOffsetMask);
    const std::uint32_t tableEnd = layout.dataRowTable + 2u * rowCount_;
    if (s.deleted() && (s.start < tableEnd || s.start > s.end || s.end > bytes_.size())) {
        s.start = s.end = tableEnd;  // an emptied slot: nothing to read
        return s;
    }
    if (s.start < tableEnd || s.start > s.end || s.end > bytes_.size())
        db_->corrupt("第 " + std::to_string(number_) + " 页第 " + std::to_string(row) + " 行的位置超出页面");
    return s;
}

}  // namespace jet::detail
