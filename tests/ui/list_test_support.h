#pragma once
// Helpers of the list tests: a fixed font, reading painted pixels, and
// keeping a picture of a list for a person to look at.
#include <QDir>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tallowmere::test {

inline QFont ListTestFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    return font;
}

// Text drawn in pure red, antialiased edges included.
inline bool Reddish(const QColor& c) {
    return c.red() > 180 && c.green() < 110 && c.blue() < 110;
}
inline bool Dark(const QColor& c) {
    return c.red() + c.green() + c.blue() < 250;
}

template <typename Predicate>
int CountPixels(const QImage& image, const QRect& area, Predicate predicate) {
    int n = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (predicate(image.pixelColor(x, y)))
                ++n;
        }
    }
    return n;
}

// Keeps the widget's picture as renders/<name>.png below the test's working
// folder (the build's tests folder under CTest).
inline void SaveRender(QWidget& widget, const QString& name) {
    QDir().mkpath(QStringLiteral("renders"));
    widget.grab().save(QStringLiteral("renders/%1.png").arg(name));
}

}  // namespace tallowmere::test
