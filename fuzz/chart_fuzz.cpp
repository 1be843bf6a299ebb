// Arbitrary bytes as a chart: the geometry (five little-endian int16), a row
// count byte, that many int64 amounts, then int32 point pairs. The slices
// must tile the circle from 0 to 360 degrees, every point within the radius
// must hit one (none when the radius is 0 or less), and no index, anchor or
// square may leave its range.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "model/chart.h"

namespace tallowmere {
namespace {

class NullChart : public CChart {
  public:
    int slicesDrawn = 0;
    int labelsDrawn = 0;

  protected:
    void DrawSlice(int, int, int, const ChartSlice&) override { ++slicesDrawn; }
    void DrawLabel(int, int, int, const ChartSlice&) override { ++labelsDrawn; }
};

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Has(std::size_t n) const { return size_ - pos_ >= n; }
    template <class T>
    T Take() {
        T value{};
        if (Has(sizeof value)) {
            std::memcpy(&value, data_ + pos_, sizeof value);
            pos_ += sizeof value;
        }
        return value;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

std::int64_t Abs(std::int64_t v) {
    return v < 0 ? -v : v;
}

// Stand-ins for report rows: only their addresses are kept.
std::max_align_t rowStorage[256];

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    Reader in(data, size);
    const auto cx = in.Take<std::int16_t>();
    const auto cy = in.Take<std::int16_t>();
    const auto radius = in.Take<std::int16_t>();
    const auto labelRadius = in.Take<std::int16_t>();
    const auto labelMinimum = in.Take<std::int16_t>();
    const int rowCount = in.Take<std::uint8_t>();

    std::vector<ChartRow> rows;
    bool anyAmount = false;
    for (int i = 0; i < rowCount && in.Has(sizeof(Cents)); ++i) {
        const Cents amount = in.Take<Cents>();
        anyAmount = anyAmount || amount != 0;
        rows.push_back({amount, "row", reinterpret_cast<CReportItem*>(&rowStorage[i])});
    }

    NullChart chart;
    const int made = chart.BuildSlices(rows, "$");
    chart.SetGeometry(cx, cy, radius, labelRadius, labelMinimum);
    if (made != chart.GetCount() || made > 360 || (made > 0) != anyAmount)
        std::abort();
    int end = 0;
    std::ptrdiff_t previous = -1;
    for (int i = 0; i < made; ++i) {
        const ChartSlice& slice = *chart.GetSlice(i);
        if (slice.startAngle != end || slice.endAngle <= slice.startAngle)
            std::abort();
        end = slice.endAngle;
        // Slices keep the rows' order and stand for rows with an amount.
        const auto* row = reinterpret_cast<const std::max_align_t*>(slice.data);
        const std::ptrdiff_t at = row - rowStorage;
        if (at < 0 || at >= static_cast<std::ptrdiff_t>(rows.size()) || rows[at].amount == 0 ||
            at <= previous)
            std::abort();
        previous = at;

        const ChartPoint anchor = chart.GetSliceLabelPoint(slice);
        const std::int64_t reach = Abs(radius) + Abs(labelRadius) + 1;
        if (Abs(std::int64_t{anchor.x} - cx) > reach || Abs(std::int64_t{anchor.y} - cy) > reach)
            std::abort();
    }
    if (made > 0 && end != 360)
        std::abort();

    while (in.Has(2 * sizeof(std::int32_t))) {
        const auto x = in.Take<std::int32_t>();
        const auto y = in.Take<std::int32_t>();
        int index = 0;
        const bool found = chart.HitTest(x, y, index);
        const std::int64_t dx = std::int64_t{x} - cx;
        const std::int64_t dy = std::int64_t{y} - cy;
        // A radius of 0 or less is no pie: nothing lies inside it.
        const std::int64_t r = radius;
        const bool inside = r > 0 && Abs(dx) <= r && Abs(dy) <= r && dx * dx + dy * dy <= r * r;
        if (found != (inside && made > 0) || (found ? index < 0 || index >= made : index != -1))
            std::abort();

        // Selecting whatever the point gives, also a miss or a stray index.
        chart.Select(found ? index : x);
        const int selected = chart.GetSelected();
        if (selected != (found ? index : (x >= 0 && x < made ? x : -1)))
            std::abort();
        if (chart.GetItemData(selected) !=
            (selected >= 0 ? chart.GetSlice(selected)->data : nullptr))
            std::abort();
    }

    chart.Draw();
    if (chart.slicesDrawn != (radius > 0 ? made : 0) || chart.labelsDrawn > chart.slicesDrawn)
        std::abort();

    // Raw slices: any degrees, any count.
    NullChart raw;
    const int allocated = std::max(0, labelMinimum % 512);
    raw.AllocateSlices(labelMinimum % 512);
    for (int i = 0; i < rowCount; ++i)
        raw.AddSlice(static_cast<int>(rows.empty() ? i : rows[i % rows.size()].amount % 1000),
                     nullptr, nullptr, "", "", nullptr);
    raw.SetCount(radius);
    if (raw.GetCount() < 0 || raw.GetCount() > allocated)
        std::abort();
    for (int i = 0; i < raw.GetCount(); ++i) {
        const ChartSlice& slice = *raw.GetSlice(i);
        if (slice.startAngle < 0 || slice.startAngle > slice.endAngle || slice.endAngle > 360)
            std::abort();
        (void)raw.GetSliceLabelPoint(slice);
    }
    int index = 0;
    (void)raw.HitTest(cx, cy, index);
    raw.Draw();
    return 0;
}
