#include "jet/usage_map_reader.h"

#include <string>

#include "jet/byte_order.h"
#include "jet/data_page.h"

namespace jet::detail {
namespace {

// Appends the pages whose bits are set, the first bit standing for `firstPage`.
void collectBits(const DatabaseState& db, const std::uint8_t* bits, std::size_t size, std::uint64_t firstPage,
                 std::vector<std::uint32_t>& pages) {
    for (std::size_t i = 0; i < size; ++i) {
        if (bits[i] == 0) continue;
        for (int bit = 0; bit < 8; ++bit) {
            if (!(bits[i] >> bit & 1)) continue;
            const std::uint64_t page = firstPage + i * 8 + std::uint64_t(bit);
            if (page >= db.header.pageCount)
                db.corrupt("页面使用表标记了第 " + std::to_string(page) + " 页，超出文件末尾");
            pages.push_back(std::uint32_t(page));
        }
    }
}

}  // namespace

std::vector<std::uint32_t> readUsageMap(const DatabaseState& db, std::uint32_t pointer) {
    const DataPage page(db, format::pointerPage(pointer));
    const RowSlot slot = page.slot(format::pointerRow(pointer));
    const auto row = page.rowBytes(slot);
    std::vector<std::uint32_t> pages;
    if (row.empty()) db.corrupt("第 " + std::to_string(page.number()) + " 页的页面使用表是空的");
    if (row[0] == format::UsageMapInline) {
        if (row.size() < 5) db.corrupt("第 " + std::to_string(page.number()) + " 页的页面使用表太短");
        collectBits(db, row.data() + 5, row.size() - 5, le32(row.data() + 1), pages);
    } else if (row[0] == format::UsageMapReference) {
        const std::uint64_t pagesPerMapPage = std::uint64_t(db.header.pageSize - format::UsageMapPageHeader) * 8;
        const std::size_t count = (row.size() - 1) / 4;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint32_t mapPage = le32(row.data() + 1 + 4 * i);
            if (mapPage == 0) continue;
            const auto bytes = db.page(mapPage);
            if (bytes[0] != std::uint8_t(format::PageType::UsageMap))
                db.corrupt("第 " + std::to_string(mapPage) + " 页应是页面使用表页");
            collectBits(db, bytes.data() + format::UsageMapPageHeader, bytes.size() - format::UsageMapPageHeader,
                        i * pagesPerMapPage, pages);
        }
    } else {
        db.corrupt("第 " + std::to_string(page.number()) + " 页的页面使用表类型 " + std::to_string(row[0]) + " 未知");
    }
    return pages;
}

}  // namespace jet::detail
