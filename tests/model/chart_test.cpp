#include "model/chart.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace tallowmere {
namespace {

// Draws nothing; records the calls in order.
class RecordingChart : public CChart {
  public:
    struct Call {
        char kind;  // 'B'egin, 'S'lice, 'L'abel, 'E'nd
        int startAngle;
        int selected;
    };
    std::vector<Call> calls;

  protected:
    void BeginDraw() override { calls.push_back({'B', -1, 0}); }
    void EndDraw() override { calls.push_back({'E', -1, 0}); }
    void DrawSlice(int, int, int, const ChartSlice& slice) override {
        calls.push_back({'S', slice.startAngle, slice.selected});
    }
    void DrawLabel(int, int, int, const ChartSlice& slice) override {
        calls.push_back({'L', slice.startAngle, slice.selected});
    }
};

// Stand-ins for report rows: only their addresses are kept.
std::max_align_t rowStorage[32];
CReportItem* Row(int i) {
    return reinterpret_cast<CReportItem*>(&rowStorage[i]);
}

// Slices of the given widths, one after another from 0 degrees.
void Fill(CChart& chart, const std::vector<int>& widths) {
    chart.AllocateSlices(static_cast<int>(widths.size()));
    for (std::size_t i = 0; i < widths.size(); ++i)
        chart.AddSlice(widths[i], nullptr, nullptr, "", "", Row(static_cast<int>(i)));
}

TEST(ChartSineTableTest, HoldsTheRoundedSinesAndTheRepeatedLastEntry) {
    EXPECT_EQ(0, kChartSineTable[0]);
    EXPECT_EQ(524288, kChartSineTable[90]);   // sin 30 degrees
    EXPECT_EQ(741455, kChartSineTable[135]);  // sin 45 degrees
    EXPECT_EQ(1048558, kChartSineTable[269]);
    EXPECT_EQ(1048558, kChartSineTable[270]);  // not 2^20
    // A mistyped entry anywhere shows as a value off its sine.
    for (std::size_t i = 0; i < 270; ++i) {
        const double exact =
            std::sin(static_cast<double>(i) / 3.0 * std::numbers::pi / 180.0) * 1048576.0;
        EXPECT_LE(std::fabs(kChartSineTable[i] - exact), 0.5) << "entry " << i;
    }
}

TEST(ChartAngleOfTangentTest, FindsTheFirstIndexWhoseTangentExceeds) {
    // The tangent of entry k as the hit test reads it, to check the
    // bisection against a plain walk at every step boundary.
    auto tangentAt = [](int k) {
        return std::int64_t{kChartSineTable[k]} * 1024 / (kChartSineTable[270 - k] >> 3);
    };
    auto walk = [&](std::int64_t u) {
        for (int k = 0; k < 270; ++k) {
            if (tangentAt(k) > u)
                return k / 3;
        }
        return 90;
    };
    for (int k = 0; k < 270; ++k) {
        for (std::int64_t u : {tangentAt(k) - 1, tangentAt(k), tangentAt(k) + 1})
            EXPECT_EQ(walk(u), ChartAngleOfTangent(u)) << "u " << u;
    }

    struct Case {
        std::int64_t u;
        int degrees;
    };
    const Case cases[] = {
        {-5, 0},
        {0, 0},
        {8191, 45},
        {8192, 45},
        {8193, 45},
        {819200, 89},  // straight up or down: the hit test's stand-in for dx = 0
        {1409084, 89},
        {1409085, 90},
        {std::numeric_limits<std::int64_t>::max(), 90},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.degrees, ChartAngleOfTangent(c.u)) << "u " << c.u;
}

struct SlicesCase {
    const char* name;
    std::vector<Cents> amounts;
    std::vector<int> degrees;          // of the slices made
    std::vector<int> rows;             // the row each slice stands for
    std::vector<std::string> details;  // empty: not checked
};

TEST(ChartBuildSlicesTest, GivesWholeDegreesThatAddUpToTheCircle) {
    const Cents big = std::numeric_limits<Cents>::max();
    const Cents most = std::numeric_limits<Cents>::min();

    const SlicesCase cases[] = {
        {"1 and 99 units", {100, 9900}, {4, 356}, {0, 1}, {"($1) 1%", "($99) 99%"}},
        {"thirds", {1, 1, 1}, {120, 120, 120}, {0, 1, 2}, {}},
        {"one and two", {100, 200}, {120, 240}, {0, 1}, {"($1) 33%", "($2) 67%"}},
        // 51.43 rounds down six times; the last row takes the 54 left.
        {"sevenths",
         {5, 5, 5, 5, 5, 5, 5},
         {51, 51, 51, 51, 51, 51, 54},
         {0, 1, 2, 3, 4, 5, 6},
         {}},
        // An empty "Other" after them takes none of the remainder.
        {"sevenths and empty other",
         {5, 5, 5, 5, 5, 5, 5, 0},
         {51, 51, 51, 51, 51, 51, 54},
         {0, 1, 2, 3, 4, 5, 6},
         {}},
        {"empty row between", {300, 0, 100}, {270, 90}, {0, 2}, {}},
        {"tiny first row", {1, 1000000}, {360}, {1}, {"($10000) 100%"}},
        // The big row rounds up to the whole circle; nothing is left.
        {"tiny last row", {1000000, 1}, {360}, {0}, {}},
        {"expenses", {-100, -300}, {90, 270}, {0, 1}, {"($-1) 25%", "($-3) 75%"}},
        // Mixed signs share the circle by magnitude.
        {"mixed signs", {250, -750}, {90, 270}, {0, 1}, {"($2) 25%", "($-7) 75%"}},
        {"whole units", {12351, 12349}, {180, 180}, {0, 1}, {"($124) 50%", "($123) 50%"}},
        {"huge amounts", {big, big}, {180, 180}, {0, 1}, {}},
        {"most negative", {most, 1}, {360}, {0}, {}},
        {"all zero", {0, 0, 0}, {}, {}, {}},
        {"no rows", {}, {}, {}, {}},
    };
    for (const SlicesCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ChartRow> rows;
        for (std::size_t i = 0; i < c.amounts.size(); ++i)
            rows.push_back({c.amounts[i], "row", Row(static_cast<int>(i))});
        RecordingChart chart;
        const int made = chart.BuildSlices(rows, "$");
        ASSERT_EQ(static_cast<int>(c.degrees.size()), made);
        EXPECT_EQ(made, chart.GetCount());
        int start = 0;
        for (int i = 0; i < made; ++i) {
            const ChartSlice* slice = chart.GetSlice(i);
            ASSERT_NE(nullptr, slice);
            EXPECT_EQ(start, slice->startAngle) << "slice " << i;
            EXPECT_EQ(c.degrees[i], slice->endAngle - slice->startAngle) << "slice " << i;
            EXPECT_EQ(Row(c.rows[i]), slice->data) << "slice " << i;
            EXPECT_EQ("row", slice->Label());
            if (!c.details.empty()) {
                EXPECT_EQ(c.details[i], slice->Detail()) << "slice " << i;
            }
            start = slice->endAngle;
        }
        EXPECT_EQ(made == 0 ? 0 : 360, start);
    }
}

TEST(ChartBuildSlicesTest, ManyEqualRowsFillTheCircleBeforeTheLastRows) {
    // 360 / 101 rounds up to 4, so the first 90 rows take the circle and
    // the rest come to 0 degrees.
    std::vector<ChartRow> rows(101, ChartRow{7, "r", nullptr});
    RecordingChart chart;
    ASSERT_EQ(90, chart.BuildSlices(rows, "$"));
    for (int i = 0; i < 90; ++i)
        EXPECT_EQ(4 * i, chart.GetSlice(i)->startAngle);
    EXPECT_EQ(360, chart.GetSlice(89)->endAngle);
    EXPECT_EQ("($0) 1%", chart.GetSlice(0)->Detail());
}

TEST(ChartBuildSlicesTest, ReplacesEarlierSlicesAndRestartsTheColours) {
    RecordingChart chart;
    const ChartRow many[] = {{1, "a", nullptr}, {1, "b", nullptr}, {1, "c", nullptr}};
    ASSERT_EQ(3, chart.BuildSlices(many, "$"));
    chart.Select(2);
    const ChartRow one[] = {{5, "only", Row(3)}};
    ASSERT_EQ(1, chart.BuildSlices(one, "$"));
    EXPECT_EQ(-1, chart.GetSelected());
    EXPECT_EQ(Row(3), chart.GetItemData(0));
    EXPECT_EQ(nullptr, chart.GetItemData(1));
    EXPECT_EQ((ChartColour{0, 153, 153, 255}), chart.GetSlice(0)->fill);
}

TEST(ChartAddSliceTest, TakesDefaultColoursInStepsOfTwo) {
    const ChartColour table[15] = {
        {0, 153, 153, 255}, {0, 204, 153, 255}, {0, 255, 153, 255}, {0, 255, 153, 153},
        {0, 255, 204, 153}, {0, 255, 255, 153}, {0, 204, 255, 153}, {0, 153, 255, 153},
        {0, 153, 255, 255}, {0, 153, 204, 255}, {0, 255, 51, 204},  {0, 255, 153, 51},
        {0, 204, 255, 51},  {0, 51, 255, 153},  {0, 51, 204, 255},
    };
    const int order[16] = {0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 0};

    RecordingChart chart;
    Fill(chart, std::vector<int>(16, 1));
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(table[order[i]], chart.GetSlice(i)->fill) << "slice " << i;
        EXPECT_EQ(ChartColour{}, chart.GetSlice(i)->second);
    }

