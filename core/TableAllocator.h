#pragma once

#include <cstddef>

namespace kinloom {

/// Memory for large lookup tables, in huge pages where the system allows:
/// lookups land anywhere in the table, and with small pages nearly each one
/// also misses the address translation cache.
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
