#pragma once

#include "memory/SharedString.h"
#include "records/LNGedcomIndiRecord.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <span>
#include <unordered_map>
#include <vector>

namespace kinloom {

/// The name order of LNGedcomIndiRecord::compareByName, which defines it, as
/// numbers: each person of a list gets a rank, and persons that order finds
/// equal share one. Every distinct surname and given name is collated once,
/// so that sorting compares numbers instead of collating text. The person
/// table ranks its rows once per open; the name search ranks what it found.
class NameRanks {
  public:
    explicit NameRanks(std::span<const Ref<LNGedcomIndiRecord>> persons);
    /// By position in the list given.
    const std::vector<std::uint32_t>& ranks() const& { return ranks_; }
    std::vector<std::uint32_t> ranks() && { return std::move(ranks_); }

  private:
    void rankParts(const std::vector<StringView>& texts);
    /// parts: how many distinct name parts there are.
    void rankPersons(std::size_t parts);
    /// The order of two persons of one surname: their given names, then the
    /// numbers in their keys.
    int compare(std::size_t a, std::size_t b) const;

    // 0 without surname, else 1 + text number (later: rank); let go once
    // the sort by name holds them.
    std::vector<std::uint32_t> surname_;
    std::vector<std::uint32_t> givenStart_;
    std::vector<std::uint32_t> given_; // text numbers (later: ranks), person after person
    std::vector<std::int32_t> number_;
    std::vector<std::uint32_t> ranks_;
};

/// Collects distinct texts, numbering them in order of first appearance. The
/// views must outlive the collection. The one numbering of texts: the name
/// ranks, the person sorter and the person table's shared cell texts use it.
class DistinctTexts {
  public:
    std::uint32_t add(StringView text) {
        auto [entry, added] = indices_.try_emplace(text, static_cast<std::uint32_t>(texts_.size()));
        if (added) texts_.push_back(text);
        return entry->second;
    }
    /// The text's number, or none when it has not been added.
    static constexpr std::uint32_t none = 0xFFFFFFFFu;
    std::uint32_t find(StringView text) const {
        auto found = indices_.find(text);
        return found == indices_.end() ? none : found->second;
    }
    const std::vector<StringView>& texts() const { return texts_; }

  private:
    std::unordered_map<StringView, std::uint32_t> indices_;
    std::vector<StringView> texts_;
};

/// The rank of each of count items in the order less (on their numbers)
/// gives; items it finds equal share a rank.
template <typename Less> std::vector<std::uint32_t> rankInOrder(std::size_t count, Less less) {
    std::vector<std::uint32_t> byOrder(count);
    std::iota(byOrder.begin(), byOrder.end(), 0);
    std::sort(byOrder.begin(), byOrder.end(), less);
    std::vector<std::uint32_t> rank(count);
    std::uint32_t current = 0;
    for (std::size_t i = 0; i < byOrder.size(); ++i) {
        if (i > 0 && less(byOrder[i - 1], byOrder[i])) ++current;
        rank[byOrder[i]] = current;
    }
    return rank;
}

} // namespace kinloom
