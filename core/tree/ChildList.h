#pragma once

#include "memory/Ref.h"

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace kinloom {

class LNNode;
class LoadArena;

/// A node's children in order: shares of the child nodes in one block, read
/// like a vector. A list is a header and the array, with no allocation of
/// its own beyond that; the assembler has its lists made in the load's
/// LoadArena. Only LNNode changes a list.
class ChildList {
  public:
    using value_type = Ref<LNNode>;
    using const_iterator = const Ref<LNNode>*;
    using iterator = const_iterator;
    using const_reverse_iterator = std::reverse_iterator<const_iterator>;
    using reverse_iterator = const_reverse_iterator;

    ChildList(const ChildList&) = delete;
    ChildList& operator=(const ChildList&) = delete;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const_iterator begin() const { return items(); }
    const_iterator end() const { return items() + size_; }
    const_reverse_iterator rbegin() const { return const_reverse_iterator(end()); }
    const_reverse_iterator rend() const { return const_reverse_iterator(begin()); }
    const Ref<LNNode>& operator[](std::size_t index) const { return items()[index]; }
    const Ref<LNNode>& front() const { return items()[0]; }
    const Ref<LNNode>& back() const { return items()[size_ - 1]; }

    /// The list of no children.
    static const ChildList& none();

  private:
    friend class LNNode;
    ChildList(std::uint32_t capacity, bool inArena) : capacity_(capacity), inArena_(inArena) {}
    /// An empty list with room for capacity children, from the arena when
    /// one is given and the list fits it, else from the heap.
    static ChildList* make(std::size_t capacity, LoadArena* arena);
    /// Releases the children and frees the list.
    static void destroy(ChildList* list);
    Ref<LNNode>* items() { return reinterpret_cast<Ref<LNNode>*>(this + 1); }
    const Ref<LNNode>* items() const { return reinterpret_cast<const Ref<LNNode>*>(this + 1); }

    std::uint32_t size_ = 0;
    std::uint32_t capacity_ : 31;
    std::uint32_t inArena_ : 1;
};

} // namespace kinloom
