#include "ui/work_progress_wnd.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

namespace tallowmere::ui {
namespace {

TEST(WorkProgressWndTest, ShowsTheWorkWithoutCancelAndTakesTheCount) {
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    CWorkProgressWnd window(&owner, QStringLiteral("Import File"),
                            QStringLiteral("/home/ann/Downloads/Checking 2026 statement.qif"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(Qt::WindowModal, window.windowModality());
    // Nothing to stop the work with.
    EXPECT_TRUE(window.findChildren<QAbstractButton*>().isEmpty());
    const auto* text = window.findChild<QLabel*>(QStringLiteral("WorkText"));
    ASSERT_NE(nullptr, text);
    EXPECT_GE(text->width(), text->sizeHint().width()) << "the file name fits";
    EXPECT_NE(nullptr, window.findChild<QProgressBar*>(QStringLiteral("WorkBar")));

    window.Callback()(1000);
    window.Callback()(2000);
    EXPECT_EQ(2000u, window.Done());
    // Esc and the close box leave it up.
    window.reject();
    window.close();
    EXPECT_TRUE(window.isVisible());

    if (const QByteArray dir = qgetenv("TALLOWMERE_SHOTS"); !dir.isEmpty())
        window.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/work_progress.png"));
}

}  // namespace
}  // namespace tallowmere::ui
