#include "LNQtOutlineModel.h"

#include "LNQtStrings.h"

#include <algorithm>

namespace kinloom {

LNQtOutlineModel::LNQtOutlineModel(LNOutlineView* outline, LNTableColumn* column, QObject* parent)
    : QAbstractItemModel(parent), outline_(outline), column_(column) {}

void LNQtOutlineModel::reload() {
    beginResetModel();
    places_.clear();
    endResetModel();
}

LNNode* LNQtOutlineModel::item(const QModelIndex& index) {
    return index.isValid() ? static_cast<LNNode*>(index.internalPointer()) : nullptr;
}

QModelIndex LNQtOutlineModel::indexOf(LNNode* item) const {
    auto place = item ? places_.find(item) : places_.end();
    if (place == places_.end()) return QModelIndex();
    return createIndex(place->second.row, 0, item);
}

void LNQtOutlineModel::itemChanged(const QModelIndex& index) {
    if (index.isValid()) Q_EMIT dataChanged(index, index);
}

QModelIndex LNQtOutlineModel::index(int row, int column, const QModelIndex& parent) const {
    if (!dataSource_ || column != 0 || row < 0 || row >= rowCount(parent)) return QModelIndex();
    LNNode* above = item(parent);
    LNNode* child = dataSource_->child(outline_, row, above);
    if (!child) return QModelIndex();
    places_.insert_or_assign(child, Place{above, row});
    return createIndex(row, 0, child);
}

QModelIndex LNQtOutlineModel::parent(const QModelIndex& child) const {
    auto place = places_.find(item(child));
    if (place == places_.end()) return QModelIndex();
    return indexOf(place->second.parent);
}

int LNQtOutlineModel::rowCount(const QModelIndex& parent) const {
    if (!dataSource_ || parent.column() > 0) return 0;
    return std::max(0, dataSource_->numberOfChildrenOfItem(outline_, item(parent)));
}

int LNQtOutlineModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool LNQtOutlineModel::hasChildren(const QModelIndex& parent) const {
    if (!dataSource_ || parent.column() > 0) return false;
    return dataSource_->isItemExpandable(outline_, item(parent));
}

QVariant LNQtOutlineModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index)) return QVariant();
    switch (role) {
    case Qt::DisplayRole: {
        if (!dataSource_) return QVariant();
        std::optional<String> text = dataSource_->objectValueForTableColumn(outline_, column_, item(index));
        return text ? QVariant(toQString(*text)) : QVariant();
    }
    case Qt::ForegroundRole: {
        LNCell cell;
        if (delegate_) delegate_->willDisplayCell(outline_, cell, column_, item(index));
        return toQColor(cell.textColor());
    }
    default:
        return QVariant();
    }
}

Qt::ItemFlags LNQtOutlineModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index)) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

} // namespace kinloom
