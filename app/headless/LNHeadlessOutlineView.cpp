#include "LNHeadlessOutlineView.h"

#include <utility>

namespace kinloom {

namespace {

// Visits the items below top in pre-order, depth first, descending into an
// item only when descend(item) is true. Top itself (null for the outline's
// invisible top) is not visited.
template <typename Visit, typename Descend>
void walk(LNOutlineViewDataSource& source, LNOutlineView* outline, LNNode* top, Descend descend,
          Visit visit) {
    struct Level {
        LNNode* item;
        int next;
        int count;
    };
    std::vector<Level> stack{{top, 0, source.numberOfChildrenOfItem(outline, top)}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.count) {
            stack.pop_back();
            continue;
        }
        LNNode* item = source.child(outline, level.next++, level.item);
        if (!item) continue;
        visit(item, static_cast<int>(stack.size()) - 1);
        if (descend(item)) stack.push_back({item, 0, source.numberOfChildrenOfItem(outline, item)});
    }
}

} // namespace

void LNHeadlessOutlineView::reloadData() {
    ++reloadCount_;
    std::unordered_set<LNNode*> kept;
    if (dataSource_) {
        walk(
            *dataSource_, this, nullptr, [&](LNNode* item) { return expanded_.contains(item); },
            [&](LNNode* item, int) {
                if (expanded_.contains(item)) kept.insert(item);
            });
    }
    expanded_ = std::move(kept);
    updateRows();
}

void LNHeadlessOutlineView::updateRows() {
    rows_.clear();
    if (!dataSource_) return;
    walk(
        *dataSource_, this, nullptr, [&](LNNode* item) { return expanded_.contains(item); },
        [&](LNNode* item, int depth) {
            rows_.push_back({item, depth});
        });
}

LNNode* LNHeadlessOutlineView::itemAtRow(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)].item;
}

bool LNHeadlessOutlineView::expandable(LNNode* item) {
    return dataSource_ && dataSource_->isItemExpandable(this, item);
}

void LNHeadlessOutlineView::expandItem(LNNode* item) {
    expandItem(item, false);
}

void LNHeadlessOutlineView::expandItem(LNNode* item, bool expandChildren) {
    if (item && expandable(item)) expanded_.insert(item);
    if (expandChildren && dataSource_) {
        walk(
            *dataSource_, this, item, [](LNNode*) { return true; },
            [&](LNNode* below, int) {
                if (expandable(below)) expanded_.insert(below);
            });
    }
    updateRows();
}

void LNHeadlessOutlineView::selectItem(LNNode* item) {
    for (LNNode* above = item ? item->parent() : nullptr; above; above = above->parent())
        if (expandable(above)) expanded_.insert(above);
    selected_ = item;
    updateRows();
}

void LNHeadlessOutlineView::collapseItem(LNNode* item) {
    expanded_.erase(item);
    updateRows();
}

std::optional<String> LNHeadlessOutlineView::rowText(int row) {
    LNNode* item = itemAtRow(row);
    if (!item || !dataSource_) return std::nullopt;
    return dataSource_->objectValueForTableColumn(this, &column_, item);
}

LNColor LNHeadlessOutlineView::rowColor(int row) {
    LNCell cell;
    LNNode* item = itemAtRow(row);
    if (item && delegate_) delegate_->willDisplayCell(this, cell, &column_, item);
    return cell.textColor();
}

} // namespace kinloom
