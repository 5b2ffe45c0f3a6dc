#pragma once

#include "LNChartView.h"

#include <QGraphicsView>

class QGraphicsScene;
class QPainter;

namespace kinloom {

/// Paints the chart's boxes and lines that meet the rectangle (in chart
/// units); the window's view and the PDF and PNG exports all draw with it.
void paintChart(QPainter& painter, const LNChartLayout& chart, const QRectF& exposed);

/// The toolkit's chart view: a QGraphicsView over one item that paints the
/// chart its data source gives, asked for only while the view is shown. A new
/// chart fits the view (never beyond its natural size) until the user zooms;
/// the wheel and zoomIn and zoomOut zoom, a drag moves the chart, a click on a
/// box sets clickedBox and emits action().
class LNQtChartView : public QGraphicsView, public LNChartView {
    Q_OBJECT

  public:
    explicit LNQtChartView(QWidget* parent = nullptr);
    ~LNQtChartView() override;

    void setDataSource(LNChartViewDataSource* dataSource) override { dataSource_ = dataSource; }
    void reloadData() override;
    int clickedBox() const override { return clickedBox_; }

    /// The chart drawn now, as the data source gives it; null for none.
    const LNChartLayout* chart();
    /// The point of the view (widget coordinates) at the centre of the box.
    QPoint boxCentre(int box);
    void zoomIn();
    void zoomOut();
    /// Fits the whole chart in the view, never beyond its natural size.
    void fit();

  Q_SIGNALS:
    void action();

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    class Item;
    void zoomBy(double factor);

    LNChartViewDataSource* dataSource_ = nullptr;
    QGraphicsScene* scene_;
    Item* item_;
    bool stale_ = true;
    bool zoomed_ = false;
    int clickedBox_ = -1;
    QPoint pressedAt_;
};

} // namespace kinloom
