#pragma once
// Hints to the system about how the engine uses its largest buffers. They change speed only, never
// results, and do nothing where the system offers no such hint.
#include <cstddef>
#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace ado {

// Asks for the buffer to be backed by huge pages where the system has them: a search that reads rows
// all over a few hundred megabytes of text then misses the address cache far less often, and filling
// the buffer takes one page fault per two megabytes instead of per four kilobytes.
inline void adviseHugePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kHuge - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Starts loading the memory at address into the cache, for a read that comes a little later.
inline void prefetchForRead(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address, 0, 0);
#else
    (void)address;
#endif
}

}  // namespace ado
