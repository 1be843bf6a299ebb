#pragma once
// The one receiver of a sync's notices on the UI thread (SyncEventsAdapter
// attaches to it). It keeps the order of the program's handling of each
// notice: the progress window first, then the setup wizard while it runs,
// then the main view through its hooks. Every notice names its run, so a
// notice that comes late, twice or for another run cannot open or close the
// wrong window.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <string>

#include "ui/logic/sync_progress_logic.h"
#include "ui/sync_progress_dlg.h"

class QWidget;

namespace tallowmere::ui {

class CUserGuidePS;

class SyncEventsReceiver final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SyncEventsReceiver)

  public:
    // What the main view does with the notices; each may be empty.
    struct ViewHooks {
        // The run's user (folder name, raw bytes) was found or created: the
        // title changes when it is the current user.
        std::function<void(const std::string& folderName, bool created)> userSynced;
        // A user a failed first sync made is gone again.
        std::function<void(const std::string& folderName)> userRemoved;
        // The synced user is the current one: reload its data from disk.
        std::function<void()> reloadRequested;
    };

    // runs tells whether a run is still going (the adapter).
    explicit SyncEventsReceiver(const MSyncRunState& runs, QObject* parent = nullptr);
    ~SyncEventsReceiver() override;

    void SetViewHooks(ViewHooks hooks);
    // The wizard to tell while it runs (null: none).
    void SetUserGuide(CUserGuidePS* wizard);
    // The window the progress window shows over; without one, the wizard
    // while it runs, else the active window.
    void SetProgressParent(std::function<QWidget*()> parent);

    // The progress window of the last run (null before the first).
    CSyncProgressDlg* ProgressDialog() const { return presenter_.Dialog(); }
    const CSyncProgressLogic& Progress() const { return progress_; }

    // The notices, on the UI thread, in the order they were made.
    void HandleStarted(quint64 run);
    void HandleStatus(quint64 run, const QString& text);
    void HandleTitle(quint64 run, const QString& text, int mode);
    void HandleUser(quint64 run, const QByteArray& folderName, bool created);
    void HandleUserRemoved(quint64 run, const QByteArray& folderName);
    void HandleFinished(quint64 run, bool succeeded);
    void HandleReload(quint64 run);

  private:
    QWidget* ProgressParent() const;
    CUserGuidePS* RunningWizard() const;

    ViewHooks hooks_;
    QPointer<CUserGuidePS> wizard_;
    std::function<QWidget*()> progressParent_;
    SyncProgressPresenter presenter_;
    CSyncProgressLogic progress_;
};

}  // namespace tallowmere::ui
