#include "ui/icon_painter.h"

#include "ui/logic/icon_strip_geometry.h"

namespace tallowmere::ui {

namespace {

const QColor kIconMask(252, 204, 252);

}  // namespace

IconPainter::IconPainter() {
    small_.Load(229, 1, kBuiltInIconCount, 23, 20, 0, kIconMask);
    large_.Load(230, 1, kBuiltInIconCount, 31, 27, 0, kIconMask);
}

bool IconPainter::DrawIcon(QPainter& painter, const QRect& rect, int iconIndex) const {
    const IconSource source = ChooseIconSource(iconIndex, rect.width(), rect.height());
    if (source == IconSource::kDatabase)
        return database_ && database_(painter, rect, DatabaseIconId(iconIndex));
    if (source == IconSource::kNone)
        return false;
    const CIconList& strip = source == IconSource::kSmallStrip ? small_ : large_;
    if (!strip.HasImage(iconIndex))
        return false;
    strip.Draw(painter, iconIndex, rect);
    return true;
}

}  // namespace tallowmere::ui
