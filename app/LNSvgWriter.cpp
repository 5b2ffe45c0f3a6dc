#include "LNSvgWriter.h"

#include "support/TextServices.h"

#include <cstdio>

namespace kinloom {

namespace {

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

String fittedName(const LNChartBox& box) {
    // About 7 units per letter at the names' size.
    const std::size_t room = static_cast<std::size_t>(box.width / 7);
    if (box.name.size() <= room) return box.name;
    std::size_t cut = room - 1;
    // Never between the two halves of a surrogate pair.
    if (cut > 0 && box.name[cut - 1] >= 0xD800 && box.name[cut - 1] < 0xDC00) --cut;
    return box.name.substr(0, cut) + u"\u2026";
}

LNSvgWriter::LNSvgWriter(double width, double height) {
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "version=\"1.1\" "
           "width=\"" +
           number(width) + "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) + " " +
           number(height) +
           "\" font-family=\"sans-serif\">\n<rect width=\"100%\" height=\"100%\" "
           "fill=\"#ffffff\"/>\n";
}

void LNSvgWriter::rect(double x, double y, double width, double height, const char* fill, const char* stroke,
                       bool dashed) {
    out_ += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(width) +
            "\" height=\"" + number(height) + "\" rx=\"4\" fill=\"" + fill + "\" stroke=\"" + stroke + "\"" +
            (dashed ? " stroke-dasharray=\"4 3\"" : "") + "/>\n";
}

void LNSvgWriter::polyline(const std::vector<LNChartPoint>& points, const char* stroke) {
    out_ += "<polyline fill=\"none\" stroke=\"" + std::string(stroke) + "\" points=\"";
    for (std::size_t i = 0; i < points.size(); ++i)
        out_ += (i ? " " : "") + number(points[i].x) + "," + number(points[i].y);
    out_ += "\"/>\n";
}

void LNSvgWriter::text(double x, double y, double size, bool bold, const String& text) {
    out_ += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" font-size=\"" + number(size) + "\"" +
            (bold ? " font-weight=\"bold\"" : "") + ">" + escaped(toUtf8(text)) + "</text>\n";
}

std::string LNSvgWriter::finish() {
    return std::move(out_) + "</svg>\n";
}

std::string LNSvgWriter::chart(const LNChartLayout& layout) {
    LNSvgWriter svg(layout.width(), layout.height());
    for (const LNChartLine& line : layout.lines())
        svg.polyline(line.points, "#7a7a7a");
    for (const LNChartBox& box : layout.boxes()) {
        svg.rect(box.x, box.y, box.width, box.height, box.fill(), box.frame(), box.repeat());
        svg.text(box.x + 6, box.y + 16, 12, box.selected, fittedName(box));
        String below =
            fromUtf8(box.number + (box.repeat() ? " = " + box.firstNumber : "") + "   ") + box.years;
        svg.text(box.x + 6, box.y + 32, 10, false, below);
    }
    return svg.finish();
}

} // namespace kinloom
