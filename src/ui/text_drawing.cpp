#include "ui/text_drawing.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QTextBoundaryFinder>

namespace tallowmere::ui {
namespace {

const QString kDots = QStringLiteral("...");

// The length of the text without its last character (a whole grapheme, so
// neither a surrogate pair nor an accent is split).
qsizetype WithoutLastCharacter(const QString& text, qsizetype length) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(length);
    const qsizetype previous = finder.toPreviousBoundary();
    return previous < 0 ? 0 : previous;
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
    qsizetype length = line.size();
    while (length > 0) {
        length = WithoutLastCharacter(line, length);
        const QString candidate = line.left(length) + kDots;
        if (measure(candidate) <= width)
            return candidate;
    }
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
