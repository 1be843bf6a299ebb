#pragma once
// The sync thread's notices brought to the UI thread. The sync server calls
// the handheld::MSyncEvents methods on its own thread; each emits one
// signal carrying the number of its run, and Attach connects every signal
// queued into the one receiver, so the notices arrive there in the order
// they were made. No call ever waits for the UI thread (there is no
// blocking connection), so stopping the sync server from the UI thread can
// never deadlock.
//
// The adapter must outlive the sync server that calls it: stop the server
// first.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <string>

#include "sync/sync_events.h"
#include "ui/logic/sync_progress_logic.h"

namespace tallowmere::ui {

class SyncEventsReceiver;

class SyncEventsAdapter final : public QObject, public handheld::MSyncEvents, public MSyncRunState {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SyncEventsAdapter)

  public:
    explicit SyncEventsAdapter(QObject* parent = nullptr);
    ~SyncEventsAdapter() override;

    // Connects every signal queued into the receiver; false (and nothing
    // connected) when a receiver is attached already.
    bool Attach(SyncEventsReceiver& receiver);

    // handheld::MSyncEvents, on the sync thread. Runs are numbered from 1;
    // one runs at a time. Texts and folder names come as Windows-1252 and
    // leave as UTF-8 text and raw bytes.
    void OnSyncStarted() override;
    void OnSyncStatus(std::string text) override;
    void OnSyncTitle(std::string text, int mode) override;
    void OnSyncUser(std::string folderName, bool created) override;
    void OnSyncUserRemoved(std::string folderName) override;
    void OnSyncFinished(bool succeeded) override;
    void OnReloadData() override;

    // MSyncRunState, any thread: the run has started and not yet ended.
    bool IsRunning(std::uint64_t run) const override;

  signals:
    void syncStarted(quint64 run);
    void syncStatus(quint64 run, const QString& text);
    void syncTitle(quint64 run, const QString& text, int mode);
    void syncUser(quint64 run, const QByteArray& folderName, bool created);
    void syncUserRemoved(quint64 run, const QByteArray& folderName);
    void syncFinished(quint64 run, bool succeeded);
    void reloadRequested(quint64 run);

  private:
    std::atomic<std::uint64_t> started_{0};
    std::atomic<std::uint64_t> ended_{0};
    bool attached_ = false;
};

}  // namespace tallowmere::ui
