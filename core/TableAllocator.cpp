#include "TableAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kinloom {

namespace {
constexpr std::size_t hugePage = 2 << 20;
}

void askForFreshPages(void* start, std::size_t bytes) {
    const auto first = (reinterpret_cast<std::uintptr_t>(start) + hugePage - 1) & ~(hugePage - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(hugePage - 1);
    if (last <= first) return;
    // Huge page by huge page: asked for as one range, the kernel first
    // maps small pages that it then has to gather into huge ones.
    for (std::uintptr_t page = first; page < last; page += hugePage) {
        auto* address = reinterpret_cast<void*>(page);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        madvise(address, hugePage, MADV_HUGEPAGE);
#endif
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
        madvise(address, hugePage, MADV_POPULATE_WRITE);
#endif
    }
}

void* allocateTable(std::size_t bytes) {
    if (bytes >= hugePage) {
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        if (void* memory = std::aligned_alloc(hugePage, rounded)) {
            askForFreshPages(memory, rounded);
            return memory;
        }
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) return memory;
    throw std::bad_alloc();
}

void freeTable(void* memory, std::size_t) {
    std::free(memory);
}

} // namespace kinloom
