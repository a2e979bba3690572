#pragma once
// What the instant search remembers from one statement to the next on a connection: the last needle
// searched in a column and the rows it matched. A longer needle that contains the last one can only
// match among those rows.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ado/search_index.h"

namespace ado {

class TableSnapshot;

class SearchCache {
public:
    struct Entry {
        std::weak_ptr<const TableSnapshot> snapshot;  // the bank as it was searched; gone once reread
        std::size_t column = 0;
        std::string loweredNeedle;
        std::shared_ptr<const Matches> matches;
    };

    // The last search when it was in this snapshot and column; null otherwise.
    const Entry* lastIn(const TableSnapshot& snapshot, std::size_t column) const;
    void remember(Entry entry) { last_ = std::move(entry); }
    void clear() { last_ = Entry{}; }

private:
    Entry last_;
};

}  // namespace ado
