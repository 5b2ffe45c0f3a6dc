#include "memory/LoadArena.h"

#include "memory/BackgroundRelease.h"
#include "memory/KeptText.h"
#include "memory/TableAllocator.h"

#include <sys/mman.h>
#include <unistd.h>

// g++ says __SANITIZE_ADDRESS__, clang (the fuzz build) only __has_feature.
#if defined(__SANITIZE_ADDRESS__)
#define KINLOOM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KINLOOM_ADDRESS_SANITIZER 1
#endif
#endif
#ifdef KINLOOM_ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>
#endif

#include <atomic>
#include <cstdint>
#include <new>

namespace kinloom {

// The header at the start of every block: the objects alive in it, plus one
// while an arena is still filling it.
struct LoadArena::Block {
    std::uint64_t live;
    // Bytes at the end given back to the system when the arena that filled
    // the block ended.
    std::uint64_t returned;
    // The text the block's lines may point into, held while the block lives.
    KeptText* text;
};

namespace {

constexpr std::size_t headerSize = 24; // the Block, rounded to 8
constexpr std::size_t largest = LoadArena::blockSize / 8;

std::atomic<long> liveBlocks{0};
std::atomic<long> bytesHeld{0};

} // namespace

LoadArena::~LoadArena() {
    static_assert(sizeof(Block) <= headerSize);
    if (!block_) return;
    // Nothing more is made in the last block: its unused pages go back, or
    // a small file would hold a whole block's memory for its few lines.
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t start = (used_ + page - 1) / page * page;
    if (start < blockSize &&
        madvise(reinterpret_cast<char*>(block_) + start, blockSize - start, MADV_DONTNEED) == 0) {
        block_->returned = blockSize - start;
        bytesHeld -= static_cast<long>(block_->returned);
    }
    dropBlock(block_);
}

void* LoadArena::allocate(std::size_t bytes) {
    bytes = (bytes + 7) & ~std::size_t{7};
    if (bytes > largest) return nullptr;
    if (!block_ || used_ + bytes > blockSize) {
        if (block_) dropBlock(block_);
        block_ = newBlock(text_);
        used_ = headerSize;
    }
    void* object = reinterpret_cast<char*>(block_) + used_;
    used_ += bytes;
    ++block_->live;
    return object;
}

void LoadArena::free(void* object) {
    auto address = reinterpret_cast<std::uintptr_t>(object);
    dropBlock(reinterpret_cast<Block*>(address & ~(blockSize - 1)));
}

long LoadArena::numBlocks() {
    BackgroundRelease::wait();
    return liveBlocks;
}

long LoadArena::numBytes() {
    return bytesHeld;
}

LoadArena::Block* LoadArena::newBlock(KeptText* text) {
    // Twice the size, then the unaligned ends go back: the block is aligned
    // to its size, which malloc does not promise for blocks this large.
    void* mapped = mmap(nullptr, 2 * blockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    auto start = reinterpret_cast<std::uintptr_t>(mapped);
    std::uintptr_t aligned = (start + blockSize - 1) & ~(blockSize - 1);
    if (aligned > start) munmap(mapped, aligned - start);
    std::uintptr_t end = start + 2 * blockSize;
    if (end > aligned + blockSize)
        munmap(reinterpret_cast<void*>(aligned + blockSize), end - aligned - blockSize);
    // Every page of a block will be written. Small pages: with two threads
    // filling blocks, the open measured slower with huge ones (README's
    // benchmark section).
    askForFreshPages(reinterpret_cast<void*>(aligned), blockSize);
#ifdef KINLOOM_ADDRESS_SANITIZER
    // The leak checker scans only malloc's heap: what the blocks point to
    // (child lists, key blocks) would look lost while the blocks live.
    __lsan_register_root_region(reinterpret_cast<void*>(aligned), blockSize);
#endif
    auto* block = reinterpret_cast<Block*>(aligned);
    block->live = 1; // the arena's own hold while it fills the block
    block->returned = 0;
    block->text = text;
    if (text) text->retain();
    ++liveBlocks;
    bytesHeld += static_cast<long>(blockSize);
    return block;
}

void LoadArena::dropBlock(Block* block) {
    if (--block->live > 0) return;
#ifdef KINLOOM_ADDRESS_SANITIZER
    __lsan_unregister_root_region(block, blockSize);
#endif
    bytesHeld -= static_cast<long>(blockSize - block->returned);
    KeptText* text = block->text;
    munmap(block, blockSize);
    if (text) text->release();
    --liveBlocks;
}

} // namespace kinloom
