#pragma once

#include "records/LNGedcomIndiRecord.h"
#include "records/LNGedcomRecord.h"

#include <cstddef>

namespace kinloom {

/// What forEachRecordAhead asks for ahead of a record by default: its root,
/// the root's child list, the list's array and the level-1 lines, one step
/// of pointers at a time (step 1 is asked for first, step 4 last).
struct LinesAhead {
    template <typename Record> static void step(int step, const Record& record) {
        const LNGedcomNode* root = record.root().get();
        const ChildList* children = root->children();
        switch (step) {
        case 1:
            __builtin_prefetch(root);
            break;
        case 2:
            __builtin_prefetch(children);
            break;
        case 3:
            if (children && !children->empty()) __builtin_prefetch(&(*children)[0]);
            break;
        default:
            if (children)
                for (const auto& child : *children)
                    __builtin_prefetch(child.get());
        }
    }
};

/// Ahead of a person: the record's end (it may reach into a second cache
/// line) and its root line, which holds the key; its name list, parsed name,
/// key and SEX line; then the name's text, the NAME line and the sex's text:
/// what the name index and the person check read.
struct PersonAhead {
    static void step(int step, const LNGedcomIndiRecord& indi) {
        switch (step) {
        case 1:
            __builtin_prefetch(reinterpret_cast<const char*>(&indi) + sizeof indi - 1);
            __builtin_prefetch(indi.root().get());
            break;
        case 2:
            __builtin_prefetch(indi.nameArray().data());
            __builtin_prefetch(indi.gedcomName());
            __builtin_prefetch(indi.key().view().data());
            __builtin_prefetch(indi.sex());
            break;
        case 3:
            if (const LNGedcomName* parsed = indi.gedcomName()) __builtin_prefetch(parsed->original().data());
            if (const LNGedcomNode* name = indi.name()) __builtin_prefetch(name);
            if (const LNGedcomNode* sex = indi.sex()) __builtin_prefetch(sex->value().view().data());
            break;
        default:
            break;
        }
    }
};

/// Both of the above, for a pass over persons that reads their names and
/// lines (the person table's rows).
struct PersonLinesAhead {
    static void step(int step, const LNGedcomIndiRecord& indi) {
        PersonAhead::step(step, indi);
        LinesAhead::step(step, indi);
    }
};

/// Calls visit(record, number) for the records of the list (of shared
/// pointers to records) from begin to end, in order. Records and their lines
/// lie scattered in memory and nearly every first read of one waits for it:
/// each record is asked for 16 records ahead, and then what Ahead names, step
/// by step at 12, 8, 4 and 2 records ahead, so that the waits overlap
/// (README's benchmark section has what the person's own steps saved).
/// This and RecordIndex::forEachAhead (with the holders its callers give
/// it) are the only places that ask for memory ahead.
template <typename Ahead = LinesAhead, typename List, typename Visit>
void forEachRecordAhead(const List& records, std::size_t begin, std::size_t end, Visit&& visit) {
    const std::size_t total = records.size();
    constexpr std::size_t distance[] = {16, 12, 8, 4, 2};
    for (std::size_t number = begin; number < end; ++number) {
        if (number + distance[0] < total) __builtin_prefetch(records[number + distance[0]].get());
        for (int step = 1; step <= 4; ++step)
            if (number + distance[step] < total) Ahead::step(step, *records[number + distance[step]]);
        visit(*records[number], number);
    }
}

/// The same over the whole list.
template <typename Ahead = LinesAhead, typename List, typename Visit>
void forEachRecordAhead(const List& records, Visit&& visit) {
    forEachRecordAhead<Ahead>(records, 0, records.size(), visit);
}

} // namespace kinloom
