#pragma once

#include "LNGedcomRecord.h"

#include <cstddef>

namespace kinloom {

/// Calls visit(record, number) for the records of the list (of shared
/// pointers to records) from begin to end, in order. Records and their lines
/// lie scattered in memory and nearly every first read of one waits for it:
/// a record, its root, the root's child list and its level-1 lines are asked
/// for some records ahead, one step of pointers at a time, so that the waits
/// overlap. This and RecordIndex::forEachAhead are the only places that ask
/// for memory ahead.
template <typename List, typename Visit>
void forEachRecordAhead(const List& records, std::size_t begin, std::size_t end, Visit&& visit) {
    const std::size_t total = records.size();
    auto rootAt = [&](std::size_t at) { return records[at]->root().get(); };
    for (std::size_t number = begin; number < end; ++number) {
        if (number + 16 < total) __builtin_prefetch(records[number + 16].get());
        if (number + 12 < total) __builtin_prefetch(rootAt(number + 12));
        if (number + 8 < total) __builtin_prefetch(rootAt(number + 8)->children());
        if (number + 4 < total)
            if (const auto* children = rootAt(number + 4)->children(); children && children->size() != 0)
                __builtin_prefetch(&(*children)[0]);
        if (number + 2 < total)
            if (const auto* children = rootAt(number + 2)->children())
                for (const auto& child : *children)
                    __builtin_prefetch(child.get());
        visit(*records[number], number);
    }
}

/// The same over the whole list.
template <typename List, typename Visit> void forEachRecordAhead(const List& records, Visit&& visit) {
    forEachRecordAhead(records, 0, records.size(), visit);
}

} // namespace kinloom
