#include "LNHeadlessTableView.h"

#include <algorithm>

namespace kinloom {

LNHeadlessTableView::LNHeadlessTableView(LNWindow* window, const std::vector<String>& identifiers)
    : window_(window) {
    for (const String& identifier : identifiers) {
        ownedColumns_.push_back(std::make_unique<LNHeadlessTableColumn>(identifier));
        columns_.push_back(ownedColumns_.back().get());
    }
}

void LNHeadlessTableView::reloadData() {
    ++reloadCount_;
    numberOfRows_ = dataSource_ ? std::max(0, dataSource_->numberOfRowsInTableView(this)) : 0;
    // Rows that are gone cannot stay selected.
    selected_.erase(selected_.lower_bound(numberOfRows_), selected_.end());
}

void LNHeadlessTableView::selectRowIndexes(const LNIndexSet& rows, bool byExtendingSelection) {
    if (!byExtendingSelection) selected_.clear();
    for (int row : rows) {
        if (isRow(row)) selected_.insert(row);
    }
}

void LNHeadlessTableView::setIndicatorImage(const std::optional<LNImage>& image, LNTableColumn* column) {
    if (image)
        indicators_.insert_or_assign(column, *image);
    else
        indicators_.erase(column);
}

std::optional<LNImage> LNHeadlessTableView::indicatorImage(const LNTableColumn* column) const {
    auto found = indicators_.find(column);
    if (found == indicators_.end()) return std::nullopt;
    return found->second;
}

LNTableColumn* LNHeadlessTableView::columnWithIdentifier(StringView identifier) const {
    int index = columnIndex(identifier);
    return index < 0 ? nullptr : columns_[static_cast<std::size_t>(index)];
}

int LNHeadlessTableView::columnIndex(StringView identifier) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i]->identifier() == identifier) return static_cast<int>(i);
    }
    return -1;
}

LNTableColumn* LNHeadlessTableView::columnAt(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size())) return nullptr;
    return columns_[static_cast<std::size_t>(column)];
}

std::optional<String> LNHeadlessTableView::cellText(int row, int column) {
    LNTableColumn* tableColumn = columnAt(column);
    if (!dataSource_ || !tableColumn || !isRow(row)) return std::nullopt;
    return dataSource_->objectValueForTableColumn(this, tableColumn, row);
}

LNColor LNHeadlessTableView::cellColor(int row, int column) {
    LNCell cell;
    LNTableColumn* tableColumn = columnAt(column);
    if (delegate_ && tableColumn && isRow(row)) delegate_->willDisplayCell(this, cell, tableColumn, row);
    return cell.textColor();
}

void LNHeadlessTableView::clickHeader(int column) {
    LNTableColumn* tableColumn = columnAt(column);
    if (delegate_ && tableColumn) delegate_->didClickTableColumn(this, tableColumn);
}

void LNHeadlessTableView::clickCell(int row, int column) {
    if (isRow(row))
        selected_ = indexSetWithIndex(row);
    else
        selected_.clear();
    clickedRow_ = isRow(row) ? row : -1;
    clickedColumn_ = columnAt(column) ? column : -1;
    send(this);
}

void LNHeadlessTableView::selectRowByKeyboard(int row) {
    if (isRow(row)) selected_ = indexSetWithIndex(row);
}

bool LNHeadlessTableView::moveColumn(int from, int to) {
    if (!allowsColumnReordering_ || !columnAt(from) || !columnAt(to)) return false;
    LNTableColumn* moved = columns_[static_cast<std::size_t>(from)];
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + to, moved);
    return true;
}

} // namespace kinloom
