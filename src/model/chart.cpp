#include "model/chart.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <utility>

namespace tallowmere {

// A literal table rather than one computed with libm at start-up, so that
// label anchors and hit tests are exact on every build.
const std::array<std::int32_t, kChartSineEntries> kChartSineTable = {
    0,       6100,    12200,   18300,   24399,   30498,   36595,   42691,   48785,   54878,
    60969,   67058,   73145,   79229,   85311,   91389,   97465,   103537,  109606,  115671,
    121732,  127789,  133842,  139890,  145934,  151972,  158005,  164033,  170056,  176073,
    182083,  188088,  194086,  200078,  206063,  212040,  218011,  223975,  229930,  235878,
    241818,  247750,  253673,  259588,  265494,  271391,  277279,  283158,  289027,  294886,
    300735,  306574,  312403,  318221,  324028,  329824,  335609,  341383,  347145,  352896,
    358634,  364360,  370075,  375776,  381465,  387141,  392803,  398453,  404089,  409711,
    415320,  420914,  426494,  432060,  437611,  443147,  448669,  454175,  459665,  465141,
    470600,  476044,  481471,  486882,  492277,  497655,  503016,  508360,  513687,  518996,
    524288,  529562,  534818,  540057,  545276,  550478,  555661,  560825,  565970,  571095,
    576202,  581289,  586356,  591404,  596431,  601438,  606425,  611392,  616338,  621262,
    626166,  631049,  635910,  640750,  645568,  650364,  655138,  659890,  664620,  669327,
    674012,  678673,  683312,  687928,  692520,  697089,  701634,  706156,  710654,  715127,
    719577,  724002,  728402,  732778,  737129,  741455,  745756,  750032,  754282,  758507,
    762707,  766880,  771027,  775149,  779244,  783313,  787355,  791370,  795359,  799321,
    803256,  807163,  811044,  814897,  818722,  822519,  826289,  830031,  833745,  837430,
    841087,  844716,  848316,  851887,  855430,  858943,  862428,  865883,  869309,  872705,
    876072,  879410,  882717,  885995,  889243,  892461,  895648,  898805,  901932,  905028,
    908093,  911128,  914132,  917105,  920047,  922958,  925838,  928686,  931503,  934288,
    937042,  939764,  942454,  945112,  947738,  950333,  952895,  955424,  957922,  960387,
    962819,  965219,  967587,  969921,  972223,  974492,  976727,  978930,  981100,  983236,
    985339,  987409,  989445,  991448,  993417,  995353,  997255,  999123,  1000958, 1002758,
    1004525, 1006257, 1007956, 1009620, 1011251, 1012847, 1014408, 1015936, 1017429, 1018887,
    1020311, 1021701, 1023056, 1024376, 1025662, 1026913, 1028129, 1029311, 1030457, 1031569,
    1032646, 1033688, 1034694, 1035666, 1036603, 1037505, 1038371, 1039203, 1039999, 1040760,
    1041486, 1042176, 1042832, 1043452, 1044036, 1044586, 1045100, 1045578, 1046022, 1046430,
    1046802, 1047139, 1047441, 1047707, 1047937, 1048132, 1048292, 1048416, 1048505, 1048558,
    1048558,
};

namespace {

constexpr int kFullCircle = 360;
constexpr int kQuarterIndex = 270;  // table index of 90 degrees

constexpr std::array<ChartColour, 15> kDefaultColours = {{
    {0, 153, 153, 255},
    {0, 204, 153, 255},
    {0, 255, 153, 255},
    {0, 255, 153, 153},
    {0, 255, 204, 153},
    {0, 255, 255, 153},
    {0, 204, 255, 153},
    {0, 153, 255, 153},
    {0, 153, 255, 255},
    {0, 153, 204, 255},
    {0, 255, 51, 204},
    {0, 255, 153, 51},
    {0, 204, 255, 51},
    {0, 51, 255, 153},
    {0, 51, 204, 255},
}};

// Tangent of entry k (times 8192). Index 270 is never asked for: its cosine
// entry is 0.
std::int64_t TangentAt(int k) {
    return (std::int64_t{kChartSineTable[static_cast<std::size_t>(k)]} * 1024) /
           (kChartSineTable[static_cast<std::size_t>(kQuarterIndex - k)] >> 3);
}

template <std::size_t N>
void CopyText(std::array<char, N>& field, std::string_view text) {
    text = text.substr(0, std::min({text.find('\0'), kChartTextMax, N - 1}));
    field.fill('\0');
    std::copy(text.begin(), text.end(), field.begin());
}

std::uint64_t Magnitude(Cents amount) {
    // Written so that the most negative amount does not overflow.
    return amount < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(amount)
                      : static_cast<std::uint64_t>(amount);
}

// Rounded share of part in total, scaled to whole; part <= total and
// total * (whole + 1) fit in 64 bits.
std::uint64_t Share(std::uint64_t part, std::uint64_t whole, std::uint64_t total) {
    return (part * whole + total / 2) / total;
}

using DetailBuffer = std::array<char, 96>;

// "(symbol amount) percent%", the amount in whole units; built without
// allocating, cut to the buffer (the slice cuts it further).
std::string_view PercentDetail(DetailBuffer& out, std::string_view symbol, Cents amount,
                               std::uint64_t percent) {
    std::size_t n = 0;
    auto put = [&](std::string_view text) {
        text = text.substr(0, out.size() - n);
        std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(n));
        n += text.size();
    };
    put("(");
    put(symbol.substr(0, symbol.find('\0')));
    std::array<char, kMoneyBufferSize> money;
    put({money.data(), FormatMoneyBuffer(amount, money, kMoneyWhole, LocaleDecimalChar())});
    put(") ");
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, percent);
    (void)ec;  // at most 100
    put({digits, static_cast<std::size_t>(end - digits)});
    put("%");
    return {out.data(), n};
}

