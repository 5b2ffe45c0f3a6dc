#pragma once

#include "LNCell.h"
#include "tree/LNNode.h"
#include "LNTableColumn.h"
#include "LNView.h"
#include "memory/SharedString.h"

#include <optional>

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
};

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
