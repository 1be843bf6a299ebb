#pragma once
// CIconList: one bitmap holding many equal-sized images in a grid (column by
// column, with a gap around and between them), drawn with one colour treated
// as transparent. Status marks, sort arrows, button faces and the built-in
// account icons are such strips.
#include <QColor>
#include <QImage>

#include "ui/logic/icon_strip_geometry.h"

class QPainter;
class QRect;

namespace tallowmere::ui {

class CIconList {
  public:
    // Stores the geometry and loads bitmap `bitmapId`; false when the
    // bitmap is missing (the strip then draws nothing).
    bool Load(int bitmapId, int rows, int columns, int width, int height, int gap, QColor mask);
    // Loads only the bitmap, keeping the geometry and mask colour.
    bool LoadBitmap(int bitmapId);

    void SetGeometry(int rows, int columns, int width, int height, int gap, QColor mask);
    // Takes a strip image. It is converted once: pixels of the mask colour
    // become transparent; an alpha channel of the image is kept.
    void SetBitmap(const QImage& strip);

    // Draws image `index` with its top-left corner at (x, y). An index
    // outside the bitmap draws nothing.
    void DrawAt(QPainter& painter, int index, int x, int y) const;
    // Draws image `index` centred in the rectangle; an odd spare pixel of the
    // height goes above the image.
    void Draw(QPainter& painter, int index, const QRect& rect) const;

    // Whether the bitmap holds image `index`.
    bool HasImage(int index) const;
    int ImageWidth() const { return geometry_.width; }
    int ImageHeight() const { return geometry_.height; }
    int BitmapId() const { return bitmapId_; }
    const IconStripGeometry& Geometry() const { return geometry_; }

  private:
    IconStripGeometry geometry_;
    QColor mask_;
    int bitmapId_ = 0;
    QImage image_;  // premultiplied ARGB, the mask colour already transparent
};

// The five strips the program's icon buttons share; all empty until
// SetupIconList loads one. Null for a strip outside 0-4.
inline constexpr int kSharedIconLists = 5;
CIconList* SharedIconList(int strip);

// Loads one of the shared strips (CIconList::Load); false for a strip outside
// 0-4 or a missing bitmap.
bool SetupIconList(int strip, int bitmapId, int rows, int columns, int width, int height, int gap,
                   QColor mask);

}  // namespace tallowmere::ui
