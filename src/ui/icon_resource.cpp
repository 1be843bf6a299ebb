#include "ui/icon_resource.h"

#include <QPainter>
#include <span>
#include <utility>

#include "model/palm_bitmap.h"

namespace tallowmere::ui {

namespace {

// Floor division, so that an image larger than the rectangle is centred too.
int HalfOf(int d) {
    return d >= 0 ? d / 2 : (d - 1) / 2;
}

}  // namespace

QImage PalmBitmapToImage(const PalmBitmapImage& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0)
        return {};
    QImage image(bitmap.width, bitmap.height,
                 bitmap.hasTransparent ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const std::uint32_t* in = bitmap.pixels.data();
    for (int y = 0; y < bitmap.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < bitmap.width; ++x, ++in) {
            const bool clear = bitmap.hasTransparent && *in == bitmap.transparentColour;
            row[x] = clear ? 0u : 0xFF000000u | *in;
        }
    }
    return image;
}

CIconResource::CIconResource(std::vector<std::uint8_t> bytes, std::uint16_t id)
    : bytes_(std::move(bytes)), id_(id) {}

const QImage& CIconResource::ImageFor(const QSize& size) const {
    static const QImage kNone;
    const auto member = PickPalmBitmapMember(bytes_, size.width(), size.height());
    if (!member)
        return kNone;
    auto found = images_.find(member->offset);
    if (found == images_.end()) {
        PalmBitmapImage bitmap;
        PalmBitmapToCBitmap(std::span(bytes_).subspan(member->offset), bitmap);
        found = images_.emplace(member->offset, PalmBitmapToImage(bitmap)).first;
    }
    return found->second;
}

bool CIconResource::Draw(QPainter& painter, const QRect& rect) const {
    const QImage& image = ImageFor(rect.size());
    if (image.isNull())
        return false;
    const QRect target(rect.x() + HalfOf(rect.width() - image.width()),
                       rect.y() + HalfOf(rect.height() - image.height()), image.width(),
                       image.height());
    const QRect visible = target & rect;
    if (!visible.isEmpty())
        painter.drawImage(visible, image, visible.translated(-target.topLeft()));
    return true;
}

bool CIconResource::FitsIn(const QRect& rect) const {
    const auto member = PickPalmBitmapMember(bytes_, rect.width(), rect.height());
    return member && member->width <= rect.width() && member->height <= rect.height();
}

}  // namespace tallowmere::ui
