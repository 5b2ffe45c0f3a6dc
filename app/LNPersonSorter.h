#pragma once

#include "LNGedcomIndiRecord.h"
#include "SharedString.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kinloom {

/// The order of the person table for a column identifier, on the row values
/// the table stores on each record: negative when the first person goes
/// first, 0 when they are equal, positive when it goes after. "name" is the
/// name order; "birthYear", "birthPlace", "deathYear" and "deathPlace"
/// put persons with a value first, by plain text order (code unit by code
/// unit), then by name; "id" is file order. Any other identifier logs
/// "YIKES, WE SHOULDN'T BE HERE!" and finds every pair equal.
int comparePersons(const LNGedcomIndiRecord& first, const LNGedcomIndiRecord& second, StringView identifier);

/// Sorts the person table's rows into the order of comparePersons,
/// stably: persons it finds equal keep their order. Each person's sort key
/// is computed once per sort, and each distinct name part is collated once,
/// so no comparison collates text. The name order of the persons, which
/// every column but "id" needs, is kept from the first sort that needs it
/// until forget(), which the table calls when it builds its rows anew.
class LNPersonSorter {
  public:
    /// The rows carry the table's "id" values 1 to the number of rows.
    void sort(std::vector<std::shared_ptr<LNGedcomIndiRecord>>& rows, StringView identifier);
    void forget() { nameRankById_.clear(); }

  private:
    /// The rank of each row in the name order.
    const std::vector<std::uint32_t>& nameRanks(const std::vector<std::shared_ptr<LNGedcomIndiRecord>>& rows);

    std::vector<std::uint32_t> nameRankById_;
    std::vector<std::uint32_t> nameRankByRow_;
};

} // namespace kinloom
