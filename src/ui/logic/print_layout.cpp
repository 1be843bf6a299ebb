#include "ui/logic/print_layout.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

#include "model/show_columns.h"
#include "model/string_table.h"
#include "model/transaction.h"
#include "platform/text_1252.h"
#include "ui/logic/cell_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringAccount = 1000;
constexpr int kStringPage = 1001;
constexpr int kStringAccountAll = 1002;
constexpr int kStringReportHeader = 1003;
constexpr int kStringBudgetHeader = 1004;
constexpr int kStringTransactions = 263;
constexpr int kStringTotal = 264;
constexpr int kStringBudgetTotal = 265;
constexpr int kStringCustomPeriod = 3320;
constexpr int kStringBalanceLine = 3321;

constexpr int kStringBalance = 206;
constexpr int kStringCleared = 283;
constexpr int kStringOnlineBalance = 293;

constexpr std::array<int, 6> kFilterStrings = {280, 281, 282, 283, 284, 285};
constexpr std::array<int, 3> kByStrings = {202, 203, 207};
constexpr std::array<int, 3> kAmountKindStrings = {280, 358, 359};
constexpr std::array<int, 8> kPeriodStrings = {526, 527, 528, 529, 530, 531, 532, 533};
constexpr std::int64_t kCustomPeriod = 8;

// Register headings by column id 0-9; 0 (status) and 1 (icon) have none.
constexpr std::array<int, 10> kRegisterHeadings = {0, 0, 200, 201, 202, 203, 207, 204, 205, 206};
constexpr int kHeadingAmount = 205;
constexpr int kHeadingBudget = 208;
constexpr int kHeadingActual = 209;
constexpr int kHeadingDifference = 223;

constexpr std::int64_t kRemainderFallback = 90;
constexpr std::int64_t kPieInset = 40;
constexpr std::int64_t kLabelRoomInset = 12;

template <std::size_t N>
std::string TableText(const std::array<int, N>& table, std::int64_t index) {
    if (index < 0 || index >= static_cast<std::int64_t>(N))
        return {};
    return LoadString(table[static_cast<std::size_t>(index)]);
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return a / b + (a % b != 0 ? 1 : 0);
}

}  // namespace

PrintRect PrintableRect(const PrintMetrics& metrics) {
    PrintRect r{0, 0, metrics.width, metrics.height};
    r.top += metrics.dpiY / 4;
    r.left += metrics.dpiX / 4;
    r.right -= metrics.dpiX / 4;
    return r;
}

std::int64_t RowsPerPage(const PrintRect& printable, std::int64_t lineHeight) {
    const std::int64_t line = std::max<std::int64_t>(lineHeight, 1);
    return std::max<std::int64_t>(printable.Height() / line - 5, 1);
}

std::int64_t CountPrintPages(std::int64_t rows, std::int64_t rowsPerPage, bool pie) {
    if (pie || rows <= 0)
        return 1;
    return CeilDiv(rows + 3, std::max<std::int64_t>(rowsPerPage, 1));
}

PageRows RowsOfPage(std::int64_t page, std::int64_t rows, std::int64_t rowsPerPage) {
    const std::int64_t perPage = std::max<std::int64_t>(rowsPerPage, 1);
    if (page < 1 || rows <= 0 || page - 1 > rows / perPage)
        return {};
    const std::int64_t first = (page - 1) * perPage;
    return {std::min(first, rows), std::min(rows, first + perPage)};
}

std::vector<PrintColumn> LayoutPrintColumns(const CShowColumns& set, int kind, std::int64_t left,
                                            std::int64_t width, std::int64_t dpiX) {
    const bool report = kind == kPrintReport || kind == kPrintBudget;
    const int iconIndex = set.IndexOfId(report ? kColumnReportIcon : kColumnIcon);
    struct Entry {
        std::uint16_t id;
        std::int64_t width;
        bool rest;
    };
    std::vector<Entry> visible;
    std::int64_t others = 0;
    for (int i = 0; i < set.GetCount(); ++i) {
        if (!set.IsVisible(i) || i == iconIndex)
            continue;
        const bool rest = set.GetWidth(i) == kColumnWidthRest;
        visible.push_back({set.GetId(i), rest ? 0 : set.GetWidth(i), rest});
        if (!rest)
            others += set.GetWidth(i);
    }
    // The widths are the screen's; the paper is measured in the same unit.
    const std::int64_t paper = dpiX > 0 ? width * kColumnSetDpi / dpiX : width;
    const std::int64_t remainder = paper - others > 0 ? paper - others : kRemainderFallback;
    std::int64_t total = 0;
    for (Entry& e : visible) {
        if (e.rest)
            e.width = remainder;
        total += e.width;
    }
    std::vector<PrintColumn> columns;
    if (total <= 0)
        return columns;
    std::int64_t x = left;
    for (const Entry& e : visible) {
        const std::int64_t w = std::max<std::int64_t>(e.width * width / total, kMinColumnWidth);
        columns.push_back({e.id, x, w});
        x += w;
    }
    return columns;
}

std::string RegisterFilterText(std::int64_t filter) {
    return TableText(kFilterStrings, filter);
}

std::string ReportByText(std::int64_t by) {
    return TableText(kByStrings, by);
}

std::string AmountKindText(std::int64_t kind) {
    return TableText(kAmountKindStrings, kind);
}

std::string PeriodText(std::int64_t kind, PalmTime start, PalmTime end) {
    if (kind == kCustomPeriod)
        return FormatText(LoadString(kStringCustomPeriod),
                          {PrintDateText(start), PrintDateText(end)});
    return TableText(kPeriodStrings, kind);
}

