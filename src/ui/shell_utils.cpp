#include "ui/shell_utils.h"

#include <QStringList>
#include <QUrl>

#include "ui/ui_services.h"

namespace tallowmere::ui {

bool OpenWithShell(const QString& path) {
    return Services().OpenUrl(QUrl::fromLocalFile(path));
}

bool BrowseForFile(QWidget* parent, const QString& title, const QString& filter, QString& path,
                   const QString& initialFolder) {
    const QString chosen =
        Services().SaveFileName(parent, title, initialFolder, QtFileFilter(filter));
    if (chosen.isEmpty())
        return false;
    path = chosen;
    return true;
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty())
            break;
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty())
                patterns += pattern.trimmed();
        }
        if (description.endsWith(QLatin1Char(')'))) {
            const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0)
                description = description.left(open).trimmed();
        }
        filters +=
            description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace tallowmere::ui
