#include "jet/write/editable_page.h"

#include "jet/byte_order.h"
#include "jet/error.h"
#include "jet/format.h"

namespace jet::write {
namespace {

const format::Layout& layout = format::Jet4Layout;

void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

}  // namespace

EditablePage::EditablePage(const std::vector<std::uint8_t>& image) : pageSize_(std::uint32_t(image.size()))
{
    if (image.size() < layout.dataRowTable || image[0] != std::uint8_t(format::PageType::Data))
        throw Error("内部错误：要改写的页不是数据页");
    owner_ = detail::le32(image.data() + layout.dataOwner);
    header_.assign(image.begin(), image.begin() + layout.dataRowTable);
    const std::uint16_t count = detail::le16(image.data() + layout.dataRowCount);
    if (layout.dataRowTable + 2u * count > image.size())
        throw Error("内部错误：数据页的行数超出页面");
    std::uint32_t end = pageSize_;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t raw = detail::le16(image.data() + layout.dataRowTable + 2u * i);
        Row row;
        row.flags = raw & ~format::RowOffsetMask;
        const std::uint32_t start = raw & format::RowOffsetMask;
        if (start <= end && start >= layout.dataRowTable + 2u * count)
            row.bytes.assign(image.begin() + start, image.begin() + end);
        else if (!(row.flags & format::RowDeletedFlag))
            throw Error("内部错误：数据页的行位置超出页面");
        if (start <= end)
            end = start;
        rows_.push_back(std::move(row));
    }
}

EditablePage::EditablePage(std::uint32_t pageSize, std::uint32_t owner) : pageSize_(pageSize), owner_(owner)
{
    header_.assign(layout.dataRowTable, 0);
    header_[0] = std::uint8_t(format::PageType::Data);
    header_[1] = 0x01;
    header_[layout.dataOwner] = std::uint8_t(owner);
    header_[layout.dataOwner + 1] = std::uint8_t(owner >> 8);
    header_[layout.dataOwner + 2] = std::uint8_t(owner >> 16);
    header_[layout.dataOwner + 3] = std::uint8_t(owner >> 24);
}

std::size_t EditablePage::used() const
{
    std::size_t total = layout.dataRowTable + 2 * rows_.size();
    for (const Row& row : rows_)
        total += row.bytes.size();
    return total;
}

bool EditablePage::fitsWith(std::size_t extra) const
{
    if (extra > 0 && rows_.size() >= layout.maxRowsPerPage)
        return false;
    return used() + (extra > 0 ? extra + 2 : 0) <= pageSize_;
}

std::uint16_t EditablePage::add(std::vector<std::uint8_t> bytes, std::uint16_t flags)
{
    rows_.push_back(Row{flags, std::move(bytes)});
    return std::uint16_t(rows_.size() - 1);
}

void EditablePage::remove(std::size_t number)
{
    Row& row = rows_.at(number);
    row.flags = format::RowDeletedFlag;
    row.bytes.clear();
}

std::size_t EditablePage::freeSpace() const
{
    std::size_t u = used();
    return u < pageSize_ ? pageSize_ - u : 0;
}

std::vector<std::uint8_t> EditablePage::image() const
{
    if (used() > pageSize_)
        throw Error("内部错误：数据页放不下它的行");
    std::vector<std::uint8_t> page(pageSize_, 0);
    std::copy(header_.begin(), header_.end(), page.begin());
    std::uint32_t start = pageSize_;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        start -= std::uint32_t(row.bytes.size());
        std::copy(row.bytes.begin(), row.bytes.end(), page.begin() + start);
        put16(&page[layout.dataRowTable + 2 * i], start | row.flags);
    }
    put16(&page[layout.dataRowCount], std::uint32_t(rows_.size()));
    put16(&page[layout.dataFreeSpace], std::uint32_t(freeSpace()));
    return page;
}

}  // namespace jet::write
