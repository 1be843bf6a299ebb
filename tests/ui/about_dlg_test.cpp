#include "ui/about_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "model/registry.h"
#include "ui/logic/about_box.h"
#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

const std::string kKey = "Software\\Brackwater\\Tallowmere Desktop\\AboutDlgTest";

QString LabelText(const QDialog& dialog, const char* name) {
    const auto* label = dialog.findChild<QLabel*>(name);
    return label != nullptr ? label->text() : QStringLiteral("<missing %1>").arg(name);
}

TEST(AboutDlgTest, ShowsTheVersionAndNoPromoTextWithoutOne) {
    CAboutDlg dialog(nullptr, kKey);
    EXPECT_EQ(dialog.windowTitle(), "About Tallowmere Desktop");
    EXPECT_EQ(LabelText(dialog, "id_1053"),
              QString::fromStdString("Tallowmere Desktop version " + ProgramProductVersion()));
    EXPECT_EQ(LabelText(dialog, "id_1024"), "");
}

TEST(AboutDlgTest, PromoTextIsPlainText) {
    CRegistry reg(RegRoot::kCurrentUser, kKey);
    ASSERT_TRUE(reg.Create());
    ASSERT_TRUE(reg.SetString("Promo Text", "<b>Save</b> & grow"));
    reg.Close();
    CAboutDlg dialog(nullptr, kKey);
    const auto* promo = dialog.findChild<QLabel*>("id_1024");
    ASSERT_NE(promo, nullptr);
    EXPECT_EQ(promo->text(), "<b>Save</b> & grow");
    EXPECT_EQ(promo->textFormat(), Qt::PlainText);
    ASSERT_TRUE(reg.Open());
    reg.DeleteValue("Promo Text");
}

TEST(AboutDlgTest, OkGivesOneEscapeGivesTwo) {
    struct Case {
        bool escape;
        int code;
    };
    for (const Case c : {Case{false, 1}, Case{true, 2}}) {
        CAboutDlg dialog(nullptr, kKey);
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        if (c.escape) {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        } else {
            auto* ok = dialog.findChild<QPushButton*>("id_1");
            ASSERT_NE(ok, nullptr);
            QTest::mouseClick(ok, Qt::LeftButton);
        }
        EXPECT_EQ(dialog.result(), c.code);
        EXPECT_FALSE(dialog.isVisible());
    }
}

TEST(AboutDlgTest, RunsThroughTheServices) {
    test::ScriptedServices services;
    services.dialogScripts.push_back([](QDialog& dialog) {
        dialog.done(1);
        return dialog.result();
    });
    EXPECT_EQ(RunAboutDialog(nullptr), 1);
    ASSERT_EQ(services.dialogs.size(), 1u);
    EXPECT_EQ(services.dialogs[0], "id_100");
}

}  // namespace
}  // namespace tallowmere::ui
