#pragma once
// The program's own images: PNG files drawn by our generator at build time
// (src/ui/bitmaps/) and compiled in as ":/bitmaps/<id>.png", named by their
// numeric resource id.
#include <QIcon>
#include <QImage>

namespace tallowmere::ui {

// The image of a resource id, read once and kept. A missing id gives a null
// image and one warning.
const QImage& Bitmap(int id);

// Every size stored for an id as one icon: "<id>.png" and the sizes
// "<id>-<n>.png" beside it (the program icon 128 has 16, 32 and 48).
QIcon BitmapIcon(int id);

}  // namespace tallowmere::ui
