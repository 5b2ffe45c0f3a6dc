#pragma once

#include <QColor>
#include <QStyledItemDelegate>

namespace kinloom {

/// Draws a table's cells with grid lines of one colour along their right
/// edges (vertical lines) and their bottom edges (horizontal lines), as a
/// mask of LNTableView grid styles chooses. QTableView's own grid always
/// draws both.
class LNQtGridDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setGridStyleMask(unsigned mask) { mask_ = mask; }
    unsigned gridStyleMask() const { return mask_; }
    void setGridColor(const QColor& color) { color_ = color; }
    const QColor& gridColor() const { return color_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    /// A cell too narrow for its text shows the whole text as its tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    /// Whether the cell, drawn in the option's rectangle, cuts its text.
    bool cutsText(const QStyleOptionViewItem& option, const QModelIndex& index) const;

  private:
    unsigned mask_ = 0;
    QColor color_ = Qt::black;
};

} // namespace kinloom
