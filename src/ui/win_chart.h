#pragma once
// The pie chart drawn with a QPainter: the slices as filled paths, the
// selected one outlined in blue, and the labels beside their anchors,
// shortened to the room left up to the bounding rectangle. The owner sets
// the painter, the label font and the bounding rectangle, then calls Draw().
#include <QFont>
#include <QRect>
#include <optional>
#include <string_view>
#include <utility>

#include "model/chart.h"

class QPainter;

namespace tallowmere::ui {

class CWinChart final : public CChart {
  public:
    // The painter to draw on (null: Draw paints nothing); the caller keeps it.
    void SetPainter(QPainter* painter) { painter_ = painter; }
    // The labels' font; none keeps the painter's.
    void SetLabelFont(std::optional<QFont> font) { labelFont_ = std::move(font); }
    // The room the labels may take.
    void SetBounds(const QRect& bounds) { bounds_ = bounds; }

  protected:
    void BeginDraw() override;
    void EndDraw() override;
    void DrawSlice(int centreX, int centreY, int radius, const ChartSlice& slice) override;
    void DrawLabel(int centreX, int centreY, int labelRadius, const ChartSlice& slice) override;
    // Text is UTF-8 here: the slices' Windows-1252 texts are converted
    // before they are shortened, so that whole characters are cut.
    void DrawTextInRect(std::string_view text, unsigned flags, int left, int centreY, int width,
                        int height) override;
    void MeasureText(std::string_view text, int& width, int& height) override;

  private:
    QPainter* painter_ = nullptr;
    std::optional<QFont> labelFont_;
    QRect bounds_;
    bool drawing_ = false;  // between BeginDraw and EndDraw, with the painter's state saved
};

}  // namespace tallowmere::ui
