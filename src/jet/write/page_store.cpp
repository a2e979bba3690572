#include "jet/write/page_store.h"

#include "jet/byte_order.h"
#include "jet/error.h"
#include "jet/format.h"
#include "jet/write/editable_page.h"

namespace jet::write {
namespace {

constexpr std::uint32_t kGlobalMapPage = 1;

// Sets or clears the bit of `page` in a usage map row; false when the map cannot reach the page.
bool markInMap(PageStore& store, std::vector<std::uint8_t>& row, std::uint32_t page, bool set)
{
    if (row.empty())
        return false;
    auto flip = [&](std::uint8_t& byte, std::uint32_t bit) {
        if (set)
            byte |= std::uint8_t(1u << (bit % 8));
        else
            byte &= std::uint8_t(~(1u << (bit % 8)));
    };
    if (row[0] == format::UsageMapInline) {
        if (row.size() < 5)
            return false;
        const std::uint32_t start = detail::le32(row.data() + 1);
        if (page >= start && page - start < (row.size() - 5) * 8) {
            flip(row[5 + (page - start) / 8], page - start);
            return true;
        }
        if (!set)
            return true;  // a page the map does not reach is not in it
        // The page lies beyond the bitmap's reach: the map moves to map pages, listed by the row.
        std::vector<std::uint32_t> marked;
        for (std::uint32_t bit = 0; bit < (row.size() - 5) * 8; ++bit)
            if (row[5 + bit / 8] & (1u << (bit % 8)))
                marked.push_back(start + bit);
        std::fill(row.begin(), row.end(), 0);
        row[0] = format::UsageMapReference;
        for (std::uint32_t p : marked)
            if (!markInMap(store, row, p, true))
                return false;
        return markInMap(store, row, page, true);
    }
    if (row[0] != format::UsageMapReference)
        return false;
    const std::uint32_t span = (store.pageSize() - format::UsageMapPageHeader) * 8;
    const std::size_t slot = page / span;
    if (1 + 4 * slot + 4 > row.size())
        return !set;  // a page beyond the list's reach is not in the map
    std::uint32_t mapPage = detail::le32(row.data() + 1 + 4 * slot);
    std::vector<std::uint8_t> image;
    if (mapPage == 0) {
        if (!set)
            return true;
        image.assign(store.pageSize(), 0);
        image[0] = std::uint8_t(format::PageType::UsageMap);
        image[1] = 0x01;
        mapPage = store.allocate(image);
        for (int i = 0; i < 4; ++i)
            row[1 + 4 * slot + i] = std::uint8_t(mapPage >> (8 * i));
    }
    image = store.read(mapPage);
    const std::uint32_t bit = page - std::uint32_t(slot) * span;
    flip(image[format::UsageMapPageHeader + bit / 8], bit);
    store.write(mapPage, std::move(image));
    return true;
}

}  // namespace

std::uint32_t PageStore::allocate(std::vector<std::uint8_t> image)
{
    const std::uint32_t page = change_.appendPage(std::move(image));
    // The global map counts pages past the end of the file as free; this one is taken now.
    auto global = EditablePage(change_.read(kGlobalMapPage));
    if (global.rowCount() > 0) {
        auto row = global.row(0).bytes;
        if (markInMap(*this, row, page, false)) {
            global = EditablePage(change_.read(kGlobalMapPage));  // markInMap may have added map pages
            global.row(0).bytes = std::move(row);
            change_.write(kGlobalMapPage, global.image());
        }
    }
    return page;
}

std::vector<std::uint8_t> PageStore::readRow(std::uint32_t pointer) const
{
    EditablePage page(change_.read(format::pointerPage(pointer)));
    const std::uint16_t number = format::pointerRow(pointer);
    if (number >= page.rowCount())
        throw Error("内部错误：第 " + std::to_string(format::pointerPage(pointer)) + " 页没有第 " +
                    std::to_string(number) + " 行");
    return page.row(number).bytes;
}

void PageStore::writeRow(std::uint32_t pointer, std::vector<std::uint8_t> bytes)
{
    EditablePage page(change_.read(format::pointerPage(pointer)));
    page.row(format::pointerRow(pointer)).bytes = std::move(bytes);
    if (!page.fits())
        throw Error("内部错误：改写后的行放不下");
    change_.write(format::pointerPage(pointer), page.image());
}

void addToUsageMap(PageStore& store, std::uint32_t mapPointer, std::uint32_t page)
{
    setInUsageMap(store, mapPointer, page, true);
}

void setInUsageMap(PageStore& store, std::uint32_t mapPointer, std::uint32_t page, bool marked)
{
    if (mapPointer == 0)
        return;
    auto row = store.readRow(mapPointer);
    const auto before = row;
    if (!markInMap(store, row, page, marked))
        throw Error("使用图无法记下第 " + std::to_string(page) + " 页");
    if (row != before)
        store.writeRow(mapPointer, std::move(row));
}

std::vector<std::uint32_t> usageMapPages(const PageStore& store, std::uint32_t mapPointer)
{
    std::vector<std::uint32_t> pages;
    const auto row = store.readRow(mapPointer);
    if (row.empty())
        return pages;
    auto collect = [&](const std::uint8_t* bitmap, std::size_t bytes, std::uint32_t first) {
        for (std::uint32_t bit = 0; bit < bytes * 8; ++bit)
            if (bitmap[bit / 8] & (1u << (bit % 8)))
                pages.push_back(first + bit);
    };
    if (row[0] == format::UsageMapInline) {
        if (row.size() >= 5)
            collect(row.data() + 5, row.size() - 5, detail::le32(row.data() + 1));
        return pages;
    }
    if (row[0] != format::UsageMapReference)
        throw Error("使用图的类型不明（" + std::to_string(row[0]) + "）");
    const std::uint32_t span = (store.pageSize() - format::UsageMapPageHeader) * 8;
    for (std::size_t slot = 0; 1 + 4 * slot + 4 <= row.size(); ++slot) {
        const std::uint32_t mapPage = detail::le32(row.data() + 1 + 4 * slot);
        if (mapPage == 0)
            continue;
        const auto image = store.read(mapPage);
        collect(image.data() + format::UsageMapPageHeader, image.size() - format::UsageMapPageHeader,
                std::uint32_t(slot) * span);
    }
    return pages;
}

}  // namespace jet::write
