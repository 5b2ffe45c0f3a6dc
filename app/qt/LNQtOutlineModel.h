#pragma once

#include "LNOutlineView.h"

#include <QAbstractItemModel>

#include <unordered_map>

namespace kinloom {

/// The tree of an outline for a QTreeView, in one column. Its items are the
/// data source's nodes (the internal pointers of the indexes); the null item
/// is the invisible top. Texts and children come from the data source,
/// colours from the delegate. Qt asks for an item's parent, which the data
/// source does not answer, so the model remembers where it handed out each
/// item until the next reload.
class LNQtOutlineModel : public QAbstractItemModel {
    Q_OBJECT

  public:
    LNQtOutlineModel(LNOutlineView* outline, LNTableColumn* column, QObject* parent = nullptr);

    void setDataSource(LNOutlineViewDataSource* dataSource) { dataSource_ = dataSource; }
    LNOutlineViewDataSource* dataSource() const { return dataSource_; }
    void setDelegate(LNOutlineViewDelegate* delegate) { delegate_ = delegate; }

    /// Forgets every item and asks for the tree again (a model reset).
    void reload();
    /// The item of an index; null for the invisible top.
    static LNNode* item(const QModelIndex& index);
    /// The index of an item handed out since the last reload; invalid otherwise.
    QModelIndex indexOf(LNNode* item) const;
    /// The item's row shows new text or colour.
    void itemChanged(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    struct Place {
        LNNode* parent;
        int row;
    };

    LNOutlineView* outline_;
    LNTableColumn* column_;
    LNOutlineViewDataSource* dataSource_ = nullptr;
    LNOutlineViewDelegate* delegate_ = nullptr;
    mutable std::unordered_map<LNNode*, Place> places_;
};

} // namespace kinloom
