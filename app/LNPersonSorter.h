#pragma once

#include "memory/SharedString.h"
#include "recordset/LNGedcomRecordSet.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace kinloom {

/// The order of the person table for a column identifier, on the row values
/// the table stores on each record: negative when the first person goes
/// first, 0 when they are equal, positive when it goes after. "name" is the
/// name order; "birthYear", "birthPlace", "deathYear" and "deathPlace"
/// put persons with a value first, the years in time order
/// (LNYear::compareTexts) and the places by plain text order (code unit by
/// code unit), then by name; "id" is file order. Any other identifier logs
/// "YIKES, WE SHOULDN'T BE HERE!" and finds every pair equal.
int comparePersons(const LNGedcomIndiRecord& first, const LNGedcomIndiRecord& second, StringView identifier);

/// Sorts the person table's rows into the order of comparePersons,
/// stably: persons it finds equal keep their order. No comparison collates
/// text: every person gets a rank in the name order (NameRanks), and in the
/// text order of each column, by which the rows are sorted as numbers. The
/// ranks stay from the first sort that needs them until forget(), which the
/// table calls when it builds its rows anew; the rows' values do not change
/// in between.
class LNPersonSorter {
  public:
    /// Sorts the rows: ids[i] is the id of row i, its person's position in
    /// persons (the list the rows were made from), and the ids are 0 to the
    /// number of rows - 1.
    void sort(const IndiList& persons, std::vector<std::uint32_t>& ids, StringView identifier);
    void forget();

    static constexpr std::uint32_t noText = UINT32_MAX;
    /// What the table stored in the text columns as it built the rows, so
    /// that a sort need not read the rows' values again: the distinct texts,
    /// and for each column the number of each person's text among them, by
    /// id, or noText; no numbers where no person has a text. A column not
    /// given is read from the rows.
    void setTexts(std::vector<SharedString> texts,
                  std::unordered_map<String, std::vector<std::uint32_t>> numbersById);

  private:
    /// By id: the rank in the name order; persons it finds equal share one.
    const std::vector<std::uint32_t>& nameRanks(const IndiList& persons);
    /// By id: the rank of the column's text, the highest number for none;
    /// empty where no person has a text.
    const std::vector<std::uint32_t>& textRanks(const IndiList& persons, StringView identifier);

    std::vector<std::uint32_t> nameRanks_;
    std::unordered_map<String, std::vector<std::uint32_t>> textRanks_;
    std::vector<SharedString> texts_;
    std::unordered_map<String, std::vector<std::uint32_t>> textNumbers_;
    std::vector<std::uint32_t> rankOfText_;
    std::vector<std::uint32_t> rankOfYearText_;
};

} // namespace kinloom