    // A chart stopped in the middle of the sequence does not shift the next
    // one; a given colour takes no step.
    RecordingChart stopped;
    Fill(stopped, {10, 10, 10, 10, 10});
    const ChartColour own{3, 1, 2, 3};
    const ChartColour second{1, 9, 8, 7};
    chart.AllocateSlices(4);
    chart.AddSlice(10, nullptr, nullptr, "", "", nullptr);
    chart.AddSlice(10, &own, &second, "", "", nullptr);
    chart.AddSlice(10, nullptr, nullptr, "", "", nullptr);
    EXPECT_EQ(table[0], chart.GetSlice(0)->fill);
    EXPECT_EQ(own, chart.GetSlice(1)->fill);
    EXPECT_EQ(second, chart.GetSlice(1)->second);
    EXPECT_EQ(table[2], chart.GetSlice(2)->fill);
}

TEST(ChartAddSliceTest, KeepsWithinTheAllocationAndTheCircle) {
    RecordingChart chart;
    chart.AllocateSlices(4);
    EXPECT_EQ(4, chart.GetCount());  // the allocation sets the count
    chart.AddSlice(300, nullptr, nullptr, "", "", nullptr);
    chart.AddSlice(100, nullptr, nullptr, "", "", nullptr);  // only 60 are left
    chart.AddSlice(-20, nullptr, nullptr, "", "", nullptr);
    chart.AddSlice(5, nullptr, nullptr, "", "", nullptr);
    chart.AddSlice(5, nullptr, nullptr, "", "", Row(0));  // beyond the allocation
    EXPECT_EQ(4, chart.GetSlicesAdded());
    const int expected[4][2] = {{0, 300}, {300, 360}, {360, 360}, {360, 360}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(expected[i][0], chart.GetSlice(i)->startAngle) << i;
        EXPECT_EQ(expected[i][1], chart.GetSlice(i)->endAngle) << i;
    }
    EXPECT_EQ(nullptr, chart.GetItemData(3));

    // The geometry starts the filling over at 0 degrees.
    chart.SetGeometry(200, 200, 100, 60, 0);
    chart.AddSlice(90, nullptr, nullptr, "", "", Row(1));
    EXPECT_EQ(0, chart.GetSlice(0)->startAngle);
    EXPECT_EQ(90, chart.GetSlice(0)->endAngle);
    EXPECT_EQ(Row(1), chart.GetItemData(0));
}

