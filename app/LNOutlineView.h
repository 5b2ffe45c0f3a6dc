#pragma once

#include "LNCell.h"
#include "tree/LNNode.h"
#include "LNTableColumn.h"
#include "LNView.h"
#include "memory/SharedString.h"

#include <optional>
#include <vector>

namespace kinloom {

class LNOutlineView;

/// Where an outline gets its tree. Items are nodes; the absent item (null)
/// is the outline's invisible top, whose children are its first level.
class LNOutlineViewDataSource {
  public:
    virtual ~LNOutlineViewDataSource() = default;
    virtual int numberOfChildrenOfItem(LNOutlineView* outline, LNNode* item) = 0;
    virtual bool isItemExpandable(LNOutlineView* outline, LNNode* item) = 0;
    /// The child at an index below numberOfChildrenOfItem.
    virtual LNNode* child(LNOutlineView* outline, int index, LNNode* item) = 0;
    /// The text of the item's row, or absent.
    virtual std::optional<String> objectValueForTableColumn(LNOutlineView* outline, LNTableColumn* column,
                                                            LNNode* item) = 0;

    /// The one walk over the outline's items, for every toolkit: the items
    /// below top (null: from the invisible top; top itself is not visited)
    /// in pre-order, as the outline lists them. enter(item, above, row, depth)
    /// gets the item's parent item and row under it, and depth 0 for top's
    /// children; it returns whether to go down into the item. A loop with a
    /// stack of its own, as records may be deep.
    template <typename Enter> void forEachItem(LNOutlineView* outline, LNNode* top, Enter&& enter);
};

template <typename Enter>
void LNOutlineViewDataSource::forEachItem(LNOutlineView* outline, LNNode* top, Enter&& enter) {
    struct Level {
        LNNode* item;
        int next;
        int count;
    };
    std::vector<Level> stack{{top, 0, numberOfChildrenOfItem(outline, top)}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next >= level.count) {
            stack.pop_back();
            continue;
        }
        const int row = level.next++;
        LNNode* above = level.item;
        LNNode* item = child(outline, row, above);
        if (!item || !enter(item, above, row, static_cast<int>(stack.size()) - 1)) continue;
        stack.push_back({item, 0, numberOfChildrenOfItem(outline, item)});
    }
}

class LNOutlineViewDelegate {
  public:
    virtual ~LNOutlineViewDelegate() = default;
    /// Just before the item's row is drawn; the cell comes with black text.
    virtual void willDisplayCell(LNOutlineView* outline, LNCell& cell, LNTableColumn* column,
                                 LNNode* item) = 0;
};

/// A tree of rows; the user expands and collapses items.
class LNOutlineView : public LNView {
  public:
    /// Asks the data source again for the whole tree.
    virtual void reloadData() = 0;
    /// The item shown in that visible row (row 0 is the first), or null.
    virtual LNNode* itemAtRow(int row) const = 0;
    /// Shows the item's children; nothing for null or an item without children.
    virtual void expandItem(LNNode* item) = 0;
    virtual bool isItemExpanded(LNNode* item) const = 0;
    /// Selects the item's row and scrolls it into view; its ancestors are expanded.
    virtual void selectItem(LNNode* item) = 0;
};

} // namespace kinloom
