#include "ado/search_cache.h"

#include "ado/table_snapshot.h"

namespace ado {

const SearchCache::Entry* SearchCache::lastIn(const TableSnapshot& snapshot, std::size_t column) const {
    const auto searched = last_.snapshot.lock();
    if (!searched || searched.get() != &snapshot || last_.column != column || !last_.matches) return nullptr;
    return &last_;
}

}  // namespace ado
