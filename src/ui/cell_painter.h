#pragma once
// How the lists draw a cell's text: on one line, 3 pixels in from the
// cell's left and right, line breaks taken out, cut with "..." when it is
// too wide; money cells right-aligned and red when negative. The screen
// lists and the printout draw through these.
#include <QColor>
#include <QString>

#include "ui/logic/cell_text.h"

class QPainter;
class QRect;

namespace tallowmere::ui {

inline constexpr int kCellInset = 3;

// RGB(255,0,0), the colour of negative amounts.
QColor NegativeAmountColor();

// Draws a text cell in the painter's pen colour, left- or right-aligned,
// cut to fit (DrawTextFitted).
void DrawTextCell(QPainter& painter, const QRect& cell, const QString& text,
                  bool alignRight = false);

// Draws a cell of the transaction lists: a money cell right-aligned and, when
// negative, red; the painter's pen is as it was afterwards.
void DrawListCell(QPainter& painter, const QRect& cell, const CellText& text);

}  // namespace tallowmere::ui
