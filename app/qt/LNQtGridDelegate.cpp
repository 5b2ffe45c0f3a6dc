#include "LNQtGridDelegate.h"

#include "LNTableView.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

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

bool LNQtGridDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    // A cell is cut where the view's edge cuts it too, as the last column's
    // cells are when the columns are wider than the view.
    QStyleOptionViewItem shown = option;
    shown.rect = option.rect.intersected(view->viewport()->rect());
    if (cutsText(shown, index))
        QToolTip::showText(event->globalPos(), index.data().toString(), view->viewport(), option.rect);
    else
        QToolTip::hideText();
    return true;
}

bool LNQtGridDelegate::cutsText(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return sizeHint(option, index).width() > option.rect.width();
}

} // namespace kinloom
