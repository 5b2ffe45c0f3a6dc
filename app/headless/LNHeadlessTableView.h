#pragma once

#include "LNHeadlessAction.h"
#include "LNHeadlessTableColumn.h"
#include "LNTableView.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace kinloom {

/// A table that remembers what a window would show: the number of rows
/// asked for at the last reload, the selection, the row last scrolled to,
/// the highlighted column, the header indicators and the grid. Cell texts
/// and colours are asked from the data source and delegate when read, as a
/// toolkit asks for the cells it draws.
class LNHeadlessTableView : public LNTableView, public LNHeadlessAction {
  public:
    /// The columns in their first display order.
    LNHeadlessTableView(LNWindow* window, const std::vector<String>& identifiers);

    void setDataSource(LNTableViewDataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(LNTableViewDelegate* delegate) { delegate_ = delegate; }

    void reloadData() override;
    std::vector<LNTableColumn*> tableColumns() const override { return columns_; }
    int selectedRow() const override { return selected_.empty() ? -1 : *selected_.begin(); }
    int clickedRow() const override { return clickedRow_; }
    int clickedColumn() const override { return clickedColumn_; }
    void scrollRowToVisible(int row) override { scrolledRow_ = row; }
    void selectRowIndexes(const LNIndexSet& rows, bool byExtendingSelection) override;
    void setHighlightedTableColumn(LNTableColumn* column) override { highlighted_ = column; }
    void setIndicatorImage(const std::optional<LNImage>& image, LNTableColumn* column) override;
    void setAllowsColumnReordering(bool allows) override { allowsColumnReordering_ = allows; }
    void setGridStyleMask(unsigned mask) override { gridStyleMask_ = mask; }
    void setGridColor(const LNColor& color) override { gridColor_ = color; }
    LNWindow* window() const override { return window_; }

    // What it shows.

    /// The row count the data source gave at the last reload.
    int numberOfRows() const { return numberOfRows_; }
    int reloadCount() const { return reloadCount_; }
    const LNIndexSet& selectedRows() const { return selected_; }
    /// The row last scrolled into view, or -1.
    int scrolledRow() const { return scrolledRow_; }
    LNTableColumn* highlightedTableColumn() const { return highlighted_; }
    std::optional<LNImage> indicatorImage(const LNTableColumn* column) const;
    bool allowsColumnReordering() const { return allowsColumnReordering_; }
    unsigned gridStyleMask() const { return gridStyleMask_; }
    const LNColor& gridColor() const { return gridColor_; }
    /// The column with the identifier, or null.
    LNTableColumn* columnWithIdentifier(StringView identifier) const;
    /// The display position of the column, or -1.
    int columnIndex(StringView identifier) const;
    /// The text of the cell at that display position; absent when empty.
    std::optional<String> cellText(int row, int column);
    LNColor cellColor(int row, int column);

    // What a user does.

    /// A click on the header of the column at that display position.
    void clickHeader(int column);
    /// A click in the body: selects the row (clears the selection outside
    /// the rows), then sends the action with the clicked row and column.
    void clickCell(int row, int column);
    /// Moves the selection as the arrow keys do: no action is sent.
    void selectRowByKeyboard(int row);
    /// Drags the column at one display position to another; false when
    /// reordering is not allowed or a position is out of range.
    bool moveColumn(int from, int to);

  private:
    LNTableColumn* columnAt(int column) const;
    bool isRow(int row) const { return row >= 0 && row < numberOfRows_; }

    LNWindow* window_;
    std::vector<std::unique_ptr<LNHeadlessTableColumn>> ownedColumns_;
    std::vector<LNTableColumn*> columns_;
    LNTableViewDataSource* dataSource_ = nullptr;
    LNTableViewDelegate* delegate_ = nullptr;
    int numberOfRows_ = 0;
    int reloadCount_ = 0;
    LNIndexSet selected_;
    int clickedRow_ = -1;
    int clickedColumn_ = -1;
    int scrolledRow_ = -1;
    LNTableColumn* highlighted_ = nullptr;
    std::map<const LNTableColumn*, LNImage> indicators_;
    bool allowsColumnReordering_ = false;
    unsigned gridStyleMask_ = 0;
    LNColor gridColor_ = LNColor::blackColor();
};

} // namespace kinloom
