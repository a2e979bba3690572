#include "jet/create/index_builder.h"

#include <algorithm>

#include "jet/create/text_encoding.h"
#include "jet/format.h"

namespace jet::create {
namespace {

const format::Layout& layout = format::Jet4Layout;

// One page of an index level being filled.
class IndexPage {
public:
    IndexPage(std::uint32_t pageSize, bool leaf, std::uint32_t definitionPage) : page_(pageSize, 0) {
        page_[0] = std::uint8_t(leaf ? format::PageType::IndexLeaf : format::PageType::IndexNode);
        page_[1] = 0x01;
        put32(&page_[layout.indexParentPage], definitionPage);
        used_ = 0;
    }
    bool fits(std::size_t length) const { return layout.indexEntries + used_ + length <= page_.size(); }
    void add(const Bytes& entry) {
        std::copy(entry.begin(), entry.end(), page_.begin() + std::ptrdiff_t(layout.indexEntries + used_));
        used_ += entry.size();
        // The bitmap marks where each entry ends (the first entry's start is implied).
        page_[layout.indexBitmap + used_ / 8] |= std::uint8_t(1u << (used_ % 8));
        ++count_;
    }
    bool empty() const { return count_ == 0; }
    Bytes finish(std::uint32_t prev, std::uint32_t next) {
        put16(&page_[2], std::uint32_t(page_.size() - layout.indexEntries - used_));
        put32(&page_[layout.indexPrevPage], prev);
        put32(&page_[layout.indexNextPage], next);
        return page_;
    }

private:
    Bytes page_;
    std::size_t used_;
    std::size_t count_ = 0;
};

// The last entry of a page, remembered for the level above.
struct LastEntry {
    Bytes key;
    std::uint32_t page;
    std::uint8_t row;
};

Bytes pointerBytes(std::uint32_t page, std::uint8_t row) {
    Bytes b(4);
    putBig24(&b[0], page);
    b[3] = row;
    return b;
}

class TreeBuilder {
public:
    TreeBuilder(std::uint32_t definitionPage, std::uint32_t pageSize, const std::function<std::uint32_t()>& allocate,
                const std::function<void(std::uint32_t, const Bytes&)>& write)
        : definitionPage_(definitionPage), pageSize_(pageSize), allocate_(allocate), write_(write) {}

    // Fills one level; returns the pages' numbers and their last entries.
    struct Level {
        std::vector<std::uint32_t> pages;
        std::vector<LastEntry> lasts;
    };

    template <typename Source>  // Source(i) -> (key, page, row, child or 0 for leaves)
    Level fill(std::size_t count, bool leaf, const Source& source) {
        Level level;
        // Pages are numbered in order, so each page knows its neighbours when it is written.
        IndexPage current(pageSize_, leaf, definitionPage_);
        std::uint32_t currentNumber = allocate_();
        std::uint32_t prevNumber = 0;
        Bytes entry;
        LastEntry last{};
        for (std::size_t i = 0; i < count; ++i) {
            std::uint32_t child = 0;
            const Bytes& key = source(i, last.page, last.row, child);
            entry = key;
            appendBytes(entry, pointerBytes(last.page, last.row));
            if (!leaf) appendBig32(entry, child);
            if (!current.fits(entry.size())) {
                const std::uint32_t nextNumber = allocate_();
                write_(currentNumber, current.finish(prevNumber, nextNumber));
                level.pages.push_back(currentNumber);
                level.lasts.push_back(pendingLast_);
                prevNumber = currentNumber;
                currentNumber = nextNumber;
                current = IndexPage(pageSize_, leaf, definitionPage_);
            }
            current.add(entry);
            pendingLast_ = LastEntry{key, last.page, last.row};
        }
        write_(currentNumber, current.finish(prevNumber, 0));
        level.pages.push_back(currentNumber);
        level.lasts.push_back(pendingLast_);
        return level;
    }

    BuiltIndex finishTree(Level level) {
        BuiltIndex built;
        built.pages = level.pages;
        while (level.pages.size() > 1) {
            const Level below = std::move(level);
            level = fill(below.pages.size(), false,
                         [&](std::size_t i, std::uint32_t& page, std::uint8_t& row, std::uint32_t& child) -> const Bytes& {
                             page = below.lasts[i].page;
                             row = below.lasts[i].row;
                             child = below.pages[i];
                             return below.lasts[i].key;
                         });
            built.pages.insert(built.pages.end(), level.pages.begin(), level.pages.end());
        }
        built.rootPage = level.pages.front();
        std::sort(built.pages.begin(), built.pages.end());
        return built;
    }

private:
    std::uint32_t definitionPage_, pageSize_;
    const std::function<std::uint32_t()>& allocate_;
    const std::function<void(std::uint32_t, const Bytes&)>& write_;
    LastEntry pendingLast_{};
};

}  // namespace

BuiltIndex buildIndex(const std::vector<IndexEntry>& entries, std::uint32_t definitionPage, std::uint32_t pageSize,
                      const std::function<std::uint32_t()>& allocatePage,
                      const std::function<void(std::uint32_t, const Bytes&)>& writePage) {
    TreeBuilder tree(definitionPage, pageSize, allocatePage, writePage);
    auto leaves = tree.fill(entries.size(), true,
                            [&](std::size_t i, std::uint32_t& page, std::uint8_t& row, std::uint32_t&) -> const Bytes& {
                                page = entries[i].page;
                                row = entries[i].row;
                                return entries[i].key;
                            });
    return tree.finishTree(std::move(leaves));
}

BuiltIndex buildSequentialLongIndex(const std::vector<std::uint32_t>& rows, std::uint32_t definitionPage,
                                    std::uint32_t pageSize, const std::function<std::uint32_t()>& allocatePage,
                                    const std::function<void(std::uint32_t, const Bytes&)>& writePage) {
    TreeBuilder tree(definitionPage, pageSize, allocatePage, writePage);
    Bytes key;
    auto leaves = tree.fill(rows.size(), true,
                            [&](std::size_t i, std::uint32_t& page, std::uint8_t& row, std::uint32_t&) -> const Bytes& {
                                page = format::pointerPage(rows[i]);
                                row = std::uint8_t(format::pointerRow(rows[i]));
                                key = longKey(std::int32_t(i + 1));
                                return key;
                            });
    return tree.finishTree(std::move(leaves));
}

}  // namespace jet::create
