#include "ui/window_utils.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

#include "model/program_version.h"

namespace tallowmere::ui {
namespace {

TEST(GetChildRect, IsTheControlInDialogCoordinatesInsideItsBorder) {
    QDialog dialog;
    dialog.resize(300, 200);
    auto* group = new QWidget(&dialog);
    group->setGeometry(20, 30, 200, 100);
    auto* edit = new QLineEdit(group);
    edit->setObjectName(QStringLiteral("id_1042"));
    edit->setGeometry(10, 5, 120, 24);
    auto* label = new QLabel(&dialog);
    label->setObjectName(QStringLiteral("id_1024"));
    label->setGeometry(0, 0, 50, 10);

    EXPECT_EQ(GetChildRect(dialog, 1042), QRect(31, 36, 118, 22));
    EXPECT_EQ(GetChildRect(dialog, 1024), QRect(1, 1, 48, 8));
    EXPECT_TRUE(GetChildRect(dialog, 9999).isNull());
}

// The dialog drawn by DrawDialogItemText alone, on white.
QImage DrawItem(const QDialog& dialog, int id, const QString& text, bool bold, QColor color) {
    QImage image(dialog.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    DrawDialogItemText(painter, dialog, id, text, bold, color, Qt::AlignLeft | Qt::AlignVCenter);
    return image;
}

TEST(DrawDialogItemText, DrawsInsideTheControlOverTheButtonFace) {
    QDialog dialog;
    dialog.resize(200, 60);
    auto* total = new QLabel(QStringLiteral("Total"), &dialog);
    total->setObjectName(QStringLiteral("id_1051"));
    total->setGeometry(10, 10, 120, 24);
    const QColor face = dialog.palette().button().color();
    ASSERT_NE(face, QColor(Qt::white));

    const QImage own = DrawItem(dialog, 1051, QString(), false, Qt::red);
    // The border pixel stays; inside is the button face, with red text.
    EXPECT_EQ(own.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(own.pixelColor(11, 11), face);
    EXPECT_EQ(own.pixelColor(128, 32), face);
    EXPECT_EQ(own.pixelColor(129, 33), QColor(Qt::white));
    int red = 0;
    for (int y = 11; y < 33; ++y) {
        for (int x = 11; x < 129; ++x) {
            const QColor c = own.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 120 ? 1 : 0;
        }
    }
    EXPECT_GT(red, 10);

    // No text given: the control's own.
    EXPECT_EQ(own, DrawItem(dialog, 1051, QStringLiteral("Total"), false, Qt::red));
    EXPECT_NE(own, DrawItem(dialog, 1051, QStringLiteral("Other"), false, Qt::red));
    EXPECT_NE(own, DrawItem(dialog, 1051, QString(), true, Qt::red));

    QImage blank(dialog.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(DrawItem(dialog, 9999, QStringLiteral("x"), false, Qt::red), blank);
}

TEST(VersionText, FillsTheFirstPercentSOfTheLabel) {
    const QString version = QString::fromStdString(ProgramVersionText());
    struct Case {
        const char* text;
        QString expect;
    };
    const Case cases[] = {
        {"Tallowmere Desktop version %s", QStringLiteral("Tallowmere Desktop version ") + version},
        {"%s%s%n", version + QStringLiteral("%s%n")},
        {"100%% %s", QStringLiteral("100% ") + version},
    };
    for (const Case& c : cases) {
        QLabel label(QString::fromLatin1(c.text));
        SetVersionText(label);
        EXPECT_EQ(label.text(), c.expect) << c.text;
    }
    QLabel detail(QStringLiteral("Detail for %s"));
    FormatWindowText(detail, QStringLiteral("Caf\u00e9 %s %n"));
    EXPECT_EQ(detail.text(), QStringLiteral("Detail for Caf\u00e9 %s %n"));
}

}  // namespace
}  // namespace tallowmere::ui
