#include "LNChartLayout.h"

#include "support/TextServices.h"
#include "tree/AttributeValue.h"

#include <algorithm>

namespace kinloom {

namespace {

String attributeText(const LNGedcomIndiRecord& indi, StringView key) {
    const SharedString* text = attributeString(indi.attributeForKey(key));
    return text ? text->str() : String();
}

String yearsOf(const LNGedcomIndiRecord& indi) {
    const String born = attributeText(indi, u"birthYear"), died = attributeText(indi, u"deathYear");
    return born.empty() && died.empty() ? String() : born + u"\u2013" + died;
}

// Each entry's later entries that come from it, in walk order.
std::vector<std::vector<int>> followersOf(const std::vector<LNWalkEntry>& entries) {
    std::vector<std::vector<int>> followers(entries.size());
    for (std::size_t i = 1; i < entries.size(); ++i)
        followers[static_cast<std::size_t>(entries[i].from)].push_back(static_cast<int>(i));
    return followers;
}

} // namespace

String LNChartBox::caption() const {
    return fromUtf8(number + (repeat() ? " = " + firstNumber : "") + "   ") + years;
}

const char* LNChartBox::fill() const {
    if (selected) return "#fff1bf";
    return partner ? "#f2f2f2" : repeat() ? "#fafafa" : "#ffffff";
}

const char* LNChartBox::frame() const {
    return repeat() ? "#a0a0a0" : selected ? "#b07d00" : "#5a6e8c";
}

LNChartLayout::LNChartLayout(const LNGedcomRecordSet& records, const LNGedcomIndiRecord& indi,
                             LNChartKind kind, int generations) {
    const bool ancestors = kind == LNChartKind::ancestors;
    const std::vector<LNWalkEntry> entries = walkOfIndi(kind, records, indi, generations);
    auto number = [&](int i) { return walkNumber(kind, entries, i); };
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const LNWalkEntry& entry = entries[static_cast<std::size_t>(i)];
        LNChartBox box;
        box.width = boxWidth;
        box.height = boxHeight;
        box.indi = entry.indi;
        box.number = number(i);
        if (entry.repeatOf >= 0) box.firstNumber = number(entry.repeatOf);
        box.name = attributeText(*entry.indi, u"name");
        box.years = yearsOf(*entry.indi);
        box.selected = i == 0;
        box.partner = entry.partner;
        boxes_.push_back(std::move(box));
    }
    if (ancestors) {
        placeAncestors(entries);
        joinAncestors(entries);
    } else {
        placeDescendants(entries);
        joinDescendants(entries);
    }
    for (const LNChartBox& box : boxes_) {
        width_ = std::max(width_, box.x + box.width + margin);
        height_ = std::max(height_, box.y + box.height + margin);
    }
}

void LNChartLayout::placeAncestors(const std::vector<LNWalkEntry>& entries) {
    if (entries.empty()) return;
    const std::vector<std::vector<int>> parents = followersOf(entries);
    // Post-order on a stack of its own: a person without shown parents takes
    // the next row, any other sits midway between its father and mother.
    std::vector<double> row(entries.size());
    double nextRow = 0;
    std::vector<std::pair<int, std::size_t>> stack{{0, 0}};
    while (!stack.empty()) {
        auto& [entry, done] = stack.back();
        const std::vector<int>& shown = parents[static_cast<std::size_t>(entry)];
        if (done < shown.size()) {
            stack.push_back({shown[done++], 0});
            continue;
        }
        row[static_cast<std::size_t>(entry)] = shown.empty() ? nextRow++
                                                             : (row[static_cast<std::size_t>(shown.front())] +
                                                                row[static_cast<std::size_t>(shown.back())]) /
                                                                   2;
        stack.pop_back();
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        boxes_[i].x = margin + (entries[i].generation - 1) * (boxWidth + columnGap);
        boxes_[i].y = margin + row[i] * (boxHeight + rowGap);
    }
}

void LNChartLayout::joinAncestors(const std::vector<LNWalkEntry>& entries) {
    // From the child's right edge to the parent's left edge, turning midway.
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const LNChartBox& child = boxes_[static_cast<std::size_t>(entries[i].from)];
        const LNChartBox& parent = boxes_[i];
        const double startY = child.y + child.height / 2, endY = parent.y + parent.height / 2;
        const double turn = child.x + child.width + columnGap / 2;
        lines_.push_back({entries[i].from,
                          static_cast<int>(i),
                          {{child.x + child.width, startY}, {turn, startY}, {turn, endY}, {parent.x, endY}}});
    }
}

void LNChartLayout::placeDescendants(const std::vector<LNWalkEntry>& entries) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const double step =
            (entries[i].generation - 1) * indentStep + (entries[i].partner ? indentStep / 2 : 0);
        boxes_[i].x = margin + step;
        boxes_[i].y = margin + static_cast<double>(i) * (boxHeight + rowGap);
    }
}

void LNChartLayout::joinDescendants(const std::vector<LNWalkEntry>& entries) {
    // Down the person's left side, then across to the partner or child.
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const LNChartBox& person = boxes_[static_cast<std::size_t>(entries[i].from)];
        const LNChartBox& other = boxes_[i];
        const double trunk = person.x + indentStep / 4, endY = other.y + other.height / 2;
        lines_.push_back({entries[i].from,
                          static_cast<int>(i),
                          {{trunk, person.y + person.height}, {trunk, endY}, {other.x, endY}}});
    }
}

int LNChartLayout::boxAt(double x, double y) const {
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i].contains(x, y)) return static_cast<int>(i);
    return -1;
}

} // namespace kinloom
