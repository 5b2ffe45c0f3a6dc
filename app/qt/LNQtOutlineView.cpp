#include "LNQtOutlineView.h"

#include <vector>

namespace kinloom {

LNQtOutlineView::LNQtOutlineView(QWidget* parent)
    : QTreeView(parent), column_(u"line", QString(), 0), model_(new LNQtOutlineModel(this, &column_, this)) {
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QTreeView::expanded, this, &LNQtOutlineView::itemExpanded);
    connect(this, &QTreeView::collapsed, this, &LNQtOutlineView::itemCollapsed);
}

void LNQtOutlineView::reloadData() {
    std::unordered_set<LNNode*> wasExpanded;
    wasExpanded.swap(expanded_);
    model_->reload();
    LNOutlineViewDataSource* source = model_->dataSource();
    if (!source) return;
    // Down from the top through the items that were expanded. Every row met
    // gets its index made, so that the logic finds it at once; the parent's
    // was made just before.
    source->forEachItem(this, nullptr, [&](LNNode* item, LNNode* above, int row, int) {
        QModelIndex index = model_->index(row, 0, model_->indexOf(above));
        if (!wasExpanded.contains(item)) return false;
        expand(index);
        return true;
    });
}

LNNode* LNQtOutlineView::itemAtRow(int row) const {
    if (row < 0) return nullptr;
    QModelIndex index = model_->index(0, 0);
    for (int visible = 0; visible < row && index.isValid(); ++visible)
        index = indexBelow(index);
    return LNQtOutlineModel::item(index);
}

void LNQtOutlineView::expandItem(LNNode* item) {
    QModelIndex index = model_->indexOf(item);
    if (index.isValid() && model_->hasChildren(index)) expand(index);
}

bool LNQtOutlineView::isItemExpanded(LNNode* item) const {
    QModelIndex index = model_->indexOf(item);
    return index.isValid() && isExpanded(index);
}

void LNQtOutlineView::selectItem(LNNode* item) {
    std::vector<LNNode*> chain;
    for (LNNode* at = item; at; at = at->parent())
        chain.push_back(at);
    // Down from the top, each step's row found among its parent's rows; a
    // node above the outline's first level is no row and is passed over.
    QModelIndex index;
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
        QModelIndex found;
        for (int row = 0, rows = model_->rowCount(index); row < rows && !found.isValid(); ++row)
            if (QModelIndex child = model_->index(row, 0, index); LNQtOutlineModel::item(child) == *at)
                found = child;
        if (!found.isValid()) continue;
        if (*at != item) expand(found);
        index = found;
    }
    if (!index.isValid() || LNQtOutlineModel::item(index) != item) return;
    setCurrentIndex(index);
    scrollTo(index);
}

void LNQtOutlineView::itemExpanded(const QModelIndex& index) {
    expanded_.insert(LNQtOutlineModel::item(index));
    // A labelled line reads differently open and closed.
    model_->itemChanged(index);
}

void LNQtOutlineView::itemCollapsed(const QModelIndex& index) {
    expanded_.erase(LNQtOutlineModel::item(index));
    model_->itemChanged(index);
}

} // namespace kinloom
