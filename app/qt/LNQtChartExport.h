#pragma once

#include "LNChartLayout.h"

#include <QString>

namespace kinloom {

/// Writes the chart to the path, in the format its extension names (any
/// letter case): ".svg" by LNSvgWriter, ".pdf" by QPdfWriter on one page of
/// the chart's size, ".png" by QImage at twice the chart's size (less for a
/// chart too big for an image). False when the extension is none of these
/// or the file cannot be written. Writes nothing else.
bool exportChart(const LNChartLayout& chart, const QString& path);

} // namespace kinloom
