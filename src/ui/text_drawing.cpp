#include "ui/text_drawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QTextBoundaryFinder>
#include <vector>

namespace tallowmere::ui {
namespace {

const QString kDots = QStringLiteral("...");

// Where the text may be cut, short of its end: after each whole character
// (a grapheme, so neither a surrogate pair nor an accent is split).
std::vector<qsizetype> CutPlaces(const QString& text) {
    std::vector<qsizetype> places;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0 && at < text.size();
         at = finder.toNextBoundary())
        places.push_back(at);
    return places;
}

}  // namespace

QString FitTextToWidth(const QString& text, int width, const TextMeasure& measure) {
    QString line;
    line.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\r'))
            line += QLatin1Char(' ');
        else if (c != QLatin1Char('\n'))
            line += c;
    }
    if (measure(line) <= width)
        return line;
    // The longest start that fits with the dots. A longer start is never
    // narrower, so halving finds the cut that taking one character off at a
    // time would, in a few measures rather than one per character.
    const std::vector<qsizetype> places = CutPlaces(line);
    // The cuts before low fit; those from high on do not.
    std::size_t low = 0;
    std::size_t high = places.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (measure(line.left(places[mid]) + kDots) <= width)
            low = mid + 1;
        else
            high = mid;
    }
    if (low > 0)
        return line.left(places[low - 1]) + kDots;
    return kDots;
}

int DrawTextFitted(QPainter& painter, const QString& text, const QRect& rect, int flags) {
    const QFontMetrics metrics = painter.fontMetrics();
    const QString fitted = FitTextToWidth(
        text, rect.width(), [&](const QString& s) { return metrics.horizontalAdvance(s); });
    painter.drawText(rect, flags | Qt::TextSingleLine | Qt::TextDontClip, fitted);
    return metrics.horizontalAdvance(fitted);
}

}  // namespace tallowmere::ui
