#include "records/LNGedcomRecordAssembler.h"

#include "memory/LoadArena.h"
#include "records/LNGedcomRecord.h"
#include "support/LineBreaks.h"
#include "support/LoadStages.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <cstdint>
#include <exception>
#include <iterator>
#include <string>
#include <thread>

namespace kinloom {

namespace {

using RecordList = LNGedcomRecordAssembler::RecordList;

// The builder's reports: each logs a line and adds an error of a kind.
enum class LineReport : std::uint8_t { lineSyntax, illegalLevel };

struct LineReportText {
    const char* logLine;
    ErrorKind kind;
};

LineReportText textOf(LineReport report) {
    return report == LineReport::lineSyntax
               ? LineReportText{"error: line syntax", LNGedcomErrorLineSyntax}
               : LineReportText{"error: illegal level", LNGedcomErrorIllegalLevel};
}

// A report kept for later, eight bytes where its two log lines take a
// hundred or more: a file can hold a report on every line.
struct KeptReport {
    std::int32_t line;
    LineReport report;
};

void makeReport(LineReport report, std::int32_t line, LNGedcomErrors* errors) {
    const LineReportText text = textOf(report);
    systemLog(text.logLine);
    if (errors) errors->addError(text.kind, line);
}

// One pass of the assembler over lines given one by one, its nodes made in
// the arena.
class RecordBuilder {
  public:
    /// With kept, reports are kept there instead of made.
    RecordBuilder(LoadArena& arena, int maxCount, LNGedcomErrors* errors,
                  std::vector<KeptReport>* kept = nullptr)
        : arena_(arena), maxCount_(maxCount), errors_(errors), kept_(kept) {
        records_->reserve(10);
    }

    /// Takes one line; false once maxCount records are made.
    bool addLine(StringView text, int lineNumber) {
        if (text.empty()) return true;
        std::optional<ErrorKind> error;
        Ref<LNGedcomNode> node = LNGedcomNode::initFromString(text, &error, arena_);
        if (!node) {
            if (error) report(LineReport::lineSyntax, lineNumber);
            return true;
        }
        node->setLineNumber(lineNumber);
        int level = node->level();
        if (level < 0) {
            report(LineReport::illegalLevel, lineNumber);
        } else if (level == 0) {
            if (!finishRecord()) return false;
            lines_.push_back(std::move(node));
            parents_.push_back(none);
            path_.assign(1, 0);
            currentLevel_ = 0;
        } else if (level > currentLevel_ + 1) {
            // Dropped; the lines after it attach as if it had not been there.
            report(LineReport::illegalLevel, lineNumber);
        } else {
            attach(std::move(node), level);
        }
        return true;
    }

    std::unique_ptr<RecordList> finish() {
        finishRecord();
        return std::move(records_);
    }

  private:
    static constexpr int none = -1;

    void report(LineReport report, int lineNumber) {
        if (kept_)
            kept_->push_back({lineNumber, report});
        else
            makeReport(report, lineNumber, errors_);
    }

    // A child of the line one level up on the current path: of the current
    // line (one level deeper) or of the parent of the line at its level. The
    // lines of a record are linked when the record ends, so that every child
    // list is made once at its final size.
    void attach(Ref<LNGedcomNode> node, int level) {
        auto depth = static_cast<std::size_t>(level);
        path_.resize(depth + 1, none);
        currentLevel_ = level;
        int parent = path_[depth - 1];
        if (parent == none) {
            // Only before the first level-0 line: the line is dropped, and so
            // are its subordinates.
            path_[depth] = none;
            return;
        }
        path_[depth] = static_cast<int>(lines_.size());
        lines_.push_back(std::move(node));
        parents_.push_back(parent);
    }

    // False when the record made reaches maxCount.
    bool finishRecord() {
        if (lines_.empty()) return true;
        childCounts_.assign(lines_.size(), 0);
        for (std::size_t i = 1; i < lines_.size(); ++i)
            ++childCounts_[static_cast<std::size_t>(parents_[i])];
        for (std::size_t i = 0; i < lines_.size(); ++i)
            lines_[i]->reserveChildren(childCounts_[i], &arena_);
        for (std::size_t i = 1; i < lines_.size(); ++i)
            lines_[static_cast<std::size_t>(parents_[i])]->addChild(lines_[i]);
        auto record = LNGedcomRecord::recordWithRoot(std::move(lines_[0]), errors_, &arena_);
        lines_.clear();
        parents_.clear();
        if (!record) return true;
        records_->push_back(std::move(record));
        return maxCount_ == 0 || static_cast<int>(records_->size()) != maxCount_;
    }

