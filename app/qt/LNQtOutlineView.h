#pragma once

#include "LNOutlineView.h"
#include "LNQtOutlineModel.h"
#include "LNQtTableColumn.h"

#include <QTreeView>

#include <unordered_set>

namespace kinloom {

/// The toolkit's outline as a QTreeView over an LNQtOutlineModel, one column
/// without a heading. The user expands and collapses items; a reload keeps
/// expanded every item that is still reachable through expanded items, as
/// the logic expects of an outline.
class LNQtOutlineView : public QTreeView, public LNOutlineView {
    Q_OBJECT

  public:
    explicit LNQtOutlineView(QWidget* parent = nullptr);

    void setDataSource(LNOutlineViewDataSource* dataSource) { model_->setDataSource(dataSource); }
    void setDelegate(LNOutlineViewDelegate* delegate) { model_->setDelegate(delegate); }

    void reloadData() override;
    LNNode* itemAtRow(int row) const override;
    void expandItem(LNNode* item) override;
    bool isItemExpanded(LNNode* item) const override;
    void selectItem(LNNode* item) override;

    LNQtOutlineModel* outlineModel() const { return model_; }
    LNTableColumn* tableColumn() { return &column_; }

  private:
    void itemExpanded(const QModelIndex& index);
    void itemCollapsed(const QModelIndex& index);

    LNQtTableColumn column_;
    LNQtOutlineModel* model_;
    // The items the user (or the logic) expanded, to expand again after a reload.
    std::unordered_set<LNNode*> expanded_;
};

} // namespace kinloom
