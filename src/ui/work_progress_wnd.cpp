#include "ui/work_progress_wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tallowmere::ui {

CWorkProgressWnd::CWorkProgressWnd(QWidget* parent, const QString& title, const QString& text)
    : QDialog(parent),
      text_(new QLabel(text, this)),
      bar_(new QProgressBar(this)),
      pump_([] { QApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }) {
    setObjectName(QStringLiteral("WorkProgress"));
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowModality(Qt::WindowModal);
    text_->setObjectName(QStringLiteral("WorkText"));
    text_->setMinimumWidth(300);
    bar_->setObjectName(QStringLiteral("WorkBar"));
    // Busy bar: how many records a file holds is not known ahead.
    bar_->setRange(0, 0);
    bar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->setSpacing(10);
    layout->addWidget(text_);
    layout->addWidget(bar_);
    setFixedSize(sizeHint());
    show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

CWorkProgressWnd::~CWorkProgressWnd() = default;

RecordProgress CWorkProgressWnd::Callback() {
    return [this](std::size_t done) { Step(done); };
}

void CWorkProgressWnd::Step(std::size_t done) {
    done_ = done;
    pump_.Step();
}

void CWorkProgressWnd::closeEvent(QCloseEvent* event) {
    event->ignore();
}

}  // namespace tallowmere::ui
