// Text cells: line breaks taken out, whole characters cut with three ASCII
// dots until the rest fits, and the pen given back after a red amount.
#include "ui/cell_painter.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <functional>

#include "ui/list_test_support.h"
#include "ui/text_drawing.h"

namespace tallowmere::ui {
namespace {

// A cell's text is cut to the cell less 3 pixels on each side.
TEST(CellPainter, TextsAreFittedInsideTheInsets) {
    const QString payee = QStringLiteral("Northwestern Regional\r\nUtility Co");
    const QRect cell(10, 0, 120, 20);
    const auto paint = [&](const std::function<void(QPainter&)>& draw) {
        QImage image(200, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setFont(test::ListTestFont());
        painter.setPen(Qt::black);
        draw(painter);
        return image;
    };
    const QImage drawn = paint([&](QPainter& p) { DrawTextCell(p, cell, payee); });
    const QImage expected = paint([&](QPainter& p) {
        const QFontMetrics metrics = p.fontMetrics();
        const QString fitted = FitTextToWidth(payee, cell.width() - 6, [&](const QString& t) {
            return metrics.horizontalAdvance(t);
        });
        EXPECT_TRUE(fitted.endsWith(QStringLiteral("..."))) << fitted.toStdString();
        EXPECT_FALSE(fitted.contains(QLatin1Char('\n')));
        p.drawText(cell.adjusted(3, 0, -3, 0),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fitted);
    });
    EXPECT_EQ(drawn, expected);
}

TEST(CellPainter, ARedAmountGivesThePenBack) {
    QImage image(200, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(test::ListTestFont());
    painter.setPen(QColor(10, 20, 30));
    DrawListCell(painter, QRect(0, 0, 100, 20), MoneyCellText("$", -1250, true));
    EXPECT_EQ(painter.pen().color(), QColor(10, 20, 30));
    DrawListCell(painter, QRect(100, 0, 100, 20), MoneyCellText("$", 1250, true));
    painter.end();
    EXPECT_GT(test::CountPixels(image, QRect(0, 0, 100, 20), test::Reddish), 10);
    EXPECT_EQ(test::CountPixels(image, QRect(100, 0, 100, 20), test::Reddish), 0);
    // Right-aligned, 3 pixels in from the cell's right edge.
    const auto inked = [&](int x) {
        return test::CountPixels(image, QRect(x, 0, 1, 20),
                                 [](const QColor& c) { return c != QColor(Qt::white); });
    };
    EXPECT_EQ(inked(199) + inked(198) + inked(197), 0);
    EXPECT_GT(inked(196) + inked(195) + inked(194), 0);
}

}  // namespace
}  // namespace tallowmere::ui
