#include "LNQtChartView.h"

#include "LNQtStrings.h"
#include "LNSvgWriter.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace kinloom {

void paintChart(QPainter& painter, const LNChartLayout& chart, const QRectF& exposed) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(QString::fromLatin1(LNChartLayout::lineColor)), 1));
    for (const LNChartLine& line : chart.lines()) {
        QPolygonF points;
        for (const LNChartPoint& point : line.points)
            points << QPointF(point.x, point.y);
        if (points.boundingRect().adjusted(-1, -1, 1, 1).intersects(exposed)) painter.drawPolyline(points);
    }
    QFont nameFont = painter.font(), belowFont = painter.font();
    nameFont.setPixelSize(12);
    belowFont.setPixelSize(10);
    QFont selectedFont = nameFont;
    selectedFont.setBold(true);
    for (const LNChartBox& box : chart.boxes()) {
        const QRectF rect(box.x, box.y, box.width, box.height);
        if (!rect.intersects(exposed)) continue;
        QPen frame(QColor(QString::fromLatin1(box.frame())), box.selected ? 2 : 1);
        if (box.repeat()) frame.setStyle(Qt::DashLine);
        painter.setPen(frame);
        painter.setBrush(QColor(QString::fromLatin1(box.fill())));
        painter.drawRoundedRect(rect, 4, 4);
        painter.setPen(Qt::black);
        painter.setFont(box.selected ? selectedFont : nameFont);
        painter.drawText(QPointF(box.x + 6, box.y + 16), toQString(fittedName(box)));
        painter.setFont(belowFont);
        painter.drawText(QPointF(box.x + 6, box.y + 32), toQString(box.caption()));
    }
}

/// The one item of the scene: the whole chart, painted where exposed.
class LNQtChartView::Item : public QGraphicsItem {
  public:
    explicit Item(LNQtChartView* view) : view_(view) {}
    void setSize(QSizeF size) {
        prepareGeometryChange();
        size_ = size;
    }
    QRectF boundingRect() const override { return QRectF(QPointF(), size_); }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*) override {
        if (const LNChartLayout* chart = view_->chart()) paintChart(*painter, *chart, option->exposedRect);
    }

  private:
    LNQtChartView* view_;
    QSizeF size_;
};

LNQtChartView::LNQtChartView(QWidget* parent)
    : QGraphicsView(parent), scene_(new QGraphicsScene(this)), item_(new Item(this)) {
    item_->setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
    scene_->addItem(item_);
    setScene(scene_);
    setDragMode(QGraphicsView::ScrollHandDrag);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setBackgroundBrush(Qt::white);
}

LNQtChartView::~LNQtChartView() = default;

void LNQtChartView::reloadData() {
    stale_ = true;
    clickedBox_ = -1;
    if (isVisible()) chart();
}

const LNChartLayout* LNQtChartView::chart() {
    const LNChartLayout* chart = dataSource_ ? dataSource_->chartForView(this) : nullptr;
    if (!stale_) return chart;
    stale_ = false;
    item_->setSize(chart ? QSizeF(chart->width(), chart->height()) : QSizeF());
    scene_->setSceneRect(item_->boundingRect());
    zoomed_ = false;
    fit();
    item_->update();
    return chart;
}

QPoint LNQtChartView::boxCentre(int box) {
    const LNChartLayout* shown = chart();
    if (!shown || box < 0 || box >= static_cast<int>(shown->boxes().size())) return {};
    const LNChartBox& at = shown->boxes()[static_cast<std::size_t>(box)];
    centerOn(at.x + at.width / 2, at.y + at.height / 2);
    return mapFromScene(QPointF(at.x + at.width / 2, at.y + at.height / 2));
}

void LNQtChartView::fit() {
    // A hidden view has no size to fit, and its chart need not be made.
    if (!isVisible()) return;
    const LNChartLayout* chart = this->chart();
    if (!chart || chart->boxes().empty()) return;
    const QRectF view = viewport()->rect();
    const double fits = std::min(view.width() / chart->width(), view.height() / chart->height());
    // Below a third of its size a chart is past reading: it then shows its
    // left edge, level with the selected person.
    const double scale = std::clamp(fits, 0.35, 1.0);
    setTransform(QTransform::fromScale(scale, scale));
    const LNChartBox& first = chart->boxes().front();
    centerOn(fits >= scale ? QPointF(chart->width() / 2, chart->height() / 2)
                           : QPointF(view.width() / scale / 2, first.y + first.height / 2));
}

void LNQtChartView::zoomBy(double factor) {
    const double scale = transform().m11() * factor;
    if (scale < 0.05 || scale > 8) return;
    zoomed_ = true;
    this->scale(factor, factor);
}

void LNQtChartView::zoomIn() {
    zoomBy(1.25);
}

void LNQtChartView::zoomOut() {
    zoomBy(0.8);
}

void LNQtChartView::showEvent(QShowEvent* event) {
    QGraphicsView::showEvent(event);
    chart();
}

void LNQtChartView::resizeEvent(QResizeEvent* event) {
    QGraphicsView::resizeEvent(event);
    if (!zoomed_) fit();
}

void LNQtChartView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps == 0) return;
    zoomBy(std::pow(1.0015, steps));
    event->accept();
}

void LNQtChartView::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = event->position().toPoint();
    QGraphicsView::mousePressEvent(event);
}

void LNQtChartView::mouseReleaseEvent(QMouseEvent* event) {
    QGraphicsView::mouseReleaseEvent(event);
    // A drag moves the chart; only a click in place goes to a box.
    const LNChartLayout* shown = chart();
    if (event->button() != Qt::LeftButton || !shown ||
        (event->position().toPoint() - pressedAt_).manhattanLength() > 4)
        return;
    const QPointF at = mapToScene(event->position().toPoint());
    clickedBox_ = shown->boxAt(at.x(), at.y());
    if (clickedBox_ >= 0) Q_EMIT action();
}

} // namespace kinloom
