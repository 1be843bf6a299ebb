#pragma once
// Text drawn on one line and cut to fit: line breaks taken out, and a text
// too wide for its rectangle shortened by whole characters with "..." (three
// ASCII dots, not the ellipsis character that Qt's own elision uses).
#include <QString>
#include <functional>

class QPainter;
class QRect;

namespace tallowmere::ui {

// Width of a text as it would be drawn.
using TextMeasure = std::function<int(const QString& text)>;

// The text with each CR as a blank and each LF dropped; when it is wider
// than width, whole characters come off its end until the rest with "..."
// fits, or until nothing is left but "...".
QString FitTextToWidth(const QString& text, int width, const TextMeasure& measure);

// Draws the fitted text in the rectangle with the given alignment flags plus
// single line and no clipping ('&' is never a mnemonic here). Returns the
// drawn text's width.
int DrawTextFitted(QPainter& painter, const QString& text, const QRect& rect, int flags);

}  // namespace tallowmere::ui
