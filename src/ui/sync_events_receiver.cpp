#include "ui/sync_events_receiver.h"

#include <QApplication>
#include <utility>

#include "ui/user_guide_ps.h"

namespace tallowmere::ui {
namespace {

std::string Raw(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace

SyncEventsReceiver::SyncEventsReceiver(const MSyncRunState& runs, QObject* parent)
    : QObject(parent),
      presenter_([this] { return ProgressParent(); }),
      progress_(presenter_, runs) {}

SyncEventsReceiver::~SyncEventsReceiver() = default;

void SyncEventsReceiver::SetViewHooks(ViewHooks hooks) {
    hooks_ = std::move(hooks);
}

void SyncEventsReceiver::SetUserGuide(CUserGuidePS* wizard) {
    wizard_ = wizard;
}

void SyncEventsReceiver::SetProgressParent(std::function<QWidget*()> parent) {
    progressParent_ = std::move(parent);
}

CUserGuidePS* SyncEventsReceiver::RunningWizard() const {
    return wizard_ && wizard_->IsRunning() ? wizard_.data() : nullptr;
}

QWidget* SyncEventsReceiver::ProgressParent() const {
    if (progressParent_)
        return progressParent_();
    if (CUserGuidePS* wizard = RunningWizard())
        return wizard;
    return QApplication::activeWindow();
}

void SyncEventsReceiver::HandleStarted(quint64 run) {
    progress_.OnStarted(run);
}

void SyncEventsReceiver::HandleStatus(quint64 run, const QString& text) {
    progress_.OnStatus(run, text.toStdString());
}

void SyncEventsReceiver::HandleTitle(quint64 run, const QString& text, int mode) {
    progress_.OnTitle(run, text.toStdString(), mode);
}

void SyncEventsReceiver::HandleUser(quint64 run, const QByteArray& folderName, bool created) {
    const std::string folder = Raw(folderName);
    if (CUserGuidePS* wizard = RunningWizard())
        wizard->OnUserCreated(run, folder);
    if (hooks_.userSynced)
        hooks_.userSynced(folder, created);
}

void SyncEventsReceiver::HandleUserRemoved(quint64, const QByteArray& folderName) {
    const std::string folder = Raw(folderName);
    if (wizard_)
        wizard_->OnUserRemoved(folder);
    if (hooks_.userRemoved)
        hooks_.userRemoved(folder);
}

void SyncEventsReceiver::HandleFinished(quint64 run, bool succeeded) {
    // The window closes before the wizard moves on, as the wizard takes the
    // focus.
    progress_.OnFinished(run);
    if (CUserGuidePS* wizard = RunningWizard())
        wizard->EnableCreateUserNext(run, succeeded);
}

void SyncEventsReceiver::HandleReload(quint64) {
    if (hooks_.reloadRequested)
        hooks_.reloadRequested();
}

}  // namespace tallowmere::ui
