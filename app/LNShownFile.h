#pragma once

#include "LNChartLayout.h"
#include "LNNavigationQueue.h"
#include "LNPersonRows.h"
#include "LNPersonSorter.h"
#include "file/LNGedcomFile.h"
#include "memory/BackgroundRelease.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/EditorLines.h"

#include <cstdint>
#include <memory>
#include <numeric>
#include <optional>
#include <vector>

namespace kinloom {

/// One row of the problems pane: a kept report of the error list, or a line
/// the grammar rejected, with the record holding its line. Its text is the
/// report's in words (problemWords), made when shown: a file of a million
/// reports keeps 100,000 rows.
struct LNProblemRow {
    std::int32_t line = 0;       // as the loader numbers it: finds the line in the record
    std::int32_t editorLine = 0; // as a text editor numbers it: shown
    const LNGedcomProblem* problem = nullptr;
    const LNGedcomRecord* record = nullptr; // null when no record holds the line
};

/// The order of the person table's rows: the id of each row, and the row of
/// each id. Both are the identity, and not kept, while the rows are in id
/// order (as they are built).
class LNRowOrder {
  public:
    explicit LNRowOrder(std::size_t count = 0) : count_(count) {}

    std::size_t size() const { return count_; }
    std::uint32_t idOfRow(std::size_t row) const {
        return ids_.empty() ? static_cast<std::uint32_t>(row) : ids_[row];
    }
    int rowOfId(std::size_t id) const { return rows_.empty() ? static_cast<int>(id) : rows_[id]; }
    /// The ids to put in another order; call renumbered() after.
    std::vector<std::uint32_t>& ids() {
        if (ids_.empty()) {
            ids_.resize(count_);
            std::iota(ids_.begin(), ids_.end(), 0);
        }
        return ids_;
    }
    /// Makes the row of each id anew, and lets both go where the ids are in order.
    void renumbered() {
        bool inOrder = true;
        for (std::size_t row = 0; row < ids_.size() && inOrder; ++row)
            inOrder = ids_[row] == row;
        if (inOrder) {
            ids_ = std::vector<std::uint32_t>();
            rows_ = std::vector<int>();
            return;
        }
        rows_.resize(count_);
        for (std::size_t row = 0; row < count_; ++row)
            rows_[ids_[row]] = static_cast<int>(row);
    }

  private:
    std::size_t count_;
    std::vector<std::uint32_t> ids_;
    std::vector<int> rows_;
};

/// Everything the viewer derives from one open file, and the file itself.
///
/// The release rule lives here. A closed file is handed to BackgroundRelease
/// and freed on a thread of its own, so nothing that shares a count with its
/// lines, records or texts may outlive the hand-over. Whatever the viewer
/// keeps of a file is therefore a member of this object, which is dropped
/// whole: members go in reverse order, so the file, the first, goes last,
/// after everything that points into it.
struct LNShownFile {
    LNShownFile() = default;
    LNShownFile(const LNShownFile&) = delete;
    LNShownFile& operator=(const LNShownFile&) = delete;
    /// Unhooks the outline's root from the record it shows, first.
    ~LNShownFile() { detachSelectedRoot(); }

    struct ReleaseInBackground {
        void operator()(LNGedcomFile* file) const {
            BackgroundRelease::release(std::unique_ptr<LNGedcomFile>(file));
        }
    };
    std::unique_ptr<LNGedcomFile, ReleaseInBackground> file;
    LNGedcomRecordSet* records = nullptr;
    /// The rows the load made beside its link checks, until they are shown.
    std::unique_ptr<LNPersonRows> madeRows;

    /// The list the rows were built from, in id order: the record set's
    /// own, or a copy of another; null before the first open. The rows in
    /// display order are its persons in the order of their ids.
    const IndiList* persons = nullptr;
    IndiList personsCopy;
    // The row map, from record key to row, in steps: the record set finds
    // the key's first person, whose position in its person list gives the
    // id (the place in the list the rows were built from; fixed while the
    // rows stand; a later person with the same key wins; empty where the
    // ids are the positions), and the id its row (rewritten at every new
    // order). ids here count from 0.
    std::vector<std::uint32_t> idOfPosition;
    LNRowOrder order;
    LNPersonSorter sorter;

    /// The outline's display-only root; null when no person is shown.
    Ref<LNGedcomNode> selectedRoot;
    LNNavigationQueue history;
    std::optional<String> searchName;
    std::vector<LNGedcomRelative> relatives;
    /// The relatives pane's rows: each the index of a relative, or noRelative
    /// for the heading line of the next relative's spousal family.
    static constexpr std::size_t noRelative = SIZE_MAX;
    std::vector<std::size_t> relativeRows;
    std::vector<LNGedcomProblem> structureProblems;
    /// Rebuilt whenever the structure problems change: they point into them
    /// and into the file's error list, which the load has finished.
    std::vector<LNProblemRow> problemRows;
    EditorLines editorLines;
    /// Whether the last validate checked every record (a GEDCOM 7 grammar)
    /// rather than the persons alone.
    bool validatedEveryRecord = false;
    /// The person the chart is of, and the chart, made when a view first asks.
    SharedString chartKey;
    std::unique_ptr<LNChartLayout> chart;

    /// Drops the outline's root; the record's root keeps no link to it.
    void detachSelectedRoot() {
        if (!selectedRoot) return;
        for (const Ref<LNNode>& shown : selectedRoot->childList())
            if (shown->parent() == selectedRoot.get()) shown->setParent(nullptr);
        selectedRoot.reset();
    }
};

} // namespace kinloom
