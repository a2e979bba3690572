#pragma once
// Keeping a table's index trees exact when rows come and go: entries added in key order (pages split
// as they fill) and removed.
#include <cstdint>
#include <optional>
#include <vector>

#include "jet/schema.h"
#include "jet/value.h"
#include "jet/write/index_key.h"
#include "jet/write/page_store.h"

namespace jet::write {

// One physical index of a table: its root page, and the table definition page for new pages. Trees
// as Access leaves them, whose last leaf only a tail-page field or the leaf chain names, are sought
// through that leaf; a change first names it in the node above (see index_tree.cpp).
class IndexTree {
public:
    IndexTree(PageStore& store, const TableDef& table, const IndexDef& index);

    void insert(const std::vector<std::uint8_t>& key, std::uint32_t rowPointer);
    // Throws jet::Error when the entry is not in the index.
    void remove(const std::vector<std::uint8_t>& key, std::uint32_t rowPointer);
    // The same for a row whose key cannot be made: its entry is the one whose row pointer is the row's,
    // found by a walk along every leaf (exact, but it reads the whole index). Throws jet::Error when
    // the index holds no entry, or two, for the row.
    void removeRow(std::uint32_t rowPointer);

    // The row pointers of the entries whose key is exactly `key`, in entry order: a seek down the tree
    // to the first leaf that may hold it, then along the leaves only while their entries may.
    std::vector<std::uint32_t> rowsWithKey(const std::vector<std::uint8_t>& key) const;

    // Every entry in key order (key bytes followed by the row pointer), for checks.
    std::vector<std::vector<std::uint8_t>> entries() const;

private:
    struct Page;
    Page load(std::uint32_t number) const;
    void store(const Page& page);
    std::vector<Page> pathTo(const std::vector<std::uint8_t>& entry) const;
    // The same path for a change: every node on the way has its tail page named first.
    std::vector<Page> pathForChange(const std::vector<std::uint8_t>& entry);
    // Names in the parent the leaves chained after the path's last leaf; false when none has entries.
    bool nameChainedTail(std::vector<Page>& path);
    void insertInto(std::vector<Page>& path, std::size_t level, std::vector<std::uint8_t> entry);
    void refreshParentKeys(std::vector<Page>& path, std::size_t level);

    PageStore& store_;
    std::uint32_t root_;
    std::uint32_t definitionPage_;
    std::uint32_t usageMap_;
};

}  // namespace jet::write
