#pragma once

#include "LNChartLayout.h"
#include "LNView.h"

namespace kinloom {

class LNChartView;

/// Gives the chart view its chart.
class LNChartViewDataSource {
  public:
    virtual ~LNChartViewDataSource() = default;
    /// The chart to draw, or null for none. A view asks every time it draws
    /// or is clicked, and keeps no chart of its own: the file the chart is
    /// made from may be gone. It asks only while it is shown, so a hidden
    /// chart costs nothing.
    virtual const LNChartLayout* chartForView(LNChartView* view) = 0;
};

/// The view that draws a chart and sends its action when a box is clicked.
class LNChartView : public LNView {
  public:
    virtual void setDataSource(LNChartViewDataSource* dataSource) = 0;
    /// The chart changed: the view fits the new one when it next draws.
    virtual void reloadData() = 0;
    /// The box of the last click, or -1.
    virtual int clickedBox() const = 0;
};

} // namespace kinloom