std::string PrintDateText(PalmTime t) {
    return platform::Cp1252ToUtf8(FormatLocaleDate(t, kDateShortDate));
}

std::string HeaderAccountText(const std::string* accountName, PalmTime today) {
    if (accountName == nullptr)
        return FormatText(LoadString(kStringAccountAll), {PrintDateText(today)});
    return FormatText(LoadString(kStringAccount),
                      {platform::Cp1252ToUtf8(*accountName), PrintDateText(today)});
}

std::string HeaderPageText(std::int64_t page) {
    return FormatText(LoadString(kStringPage), {page});
}

std::string HeaderRegisterText(std::int64_t filter) {
    return FormatText(LoadString(kStringTransactions), {RegisterFilterText(filter)});
}

std::string HeaderReportText(std::int64_t by, std::int64_t period, PalmTime start, PalmTime end,
                             std::int64_t amountKind) {
    return FormatText(
        LoadString(kStringReportHeader),
        {ReportByText(by), PeriodText(period, start, end), AmountKindText(amountKind)});
}

std::string HeaderBudgetText(std::int64_t by, std::int64_t period, PalmTime start, PalmTime end) {
    return FormatText(LoadString(kStringBudgetHeader),
                      {ReportByText(by), PeriodText(period, start, end)});
}

std::string ColumnHeadingText(int kind, int columnId, std::int64_t by) {
    if (kind == kPrintReport || kind == kPrintBudget) {
        switch (columnId) {
            case kColumnReportName:
                return ReportByText(by);
            case kColumnReportBudget:
                return kind == kPrintBudget ? LoadString(kHeadingBudget) : std::string();
            case kColumnReportAmount:
                return LoadString(kind == kPrintBudget ? kHeadingActual : kHeadingAmount);
            case kColumnReportDifference:
                return LoadString(kHeadingDifference);
            default:
                return {};
        }
    }
    if (columnId < 0 || columnId >= static_cast<int>(kRegisterHeadings.size()))
        return {};
    const int id = kRegisterHeadings[static_cast<std::size_t>(columnId)];
    return id == 0 ? std::string() : LoadString(id);
}

std::string PrintStatusText(const CTransaction& t, bool reconcile) {
    if (reconcile)
        return (t.GetStatus() & kStatusMarked) != 0 ? "[X]" : "[ ]";
    if (t.GetReviewState() == 1)
        return "[*]";
    switch (t.GetStatus() & kStatusMask) {
        case kStatusOpen:
            return "[ ]";
        case kStatusVoid:
            return "[V]";
        default:
            return "[X]";
    }
}

std::string BalanceClosingText(std::int64_t balanceKind, std::string_view symbol, Cents balance) {
    const int label = balanceKind == 0   ? kStringBalance
                      : balanceKind == 1 ? kStringCleared
                                         : kStringOnlineBalance;
    return FormatText(
        LoadString(kStringBalanceLine),
        {LoadString(label), platform::Cp1252ToUtf8(symbol), FormatMoney(balance, kMoneyFull)});
}

std::string ReportTotalText(std::string_view symbol, Cents total) {
    return FormatText(LoadString(kStringTotal),
                      {platform::Cp1252ToUtf8(symbol), FormatMoney(total, kMoneyFull)});
}

std::string BudgetTotalText(std::string_view symbol, Cents budget, Cents actual) {
    const std::string s = platform::Cp1252ToUtf8(symbol);
    return FormatText(LoadString(kStringBudgetTotal),
                      {s, FormatMoney(budget, kMoneyFull), s, FormatMoney(actual, kMoneyFull), s,
                       FormatMoney(SaturatingAdd(actual, SaturatingNegate(budget)), kMoneyFull)});
}

PrintPieLayout LayoutPrintPie(const PrintRect& printable, std::int64_t lineHeight,
                              std::int64_t dpi) {
    const std::int64_t line = std::max<std::int64_t>(lineHeight, 1);
    const PrintRect chart{printable.left, 2 * printable.top + 5 * line, printable.right,
                          printable.bottom - 2 * line};
    PrintPieLayout pie;
    pie.totalTop = chart.bottom + line;
    pie.deviceDpi = std::max<std::int64_t>(dpi, 1);
    pie.logicalDpi = std::min(pie.deviceDpi, kPieMaxDpi);
    constexpr std::int64_t kLimit = std::numeric_limits<std::int16_t>::max();
    PrintRect r;
    while (true) {
        const auto logical = [&](std::int64_t v) { return v * pie.logicalDpi / pie.deviceDpi; };
        r = {logical(chart.left), logical(chart.top), logical(chart.right), logical(chart.bottom)};
        const std::int64_t extent =
            std::max({std::abs(r.left), std::abs(r.top), std::abs(r.right), std::abs(r.bottom)});
        // Paper larger than the 16-bit model can hold is drawn coarser.
        if (extent <= kLimit || pie.logicalDpi == 1)
            break;
        pie.logicalDpi = std::max<std::int64_t>(pie.logicalDpi / 2, 1);
    }
    const std::int64_t radius = std::min(r.Width(), r.Height()) / 2 - kPieInset;
    if (radius <= 0 || std::max(std::abs(r.left), std::abs(r.bottom)) > kLimit)
        return pie;
    pie.fits = true;
    pie.centreX = static_cast<std::int16_t>((r.left + r.right) / 2);
    pie.centreY = static_cast<std::int16_t>((r.top + r.bottom) / 2);
    pie.radius = static_cast<std::int16_t>(radius);
    pie.labelRadius = static_cast<std::int16_t>(radius * 3 / 5);
    pie.labelBounds = {r.left + kLabelRoomInset, r.top, r.right - kLabelRoomInset, r.bottom};
    return pie;
}

}  // namespace tallowmere::ui
