#pragma once

#include "LNQtGridDelegate.h"
#include "LNQtTableColumn.h"
#include "LNQtTableModel.h"
#include "LNTableView.h"

#include <QTableView>

#include <map>
#include <memory>
#include <vector>

namespace kinloom {

/// The toolkit's table as a QTableView over an LNQtTableModel. Whole rows are
/// selected, one at a time; cells are never edited. The header's sections
/// can be dragged when reordering is allowed, and show the sort indicator
/// the logic sets (never one of their own). A click in the body selects the
/// row and then emits action(); a click on a header goes to the delegate.
class LNQtTableView : public QTableView, public LNTableView {
    Q_OBJECT

  public:
    /// The columns in their first display order; the window is the one
    /// window() answers.
    LNQtTableView(LNWindow* window, std::vector<std::unique_ptr<LNQtTableColumn>> columns,
                  QWidget* parent = nullptr);

    void setDataSource(LNTableViewDataSource* dataSource) { model_->setDataSource(dataSource); }
    void setDelegate(LNTableViewDelegate* delegate) {
        delegate_ = delegate;
        model_->setDelegate(delegate);
    }

    void reloadData() override;
    std::vector<LNTableColumn*> tableColumns() const override;
    int selectedRow() const override;
    int clickedRow() const override { return clickedRow_; }
    int clickedColumn() const override { return clickedColumn_; }
    void scrollRowToVisible(int row) override;
    void selectRowIndexes(const LNIndexSet& rows, bool byExtendingSelection) override;
    void setHighlightedTableColumn(LNTableColumn* column) override;
    void setIndicatorImage(const std::optional<LNImage>& image, LNTableColumn* column) override;
    void setAllowsColumnReordering(bool allows) override;
    void setGridStyleMask(unsigned mask) override;
    void setGridColor(const LNColor& color) override;
    /// The window the logic knows (QWidget::window() is hidden here).
    LNWindow* window() const override { return window_; }

    LNQtTableModel* tableModel() const { return model_; }
    LNQtGridDelegate* gridDelegate() const { return grid_; }
    /// The display position of the column with the identifier, or -1.
    int visualColumn(StringView identifier) const;
    /// The model index of the cell at a row and display position.
    QModelIndex cellIndex(int row, int visualColumn) const;

  Q_SIGNALS:
    /// A click in the body, after the clicked row was selected.
    void action();

  private:
    /// Each column as wide as its texts within reason: its longest text where
    /// the column asks for that, else the widest of a sample of rows.
    void fitColumns();
    void cellClicked(const QModelIndex& index);
    void headerClicked(int section);
    void showIndicator();
    /// The column the current index stands in, else the first on display:
    /// selecting and scrolling keep to it, so the view does not jump sideways.
    int anchorSection() const;

    LNWindow* window_;
    std::vector<std::unique_ptr<LNQtTableColumn>> columns_;
    LNQtTableModel* model_;
    LNQtGridDelegate* grid_;
    LNTableViewDelegate* delegate_ = nullptr;
    int clickedRow_ = -1;
    int clickedColumn_ = -1;
    std::map<const LNTableColumn*, LNImage> indicators_;
};

} // namespace kinloom