TEST(ChartAddSliceTest, CutsTextsTo59Characters) {
    RecordingChart chart;
    chart.AllocateSlices(2);
    const std::string longText(80, 'x');
    chart.AddSlice(10, nullptr, nullptr, longText, longText.substr(0, 59), nullptr);
    chart.AddSlice(10, nullptr, nullptr, std::string_view("ab\0cd", 5), "", nullptr);
    EXPECT_EQ(longText.substr(0, 59), chart.GetSlice(0)->Label());
    EXPECT_EQ(longText.substr(0, 59), chart.GetSlice(0)->Detail());
    EXPECT_EQ("ab", chart.GetSlice(1)->Label());
    EXPECT_EQ("", chart.GetSlice(1)->Detail());
}

TEST(ChartSelectionTest, OneSliceAtMostAndNothingOutsideTheCount) {
    RecordingChart chart;
    Fill(chart, {90, 90, 180});
    EXPECT_EQ(-1, chart.GetSelected());
    chart.Select(1);
    EXPECT_EQ(1, chart.GetSelected());
    chart.Select(2);
    EXPECT_EQ(2, chart.GetSelected());
    EXPECT_EQ(0, chart.GetSlice(1)->selected);
    EXPECT_EQ(Row(2), chart.GetItemData(chart.GetSelected()));

    // A miss (-1) or a stale index leaves nothing selected.
    for (int index : {-1, 3, 32767, INT_MIN}) {
        chart.Select(1);
        chart.Select(index);
        EXPECT_EQ(-1, chart.GetSelected()) << index;
    }
    for (int index : {-1, 3, INT_MAX, INT_MIN}) {
        EXPECT_EQ(nullptr, chart.GetItemData(index)) << index;
        EXPECT_EQ(nullptr, chart.GetSlice(index)) << index;
    }
    EXPECT_EQ(nullptr, chart.GetItemData(chart.GetSelected()));

    // A count lowered below the selected slice hides it; it never rises
    // above the allocation.
    chart.Select(2);
    chart.SetCount(2);
    EXPECT_EQ(-1, chart.GetSelected());
    EXPECT_EQ(nullptr, chart.GetItemData(2));
    chart.SetCount(50);
    EXPECT_EQ(3, chart.GetCount());
    EXPECT_EQ(2, chart.GetSelected());
    chart.SetCount(-3);
    EXPECT_EQ(0, chart.GetCount());
    EXPECT_EQ(-1, chart.GetSelected());
    chart.Select(0);
    EXPECT_EQ(-1, chart.GetSelected());
}

