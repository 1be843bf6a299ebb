#include "ui/online_progress_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/clock.h"
#include "ui/bitmaps.h"
#include "ui/online_dialog_parts.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {

namespace {

constexpr int kStrCaption = 3600;
constexpr int kStrCancel = 3601;
constexpr int kFrameSide = 34;
constexpr int kAnimationBitmap = 162;

int gOpen = 0;

std::uint32_t Now() {
    return platform::CurrentClock().TickCount();
}

}  // namespace

// The animation area: the current frame of strip 162.
class COnlineProgressAnimation final : public QWidget {
  public:
    COnlineProgressAnimation(const OnlineProgressState& state, QWidget* parent)
        : QWidget(parent), state_(state) {
        setFixedSize(kFrameSide, kFrameSide);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QImage& strip = Bitmap(kAnimationBitmap);
        painter.drawImage(QPoint(0, 0), strip,
                          QRect(state_.Frame() * kFrameSide, 0, kFrameSide, kFrameSide));
    }

  private:
    const OnlineProgressState& state_;
};

COnlineProgressDlg::COnlineProgressDlg(QWidget* owner, int statusId)
    : QDialog(owner),
      state_(Now()),
      status_(Named(PlainLabel({}, this), 1108)),
      animation_(Named(new COnlineProgressAnimation(state_, this), 1127)),
      cancel_(Named(new QPushButton(StringText(kStrCancel), this), 2)) {
    ++gOpen;
    setObjectName(QStringLiteral("id_157"));
    setWindowTitle(StringText(kStrCaption));
    setWindowModality(Qt::WindowModal);
    status_->setMinimumWidth(CharsWide(*status_, 34));
    cancel_->setMinimumWidth(CharsWide(*cancel_, 10));
    cancel_->setAutoDefault(false);
    connect(cancel_, &QPushButton::clicked, this, [this] { state_.PressCancel(); });

    auto* top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(animation_, 0, Qt::AlignTop);
    top->addWidget(status_, 1, Qt::AlignVCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addLayout(top);
    layout->addLayout(buttons);

    show();
    SetStatus(statusId);
}

COnlineProgressDlg::~COnlineProgressDlg() {
    --gOpen;
    hide();
}

int COnlineProgressDlg::OpenCount() {
    return gOpen;
}

void COnlineProgressDlg::SetStatus(int stringId) {
    status_->setText(stringId != 0 ? StringText(stringId) : QString());
    repaint();
    Pump();
}

void COnlineProgressDlg::Step() {
    if (!state_.Step(Now()))
        return;
    animation_->repaint();
    Pump();
}

bool COnlineProgressDlg::TakeCancel() {
    return state_.TakeCancel();
}

void COnlineProgressDlg::Pump() {
    // Cancel's click and the windows' painting; a bounded slice, no sleep.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void COnlineProgressDlg::reject() {
    state_.PressCancel();
}

void COnlineProgressDlg::closeEvent(QCloseEvent* event) {
    state_.PressCancel();
    event->ignore();
}

std::unique_ptr<MOnlineProgressWindow> OpenOnlineProgress(QWidget* owner, int statusId) {
    return std::make_unique<COnlineProgressDlg>(owner, statusId);
}

}  // namespace tallowmere::ui
