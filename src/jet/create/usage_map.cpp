#include "jet/create/usage_map.h"

#include "jet/error.h"
#include "jet/format.h"

namespace jet::create {

Bytes inlineUsageMap(std::uint32_t start, const std::vector<std::uint32_t>& pages) {
    Bytes row(kUsageMapRowLength, 0);
    row[0] = format::UsageMapInline;
    put32(&row[1], start);
    for (std::uint32_t page : pages) {
        const std::uint32_t bit = page - start;
        if (page < start || bit >= kInlineMapPages) throw Error("内部错误: 页不在使用图的范围内");
        row[5 + bit / 8] |= std::uint8_t(1u << (bit % 8));
    }
    return row;
}

UsageMap buildUsageMap(const std::vector<std::uint32_t>& pages, std::uint32_t pageSize,
                       const std::function<std::uint32_t()>& allocatePage) {
    UsageMap map;
    if (pages.empty() || pages.back() < kInlineMapPages) {
        map.row = inlineUsageMap(0, pages);
        return map;
    }
    const std::uint32_t start = pages.front() & ~7u;
    if (pages.back() - start < kInlineMapPages) {
        map.row = inlineUsageMap(start, pages);
        return map;
    }
    // By reference: slot i of the row names the map page for pages [i * span, (i + 1) * span).
    const std::uint32_t span = (pageSize - format::UsageMapPageHeader) * 8;
    const std::size_t slots = (kUsageMapRowLength - 1) / 4;
    map.row.assign(kUsageMapRowLength, 0);
    map.row[0] = format::UsageMapReference;
    std::size_t next = 0;
    while (next < pages.size()) {
        const std::uint32_t slot = pages[next] / span;
        if (slot >= slots) throw Error("数据库文件太大，超出了 Access 文件的页数上限");
        Bytes page(pageSize, 0);
        page[0] = std::uint8_t(format::PageType::UsageMap);
        page[1] = 0x01;
        for (; next < pages.size() && pages[next] / span == slot; ++next) {
            const std::uint32_t bit = pages[next] - slot * span;
            page[format::UsageMapPageHeader + bit / 8] |= std::uint8_t(1u << (bit % 8));
        }
        const std::uint32_t number = allocatePage();
        put32(&map.row[1 + 4 * slot], number);
        map.pages.emplace_back(number, std::move(page));
    }
    return map;
}

}  // namespace jet::create
