#pragma once

#include "LNHeadlessTableColumn.h"
#include "LNOutlineView.h"

#include <unordered_set>
#include <vector>

namespace kinloom {

/// An outline that remembers which items are expanded and which rows are
/// visible. Texts and colours are asked from the data source and delegate
/// when read. Every walk over the tree is a loop, so trees of any depth are
/// fine.
class LNHeadlessOutlineView : public LNOutlineView {
  public:
    struct Row {
        LNNode* item;
        int depth; // 0 for the first level
    };

    LNHeadlessOutlineView() : column_(u"line") {}

    void setDataSource(LNOutlineViewDataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(LNOutlineViewDelegate* delegate) { delegate_ = delegate; }

    /// Asks for the tree again. Items still reachable through expanded items
    /// stay expanded; every other item is forgotten.
    void reloadData() override;
    LNNode* itemAtRow(int row) const override;
    void expandItem(LNNode* item) override;
    bool isItemExpanded(LNNode* item) const override { return item && expanded_.contains(item); }
    void selectItem(LNNode* item) override;
    /// The item last selected, or null.
    LNNode* selectedItem() const { return selected_; }

    // What it shows.

    /// The visible rows, top to bottom.
    const std::vector<Row>& rows() const { return rows_; }
    int reloadCount() const { return reloadCount_; }
    std::optional<String> rowText(int row);
    LNColor rowColor(int row);
    LNTableColumn* tableColumn() { return &column_; }

    // What a user does.

    /// Expands the item and, with expandChildren, every item below it.
    void expandItem(LNNode* item, bool expandChildren);
    /// Expands every item of the tree.
    void expandAll() { expandItem(nullptr, true); }
    void collapseItem(LNNode* item);

  private:
    void updateRows();
    bool expandable(LNNode* item);

    LNHeadlessTableColumn column_;
    LNOutlineViewDataSource* dataSource_ = nullptr;
    LNOutlineViewDelegate* delegate_ = nullptr;
    std::unordered_set<LNNode*> expanded_;
    std::vector<Row> rows_;
    int reloadCount_ = 0;
    LNNode* selected_ = nullptr;
};

} // namespace kinloom
