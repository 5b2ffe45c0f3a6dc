// The record assembler: GEDCOM lines in, one record per level-0 line out.

#include "LNGedcomRecord.h"
#include "SystemLog.h"
#include "TextServices.h"

namespace kinloom {

namespace {

class RecordAssembler {
  public:
    RecordAssembler(int maxCount, LNGedcomErrors* errors) : maxCount_(maxCount), errors_(errors) {
        records_->reserve(10);
    }

    /// Takes one line; false once maxCount records are made.
    bool addLine(StringView text, int lineNumber) {
        if (text.empty()) return true;
        std::optional<ErrorKind> error;
        Ref<LNGedcomNode> node = LNGedcomNode::initFromString(text, &error);
        if (!node) {
            if (error) report("error: line syntax", *error, lineNumber);
            return true;
        }
        node->setLineNumber(lineNumber);
        int level = node->level();
        if (level < 0) {
            report("error: illegal level", LNGedcomErrorIllegalLevel, lineNumber);
        } else if (level == 0) {
            if (!finishRecord()) return false;
            root_ = node;
            orphans_.reset();
            current_ = node.get();
            currentLevel_ = 0;
        } else if (level > currentLevel_ + 1) {
            // Dropped; the lines after it attach as if it had not been there.
            report("error: illegal level", LNGedcomErrorIllegalLevel, lineNumber);
        } else {
            attach(std::move(node), level);
        }
        return true;
    }

    std::unique_ptr<std::vector<std::shared_ptr<LNGedcomRecord>>> finish() {
        finishRecord();
        return std::move(records_);
    }

  private:
    void report(const char* logLine, ErrorKind kind, int lineNumber) {
        systemLog(logLine);
        if (errors_) errors_->addError(kind, lineNumber);
    }

    // A child of the current node (one level deeper) or a sibling of the node
    // at its level on the current node's path.
    void attach(Ref<LNGedcomNode> node, int level) {
        LNNode* parent = current_;
        if (level <= currentLevel_) {
            while (currentLevel_ > level) {
                current_ = current_ ? static_cast<LNGedcomNode*>(current_->parent()) : nullptr;
                --currentLevel_;
            }
            parent = current_ ? current_->parent() : nullptr;
        }
        current_ = node.get();
        currentLevel_ = level;
        if (parent) {
            parent->addChild(std::move(node));
        } else {
            // Only before the first level-0 line: the line is dropped, but
            // stays current so its subordinates go with it.
            orphans_ = std::move(node);
        }
    }

    // False when the record made reaches maxCount.
    bool finishRecord() {
        if (!root_) return true;
        auto record = LNGedcomRecord::recordWithRoot(std::move(root_), errors_);
        current_ = nullptr;
        if (!record) return true;
        records_->push_back(std::move(record));
        return maxCount_ == 0 || static_cast<int>(records_->size()) != maxCount_;
    }

    int maxCount_;
    LNGedcomErrors* errors_;
    std::unique_ptr<std::vector<std::shared_ptr<LNGedcomRecord>>> records_ =
        std::make_unique<std::vector<std::shared_ptr<LNGedcomRecord>>>();
    Ref<LNGedcomNode> root_;
    Ref<LNGedcomNode> orphans_;
    LNGedcomNode* current_ = nullptr;
    int currentLevel_ = 0;
};

} // namespace

std::unique_ptr<std::vector<std::shared_ptr<LNGedcomRecord>>>
LNGedcomRecord::gedcomRecordsFromStrings(const std::vector<StringView>& lines, int maxCount,
                                         LNGedcomErrors* errors) {
    if (lines.empty()) return nullptr;
    RecordAssembler assembler(maxCount, errors);
    int lineNumber = 0;
    for (StringView line : lines) {
        if (!assembler.addLine(line, ++lineNumber)) break;
    }
    return assembler.finish();
}

std::unique_ptr<std::vector<std::shared_ptr<LNGedcomRecord>>>
LNGedcomRecord::gedcomRecordsFromText(StringView text, int maxCount, LNGedcomErrors* errors) {
    RecordAssembler assembler(maxCount, errors);
    const CharSet& breaks = CharSet::newline();
    // Most characters are printable ASCII, which is never a line break: they
    // skip the set lookup.
    auto isBreak = [&breaks](char16_t c) { return (c < 0x20 || c >= 0x7F) && breaks.contains(c); };
    int lineNumber = 0;
    std::size_t start = 0;
    for (std::size_t end = 0; end <= text.size(); ++end) {
        if (end < text.size() && !isBreak(text[end])) continue;
        if (!assembler.addLine(text.substr(start, end - start), ++lineNumber)) break;
        start = end + 1;
    }
    return assembler.finish();
}

} // namespace kinloom
