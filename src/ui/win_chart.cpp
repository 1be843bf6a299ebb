#include "ui/win_chart.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/text_1252.h"
#include "ui/color_ref.h"

namespace tallowmere::ui {
namespace {

// DrawText flags the labels use.
constexpr unsigned kDtVCenter = 0x0004;
constexpr unsigned kDtSingleLine = 0x0020;
constexpr unsigned kDtNoPrefix = 0x0800;
constexpr unsigned kLabelFormat = kDtSingleLine | kDtVCenter | kDtNoPrefix;

constexpr std::uint32_t kSelectedOutline = 0xFF0000;  // COLORREF: blue
constexpr int kLabelGap = 5;

QColor FillColour(const ChartSlice& slice) {
    return QColor(std::clamp<int>(slice.fill.red, 0, 255),
                  std::clamp<int>(slice.fill.green, 0, 255),
                  std::clamp<int>(slice.fill.blue, 0, 255));
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

int To16Bits(int value) {
    return std::clamp<int>(value, std::numeric_limits<std::int16_t>::min(),
                           std::numeric_limits<std::int16_t>::max());
}

}  // namespace

void CWinChart::BeginDraw() {
    if (painter_ == nullptr)
        return;
    painter_->save();
    drawing_ = true;
    if (labelFont_)
        painter_->setFont(*labelFont_);
    painter_->setRenderHint(QPainter::Antialiasing, true);
    painter_->setBackgroundMode(Qt::TransparentMode);
}

void CWinChart::EndDraw() {
    if (painter_ == nullptr || !drawing_)
        return;
    painter_->restore();
    drawing_ = false;
}

void CWinChart::DrawSlice(int centreX, int centreY, int radius, const ChartSlice& slice) {
    if (painter_ == nullptr)
        return;
    const QColor fill = FillColour(slice);
    // Integer coordinates name pixels; their centres lie half a pixel in, so
    // the straight edges along the axes stay one pixel wide and sharp.
    const QPointF centre(centreX + 0.5, centreY + 0.5);
    QPainterPath path(centre);
    path.arcTo(QRectF(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius),
               slice.startAngle, slice.endAngle - slice.startAngle);
    path.closeSubpath();
    painter_->setPen(QPen(slice.selected != 0 ? FromColorRef(kSelectedOutline) : fill, 1));
    painter_->setBrush(fill);
    painter_->drawPath(path);
}

void CWinChart::DrawLabel(int centreX, int /*centreY*/, int /*labelRadius*/,
                          const ChartSlice& slice) {
    if (painter_ == nullptr)
        return;
    const ChartPoint anchor = GetSliceLabelPoint(slice);
    painter_->save();
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setPen(Qt::black);
    painter_->setBrush(Qt::black);
    painter_->drawEllipse(QRect(anchor.x, anchor.y, 2, 2));
    painter_->restore();

    // The room runs to the bounding rectangle's edge on the label's side
    // (its right edge as an exclusive bound); the 5-pixel gap is not taken
    // off, so a label may reach 5 pixels past it.
    const bool leftOfCentre = anchor.x < centreX;
    const int room =
        leftOfCentre ? anchor.x - bounds_.left() : bounds_.left() + bounds_.width() - anchor.x;
    const std::string text = ShortenChartLabel(platform::Cp1252ToUtf8(slice.Label()),
                                               platform::Cp1252ToUtf8(slice.Detail()), room,
                                               [this](std::string_view candidate) {
                                                   int width = 0;
                                                   int height = 0;
                                                   MeasureText(candidate, width, height);
                                                   return width;
                                               });
    int width = 0;
    int height = 0;
    MeasureText(text, width, height);
    const int left = leftOfCentre ? anchor.x - width - kLabelGap : anchor.x + kLabelGap;
    DrawTextInRect(text, kLabelFormat, left, anchor.y, width, height);
}

void CWinChart::DrawTextInRect(std::string_view text, unsigned flags, int left, int centreY,
                               int width, int height) {
    if (painter_ == nullptr)
        return;
    // The rectangle is the text's own measure: clipping to it would only
    // shave glyph overhangs.
    int alignment = Qt::AlignLeft | Qt::TextDontClip;
    if ((flags & kDtSingleLine) != 0)
        alignment |= Qt::TextSingleLine;
    if ((flags & kDtVCenter) != 0)
        alignment |= Qt::AlignVCenter;
    const int top = centreY - height / 2;
    painter_->setPen(Qt::black);
    painter_->drawText(QRect(left, top, width, height), alignment, Utf8(text));
}

void CWinChart::MeasureText(std::string_view text, int& width, int& height) {
    width = 0;
    height = 0;
    if (painter_ == nullptr)
        return;
    const QFontMetrics metrics = painter_->fontMetrics();
    width = To16Bits(metrics.horizontalAdvance(Utf8(text)));
    height = To16Bits(metrics.height());
}

}  // namespace tallowmere::ui
