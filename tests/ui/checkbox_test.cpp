#include "ui/checkbox.h"

#include <gtest/gtest.h>

#include <QImage>

namespace tallowmere::ui {
namespace {

TEST(CheckboxTest, FillsItsBackgroundOnceAColourIsSet) {
    CCheckbox box(QStringLiteral("Show empty items"));
    box.resize(160, 24);
    const QColor yellow(255, 255, 206);
    // The corner lies outside the indicator and the text.
    const QPoint corner(box.width() - 2, 1);
    EXPECT_NE(box.grab().toImage().pixelColor(corner), yellow);

    box.SetBackgroundColor(yellow);
    EXPECT_EQ(box.grab().toImage().pixelColor(corner), yellow);
    EXPECT_EQ(box.palette().color(QPalette::WindowText), QColor(Qt::black));
}

}  // namespace
}  // namespace tallowmere::ui
