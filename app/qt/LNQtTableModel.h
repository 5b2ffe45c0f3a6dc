#pragma once

#include "LNQtTableColumn.h"
#include "LNTableView.h"

#include <QAbstractTableModel>

#include <vector>

namespace kinloom {

/// The rows of a table for a QTableView. Every question is passed on to the
/// table's data source (texts) and delegate (colours, editing); the model
/// keeps only the number of rows, as the data source gave it at the last
/// reload, since a view must never see that number change between two
/// signals. Columns are the model's sections in their first order; the view's
/// header keeps the order the user drags them into.
class LNQtTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    /// The columns belong to the caller and must outlive the model.
    LNQtTableModel(LNTableView* table, std::vector<LNQtTableColumn*> columns, QObject* parent = nullptr);

    void setDataSource(LNTableViewDataSource* dataSource) { dataSource_ = dataSource; }
    void setDelegate(LNTableViewDelegate* delegate) { delegate_ = delegate; }

    /// Asks the data source for the rows again. When their number changed the
    /// model is reset (true); otherwise every cell is announced as changed.
    bool reload();
    /// The column of a section, or null outside.
    LNQtTableColumn* column(int section) const;
    /// The section of a column, or -1.
    int section(const LNTableColumn* column) const;
    /// The section whose heading stands out as the sort column; -1 for none.
    void setHighlightedSection(int section);
    /// The text of the section with the most characters over every row.
    QString longestText(int section) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    LNTableView* table_;
    std::vector<LNQtTableColumn*> columns_;
    LNTableViewDataSource* dataSource_ = nullptr;
    LNTableViewDelegate* delegate_ = nullptr;
    int rows_ = 0;
    int highlighted_ = -1;
};

} // namespace kinloom
