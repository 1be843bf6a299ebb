#include "ui/tallowmere_printing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <array>
#include <limits>

#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

constexpr int kStringDocumentName = 249;
constexpr int kPointSize = 10;
constexpr int kPointsPerInch = 72;
// Widths kept per font before the store starts afresh.
constexpr std::size_t kMaxKeptWidths = 1 << 14;

int ToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Draws on the printer's painter with the printout's two fonts.
class PainterCanvas final : public MPrintCanvas {
  public:
    PainterCanvas(QPainter& painter, const QFont& normal, const QFont& bold,
                  CTallowmerePrinting::TextWidths& widths)
        : painter_(painter),
          fonts_{normal, bold},
          metrics_{QFontMetrics(normal, painter.device()), QFontMetrics(bold, painter.device())},
          widths_(widths) {
        painter_.setFont(fonts_[0]);
        painter_.setPen(Qt::black);
    }

    void SetFont(PrintFont font) override {
        const std::size_t i = font == PrintFont::kBold ? 1 : 0;
        if (i == current_)
            return;
        current_ = i;
        painter_.setFont(fonts_[i]);
    }

    std::int64_t TextWidth(std::string_view text) override {
        auto& known = widths_[current_];
        std::string key(text);
        if (const auto it = known.find(key); it != known.end())
            return it->second;
        if (known.size() >= kMaxKeptWidths)
            known.clear();
        const std::int64_t width = metrics_[current_].horizontalAdvance(Utf8(text));
        known.emplace(std::move(key), width);
        return width;
    }

    void DrawText(std::int64_t x, std::int64_t top, std::int64_t height, std::string_view text,
                  bool red) override {
        if (red != red_) {
            red_ = red;
            painter_.setPen(red ? QColor(255, 0, 0) : QColor(Qt::black));
        }
        const QFontMetrics& m = metrics_[current_];
        const std::int64_t baseline = top + (height - m.height()) / 2 + m.ascent();
        painter_.drawText(QPoint(ToInt(x), ToInt(baseline)), Utf8(text));
    }

    void DrawRule(std::int64_t left, std::int64_t right, std::int64_t y) override {
        painter_.save();
        // A rule as thin as a printer's pixel vanishes at fine resolutions:
        // this one stays a hairline of about a third of a point.
        const int dpi = painter_.device()->logicalDpiY();
        painter_.setPen(QPen(Qt::black, std::max(1, dpi / 200)));
        painter_.drawLine(ToInt(left), ToInt(y), ToInt(right), ToInt(y));
        painter_.restore();
    }

    void DrawChart(CChart& chart, const PrintPieLayout& pie) override {
        auto* win = dynamic_cast<CWinChart*>(&chart);
        if (win == nullptr)
            return;
        painter_.save();
        const qreal scale = static_cast<qreal>(pie.deviceDpi) / static_cast<qreal>(pie.logicalDpi);
        painter_.scale(scale, scale);
        // Labels in the normal font's size once scaled.
        QFont label = fonts_[0];
        label.setPixelSize(std::max(1, ToInt(fonts_[0].pixelSize() * pie.logicalDpi /
                                             std::max<std::int64_t>(pie.deviceDpi, 1))));
        win->SetPainter(&painter_);
        win->SetLabelFont(label);
        win->SetBounds(
            QRect(QPoint(ToInt(pie.labelBounds.left), ToInt(pie.labelBounds.top)),
                  QPoint(ToInt(pie.labelBounds.right) - 1, ToInt(pie.labelBounds.bottom) - 1)));
        win->Draw();
        win->SetPainter(nullptr);
        painter_.restore();
    }

  private:
    QPainter& painter_;
    std::array<QFont, 2> fonts_;
    std::array<QFontMetrics, 2> metrics_;
    CTallowmerePrinting::TextWidths& widths_;
    std::size_t current_ = 0;
    bool red_ = false;
};

// Ends a printout however the loop leaves.
class ReleaseOnExit {
  public:
    explicit ReleaseOnExit(CTallowmerePrinting& printing) : printing_(printing) {}
    ~ReleaseOnExit() { printing_.ReleaseFonts(); }
    ReleaseOnExit(const ReleaseOnExit&) = delete;
    ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;

  private:
    CTallowmerePrinting& printing_;
};

bool JobFailed(const QPrinter& printer) {
    return printer.printerState() == QPrinter::Aborted || printer.printerState() == QPrinter::Error;
}

}  // namespace

void CTallowmerePrinting::BeginPrinting(QPrinter& printer, const PrintJob& job, const QFont& font) {
    const int dpi = printer.resolution();
    const QRect paper = printer.pageLayout().paintRectPixels(dpi);
    QFont normal = font;
    normal.setPixelSize(std::max(1, dpi * kPointSize / kPointsPerInch));
    // Tables of names and amounts need no ligatures or kerning; without
    // them a long register prints about twice as fast.
    normal.setStyleStrategy(QFont::PreferNoShaping);
    QFont bold = normal;
    bold.setWeight(QFont::Bold);
    const QFontMetrics metrics(normal, &printer);
    for (auto& known : widths_)
        known.clear();
    normal_ = normal;
    bold_ = bold;
    pages_.Begin(job, PrintMetrics{dpi, dpi, paper.width(), paper.height(),
                                   metrics.height() + std::max(0, metrics.leading())});
}

void CTallowmerePrinting::SetColumns(const CShowColumns& columns) {
    pages_.SetColumns(columns);
}

int CTallowmerePrinting::CountPages() {
    return ToInt(pages_.CountPages());
}

void CTallowmerePrinting::PrintPage(QPainter& painter, int page) {
    if (!normal_ || !bold_)
        return;
    PainterCanvas canvas(painter, *normal_, *bold_, widths_);
    pages_.PrintPage(canvas, page, &chart_);
}

void CTallowmerePrinting::ReleaseFonts() {
    normal_.reset();
    bold_.reset();
    for (auto& known : widths_)
        known.clear();
    pages_.End();
}

int PrintDocument(QPrinter& printer, CTallowmerePrinting& printing, const PrintJob& job,
                  const QFont& font, int fromPage, int toPage) {
    printer.setDocName(QString::fromStdString(LoadString(kStringDocumentName)));
    ReleaseOnExit release(printing);
    printing.BeginPrinting(printer, job, font);
    const int pages = printing.CountPages();
    const int first = std::max(fromPage, 1);
    const int last = toPage <= 0 ? pages : std::min(toPage, pages);
    if (first > last)
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        return -1;
    bool failed = false;
    int printed = 0;
    for (int page = first; page <= last; ++page) {
        if (page > first && !printer.newPage()) {
            failed = true;
            break;
        }
        printing.PrintPage(painter, page);
        ++printed;
        if (JobFailed(printer)) {
            failed = true;
            break;
        }
    }
    if (!painter.end() || JobFailed(printer))
        failed = true;
    return failed ? -1 : printed;
}

}  // namespace tallowmere::ui
