#include "memory/TableAllocator.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace kinloom {

namespace {
constexpr std::size_t hugePage = 2 << 20;
}

void askForFreshPages(void* start, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(start) + page - 1) & ~(page - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(page - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#else
    (void)start;
    (void)bytes;
#endif
}

void* allocateTable(std::size_t bytes) {
    if (bytes >= hugePage) {
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        if (void* memory = std::aligned_alloc(hugePage, rounded)) {
#ifdef __linux__
            madvise(memory, rounded, MADV_HUGEPAGE);
#endif
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
