#pragma once

#include "memory/Ref.h"
#include "memory/SharedString.h"
#include "support/LNGedcomErrors.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace kinloom {

class KeptText;
class LNGedcomRecord;

/// The record assembler: parses each line, hangs it under its superior line
/// by level and makes one record per level-0 line. Unreadable lines and level
/// jumps are logged, reported to the error list (may be null) and dropped.
/// LNGedcomRecord's class operations gedcomRecordsFromStrings and
/// gedcomRecordsFromText are this class with its defaults.
///
/// A large text is assembled in two halves at once: the assembler starts a
/// helper thread with an arena of its own, which keeps its reports as a few
/// bytes each rather than as log lines, and takes the helper's records over
/// and makes its reports once it has joined it, so that the result and the
/// log read as if one thread had gone through the text.
///
/// That helper thread is the load's only one besides the caller's: the
/// record set hands it its second job too (see alongside).
class LNGedcomRecordAssembler {
  public:
    using RecordList = std::vector<Ref<LNGedcomRecord>>;

    /// maxCount 0 means no limit; otherwise assembly stops once that many
    /// records are made.
    LNGedcomRecordAssembler(int maxCount, LNGedcomErrors* errors) : maxCount_(maxCount), errors_(errors) {}

    /// Texts of at least this many code units are assembled in two halves
    /// when the machine has more than one processor (8 Mi by default; tests
    /// lower it to see both halves at work).
    void setParallelThreshold(std::size_t length) { parallelThreshold_ = length; }
    /// The text that the texts given lie in, kept for as long as a line made
    /// from it lives: the lines' values then point into it (null: copied).
    void setKeptText(KeptText* text) { keptText_ = text; }

    /// Null when lines is empty; an empty list when the lines hold no level-0
    /// line. The views are only read during the call.
    std::unique_ptr<RecordList> recordsFromStrings(const std::vector<StringView>& lines) const;
    /// The same over a whole text split at every single line-break character
    /// (so CR LF counts as two), without building the list of lines. The
    /// empty text is one empty line and gives an empty list.
    std::unique_ptr<RecordList> recordsFromText(StringView text) const;

    /// Runs side on the helper thread while main runs on this one, and
    /// returns when both have ended; where the machine has one processor,
    /// main first and then side. Whatever side logs is written after all
    /// that main logs, so the log reads the same either way. side is asked
    /// to stop (through its token) when main throws; main's exception, else
    /// side's, is thrown on.
    static void alongside(const std::function<void(std::stop_token)>& side, const std::function<void()>& main);

  private:
    std::unique_ptr<RecordList> recordsFromHalves(StringView text, std::size_t split) const;

    int maxCount_;
    LNGedcomErrors* errors_;
    std::size_t parallelThreshold_ = std::size_t{8} << 20;
    KeptText* keptText_ = nullptr;
};

} // namespace kinloom
