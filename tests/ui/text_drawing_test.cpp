#include "ui/text_drawing.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>

namespace tallowmere::ui {
namespace {

// Every character 7 pixels wide, a surrogate pair or an accent included as
// its own units, so a cut inside one shows.
int SevenEach(const QString& text) {
    return 7 * static_cast<int>(text.size());
}

TEST(FitTextToWidth, CutsWholeCharactersAndEndsInThreeDots) {
    const QString euro = QStringLiteral("\u20AC");
    const QString clef = QString::fromUcs4(U"\U0001D11E");  // two UTF-16 units
    const QString eAcute = QStringLiteral("e\u0301");       // e and a combining accent
    struct Case {
        QString text;
        int width;
        QString expect;
    };
    const Case cases[] = {
        {QStringLiteral("Groceries"), 63, QStringLiteral("Groceries")},
        {QStringLiteral("Groceries"), 100, QStringLiteral("Groceries")},
        {QStringLiteral("Groceries"), 62, QStringLiteral("Groce...")},
        {QStringLiteral("Groceries"), 56, QStringLiteral("Groce...")},
        {QStringLiteral("Groceries"), 55, QStringLiteral("Groc...")},
        {QStringLiteral("Groceries"), 28, QStringLiteral("G...")},
        // Not even the dots fit: they are all that is left.
        {QStringLiteral("Groceries"), 20, QStringLiteral("...")},
        {QStringLiteral("Groceries"), 0, QStringLiteral("...")},
        {QString(), 0, QString()},
        // CR is a blank, LF is gone.
        {QStringLiteral("Rent\r\nMay"), 100, QStringLiteral("Rent May")},
        {QStringLiteral("a\nb\rc"), 100, QStringLiteral("ab c")},
        // Whole characters only.
        {QStringLiteral("ab") + clef + QStringLiteral("cdef"), 49,
         QStringLiteral("ab") + clef + QStringLiteral("...")},
        {QStringLiteral("ab") + clef + QStringLiteral("cdef"), 48, QStringLiteral("ab...")},
        {QStringLiteral("caf") + eAcute + QStringLiteral("ssss"), 56,
         QStringLiteral("caf") + eAcute + QStringLiteral("...")},
        {QStringLiteral("caf") + eAcute + QStringLiteral("ssss"), 55, QStringLiteral("caf...")},
        {euro + QStringLiteral("12345"), 35, euro + QStringLiteral("1...")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FitTextToWidth(c.text, c.width, SevenEach), c.expect)
            << c.text.toStdString() << " in " << c.width;
    }
}

// What DrawTextFitted draws, beside what a plain single-line drawText of the
// expected text draws.
QImage Draw(const std::function<void(QPainter&)>& paint) {
    QImage image(200, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    paint(painter);
    return image;
}

TEST(DrawTextFitted, DrawsTheFittedTextOnOneLineAndReturnsItsWidth) {
    struct Case {
        QString text;
        int width;
        int flags;
    };
    const Case cases[] = {
        {QStringLiteral("Savings & Loans"), 190, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("A long payee name that cannot fit"), 90, Qt::AlignLeft | Qt::AlignVCenter},
        {QStringLiteral("Line one\r\nline two"), 190, Qt::AlignRight | Qt::AlignVCenter},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const QRect rect(5, 2, c.width, 26);
        int width = 0;
        QString fitted;
        const QImage drawn = Draw([&](QPainter& p) {
            width = DrawTextFitted(p, c.text, rect, c.flags);
            const QFontMetrics metrics = p.fontMetrics();
            fitted = FitTextToWidth(c.text, rect.width(),
                                    [&](const QString& s) { return metrics.horizontalAdvance(s); });
            EXPECT_EQ(width, metrics.horizontalAdvance(fitted));
            EXPECT_LE(width, rect.width());
        });
        const QImage expect =
            Draw([&](QPainter& p) { p.drawText(rect, c.flags | Qt::TextSingleLine, fitted); });
        EXPECT_EQ(drawn, expect);
    }
}

}  // namespace
}  // namespace tallowmere::ui
