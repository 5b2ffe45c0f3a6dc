#pragma once

#include "LNHeadlessViewer.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace kinloom {

/// Eight persons in two families and a source; see tests/data/README.md.
inline const std::string viewerFile = "tests/data/viewer.ged";

inline std::string colorName(const LNColor& color) {
    if (color == LNColor::blackColor()) return "black";
    if (color == LNColor::orangeColor()) return "orange";
    return color == LNColor::redColor() ? "red" : "other";
}

/// A headless viewer with the log captured, English collation, and the
/// grammar taken from the source tree's resources folder.
class HeadlessViewerTest : public ::testing::Test {
  protected:
    using Texts = std::vector<std::string>;

    HeadlessViewerTest() {
        setCollationLocale("en");
        viewer.application().bundle().setDirectories({"resources"});
    }

    void open(const std::string& path = viewerFile) { viewer.application().openFile(path); }
    LNKinloomController& controller() { return viewer.controller(); }
    LNHeadlessTableView& table() { return viewer.table(); }
    LNHeadlessOutlineView& outline() { return viewer.outline(); }
    LNHeadlessSegmentedControl& segments() { return viewer.backForwardButton(); }

    /// The texts of one column, top to bottom, with the colours when asked.
    Texts column(StringView identifier, bool colors = false) {
        Texts texts;
        const int index = table().columnIndex(identifier);
        for (int row = 0; row < table().numberOfRows(); ++row)
            texts.push_back(colors ? colorName(table().cellColor(row, index))
                                   : toUtf8(table().cellText(row, index).value_or(String())));
        return texts;
    }
    Texts rowKeys() { return column(u"id"); }
    /// The row showing the key (without at signs), or -1.
    int rowOf(const std::string& key) {
        Texts keys = rowKeys();
        auto found = std::ranges::find(keys, key);
        return found == keys.end() ? -1 : static_cast<int>(found - keys.begin());
    }
    std::string selectedKey() {
        const int row = table().selectedRow();
        return row < 0 ? "" : rowKeys()[static_cast<std::size_t>(row)];
    }
    void clickHeader(StringView identifier) { table().clickHeader(table().columnIndex(identifier)); }
    void clickCell(const std::string& key, StringView identifier = u"name") {
        table().clickCell(rowOf(key), table().columnIndex(identifier));
    }
    /// Every column that shows a sort indicator, with the indicator's name.
    Texts indicators() {
        Texts shown;
        for (LNTableColumn* tableColumn : table().tableColumns())
            if (auto image = table().indicatorImage(tableColumn))
                shown.push_back(toUtf8(tableColumn->identifier()) + " " + toUtf8(image->name()));
        return shown;
    }
    /// The history as keys without at signs, the current one in brackets.
    Texts history() {
        Texts entries;
        const LNNavigationQueue& queue = controller().personQueue();
        for (int i = 0; i < queue.count(); ++i) {
            std::string key = toUtf8(stripAts(queue.queue()[static_cast<std::size_t>(i)].view()));
            entries.push_back(i == queue.index() ? "[" + key + "]" : key);
        }
        return entries;
    }
    /// The visible outline rows, two blanks per depth, with the colours when asked.
    Texts outlineRows(bool colors = false) {
        Texts rows;
        for (int i = 0; i < static_cast<int>(outline().rows().size()); ++i) {
            const std::string indent(2 * static_cast<std::size_t>(outline().rows()[i].depth), ' ');
            rows.push_back(colors ? colorName(outline().rowColor(i))
                                  : indent + toUtf8(outline().rowText(i).value_or(u"(none)")));
        }
        return rows;
    }

    LogCapture log;
    LNHeadlessViewer viewer;
};

} // namespace kinloom
