#include "ui/bitmaps.h"

#include <QDir>
#include <QString>
#include <QtDebug>
#include <unordered_map>

namespace tallowmere::ui {

namespace {

QString BitmapPath(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

}  // namespace

const QImage& Bitmap(int id) {
    // The GUI thread's alone, like every image drawn on screen.
    static std::unordered_map<int, QImage> cache;
    const auto found = cache.find(id);
    if (found != cache.end())
        return found->second;
    QImage image(BitmapPath(id));
    if (image.isNull())
        qWarning("bitmap %d is missing", id);
    return cache.emplace(id, std::move(image)).first->second;
}

QIcon BitmapIcon(int id) {
    QIcon icon;
    const QDir folder(QStringLiteral(":/bitmaps"));
    const QStringList sizes =
        folder.entryList({QStringLiteral("%1-*.png").arg(id)}, QDir::Files, QDir::Name);
    for (const QString& name : sizes)
        icon.addFile(folder.filePath(name));
    if (!Bitmap(id).isNull())
        icon.addPixmap(QPixmap::fromImage(Bitmap(id)));
    return icon;
}

}  // namespace tallowmere::ui
