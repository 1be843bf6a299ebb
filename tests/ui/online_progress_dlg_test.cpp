// The online progress window: modal to its owner only (the owner stays
// enabled, so Cancel works), the animation moves at most once per 30 ms of
// the tick source, Cancel is taken once, Esc and the close box are Cancel,
// and the window goes with its object.
#include "ui/online_progress_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "platform/clock.h"

namespace tallowmere::ui {
namespace {

class TickClock final : public platform::Clock {
  public:
    platform::LocalTime LocalNow() const override { return {2024, 2, 10, 12, 0, 0}; }
    std::uint32_t TickCount() const override { return ticks; }
    std::uint32_t ticks = 5000;
};

class OnlineProgressDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetClock(&clock_);
        owner_.show();
    }
    void TearDown() override { platform::SetClock(nullptr); }

    TickClock clock_;
    QWidget owner_;
};

TEST_F(OnlineProgressDlgTest, ShownOverItsOwnerWhichStaysEnabled) {
    {
        COnlineProgressDlg progress(&owner_, kStrDownloadingAccountData);
        EXPECT_TRUE(progress.isVisible());
        EXPECT_EQ(progress.parentWidget(), &owner_);
        EXPECT_EQ(progress.windowModality(), Qt::WindowModal);
        EXPECT_TRUE(owner_.isEnabled());
        EXPECT_EQ(progress.windowTitle(), "Online Progress");
        auto* status = progress.findChild<QLabel*>(QStringLiteral("id_1108"));
        EXPECT_EQ(status->text(), "Downloading account data...");
        progress.SetStatus(kStrDownloadingTransactions);
        EXPECT_EQ(status->text(), "Downloading transaction data...");
        progress.SetStatus(0);
        EXPECT_EQ(status->text(), "");
        EXPECT_EQ(COnlineProgressDlg::OpenCount(), 1);
    }
    EXPECT_EQ(COnlineProgressDlg::OpenCount(), 0);
    EXPECT_TRUE(owner_.findChildren<COnlineProgressDlg*>().isEmpty());
    EXPECT_TRUE(owner_.isEnabled());
}

TEST_F(OnlineProgressDlgTest, TheAnimationMovesAtMostOncePer30Ms) {
    COnlineProgressDlg progress(&owner_, kStrDownloadingBankData);
    const struct {
        std::uint32_t advance;
        int frame;
    } steps[] = {{0, 0}, {10, 0}, {20, 0}, {1, 1}, {30, 1}, {31, 2}, {500, 3}};
    for (const auto& s : steps) {
        clock_.ticks += s.advance;
        progress.Step();
        EXPECT_EQ(progress.Frame(), s.frame) << "after " << s.advance;
    }
}

TEST_F(OnlineProgressDlgTest, CancelIsTakenOnceAndEscOrCloseIsCancelToo) {
    COnlineProgressDlg progress(&owner_, kStrDownloadingBankData);
    EXPECT_FALSE(progress.TakeCancel());
    QTest::mouseClick(progress.findChild<QPushButton*>(QStringLiteral("id_2")), Qt::LeftButton);
    EXPECT_TRUE(progress.TakeCancel());
    EXPECT_FALSE(progress.TakeCancel());
    QTest::keyClick(&progress, Qt::Key_Escape);
    EXPECT_TRUE(progress.isVisible()) << "the window stays until the exchange ends";
    EXPECT_TRUE(progress.TakeCancel());
    progress.close();
    EXPECT_TRUE(progress.isVisible());
    EXPECT_TRUE(progress.TakeCancel());
}

TEST_F(OnlineProgressDlgTest, EachFrameOfTheAnimationDiffers) {
    COnlineProgressDlg progress(&owner_, kStrDownloadingBankData);
    auto* area = progress.findChild<QWidget*>(QStringLiteral("id_1127"));
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->size(), QSize(34, 34));
    QImage previous;
    for (int frame = 0; frame < 8; ++frame) {
        const QImage shot = area->grab().toImage();
        EXPECT_NE(shot, previous) << "frame " << frame;
        previous = shot;
        clock_.ticks += 31;
        progress.Step();
    }
}

}  // namespace
}  // namespace tallowmere::ui
