#pragma once
// Reading an index's entries from its pages, in index order: every leaf entry's key bytes (as Jet
// encodes them for sorting) and the place of the row it stands for. Used to check an index against
// its table and by writers that update indexes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "jet/database.h"

namespace jet {

struct IndexEntry {
    std::string key;  // the entry's key bytes, prefix compression undone, row pointer removed
    RowId row;
};

// Facts of one index page.
struct IndexPageInfo {
    std::uint32_t number = 0;
    bool leaf = false;
    std::uint32_t parent = 0;     // first page of the owning table's definition
    std::uint32_t previous = 0;   // neighbours on the same level
    std::uint32_t next = 0;
    std::uint32_t tail = 0;       // leaf pages appended at the end, not yet in the tree
    std::uint16_t prefixLength = 0;
    struct Entry {
        std::string key;
        RowId row;
        std::uint32_t child = 0;  // intermediate pages: the page whose last entry this is
    };
    std::vector<Entry> entries;
};

// Decodes one index page (type 0x03 or 0x04). Throws jet::Error naming the file when it is damaged.
IndexPageInfo readIndexPage(const Database& db, std::uint32_t page);

// The leaf entries of an index, in order: down the tree's left edge to the first leaf, then along the
// chain of leaves. The Database must outlive the cursor.
class IndexCursor {
public:
    IndexCursor(const Database& db, const IndexDef& index);
    bool next(IndexEntry& entry);
    std::size_t leafPagesRead() const { return leavesRead_; }

private:
    void loadLeaf(std::uint32_t page);

    const Database& db_;
    IndexPageInfo leaf_;
    std::size_t position_ = 0;
    std::size_t leavesRead_ = 0;
    std::unordered_set<std::uint32_t> visited_;
};

// All entries at once (small indexes, tests).
std::vector<IndexEntry> readIndexEntries(const Database& db, const IndexDef& index);

// The column values of a key whose columns are all Yes/No, Byte, Integer or Long; nullopt when the
// index has a column of another type (text keys are stored in a sort encoding that is not decoded).
// Null columns give Null.
std::optional<std::vector<Value>> decodeIntegerKey(const TableDef& table, const IndexDef& index, std::string_view key);

}  // namespace jet
