#include "tree/ChildList.h"

#include "tree/LNNode.h"
#include "memory/LoadArena.h"

#include <new>

namespace kinloom {

const ChildList& ChildList::none() {
    static const ChildList empty(0, false);
    return empty;
}

ChildList* ChildList::make(std::size_t capacity, LoadArena* arena) {
    std::size_t bytes = sizeof(ChildList) + capacity * sizeof(Ref<LNNode>);
    void* memory = arena ? arena->allocate(bytes) : nullptr;
    bool inArena = memory != nullptr;
    if (!memory) memory = ::operator new(bytes);
    return new (memory) ChildList(static_cast<std::uint32_t>(capacity), inArena);
}

void ChildList::destroy(ChildList* list) {
    Ref<LNNode>* items = list->items();
    for (std::uint32_t i = 0; i < list->size_; ++i)
        items[i].~Ref();
    if (list->inArena_) {
        LoadArena::free(list);
    } else {
        ::operator delete(list);
    }
}

} // namespace kinloom
