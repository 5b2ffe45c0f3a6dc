#include "LNHeadlessOutlineView.h"

#include <utility>

namespace kinloom {

void LNHeadlessOutlineView::reloadData() {
    ++reloadCount_;
    std::unordered_set<LNNode*> kept;
    if (dataSource_) {
        dataSource_->forEachItem(this, nullptr, [&](LNNode* item, LNNode*, int, int) {
            if (!expanded_.contains(item)) return false;
            kept.insert(item);
            return true;
        });
    }
    expanded_ = std::move(kept);
    updateRows();
}

void LNHeadlessOutlineView::updateRows() {
    rows_.clear();
    if (!dataSource_) return;
    dataSource_->forEachItem(this, nullptr, [&](LNNode* item, LNNode*, int, int depth) {
        rows_.push_back({item, depth});
        return expanded_.contains(item);
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
        dataSource_->forEachItem(this, item, [&](LNNode* below, LNNode*, int, int) {
            if (expandable(below)) expanded_.insert(below);
            return true;
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