// Bytes of the first k characters of UTF-8 text; a continuation byte never
// starts a character, so a cut never splits one.
std::size_t PrefixBytes(std::string_view text, std::size_t characters) {
    std::size_t i = 0;
    for (std::size_t seen = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80)
            continue;
        if (seen == characters)
            break;
        ++seen;
    }
    return i;
}

std::size_t CharacterCount(std::string_view text) {
    std::size_t n = 0;
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

}  // namespace

std::string ShortenChartLabel(std::string_view label, std::string_view detail, int room,
                              const std::function<int(std::string_view)>& measure) {
    std::string full = std::string(label) + " " + std::string(detail);
    if (measure(full) <= room)
        return full;
    std::string kept;
    const std::size_t length = CharacterCount(label);
    for (std::size_t k = 1; k < length; ++k) {
        std::string candidate = std::string(label.substr(0, PrefixBytes(label, k))) + "... ";
        candidate += detail;
        if (measure(candidate) > room)
            break;
        kept = std::move(candidate);
    }
    return kept.empty() ? full : kept;
}

int ChartAngleOfTangent(std::int64_t u) {
    // First index whose tangent exceeds u; the tangents grow with the index.
    int lo = 0;
    int hi = kQuarterIndex;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (TangentAt(mid) > u)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo / 3;
}

void CChart::AllocateSlices(int n) {
    n = std::clamp(n, 0, kChartMaxSlices);
    try {
        std::vector<ChartSlice> fresh(static_cast<std::size_t>(n));
        slices_.swap(fresh);
    } catch (const std::bad_alloc&) {
        slices_.clear();
        n = 0;
    }
    count_ = n;
    added_ = 0;
    given_ = 0;
}

void CChart::SetCount(int n) {
    count_ = std::clamp(n, 0, static_cast<int>(slices_.size()));
}

void CChart::SetGeometry(std::int16_t centreX, std::int16_t centreY, std::int16_t radius,
                         std::int16_t labelRadius, std::int16_t labelMinimum) {
    centreX_ = centreX;
    centreY_ = centreY;
    radius_ = radius;
    labelRadius_ = labelRadius;
    labelMinimum_ = labelMinimum;
    given_ = 0;
    added_ = 0;
}

