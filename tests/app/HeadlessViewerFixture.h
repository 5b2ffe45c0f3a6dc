#pragma once

#include "LNHeadlessViewer.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <string>
#include <vector>

namespace kinloom {

/// Eight persons in two families and a source; see tests/data/README.md.
inline const std::string viewerFile = "tests/data/viewer.ged";

/// A headless viewer with the log captured, English collation, and the
/// grammar taken from the source tree's resources folder.
class HeadlessViewerTest : public ::testing::Test {
  protected:
    HeadlessViewerTest() {
        setCollationLocale("en");
        viewer.application().bundle().setDirectories({"resources"});
    }

    void open(const std::string& path = viewerFile) { viewer.application().openFile(path); }
    LNKinloomController& controller() { return viewer.controller(); }
    LNHeadlessTableView& table() { return viewer.table(); }
    LNHeadlessOutlineView& outline() { return viewer.outline(); }
    LNHeadlessSegmentedControl& segments() { return viewer.backForwardButton(); }

    /// The texts of one column, top to bottom; an empty cell is "".
    std::vector<std::string> column(StringView identifier) {
        std::vector<std::string> texts;
        int index = table().columnIndex(identifier);
        for (int row = 0; row < table().numberOfRows(); ++row)
            texts.push_back(toUtf8(table().cellText(row, index).value_or(String())));
        return texts;
    }
    std::vector<std::string> rowKeys() { return column(u"id"); }
    /// The row showing the key (without at signs), or -1.
    int rowOf(const std::string& key) {
        std::vector<std::string> keys = rowKeys();
        auto found = std::find(keys.begin(), keys.end(), key);
        return found == keys.end() ? -1 : static_cast<int>(found - keys.begin());
    }
    std::string selectedKey() {
        int row = table().selectedRow();
        return row < 0 ? "" : rowKeys()[static_cast<std::size_t>(row)];
    }
    void clickHeader(StringView identifier) { table().clickHeader(table().columnIndex(identifier)); }
    void clickCell(const std::string& key, StringView identifier) {
        table().clickCell(rowOf(key), table().columnIndex(identifier));
    }
    LNColor cellColor(const std::string& key, StringView identifier) {
        return table().cellColor(rowOf(key), table().columnIndex(identifier));
    }
    std::optional<LNImage> indicator(StringView identifier) {
        return table().indicatorImage(table().columnWithIdentifier(identifier));
    }
    /// Every column that shows an indicator, with the indicator's name.
    std::vector<std::string> indicators() {
        std::vector<std::string> shown;
        for (LNTableColumn* tableColumn : table().tableColumns()) {
            if (auto image = table().indicatorImage(tableColumn))
                shown.push_back(toUtf8(tableColumn->identifier()) + " " + toUtf8(image->name()));
        }
        return shown;
    }
    /// The history as keys without at signs, the current one in brackets.
    std::vector<std::string> history() {
        std::vector<std::string> entries;
        const LNNavigationQueue& queue = controller().personQueue();
        for (int i = 0; i < queue.count(); ++i) {
            std::string key = toUtf8(stripAts(queue.queue()[static_cast<std::size_t>(i)].view()));
            entries.push_back(i == queue.index() ? "[" + key + "]" : key);
        }
        return entries;
    }
    /// The visible outline rows, two blanks per depth.
    std::vector<std::string> outlineRows() {
        std::vector<std::string> rows;
        for (int i = 0; i < static_cast<int>(outline().rows().size()); ++i) {
            std::string indent(
                2 * static_cast<std::size_t>(outline().rows()[static_cast<std::size_t>(i)].depth), ' ');
            rows.push_back(indent + toUtf8(outline().rowText(i).value_or(u"(none)")));
        }
        return rows;
    }
    /// The outline row whose text starts with the prefix, or -1.
    int outlineRow(const std::string& prefix) {
        std::vector<std::string> rows = outlineRows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            std::string text = rows[i].substr(rows[i].find_first_not_of(' '));
            if (text.starts_with(prefix)) return static_cast<int>(i);
        }
        return -1;
    }

    LogCapture log;
    LNHeadlessViewer viewer;
};

inline std::string colorName(const LNColor& color) {
    if (color == LNColor::blackColor()) return "black";
    if (color == LNColor::orangeColor()) return "orange";
    if (color == LNColor::redColor()) return "red";
    return "other";
}

} // namespace kinloom
