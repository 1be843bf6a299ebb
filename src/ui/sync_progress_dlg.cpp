#include "ui/sync_progress_dlg.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <utility>

#include "model/string_table.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaptionId = 57344;  // "Tallowmere Desktop"

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

}  // namespace

CSyncProgressDlg::CSyncProgressDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      bar_(Named(new QProgressBar(this), 1177)),
      status_(Named(new QLabel(this), 1178)),
      mode_(Named(new QLabel(this), 1212)) {
    setObjectName(QStringLiteral("id_198"));
    setWindowTitle(QString::fromStdString(LoadString(kCaptionId)));
    // A range of 0 to 0 is Qt's running bar.
    bar_->setRange(0, 0);
    bar_->setTextVisible(false);
    // Texts from the device (its name) are never read as rich text.
    status_->setTextFormat(Qt::PlainText);
    mode_->setTextFormat(Qt::PlainText);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 16, 18, 18);
    layout->setSpacing(10);
    mode_->setMinimumWidth(320);
    layout->addWidget(mode_);
    layout->addWidget(bar_);
    layout->addWidget(status_);
}

CSyncProgressDlg::~CSyncProgressDlg() = default;

void CSyncProgressDlg::SetStatus(const QString& text) {
    status_->setText(text);
}

void CSyncProgressDlg::SetModeLine(const QString& text) {
    mode_->setText(text);
}

void CSyncProgressDlg::reject() {}

void CSyncProgressDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

SyncProgressPresenter::SyncProgressPresenter(std::function<QWidget*()> parent)
    : parent_(std::move(parent)) {}

SyncProgressPresenter::~SyncProgressPresenter() {
    delete dialog_;
}

void SyncProgressPresenter::Open() {
    delete dialog_;
    dialog_ = new CSyncProgressDlg(parent_ ? parent_() : nullptr);
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

void SyncProgressPresenter::SetStatus(const std::string& text) {
    if (dialog_)
        dialog_->SetStatus(QString::fromStdString(text));
}

void SyncProgressPresenter::SetCaption(const std::string& text) {
    if (dialog_)
        dialog_->setWindowTitle(QString::fromStdString(text));
}

void SyncProgressPresenter::SetModeLine(const std::string& text) {
    if (dialog_)
        dialog_->SetModeLine(QString::fromStdString(text));
}

void SyncProgressPresenter::End(int code) {
    if (dialog_)
        dialog_->done(code);
}

bool SyncProgressPresenter::IsOpen() const {
    return dialog_ && dialog_->isVisible();
}

}  // namespace tallowmere::ui