void CChart::AddSlice(int degrees, const ChartColour* fill, const ChartColour* second,
                      std::string_view label, std::string_view detail, CReportItem* data) {
    if (static_cast<std::size_t>(added_) >= slices_.size())
        return;
    // Every chart starts the default colours from the first.
    if (added_ == 0)
        nextColour_ = 0;
    degrees = std::clamp(degrees, 0, kFullCircle - given_);
    ChartSlice& slice = slices_[static_cast<std::size_t>(added_)];
    slice.startAngle = static_cast<std::int16_t>(given_);
    given_ += degrees;
    slice.endAngle = static_cast<std::int16_t>(given_);
    CopyText(slice.label, label);
    CopyText(slice.detail, detail);
    if (fill != nullptr) {
        slice.fill = *fill;
    } else {
        slice.fill = kDefaultColours[static_cast<std::size_t>(nextColour_)];
        nextColour_ = (nextColour_ + 2) % static_cast<int>(kDefaultColours.size());
    }
    slice.second = second != nullptr ? *second : ChartColour{};
    slice.data = data;
    slice.selected = 0;
    ++added_;
}

int CChart::BuildSlices(std::span<const ChartRow> rows, std::string_view currencySymbol) {
    // Every slice has a degree at least, so no more than 360 can be filled.
    AllocateSlices(static_cast<int>(std::min<std::size_t>(rows.size(), kFullCircle)));

    // The rounding remainder goes to the last row that has an amount, so a
    // row of 0 (an empty "Other") never draws a sliver.
    std::size_t last = rows.size();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].amount != 0)
            last = i;
    }
    if (last == rows.size()) {
        SetCount(0);
        return 0;
    }

    // The share is taken of the magnitudes' sum, which is the report's total
    // for rows of one sign and keeps mixed signs within the circle. Huge sums
    // are scaled down until part * 360 + total / 2 fits in 64 bits.
    constexpr std::uint64_t kMaxTotal = std::numeric_limits<std::uint64_t>::max() / 361;
    int shift = 0;
    std::uint64_t total = 0;
    for (; shift < 63; ++shift) {
        total = 0;
        bool fits = true;
        for (const ChartRow& row : rows) {
            total += Magnitude(row.amount) >> shift;
            if (total > kMaxTotal) {
                fits = false;
                break;
            }
        }
        if (fits)
            break;
    }
    if (total == 0) {
        SetCount(0);
        return 0;
    }

    for (std::size_t i = 0; i < rows.size() && given_ < kFullCircle; ++i) {
        const std::uint64_t part = Magnitude(rows[i].amount) >> shift;
        std::uint64_t degrees =
            i == last ? std::uint64_t{kFullCircle} : Share(part, kFullCircle, total);
        degrees =
            std::min<std::uint64_t>(degrees, static_cast<std::uint64_t>(kFullCircle - given_));
        if (degrees == 0)
            continue;
        DetailBuffer buffer;
        const std::string_view detail =
            PercentDetail(buffer, currencySymbol, rows[i].amount, Share(part, 100, total));
        AddSlice(static_cast<int>(degrees), nullptr, nullptr, rows[i].label, detail, rows[i].data);
    }
    SetCount(added_);
    return added_;
}

void CChart::Draw() {
    if (radius_ <= 0)
        return;
    BeginDraw();
    const int selected = GetSelected();
    for (int i = 0; i < count_; ++i) {
        const ChartSlice& slice = slices_[static_cast<std::size_t>(i)];
        if (slice.selected == 0)
            DrawSlice(centreX_, centreY_, radius_, slice);
    }
    // Drawn last so that its outline lies over its neighbours.
    if (selected >= 0)
        DrawSlice(centreX_, centreY_, radius_, slices_[static_cast<std::size_t>(selected)]);
    for (int i = 0; i < count_; ++i) {
        const ChartSlice& slice = slices_[static_cast<std::size_t>(i)];
        if (slice.endAngle - slice.startAngle >= labelMinimum_)
            DrawLabel(centreX_, centreY_, labelRadius_, slice);
    }
    EndDraw();
}

