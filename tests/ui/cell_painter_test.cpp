// Text cells: line breaks taken out, whole characters cut with three ASCII
// dots until the rest fits, and the pen given back after a red amount.
#include "ui/cell_painter.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <vector>

#include "ui/list_test_support.h"

namespace tallowmere::ui {
namespace {

TEST(CellPainter, TextsAreFittedToTheirCells) {
    const QFontMetrics metrics(test::ListTestFont());
    const auto width = [&](const char* text) {
        return metrics.horizontalAdvance(QString::fromUtf8(text));
    };
    struct Case {
        const char* name;
        QString text;
        int width;
        QString fitted;
    };
    const QString payee = QStringLiteral("Northwestern Regional Utility Co");
    const std::vector<Case> cases = {
        {"a text that fits stays", QStringLiteral("Diner"), width("Diner"),
         QStringLiteral("Diner")},
        {"CR becomes a blank, LF goes", QStringLiteral("one\r\ntwo"), 500,
         QStringLiteral("one two")},
        {"cut to what fits with the dots", payee, width("Northwestern..."),
         QStringLiteral("Northwestern...")},
        {"one pixel less takes one more character", payee, width("Northwestern...") - 1,
         QStringLiteral("Northwester...")},
        {"nothing fits: only the dots", payee, 2, QStringLiteral("...")},
        // A character outside the basic plane is cut whole, never halved.
        {"whole characters", QString::fromUtf8("ab\U0001F600\U0001F600cd"),
         width("ab\U0001F600..."), QString::fromUtf8("ab\U0001F600...")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FitCellText(c.text, c.width, metrics), c.fitted);
    }
}

TEST(CellPainter, ARedAmountGivesThePenBack) {
    QImage image(200, 20, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(test::ListTestFont());
    painter.setPen(QColor(10, 20, 30));
    DrawListCell(painter, QRect(0, 0, 100, 20), MoneyCell("$", -1250, true));
    EXPECT_EQ(painter.pen().color(), QColor(10, 20, 30));
    DrawListCell(painter, QRect(100, 0, 100, 20), MoneyCell("$", 1250, true));
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
