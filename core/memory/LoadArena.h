#pragma once

#include "memory/InternTable.h"

#include <cstddef>
#include <cstdint>

namespace kinloom {

class KeptText;

/// Memory for the nodes and line strings of one load, taken from large blocks
/// instead of one malloc each: a loaded file has millions of lines, and a
/// malloc and a free per node, value and key cost as much time as the rest of
/// loading and a sixth of the memory.
///
/// Blocks are aligned to their size, so an object finds its block by masking
/// its address. Each block counts the objects living in it and returns to the
/// system when the last one goes, so an object may outlive the arena that
/// made it (a node held by a Ref after its record set is gone keeps only its
/// own block). Objects made here carry a flag (see LNNode, SharedString) that
/// tells their release to call LoadArena::free instead of the heap's free.
///
/// What allocates from an arena is handed it: the line parser makes its
/// nodes and texts here and interns its tags in the arena's own table, and
/// a node makes its child list here when asked to reserve room in it. An
/// arena, its table and its objects belong to one thread at a time, as nodes
/// do; threads may each fill arenas of their own at once.
class LoadArena {
  public:
    static constexpr std::size_t blockSize = std::size_t{1} << 20;

    /// With a kept text, each block holds the text while it lives, and the
    /// values of lines made here that lie in the text point into it.
    explicit LoadArena(KeptText* text = nullptr) : text_(text) {}
    ~LoadArena();
    LoadArena(const LoadArena&) = delete;
    LoadArena& operator=(const LoadArena&) = delete;

    /// Room for bytes (aligned to 8), or null when the request is too large
    /// for a block; the caller then uses the heap.
    void* allocate(std::size_t bytes);
    /// Ends the life of an object made by allocate.
    static void free(void* object);
    /// The tags of this load: a few dozen texts met millions of times.
    InternCache& tags() { return tags_; }
    /// The text the lines made here may point into; null when none.
    const KeptText* keptText() const { return text_; }

    /// The number of blocks alive in the process, for tests and benchmarks,
    /// once the background releases handed over before have ended.
    static long numBlocks();
    /// The memory those blocks hold now (whole blocks, less the unused ends
    /// of blocks whose arena has ended): releases under way in the
    /// background are not waited for.
    static long numBytes();

  private:
    struct Block;
    static Block* newBlock(KeptText* text);
    static void dropBlock(Block* block);

    KeptText* text_;
    Block* block_ = nullptr;
    std::size_t used_ = 0;
    InternCache tags_;
};

} // namespace kinloom
