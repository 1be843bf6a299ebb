#include "ui/icon_list.h"

#include <QPainter>
#include <QRect>
#include <array>

#include "ui/bitmap_drawing.h"
#include "ui/bitmaps.h"

namespace tallowmere::ui {

bool CIconList::Load(int bitmapId, int rows, int columns, int width, int height, int gap,
                     QColor mask) {
    SetGeometry(rows, columns, width, height, gap, mask);
    return LoadBitmap(bitmapId);
}

bool CIconList::LoadBitmap(int bitmapId) {
    bitmapId_ = bitmapId;
    SetBitmap(Bitmap(bitmapId));
    return !image_.isNull();
}

void CIconList::SetGeometry(int rows, int columns, int width, int height, int gap, QColor mask) {
    geometry_ = {rows, columns, width, height, gap};
    mask_ = mask;
}

void CIconList::SetBitmap(const QImage& strip) {
    if (strip.isNull()) {
        image_ = QImage();
        return;
    }
    image_ =
        WithTransparentColor(strip, mask_).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool CIconList::HasImage(int index) const {
    return !image_.isNull() && HoldsImage(geometry_, index, image_.width(), image_.height());
}

void CIconList::DrawAt(QPainter& painter, int index, int x, int y) const {
    if (!HasImage(index))
        return;
    const IconPoint source = ImageOrigin(geometry_, index);
    painter.drawImage(QPoint(x, y), image_,
                      QRect(source.x, source.y, geometry_.width, geometry_.height));
}

void CIconList::Draw(QPainter& painter, int index, const QRect& rect) const {
    const IconPoint at = CentredOrigin(rect.left(), rect.top(), rect.width(), rect.height(),
                                       geometry_.width, geometry_.height);
    DrawAt(painter, index, at.x, at.y);
}

CIconList* SharedIconList(int strip) {
    static std::array<CIconList, kSharedIconLists> strips;
    if (strip < 0 || strip >= kSharedIconLists)
        return nullptr;
    return &strips[static_cast<size_t>(strip)];
}

bool SetupIconList(int strip, int bitmapId, int rows, int columns, int width, int height, int gap,
                   QColor mask) {
    CIconList* list = SharedIconList(strip);
    return list != nullptr && list->Load(bitmapId, rows, columns, width, height, gap, mask);
}

}  // namespace tallowmere::ui
