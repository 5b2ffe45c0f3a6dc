#include "TableAllocator.h"

#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kinloom {

namespace {
constexpr std::size_t hugePage = 2 << 20;
}

void* allocateTable(std::size_t bytes) {
#ifdef __linux__
    if (bytes >= hugePage) {
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        if (void* memory = std::aligned_alloc(hugePage, rounded)) {
            madvise(memory, rounded, MADV_HUGEPAGE);
            return memory;
        }
        throw std::bad_alloc();
    }
#endif
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) return memory;
    throw std::bad_alloc();
}

void freeTable(void* memory, std::size_t) {
    std::free(memory);
}

} // namespace kinloom
