#pragma once

#include <cstddef>
#include <cstdint>

namespace kinloom {

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
/// While an arena exists it is the current one of its thread (arenas nest);
/// the line parser takes its nodes and strings from the current arena, if
/// any. An arena and its objects belong to one thread at a time, as nodes
/// do; threads may each fill arenas of their own.
class LoadArena {
  public:
    static constexpr std::size_t blockSize = std::size_t{1} << 20;

    LoadArena();
    ~LoadArena();
    LoadArena(const LoadArena&) = delete;
    LoadArena& operator=(const LoadArena&) = delete;

    /// The innermost arena alive on this thread, or null.
    static LoadArena* current();

    /// Room for bytes (aligned to 8), or null when the request is too large
    /// for a block; the caller then uses the heap.
    void* allocate(std::size_t bytes);
    /// Ends the life of an object made by allocate.
    static void free(void* object);

    /// The number of blocks alive in the process, for tests and benchmarks.
    static long numBlocks();
    /// The memory those blocks hold: whole blocks, less the unused ends of
    /// blocks whose arena has ended.
    static long numBytes();

  private:
    struct Block;
    static Block* newBlock();
    static void dropBlock(Block* block);

    Block* block_ = nullptr;
    std::size_t used_ = 0;
    LoadArena* previous_;
};

} // namespace kinloom
