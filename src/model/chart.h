#pragma once
// The pie chart independent of any device: slices in whole degrees with their
// texts, colours and report rows, the geometry, the selection, label anchors
// and the hit test. All trigonometry is integer arithmetic over one fixed sine
// table, so every build gives the same pixels. Subclasses do the drawing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/money.h"

namespace tallowmere {

class CReportItem;

// Entry i (0..269) is sin(i/3 degrees) * 2^20 rounded; entry 270 repeats
// entry 269. The cosine of i/3 degrees is entry 270 - i.
inline constexpr std::size_t kChartSineEntries = 271;
extern const std::array<std::int32_t, kChartSineEntries> kChartSineTable;

// Whole degrees (0..90) of the angle whose tangent is u / 8192, u >= 0.
int ChartAngleOfTangent(std::int64_t u);

// The text of a slice label for a room of the given width: "label detail"
// when it fits; else the longest "first k characters... detail" that fits,
// trying k = 1, 2, ... up to the label's length - 1 and stopping at the
// first that does not; else (not even one character fits) the full text.
// Texts are UTF-8 and k counts whole characters; measure gives a text's width.
std::string ShortenChartLabel(std::string_view label, std::string_view detail, int room,
                              const std::function<int(std::string_view)>& measure);

// A slice text holds at most this many characters.
inline constexpr std::size_t kChartTextMax = 59;
// Slice counts stay within the signed 16 bits that the angles use.
inline constexpr int kChartMaxSlices = 32767;

struct ChartColour {
    std::int16_t palette = 0;
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;

    friend bool operator==(const ChartColour&, const ChartColour&) = default;
};

struct ChartSlice {
    // Degrees counter-clockwise from 3 o'clock; 0 <= start <= end <= 360.
    std::int16_t startAngle = 0;
    std::int16_t endAngle = 0;
    std::array<char, kChartTextMax + 2> label{};   // NUL-terminated
    std::array<char, kChartTextMax + 2> detail{};  // NUL-terminated, empty when none
    ChartColour fill;
    ChartColour second;           // all zero when none
    CReportItem* data = nullptr;  // not owned
    int selected = 0;

    std::string_view Label() const { return label.data(); }
    std::string_view Detail() const { return detail.data(); }
};

struct ChartPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const ChartPoint&, const ChartPoint&) = default;
};

// One report row as the slices are built from it, in the report's row order.
struct ChartRow {
    Cents amount = 0;
    std::string_view label;
    CReportItem* data = nullptr;
};

class CChart {
  public:
    CChart() = default;
    virtual ~CChart() = default;
    CChart(const CChart&) = delete;
    CChart& operator=(const CChart&) = delete;

    // Replaces the slices by n empty ones (n kept to 0..kChartMaxSlices);
    // count := n, nothing added, no degrees given out. Should memory run
    // out, the chart is left without slices.
    void AllocateSlices(int n);
    // Count := n, kept to 0..the slices allocated.
    void SetCount(int n);
    // Starts the filling again: no slices added, no degrees given out.
    void SetGeometry(std::int16_t centreX, std::int16_t centreY, std::int16_t radius,
                     std::int16_t labelRadius, std::int16_t labelMinimum);
    // Fills the next slice with the next degrees, kept to what is left of
    // the 360 (a negative count gives none); nothing when every allocated
    // slice is filled. A null fill takes the next default colour, a null
    // second colour gives zeros. Texts are cut at a NUL and to 59 characters.
    void AddSlice(int degrees, const ChartColour* fill, const ChartColour* second,
                  std::string_view label, std::string_view detail, CReportItem* data);

    // Allocates and fills the slices from report rows: each row's share of
    // the sum of the rows' magnitudes in whole degrees, the rounding left
    // over going to the last row with a non-zero amount, so that the degrees
    // add up to 360; rows that come to 0 degrees get no slice. The detail is
    // "(symbol amount) percent%" with the amount in whole units. Count :=
    // the slices added, which is returned; 0 when every amount is 0.
    int BuildSlices(std::span<const ChartRow> rows, std::string_view currencySymbol);

    // Unselected slices in order, then the selected one; then the labels of
    // slices at least the label minimum wide. Nothing at all while the radius
    // is 0 or less (a window too small for the pie).
    void Draw();

    // Clears every selection; then selects the slice when index is below the
    // count (anything else leaves none selected).
    void Select(int index);
    // The first selected slice below the count, or -1.
    int GetSelected() const;
    // The slice's row; null for an index outside the count.
    CReportItem* GetItemData(int index) const;
    // The slice, or null for an index outside the count.
    const ChartSlice* GetSlice(int index) const;

    // Where the slice's label is anchored; the centre for a full circle.
    ChartPoint GetSliceLabelPoint(const ChartSlice& slice) const;
    // The first slice whose angles enclose the point's angle, when the point
    // lies within the radius; index is -1 when none is found, as always when
    // the radius is 0 or less (no pie is drawn then).
    bool HitTest(int x, int y, int& index) const;

    int GetCount() const { return count_; }
    int GetSlicesAdded() const { return added_; }
    std::int16_t GetCentreX() const { return centreX_; }
    std::int16_t GetCentreY() const { return centreY_; }
    std::int16_t GetRadius() const { return radius_; }
    std::int16_t GetLabelRadius() const { return labelRadius_; }
    std::int16_t GetLabelMinimum() const { return labelMinimum_; }

  protected:
    virtual void BeginDraw() {}
    virtual void EndDraw() {}
    virtual void DrawSlice(int centreX, int centreY, int radius, const ChartSlice& slice) = 0;
    virtual void DrawLabel(int centreX, int centreY, int labelRadius, const ChartSlice& slice) = 0;
    virtual void DrawTextInRect(std::string_view /*text*/, unsigned /*flags*/, int /*left*/,
                                int /*centreY*/, int /*width*/, int /*height*/) {}
    virtual void MeasureText(std::string_view /*text*/, int& width, int& height) {
        width = 0;
        height = 0;
    }

  private:
    std::vector<ChartSlice> slices_;
    int count_ = 0;
    int added_ = 0;
    int given_ = 0;  // degrees given out so far
    int nextColour_ = 0;
    std::int16_t centreX_ = 0;
    std::int16_t centreY_ = 0;
    std::int16_t radius_ = 0;
    std::int16_t labelRadius_ = 0;
    std::int16_t labelMinimum_ = 0;
};

}  // namespace tallowmere
