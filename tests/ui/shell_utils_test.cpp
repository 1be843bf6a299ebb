#include "ui/shell_utils.h"

#include <gtest/gtest.h>

#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

TEST(QtFileFilter, TakesThePatternsFromThePatternHalf) {
    struct Case {
        const char* filter;
        const char* expect;
    };
    const Case cases[] = {
        {"A|*.a||", "A (*.a)"},
        {"QIF Files (*.qif)|*.qif||", "QIF Files (*.qif)"},
        {"CSV Files (*.csv)|*.csv||", "CSV Files (*.csv)"},
        // The description's own list would give Qt "*.ofx," and "*qfx".
        {"OFX Files (*.ofx, *qfx)|*.ofx;*.qfx||", "OFX Files (*.ofx *.qfx)"},
        {"Text|*.txt|All Files (*.*)|*.*||", "Text (*.txt);;All Files (*.*)"},
        {"Text|*.txt", "Text (*.txt)"},
        {"Text| *.txt ; *.text ||", "Text (*.txt *.text)"},
        {"Text", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QtFileFilter(QString::fromLatin1(c.filter)).toStdString(), c.expect) << c.filter;
}

TEST(BrowseForFile, AsksTheSaveDialogAndKeepsThePathOnCancel) {
    test::ScriptedServices services;
    services.fileNames = {QStringLiteral("/home/ann/out.qif"), QString()};
    QString path = QStringLiteral("unchanged");
    EXPECT_TRUE(BrowseForFile(nullptr, QStringLiteral("Export File"),
                              QStringLiteral("QIF Files (*.qif)|*.qif||"), path,
                              QStringLiteral("/home/ann")));
    EXPECT_EQ(path, QStringLiteral("/home/ann/out.qif"));
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(services.fileDialogs[0].caption, QStringLiteral("Export File"));
    EXPECT_EQ(services.fileDialogs[0].path, QStringLiteral("/home/ann"));
    EXPECT_EQ(services.fileDialogs[0].filter, QStringLiteral("QIF Files (*.qif)"));

    EXPECT_FALSE(BrowseForFile(nullptr, QStringLiteral("Export File"),
                               QStringLiteral("QIF Files (*.qif)|*.qif||"), path, QString()));
    EXPECT_EQ(path, QStringLiteral("/home/ann/out.qif"));
}

TEST(OpenWithShell, OpensTheFileAsALocalUrl) {
    test::ScriptedServices services;
    EXPECT_TRUE(OpenWithShell(QStringLiteral("/opt/tallowmere/Tallowmere User Guide.pdf")));
    ASSERT_EQ(services.urls.size(), 1u);
    EXPECT_EQ(services.urls[0].scheme(), QStringLiteral("file"));
    EXPECT_EQ(services.urls[0].toLocalFile(),
              QStringLiteral("/opt/tallowmere/Tallowmere User Guide.pdf"));
}

}  // namespace
}  // namespace tallowmere::ui
