#include "LNQtGridDelegate.h"

#include "LNTableView.h"

#include <QPainter>

namespace kinloom {

void LNQtGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (!(mask_ & (LNTableView::solidVerticalGridLineMask | LNTableView::solidHorizontalGridLineMask)))
        return;
    painter->save();
    painter->setPen(QPen(color_, 0));
    const QRect& cell = option.rect;
    if (mask_ & LNTableView::solidVerticalGridLineMask)
        painter->drawLine(cell.topRight(), cell.bottomRight());
    if (mask_ & LNTableView::solidHorizontalGridLineMask)
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    painter->restore();
}

} // namespace kinloom
