#include "ui/ombrel_screen_wnd.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "ui/bitmaps.h"

namespace tallowmere::ui {
namespace {

// A picture whose edges differ from its inside, so that a border or a
// stretched copy shows.
QPixmap Picture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(20, 60, 120));
    QPainter painter(&image);
    painter.setPen(QColor(250, 200, 0));
    painter.drawRect(0, 0, width - 1, height - 1);
    return QPixmap::fromImage(image);
}

TEST(OmbrelScreenWndTest, ShowsThePictureAtItsOwnSizeCentred) {
    COmbrelScreenWnd screen(Picture(240, 150));
    ASSERT_TRUE(screen.Show());
    EXPECT_TRUE(screen.isVisible());
    EXPECT_EQ(screen.size(), QSize(240, 150));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE((screen.geometry().center() - available.center()).manhattanLength(), 1);

    const QImage shown = screen.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(240, 150));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(250, 200, 0));
    EXPECT_EQ(shown.pixelColor(239, 149), QColor(250, 200, 0));
    EXPECT_EQ(shown.pixelColor(120, 75), QColor(20, 60, 120));

    screen.Close();
    EXPECT_FALSE(screen.isVisible());
}

TEST(OmbrelScreenWndTest, ShowsTheProgramsOwnPicture) {
    COmbrelScreenWnd screen;
    ASSERT_TRUE(screen.Show());
    EXPECT_EQ(screen.grab().toImage().convertToFormat(QImage::Format_RGB32),
              Bitmap(146).convertToFormat(QImage::Format_RGB32));
    screen.Close();
}

TEST(OmbrelScreenWndTest, WithoutAPictureNothingIsShown) {
    COmbrelScreenWnd screen{QPixmap()};
    EXPECT_FALSE(screen.Show());
    EXPECT_FALSE(screen.isVisible());
}

}  // namespace
}  // namespace tallowmere::ui
