#pragma once

#include <cstddef>

namespace kinloom {

/// Maps the pages of fresh memory that is about to be written in full in
/// one call, instead of one page fault per page, each of which the machines
/// Kinloom is measured on make costly. Only whole pages inside the range are
/// asked for; does nothing where the kernel cannot. Huge pages measured
/// slower for memory that is written once and then read in order: they are
/// kept for the lookup tables. README's benchmark section has the figures.
void askForFreshPages(void* start, std::size_t bytes);

/// Memory for large lookup tables, in huge pages where the system allows:
/// lookups land anywhere in the table, and with small pages nearly each one
/// also misses the address translation cache. Not mapped ahead: the index
/// measured slower with its huge pages mapped in one call.
void* allocateTable(std::size_t bytes);
void freeTable(void* memory, std::size_t bytes);

/// A standard allocator over allocateTable, for the vector behind a table.
template <typename T> struct TableAllocator {
    using value_type = T;
    TableAllocator() = default;
    template <typename U> TableAllocator(const TableAllocator<U>&) {}
    T* allocate(std::size_t count) { return static_cast<T*>(allocateTable(count * sizeof(T))); }
    void deallocate(T* memory, std::size_t count) { freeTable(memory, count * sizeof(T)); }
    friend bool operator==(const TableAllocator&, const TableAllocator&) { return true; }
};

} // namespace kinloom
