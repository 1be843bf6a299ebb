#include "ui/sync_events_adapter.h"

#include "platform/text_1252.h"
#include "ui/sync_events_receiver.h"

namespace tallowmere::ui {
namespace {

QString Text(const std::string& ansi) {
    return QString::fromStdString(platform::Cp1252ToUtf8(ansi));
}

QByteArray Bytes(const std::string& raw) {
    return QByteArray(raw.data(), static_cast<qsizetype>(raw.size()));
}

}  // namespace

SyncEventsAdapter::SyncEventsAdapter(QObject* parent) : QObject(parent) {}

SyncEventsAdapter::~SyncEventsAdapter() = default;

bool SyncEventsAdapter::Attach(SyncEventsReceiver& receiver) {
    if (attached_)
        return false;
    attached_ = true;
    SyncEventsReceiver* r = &receiver;
    // Queued even when a notice is made on the UI thread itself (a test's
    // script): one queue for all of them is what keeps their order.
    constexpr Qt::ConnectionType kQueued = Qt::QueuedConnection;
    connect(this, &SyncEventsAdapter::syncStarted, r, &SyncEventsReceiver::HandleStarted, kQueued);
    connect(this, &SyncEventsAdapter::syncStatus, r, &SyncEventsReceiver::HandleStatus, kQueued);
    connect(this, &SyncEventsAdapter::syncTitle, r, &SyncEventsReceiver::HandleTitle, kQueued);
    connect(this, &SyncEventsAdapter::syncUser, r, &SyncEventsReceiver::HandleUser, kQueued);
    connect(this, &SyncEventsAdapter::syncUserRemoved, r, &SyncEventsReceiver::HandleUserRemoved,
            kQueued);
    connect(this, &SyncEventsAdapter::syncFinished, r, &SyncEventsReceiver::HandleFinished,
            kQueued);
    connect(this, &SyncEventsAdapter::reloadRequested, r, &SyncEventsReceiver::HandleReload,
            kQueued);
    return true;
}

void SyncEventsAdapter::OnSyncStarted() {
    const std::uint64_t run = started_.fetch_add(1) + 1;
    emit syncStarted(run);
}

void SyncEventsAdapter::OnSyncStatus(std::string text) {
    emit syncStatus(started_.load(), Text(text));
}

void SyncEventsAdapter::OnSyncTitle(std::string text, int mode) {
    emit syncTitle(started_.load(), Text(text), mode);
}

void SyncEventsAdapter::OnSyncUser(std::string folderName, bool created) {
    emit syncUser(started_.load(), Bytes(folderName), created);
}

void SyncEventsAdapter::OnSyncUserRemoved(std::string folderName) {
    emit syncUserRemoved(started_.load(), Bytes(folderName));
}

void SyncEventsAdapter::OnSyncFinished(bool succeeded) {
    const std::uint64_t run = started_.load();
    // Before the notice: by the time the UI handles this run's start, it
    // can tell the run is over and open nothing.
    ended_.store(run);
    emit syncFinished(run, succeeded);
}

void SyncEventsAdapter::OnReloadData() {
    emit reloadRequested(started_.load());
}

bool SyncEventsAdapter::IsRunning(std::uint64_t run) const {
    return run != 0 && run <= started_.load() && run > ended_.load();
}

}  // namespace tallowmere::ui
