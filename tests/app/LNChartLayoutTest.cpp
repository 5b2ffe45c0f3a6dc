// The chart's layout, headless: no two boxes overlap, every line joins two
// boxes, the selected person's box stands where documented.

#include "LNChartLayout.h"
#include "HeadlessViewerFixture.h"
#include "file/LNGedcomFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace kinloom {

namespace {

bool overlap(const LNChartBox& a, const LNChartBox& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool onEdge(const LNChartBox& box, const LNChartPoint& p) {
    const bool inX = p.x >= box.x && p.x <= box.x + box.width,
               inY = p.y >= box.y && p.y <= box.y + box.height;
    return (inY && (p.x == box.x || p.x == box.x + box.width)) ||
           (inX && (p.y == box.y || p.y == box.y + box.height));
}

// Every check of the layout; the number of boxes.
std::size_t checkLayout(const LNChartLayout& chart, LNChartKind kind) {
    const std::vector<LNChartBox>& boxes = chart.boxes();
    if (boxes.empty()) return 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].selected, i == 0) << i;
        EXPECT_LE(boxes[i].x + boxes[i].width, chart.width()) << i;
        EXPECT_LE(boxes[i].y + boxes[i].height, chart.height()) << i;
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            EXPECT_FALSE(overlap(boxes[i], boxes[j])) << i << " " << j;
    }
    EXPECT_EQ(chart.lines().size(), boxes.size() - 1) << "one line to each box but the first";
    for (const LNChartLine& line : chart.lines()) {
        EXPECT_TRUE(onEdge(boxes[static_cast<std::size_t>(line.from)], line.points.front())) << line.to;
        EXPECT_TRUE(onEdge(boxes[static_cast<std::size_t>(line.to)], line.points.back())) << line.to;
        EXPECT_EQ(chart.boxAt(line.points.back().x + 1, line.points.back().y), line.to);
    }
    EXPECT_EQ(boxes[0].x, LNChartLayout::margin);
    if (kind == LNChartKind::descendants) {
        EXPECT_EQ(boxes[0].y, LNChartLayout::margin);
    }
    return boxes.size();
}

class ChartLayoutTest : public HeadlessViewerTest {};

} // namespace

TEST_F(ChartLayoutTest, KeepBoxesApartAndJoinEveryLineToTwoBoxes) {
    open("tests/data/chart.ged");
    const LNGedcomRecordSet& records = *controller().gedcomRecords();
    const struct {
        const char16_t* key;
        LNChartKind kind;
        int generations;
        std::size_t boxes;
    } cases[] = {{u"@I11@", LNChartKind::ancestors, 4, 11},  {u"@I11@", LNChartKind::ancestors, 64, 11},
                 {u"@I12@", LNChartKind::ancestors, 8, 3},   {u"@I1@", LNChartKind::descendants, 64, 13},
                 {u"@I12@", LNChartKind::descendants, 8, 3}, {u"@I2@", LNChartKind::ancestors, 4, 1}};
    for (const auto& c : cases) {
        const LNChartLayout chart(records, *records.indiWithKey(c.key), c.kind, c.generations);
        EXPECT_EQ(checkLayout(chart, c.kind), c.boxes) << toUtf8(c.key);
    }
    const LNChartLayout gus(records, *records.indiWithKey(u"@I11@"), LNChartKind::ancestors, 4);
    const std::vector<LNChartBox>& boxes = gus.boxes();
    EXPECT_EQ(toUtf8(boxes[0].name), "Stone, Gus");
    EXPECT_EQ(toUtf8(boxes[0].years), "1901\u2013");
    EXPECT_EQ(boxes[0].y, (boxes[1].y + boxes[2].y) / 2) << "between father and mother";
    EXPECT_LT(boxes[1].y, boxes[2].y) << "the father above";
    EXPECT_EQ(boxes[9].number, "14");
    EXPECT_EQ(boxes[9].firstNumber, "8");
}

TEST_F(ChartLayoutTest, OfAChainDeeperThanItShowsStopsAtTheGenerationsAsked) {
    std::string text = "0 HEAD\n";
    for (int i = 0; i < 2000; ++i) {
        const std::string n = std::to_string(i), next = std::to_string(i + 1);
        text += "0 @I" + n + "@ INDI\n1 NAME P" + n + " /Chain/\n1 SEX F\n1 FAMC @F" + next + "@\n1 FAMS @F" +
                n + "@\n0 @F" + next + "@ FAM\n1 WIFE @I" + next + "@\n1 CHIL @I" + n + "@\n";
    }
    const std::string path = testing::TempDir() + "kinloom-chain-" + std::to_string(getpid()) + ".ged";
    std::ofstream(path) << text << "0 TRLR\n";
    open(path);
    std::remove(path.c_str());
    const LNGedcomRecordSet& records = *controller().gedcomRecords();
    EXPECT_EQ(checkLayout(LNChartLayout(records, *records.indiWithKey(u"@I0@"), LNChartKind::ancestors, 64),
                          LNChartKind::ancestors),
              64u);
    EXPECT_EQ(
        checkLayout(LNChartLayout(records, *records.indiWithKey(u"@I1999@"), LNChartKind::descendants, 64),
                    LNChartKind::descendants),
        64u);
}

} // namespace kinloom
