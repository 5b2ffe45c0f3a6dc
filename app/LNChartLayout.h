#pragma once

#include "memory/SharedString.h"
#include "recordset/LNRelationWalk.h"

#include <string>
#include <vector>

namespace kinloom {

/// A chart shows one walk: ancestors or descendants.
using LNChartKind = LNWalkKind;

struct LNChartPoint {
    double x = 0;
    double y = 0;
};

/// One person's box: where it stands, who it is and what it says.
struct LNChartBox {
    double x = 0, y = 0, width = 0, height = 0;
    const LNGedcomIndiRecord* indi = nullptr;
    /// The Sosa or d'Aboville number.
    std::string number;
    /// The first number of a person met again; empty the first time.
    std::string firstNumber;
    /// The name as the person table shows it, and "1820–1890" from its years.
    String name;
    String years;
    bool selected = false;
    bool partner = false;

    bool repeat() const { return !firstNumber.empty(); }
    /// The line under the name: the number, "= FIRST" for a repeat, the years.
    String caption() const;
    bool contains(double px, double py) const {
        return px >= x && px < x + width && py >= y && py < y + height;
    }
    /// Fill and frame colours as "#rrggbb", the same in the window and in exports.
    const char* fill() const;
    const char* frame() const;
};

/// A line from one box's edge to another's, as a polyline.
struct LNChartLine {
    int from = 0;
    int to = 0;
    std::vector<LNChartPoint> points;
};

/// Where the boxes and lines of a person's chart go, in units of about a
/// pixel, the origin at the top left; no toolkit is involved, so the window,
/// its exports and kinloom-cli draw the same chart.
///
/// Ancestors: one column per generation from the left, the selected person's
/// box first, in the first column; each person's father above the mother,
/// every person centred between its shown parents, and persons without
/// shown parents one row apart, so that no two boxes of a column meet.
/// Descendants: one row per entry of the walk in d'Aboville order, the
/// selected person's box first at the top left; children indented one step
/// from their parent, partners half a step, each joined to its person by a
/// line down the person's left side. A person met again has a box marked
/// with the first number, and nothing beyond it.
class LNChartLayout {
  public:
    static constexpr double boxWidth = 210, boxHeight = 40, columnGap = 36, rowGap = 10, margin = 16,
                            indentStep = 48;
    static constexpr const char* lineColor = "#7a7a7a";

    /// An empty chart.
    LNChartLayout() = default;
    /// The person's chart over that many generations (see LNRelationWalk.h).
    /// Names and years are read from the table's attributes on the persons.
    LNChartLayout(const LNGedcomRecordSet& records, const LNGedcomIndiRecord& indi, LNChartKind kind,
                  int generations);

    const std::vector<LNChartBox>& boxes() const { return boxes_; }
    const std::vector<LNChartLine>& lines() const { return lines_; }
    double width() const { return width_; }
    double height() const { return height_; }
    /// The box at the point, or -1.
    int boxAt(double x, double y) const;

  private:
    void placeAncestors(const std::vector<LNWalkEntry>& entries);
    void placeDescendants(const std::vector<LNWalkEntry>& entries);
    void joinAncestors(const std::vector<LNWalkEntry>& entries);
    void joinDescendants(const std::vector<LNWalkEntry>& entries);

    std::vector<LNChartBox> boxes_;
    std::vector<LNChartLine> lines_;
    double width_ = 0;
    double height_ = 0;
};

} // namespace kinloom
