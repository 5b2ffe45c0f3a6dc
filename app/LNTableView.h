#pragma once

#include "LNCell.h"
#include "LNColor.h"
#include "LNImage.h"
#include "LNTableColumn.h"
#include "LNView.h"
#include "LNWindow.h"
#include "memory/SharedString.h"

#include <optional>
#include <set>
#include <vector>

namespace kinloom {

class LNTableView;

/// Row numbers, as the table's selection takes them.
using LNIndexSet = std::set<int>;
inline LNIndexSet indexSetWithIndex(int index) {
    return LNIndexSet{index};
}

/// Where a table gets its rows: asked whenever it draws.
class LNTableViewDataSource {
  public:
    virtual ~LNTableViewDataSource() = default;
    virtual int numberOfRowsInTableView(LNTableView* table) = 0;
    /// The text of a cell, or absent for an empty cell.
    virtual std::optional<String> objectValueForTableColumn(LNTableView* table, LNTableColumn* column,
                                                            int row) = 0;
};

/// What a table asks and tells its delegate.
class LNTableViewDelegate {
  public:
    virtual ~LNTableViewDelegate() = default;
    /// Just before the cell is drawn; the cell comes with black text.
    virtual void willDisplayCell(LNTableView* table, LNCell& cell, LNTableColumn* column, int row) = 0;
    virtual bool shouldEditTableColumn(LNTableView* table, LNTableColumn* column, int row) = 0;
    /// After a click on the column's header.
    virtual void didClickTableColumn(LNTableView* table, LNTableColumn* column) = 0;
};

/// A table of rows and columns whose columns the user may reorder. A click in
/// its body selects the clicked row and then sends the table's action.
class LNTableView : public LNView {
  public:
    /// Asks the data source again for the rows.
    virtual void reloadData() = 0;
    /// The columns in display order.
    virtual std::vector<LNTableColumn*> tableColumns() const = 0;
    /// The selected row, or -1.
    virtual int selectedRow() const = 0;
    /// The row and column of the click that sent the action; negative outside.
    virtual int clickedRow() const = 0;
    virtual int clickedColumn() const = 0;
    virtual void scrollRowToVisible(int row) = 0;
    virtual void selectRowIndexes(const LNIndexSet& rows, bool byExtendingSelection) = 0;
    virtual void setHighlightedTableColumn(LNTableColumn* column) = 0;
    /// No image removes the column's indicator.
    virtual void setIndicatorImage(const std::optional<LNImage>& image, LNTableColumn* column) = 0;
    virtual void setAllowsColumnReordering(bool allows) = 0;
    /// A mask of LNTableView grid styles.
    virtual void setGridStyleMask(unsigned mask) = 0;
    virtual void setGridColor(const LNColor& color) = 0;
    virtual LNWindow* window() const = 0;

    static constexpr unsigned solidVerticalGridLineMask = 1;
    static constexpr unsigned solidHorizontalGridLineMask = 2;
};

} // namespace kinloom