void CChart::Select(int index) {
    for (ChartSlice& slice : slices_)
        slice.selected = 0;
    if (index >= 0 && index < count_)
        slices_[static_cast<std::size_t>(index)].selected = 1;
}

int CChart::GetSelected() const {
    for (int i = 0; i < count_; ++i) {
        if (slices_[static_cast<std::size_t>(i)].selected != 0)
            return i;
    }
    return -1;
}

CReportItem* CChart::GetItemData(int index) const {
    const ChartSlice* slice = GetSlice(index);
    return slice != nullptr ? slice->data : nullptr;
}

const ChartSlice* CChart::GetSlice(int index) const {
    if (index < 0 || index >= count_)
        return nullptr;
    return &slices_[static_cast<std::size_t>(index)];
}

ChartPoint CChart::GetSliceLabelPoint(const ChartSlice& slice) const {
    if (slice.startAngle == 0 && slice.endAngle == kFullCircle)
        return {centreX_, centreY_};

    // Fold the middle angle into the first quadrant and keep the signs.
    int middle = (slice.startAngle + slice.endAngle) / 2;
    middle %= kFullCircle;
    if (middle < 0)
        middle += kFullCircle;
    int angle = 0;
    int xSign = 1;
    int ySign = 1;
    if (middle >= 270) {
        angle = kFullCircle - middle;
    } else if (middle < 90) {
        angle = middle;
        ySign = -1;
    } else if (middle < 180) {
        angle = 180 - middle;
        xSign = -1;
        ySign = -1;
    } else {
        angle = middle - 180;
        xSign = -1;
    }
    const std::int64_t cosine =
        kChartSineTable[static_cast<std::size_t>(kQuarterIndex - 3 * angle)];
    const std::int64_t sine = kChartSineTable[static_cast<std::size_t>(3 * angle)];
    auto along = [](std::int64_t length, std::int64_t ratio) {
        return (length * ratio + (std::int64_t{1} << 19)) >> 20;
    };

    const std::int64_t length = labelRadius_;
    std::int64_t dx = xSign * along(length, cosine);
    std::int64_t dy = ySign * along(length, sine);
    // Labels near the vertical axis are pushed out towards the rim, where
    // there is room beside the pie for their text.
    const std::int64_t near = (5 * length) / 7;
    if ((dx > 0 && dx < near) || (dx < 0 && dx > -near)) {
        const std::int64_t pushed = dx > 0 ? radius_ - dx : radius_ + dx;
        dx = xSign * along(pushed, cosine);
        dy = ySign * along(pushed, sine);
    }
    return {static_cast<int>(centreX_ + dx), static_cast<int>(centreY_ + dy)};
}

bool CChart::HitTest(int x, int y, int& index) const {
    index = -1;
    const std::int64_t dx = std::int64_t{x} - centreX_;
    const std::int64_t dy = std::int64_t{y} - centreY_;
    if (radius_ <= 0)
        return false;
    const std::int64_t radius = radius_;
    // Beyond the radius along either axis is outside; this also keeps the
    // squares below from overflowing.
    if (std::abs(dx) > radius || std::abs(dy) > radius)
        return false;
    if (radius * radius < dx * dx + dy * dy)
        return false;

    const std::int64_t tangent = dx == 0 ? 819200 : (std::abs(dy) * 8192) / std::abs(dx);
    const int v = ChartAngleOfTangent(tangent);
    int angle = 0;
    if (dx >= 0 && dy < 0)
        angle = v;
    else if (dx < 0 && dy < 0)
        angle = 180 - v;
    else if (dx < 0)
        angle = 180 + v;
    else
        angle = kFullCircle - v;

    for (int i = 0; i < count_; ++i) {
        const ChartSlice& slice = slices_[static_cast<std::size_t>(i)];
        if (slice.startAngle <= angle && angle <= slice.endAngle) {
            index = i;
            return true;
        }
    }
    return false;
}

}  // namespace tallowmere
