#include "ui/window_utils.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
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
