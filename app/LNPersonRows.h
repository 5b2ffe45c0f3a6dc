#pragma once

#include "LNPersonSorter.h"
#include "recordset/LNGedcomRecordSet.h"
#include "recordset/NameRanks.h"

#include <cstdint>
#include <optional>
#include <stop_token>
#include <unordered_map>
#include <vector>

namespace kinloom {

// One shared copy of each distinct text (years and places repeat across
// thousands of persons), numbered for the sorter.
class SharedTexts {
  public:
    /// A column of text numbers by row: empty while every row so far has no
    /// text (a file of bare persons keeps none), else one a row, noText where
    /// a row has none.
    struct Column {
        std::vector<std::uint32_t> numbers;
        /// Notes the row's number, or noText; rows come in order, rows of them at most.
        void add(std::size_t row, std::uint32_t number, std::size_t rows) {
            if (numbers.empty()) {
                if (number == LNPersonSorter::noText) return;
                numbers.reserve(rows);
                numbers.assign(row, LNPersonSorter::noText);
            }
            numbers.push_back(number);
        }
    };

    /// How many rows will be numbered, at most.
    void expect(std::size_t rows) { rows_ = rows; }
    /// The shared copy of the text, or the none marker; notes the text's
    /// number, or noText, for the row in the column.
    AttributeValue valueOf(std::optional<StringView> text, Column& column, std::size_t row) {
        return numbered(text ? numberOf(*text) : LNPersonSorter::noText, column, row);
    }
    /// The same for the text of a year, which finds its number in an array
    /// (four-digit years of the common era, nearly all) or a map.
    AttributeValue valueOf(std::optional<LNYear> year, Column& column, std::size_t row) {
        if (!year) return numbered(LNPersonSorter::noText, column, row);
        std::uint32_t& number =
            year->digits() == 4 && !year->calendarName()
                ? years_[static_cast<std::size_t>(year->order() + yearsBeforeChrist)]
                : otherYears_.try_emplace(year->identity(), LNPersonSorter::noText).first->second;
        if (number == LNPersonSorter::noText) number = numberOf(year->text());
        return numbered(number, column, row);
    }
    std::vector<SharedString> take() { return std::move(texts_); }

  private:
    static constexpr int yearsBeforeChrist = 10000;

    AttributeValue numbered(std::uint32_t number, Column& column, std::size_t row) {
        column.add(row, number, rows_);
        if (number == LNPersonSorter::noText) return NoneMarker();
        return texts_[number];
    }
    std::uint32_t numberOf(StringView text) {
        if (std::uint32_t number = numbers_.find(text); number != DistinctTexts::none) return number;
        // Numbered by a view of the kept copy, which stays where it is.
        texts_.emplace_back(text);
        return numbers_.add(texts_.back().view());
    }

    DistinctTexts numbers_;
    std::vector<SharedString> texts_;
    // By LNYear::order, from the earliest year before Christ.
    std::vector<std::uint32_t> years_ =
        std::vector<std::uint32_t>(2 * yearsBeforeChrist, LNPersonSorter::noText);
    // By LNYear::identity.
    std::unordered_map<std::uint64_t, std::uint32_t> otherYears_;
    std::size_t rows_ = 0;
};

// The display name of each distinct NAME value, made once and shared: the
// name depends on the value alone, and names repeat.
class SharedNames {
  public:
    AttributeValue valueOf(const LNGedcomIndiRecord& person) {
        const LNGedcomName* name = person.gedcomName();
        if (!name) return NoneMarker();
        // Room for every row at the first name, none in a list without names:
        // grown step by step, the map was rehashed at every doubling (0.07 s
        // of 300,000 persons' rows).
        if (names_.empty()) names_.reserve(expected_);
        // Keyed by a view of the person's value, which outlives the table's build.
        auto [entry, added] = names_.try_emplace(StringView(name->original()));
        if (added) entry->second = SharedString(*person.nameSurnameFirst(true, false, 64));
        return entry->second;
    }

    /// How many persons will be asked about, at most.
    void expect(std::size_t count) { expected_ = count; }

  private:
    std::unordered_map<StringView, SharedString> names_;
    std::size_t expected_ = 0;
};

/// The person table's rows as the first pass over a list makes them: each
/// row's id, key, name, years and places set on its record, the texts
/// numbered for the sorter. The parents are the second pass's (they read the
/// links). A load makes these beside its link checks.
struct LNPersonRows {
    static constexpr std::uint32_t noId = UINT32_MAX;
    /// The list the rows were made from: row i (id i) is its person i.
    const IndiList* source = nullptr;
    /// The id of each person list position (noId where none); empty for the
    /// record set's own list, whose ids are its positions.
    std::vector<std::uint32_t> idOfPosition;
    SharedTexts shared;
    SharedNames names;
    /// By column; a column without texts keeps no numbers.
    std::unordered_map<String, std::vector<std::uint32_t>> textNumbers;
    /// Made beside the link checks: the rows whose places logged lines,
    /// logged again when the rows are shown, where the log expects them.
    std::vector<std::uint32_t> loggedRows;

    /// The first pass over source (records: the set it belongs to, or null;
    /// ownList: source is its person list). With holdLog, the lines the
    /// places log are held back (see loggedRows); stops early when asked.
    void make(const IndiList& source, const LNGedcomRecordSet* records, bool ownList, bool holdLog,
              std::stop_token stop = {});
    /// Logs the held-back lines of loggedRows.
    void logHeldLines(GedcomStandard standard) const;
};

} // namespace kinloom