    LoadArena& arena_;
    int maxCount_;
    LNGedcomErrors* errors_;
    std::vector<KeptReport>* kept_;
    std::unique_ptr<RecordList> records_ = std::make_unique<RecordList>();
    // The lines of the record being read, its root first, and the index of
    // each line's parent among them.
    std::vector<Ref<LNGedcomNode>> lines_;
    std::vector<int> parents_;
    std::vector<int> childCounts_;
    // The index of the line at each level of the current path; none before
    // the first level-0 line.
    std::vector<int> path_{none};
    int currentLevel_ = 0;
};

// Assembles the lines of the text, the first numbered firstLine.
std::unique_ptr<RecordList> assemble(StringView text, int firstLine, int maxCount, LNGedcomErrors* errors,
                                     KeptText* keptText, std::vector<KeptReport>* kept = nullptr) {
    LoadArena arena(keptText);
    RecordBuilder builder(arena, maxCount, errors, kept);
    LNProgress::Meter meter = LoadStages::meter("assemble", text.size());
    int lineNumber = firstLine - 1;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = nextLineBreak(text, start);
        if (!builder.addLine(text.substr(start, end - start), ++lineNumber)) break;
        if (end == text.size()) break;
        meter.count(end);
        start = end + 1;
    }
    return builder.finish();
}

// The start of the first line after the middle of the text that begins a
// record (a readable line of level 0), or 0 when there is none. The lines
// before it and the lines from it on make records independently.
std::size_t recordStartNearMiddle(StringView text) {
    for (std::size_t at = nextLineBreak(text, text.size() / 2); at < text.size();) {
        std::size_t start = at + 1;
        std::size_t end = nextLineBreak(text, start);
        Ref<LNGedcomNode> line = LNGedcomNode::initFromString(text.substr(start, end - start), nullptr);
        if (line && line->level() == 0) return start;
        at = end;
    }
    return 0;
}

int countBreaks(StringView text) {
    int breaks = 0;
    for (std::size_t at = nextLineBreak(text, 0); at < text.size(); at = nextLineBreak(text, at + 1))
        ++breaks;
    return breaks;
}

} // namespace

std::unique_ptr<RecordList>
LNGedcomRecordAssembler::recordsFromStrings(const std::vector<StringView>& lines) const {
    if (lines.empty()) return nullptr;
    LoadArena arena(keptText_);
    RecordBuilder builder(arena, maxCount_, errors_);
    int lineNumber = 0;
    for (StringView line : lines) {
        if (!builder.addLine(line, ++lineNumber)) break;
    }
    return builder.finish();
}

std::unique_ptr<RecordList> LNGedcomRecordAssembler::recordsFromText(StringView text) const {
    std::size_t split = 0;
    if (maxCount_ == 0 && text.size() >= parallelThreshold_ && std::thread::hardware_concurrency() > 1)
        split = recordStartNearMiddle(text);
    if (split == 0) return assemble(text, 1, maxCount_, errors_, keptText_);
    return recordsFromHalves(text, split);
}

std::unique_ptr<RecordList> LNGedcomRecordAssembler::recordsFromHalves(StringView text,
                                                                       std::size_t split) const {
    // The helper's records and reports are only read once it has been
    // joined; its nodes then belong to this thread. Its reports are kept
    // compactly and made after the first half's, in file order; anything
    // else logged on it (nothing today) is written as it joins, before them.
    StringView second = text.substr(split);
    const int secondFirstLine = countBreaks(text.substr(0, split)) + 1;
    std::unique_ptr<RecordList> secondRecords;
    std::vector<KeptReport> secondReports;
    std::unique_ptr<RecordList> records;
    alongside(
        [&](std::stop_token) {
            secondRecords = assemble(second, secondFirstLine, 0, nullptr, keptText_, &secondReports);
        },
        // The first half ends before the line break that ends its last line.
        [&] { records = assemble(text.substr(0, split - 1), 1, 0, errors_, keptText_); });
    for (const KeptReport& kept : secondReports)
        makeReport(kept.report, kept.line, errors_);
    records->reserve(records->size() + secondRecords->size());
    std::move(secondRecords->begin(), secondRecords->end(), std::back_inserter(*records));
    return records;
}

void LNGedcomRecordAssembler::alongside(const std::function<void(std::stop_token)>& side,
                                        const std::function<void()>& main) {
    if (std::thread::hardware_concurrency() <= 1) {
        main();
        side(std::stop_token());
        return;
    }
    std::vector<std::string> sideLog;
    std::exception_ptr sideFailure;
    {
        std::jthread helper([&](std::stop_token stop) {
            try {
                LogCapture capture;
                side(stop);
                sideLog = capture.lines();
            } catch (...) {
                sideFailure = std::current_exception();
            }
        });
        main();
        // Joined without a stop request; a main that throws leaves the
        // scope with one instead.
        helper.join();
    }
    if (sideFailure) std::rethrow_exception(sideFailure);
    for (const std::string& line : sideLog)
        systemLog(line);
}

} // namespace kinloom