TEST(ChartDrawTest, DrawsTheSelectedSliceLastAndLabelsWideEnoughSlices) {
    RecordingChart chart;
    Fill(chart, {5, 100, 20, 235});
    chart.SetGeometry(200, 200, 100, 60, 20);
    chart.Select(1);
    chart.Draw();
    const std::string expectedKinds = "BSSSSLLLE";
    const int expectedStarts[] = {-1, 0, 105, 125, 5, 5, 105, 125, -1};
    ASSERT_EQ(expectedKinds.size(), chart.calls.size());
    for (std::size_t i = 0; i < chart.calls.size(); ++i) {
        EXPECT_EQ(expectedKinds[i], chart.calls[i].kind) << i;
        EXPECT_EQ(expectedStarts[i], chart.calls[i].startAngle) << i;
    }
    EXPECT_EQ(1, chart.calls[4].selected);

    // Without a selection the slices go in order; a count of 0 draws none.
    chart.calls.clear();
    chart.Select(-1);
    chart.SetCount(2);
    chart.Draw();
    ASSERT_EQ(5u, chart.calls.size());
    EXPECT_EQ(0, chart.calls[1].startAngle);
    EXPECT_EQ(5, chart.calls[2].startAngle);
    chart.calls.clear();
    chart.SetCount(0);
    chart.Draw();
    EXPECT_EQ(2u, chart.calls.size());
}

TEST(ChartDrawTest, ARadiusOfZeroOrLessDrawsAndHitsNothing) {
    // A window under 80 pixels gives the pie a negative radius.
    for (const std::int16_t radius : {0, -1, -40}) {
        RecordingChart chart;
        Fill(chart, {90, 270});
        chart.SetGeometry(30, 30, radius, 20, 0);
        chart.Select(0);
        chart.Draw();
        EXPECT_TRUE(chart.calls.empty()) << radius;
        int index = 99;
        EXPECT_FALSE(chart.HitTest(30, 30, index)) << radius;
        EXPECT_FALSE(chart.HitTest(31, 29, index)) << radius;
        EXPECT_EQ(-1, index);
    }
}

TEST(ChartLabelTest, ShortensToTheLongestPrefixThatFits) {
    // Every character 7 pixels wide, counted as UTF-8 characters.
    const auto measure = [](std::string_view text) {
        int characters = 0;
        for (const char c : text)
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        return 7 * characters;
    };
    struct Case {
        const char* label;
        const char* detail;
        int room;
        const char* text;
    };
    const Case cases[] = {
        {"Food", "($40) 12%", 98, "Food ($40) 12%"},  // exactly its width
        {"Food", "($40) 12%", 200, "Food ($40) 12%"},
        // Nine letters: four fit (16 characters, 112 px), five do not (119).
        {"Groceries", "($50) 9%", 118, "Groc... ($50) 9%"},
        {"Groceries", "($50) 9%", 112, "Groc... ($50) 9%"},
        {"Groceries", "($50) 9%", 111, "Gro... ($50) 9%"},
        // Not even one character fits: the full text.
        {"Groceries", "($50) 9%", 10, "Groceries ($50) 9%"},
        // A one-character label has no shorter form.
        {"X", "($5) 1%", 20, "X ($5) 1%"},
        // Whole characters, not bytes: "Élé" is five bytes.
        {"\xC3\x89l\xC3\xA9phant", "($1) 2%", 98, "\xC3\x89l\xC3\xA9... ($1) 2%"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " in " + std::to_string(c.room));
        EXPECT_EQ(c.text, ShortenChartLabel(c.label, c.detail, c.room, measure));
    }
}

