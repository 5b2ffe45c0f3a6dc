#pragma once

#include "LNChartLayout.h"

#include <string>

namespace kinloom {

/// A small writer of SVG 1.1 text: a document of a given size, rectangles,
/// polylines and single lines of text, written as they are asked for. The
/// only SVG Kinloom writes, for the window's export and kinloom-cli alike.
class LNSvgWriter {
  public:
    LNSvgWriter(double width, double height);

    void rect(double x, double y, double width, double height, const char* fill, const char* stroke,
              bool dashed);
    void polyline(const std::vector<LNChartPoint>& points, const char* stroke);
    /// Text with its left end at x and its baseline at y, escaped for XML.
    void text(double x, double y, double size, bool bold, const String& text);
    /// The document, closed.
    std::string finish();

    /// The chart as a whole SVG document.
    static std::string chart(const LNChartLayout& layout);

  private:
    std::string out_;
};

/// The chart box's name as it fits the box: cut with an ellipsis beyond
/// about as many letters as its width holds, so every drawing agrees.
String fittedName(const LNChartBox& box);

} // namespace kinloom
