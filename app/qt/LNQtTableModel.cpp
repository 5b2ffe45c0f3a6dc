#include "LNQtTableModel.h"

#include "LNQtStrings.h"

#include <QFont>

#include <algorithm>

namespace kinloom {

LNQtTableModel::LNQtTableModel(LNTableView* table, std::vector<LNQtTableColumn*> columns, QObject* parent)
    : QAbstractTableModel(parent), table_(table), columns_(std::move(columns)) {}

bool LNQtTableModel::reload() {
    int rows = dataSource_ ? std::max(0, dataSource_->numberOfRowsInTableView(table_)) : 0;
    if (rows != rows_) {
        beginResetModel();
        rows_ = rows;
        endResetModel();
        return true;
    }
    if (rows_ > 0) Q_EMIT dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    return false;
}

LNQtTableColumn* LNQtTableModel::column(int section) const {
    if (section < 0 || section >= columnCount()) return nullptr;
    return columns_[static_cast<std::size_t>(section)];
}

int LNQtTableModel::section(const LNTableColumn* column) const {
    auto found = std::find(columns_.begin(), columns_.end(), column);
    return found == columns_.end() ? -1 : static_cast<int>(found - columns_.begin());
}

void LNQtTableModel::setHighlightedSection(int section) {
    if (section == highlighted_) return;
    int previous = highlighted_;
    highlighted_ = section;
    for (int changed : {previous, section}) {
        if (column(changed)) Q_EMIT headerDataChanged(Qt::Horizontal, changed, changed);
    }
}

QString LNQtTableModel::longestText(int section) const {
    LNQtTableColumn* tableColumn = column(section);
    if (!dataSource_ || !tableColumn) return QString();
    String longest;
    for (int row = 0; row < rows_; ++row) {
        std::optional<String> text = dataSource_->objectValueForTableColumn(table_, tableColumn, row);
        if (text && text->size() > longest.size()) longest = std::move(*text);
    }
    return toQString(longest);
}

int LNQtTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int LNQtTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant LNQtTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !checkIndex(index)) return QVariant();
    LNQtTableColumn* tableColumn = column(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        if (!dataSource_) return QVariant();
        std::optional<String> text = dataSource_->objectValueForTableColumn(table_, tableColumn, index.row());
        return text ? QVariant(toQString(*text)) : QVariant();
    }
    case Qt::ForegroundRole: {
        LNCell cell;
        if (delegate_) delegate_->willDisplayCell(table_, cell, tableColumn, index.row());
        return toQColor(cell.textColor());
    }
    default:
        return QVariant();
    }
}

QVariant LNQtTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    LNQtTableColumn* tableColumn = orientation == Qt::Horizontal ? column(section) : nullptr;
    if (!tableColumn) return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return tableColumn->title();
    case Qt::FontRole: {
        if (section != highlighted_) return QVariant();
        QFont font;
        font.setBold(true);
        return font;
    }
    default:
        return QVariant();
    }
}

Qt::ItemFlags LNQtTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid() || !checkIndex(index)) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (delegate_ && delegate_->shouldEditTableColumn(table_, column(index.column()), index.row()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

} // namespace kinloom
