// The image generator: draws every bitmap and icon of the program and writes
// them as PNG files named by resource id into the folder it is given. It runs
// at build time on the offscreen platform.
#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <optional>
#include <vector>

#include "ui/bitmaps/drawings.h"
#include "ui/bitmaps/paint_kit.h"

using namespace tallowmere::bitmaps;

namespace {

struct Output {
    QString name;
    QImage image;
    std::optional<QColor> mask;  // strips drawn with a transparent colour
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bitmaps FOLDER\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "make_bitmaps: cannot create %s\n", argv[1]);
        return 1;
    }
    std::vector<Output> outputs = {
        {"164", DrawStatusStrip(), QColor(255, 182, 147)},
        {"166", DrawDialogButtons(), QColor(255, 153, 51)},
        {"168", DrawViewButtons(), QColor(255, 153, 51)},
        {"229", DrawAccountIcons(23, 20), QColor(252, 204, 252)},
        {"230", DrawAccountIcons(31, 27), QColor(252, 204, 252)},
        {"182", DrawDropMarker(), QColor(255, 255, 255)},
        {"162", DrawOnlineProgressStrip(), QColor(255, 255, 255)},
        {"203", DrawBlankStrip(), QColor(255, 204, 255)},
        {"146", DrawStartupPicture(), std::nullopt},
        {"218", DrawWizardPicture218(), std::nullopt},
        {"219", DrawWizardPicture219(), std::nullopt},
        {"220", DrawWizardPicture220(), std::nullopt},
        {"221", DrawWizardPicture221(), std::nullopt},
        {"128", DrawProgramIcon(48), std::nullopt},
        {"128-32", DrawProgramIcon(32), std::nullopt},
        {"128-16", DrawProgramIcon(16), std::nullopt},
    };
    for (Output& out : outputs) {
        if (out.mask)
            AvoidMask(out.image, *out.mask);
        const QString path = folder.filePath(out.name + QStringLiteral(".png"));
        if (!out.image.save(path, "PNG")) {
            std::fprintf(stderr, "make_bitmaps: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
