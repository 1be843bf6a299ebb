#pragma once
// One icon of the user's icon database: the bytes of its 'Tbmp' resource
// and its id. Drawing picks the family member for the rectangle, decodes it
// once (the image is kept per member, which the rectangle's size picks) and
// draws it at its own size, centred in the rectangle.
#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

class QPainter;

namespace tallowmere {
struct PalmBitmapImage;
}

namespace tallowmere::ui {

// Decoded pixels as an image: RGB32, or ARGB32 with the transparent colour
// at alpha 0.
QImage PalmBitmapToImage(const PalmBitmapImage& bitmap);

class CIconResource {
  public:
    CIconResource(std::vector<std::uint8_t> bytes, std::uint16_t id);

    std::uint16_t GetId() const { return id_; }
    const std::vector<std::uint8_t>& GetBytes() const { return bytes_; }
    std::size_t GetSize() const { return bytes_.size(); }

    // Draws the member picked for rect, centred and clipped to it; false,
    // drawing nothing, when that member cannot be decoded.
    bool Draw(QPainter& painter, const QRect& rect) const;
    // Whether the member picked for rect is no wider and no taller than it;
    // false when the resource holds no bitmap.
    bool FitsIn(const QRect& rect) const;

  private:
    // The image of the member picked for size; null when it does not decode.
    const QImage& ImageFor(const QSize& size) const;

    std::vector<std::uint8_t> bytes_;
    std::uint16_t id_;
    mutable std::map<std::size_t, QImage> images_;  // by member offset
};

}  // namespace tallowmere::ui
