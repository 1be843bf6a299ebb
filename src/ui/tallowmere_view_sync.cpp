// The handheld sync of the view: the server made by a factory, its notices
// through the one queued channel to the receiver (the progress window per
// run, the wizard), the title when the synced user is the current one, and
// the reload that waits for running work.
#include <mutex>

#include "ui/logic/tallowmere_app.h"
#include "ui/sync_events_adapter.h"
#include "ui/sync_events_receiver.h"
#include "ui/tallowmere_view.h"

namespace tallowmere::ui {

CTallowmereView::SyncServerFactory CTallowmereView::DefaultSyncServerFactory() {
    return [](handheld::SyncServerOptions options) {
        return std::make_unique<handheld::CHandheldSyncServer>(std::move(options));
    };
}

void CTallowmereView::AttachSync() {
    if (adapter_)
        return;
    adapter_ = std::make_unique<SyncEventsAdapter>();
    receiver_ = std::make_unique<SyncEventsReceiver>(*adapter_);
    adapter_->Attach(*receiver_);
    SyncEventsReceiver::ViewHooks hooks;
    hooks.userSynced = [this](const std::string& folder, bool created) {
        NotifySyncUser(folder, created);
    };
    hooks.reloadRequested = [this] { ReloadData(); };
    receiver_->SetViewHooks(std::move(hooks));
}

bool CTallowmereView::StartSync(const SyncServerFactory& factory,
                                handheld::SyncServerOptions options) {
    StopSync();
    if (!factory)
        return false;
    AttachSync();
    options.events = adapter_.get();
    options.users = &app_.GetUsers();
    options.usersMutex = &app_.UsersMutex();
    options.currentUserFolder = [app = &app_] { return app->CurrentUserFolder(); };
    server_ = factory(std::move(options));
    if (!server_)
        return false;
    app_.SetSyncServer(server_.get());
    const bool discovery = server_->StartDiscoveryThread();
    const bool listener = server_->StartListenerThread();
    return discovery && listener;
}

void CTallowmereView::StopSync() {
    if (!server_)
        return;
    app_.SetSyncServer(nullptr);
    // Stopped and joined before the adapter it calls can go.
    server_->DeleteThreads();
    server_.reset();
}

void CTallowmereView::NotifySyncUser(const std::string& folderName, bool) {
    // The wizard has heard from the receiver already; the title follows a
    // rename of the current user.
    bool current = false;
    if (user_ != nullptr) {
        const std::lock_guard lock(app_.UsersMutex());
        current = user_->GetFolderName() == folderName;
    }
    if (current)
        SetTitle();
}

}  // namespace tallowmere::ui