// Centre (200, 200), radius 100: slices 0-45, 45-180 and 180-360.
class ThreeSliceChart : public ::testing::Test {
  protected:
    void SetUp() override {
        Fill(chart, {45, 135, 180});
        chart.SetGeometry(200, 200, 100, 60, 0);
    }
    RecordingChart chart;
};

TEST_F(ThreeSliceChart, FindsTheSliceUnderAPoint) {
    struct Case {
        const char* name;
        int x, y;
        int index;  // -1: nothing hit
    };
    const Case cases[] = {
        {"centre (271 degrees)", 200, 200, 2},
        {"straight up (89)", 200, 150, 1},
        {"top of the rim (89)", 200, 100, 1},
        {"straight down (271)", 200, 250, 2},
        {"border at 45: the earlier slice", 250, 150, 0},
        {"just below 45", 251, 150, 0},
        {"second quadrant (135)", 150, 150, 1},
        {"border at 180: the earlier slice", 100, 200, 1},
        {"right on the axis is 360: the last slice", 300, 200, 2},
        {"just above the right axis (0)", 299, 199, 0},
        {"fourth quadrant (315)", 270, 270, 2},
        {"one pixel right of the rim", 301, 200, -1},
        {"one pixel above the rim", 200, 99, -1},
        {"just outside the diagonal", 271, 271, -1},
        {"beside the top of the rim", 201, 100, -1},
        {"far away", INT_MAX, INT_MIN, -1},
        {"far away the other way", INT_MIN, INT_MAX, -1},
    };
    for (const Case& c : cases) {
        int index = 99;
        EXPECT_EQ(c.index >= 0, chart.HitTest(c.x, c.y, index)) << c.name;
        EXPECT_EQ(c.index, index) << c.name;
    }
}

TEST_F(ThreeSliceChart, SeesOnlySlicesWithinTheCount) {
    int index = 99;
    chart.SetCount(2);
    EXPECT_FALSE(chart.HitTest(270, 270, index));
    EXPECT_EQ(-1, index);
    EXPECT_TRUE(chart.HitTest(150, 150, index));
    EXPECT_EQ(1, index);
    chart.AllocateSlices(0);
    EXPECT_FALSE(chart.HitTest(200, 200, index));
}

TEST(ChartFullCircleTest, EveryPointInsideHitsIt) {
    RecordingChart chart;
    Fill(chart, {360});
    chart.SetGeometry(200, 300, 300, 180, 0);
    // Steep tangents: 89 straight up and down, 90 one pixel beside.
    for (auto [x, y] : {std::pair{200, 300},
                        {200, 0},
                        {201, 100},
                        {201, 500},
                        {200, 600},
                        {499, 300},
                        {500, 300},
                        {-99, 299},
                        {-99, 300}}) {
        int index = -1;
        EXPECT_TRUE(chart.HitTest(x, y, index)) << x << "," << y;
        EXPECT_EQ(0, index);
    }
    EXPECT_EQ((ChartPoint{200, 300}), chart.GetSliceLabelPoint(*chart.GetSlice(0)));
}

TEST_F(ThreeSliceChart, AnchorsLabelsInEachQuadrant) {
    struct Case {
        int start, end;
        ChartPoint anchor;
    };
    const Case cases[] = {
        {0, 90, {242, 158}},     // 45: beyond five sevenths of the label radius
        {60, 120, {200, 140}},   // straight up: no horizontal offset to push
        {70, 90, {216, 111}},    // 80: near the axis, pushed out to radius - dx
        {90, 180, {158, 158}},   // 135
        {100, 120, {173, 126}},  // 110: pushed out to radius + dx
        {180, 270, {158, 242}},  // 225
        {260, 280, {200, 260}},  // straight down
        {270, 360, {242, 242}},  // 315
        {350, 360, {260, 205}},  // 355
        {170, 190, {140, 200}},  // 180
        {0, 0, {260, 200}},
    };
    for (const Case& c : cases) {
        ChartSlice slice;
        slice.startAngle = static_cast<std::int16_t>(c.start);
        slice.endAngle = static_cast<std::int16_t>(c.end);
        EXPECT_EQ(c.anchor, chart.GetSliceLabelPoint(slice)) << c.start << "-" << c.end;
    }
}

}  // namespace
}  // namespace tallowmere
