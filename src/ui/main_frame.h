#pragma once
// The main window: the menu bar of menu 128, the status bar, the one view in
// the middle, the window's place kept in "WinPos", and the help commands.
// The view's commands come first, then the frame's, then the application's.
#include <QMainWindow>
#include <cstdint>
#include <string>

#include "ui/logic/command_router.h"
#include "ui/logic/command_table.h"

class QAction;

namespace tallowmere::ui {

class CommandActions;

class CMainFrame final : public QMainWindow {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

  public:
    // What the frame asks of the view in the middle besides its commands.
    class MView : public MCommandTarget {
      public:
        // "DatabaseNotify" from another program of this user: wParam 1 asks
        // for the data to be read again.
        virtual void OnReloadRequest(std::uint32_t wParam, std::uint32_t lParam) = 0;
        // Shows one of the view's pages; false when it has none or stays.
        virtual bool SelectPage(int /*page*/) { return false; }
    };

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Puts the view in the middle: widget and view are the one object, seen
    // as a widget and as a view. The frame takes it. Null brings back the
    // empty view.
    void SetView(QWidget* widget, MView* view);
    // The application's commands, asked after the view's and the frame's;
    // null clears them. The caller keeps ownership.
    void SetAppCommands(MCommandTarget* app);

    CommandRouter& Router() { return router_; }
    CommandActions& Actions() { return *actions_; }
    // The action "cmd_<id>"; null for a command the frame does not know.
    QAction* CommandAction(int id) const;

    // Places the window by a "WinPos" text and shows it, normal or
    // maximised: a stored rectangle clamped into the screens, else 900 x 600
    // centred on the primary screen.
    void ShowPlaced(const std::string& winPos);
    // The same with the stored "WinPos".
    void ShowWithStoredPlacement();
    // The "WinPos" text of the window as it is now.
    std::string PlacementText() const;

    // "DatabaseNotify" from the program's channel: both values go to the
    // view's reload request. Returns 0.
    int OnDatabaseNotify(std::uint32_t wParam, std::uint32_t lParam);

    // A second start of the program asked for this window: restored when
    // minimised (a maximised one stays maximised), raised and activated, as
    // far as the window manager lets it; a hidden window stays hidden.
    void activateFromOtherInstance();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildStatusBar();
    void AddFrameCommands();
    void OnHelpUserGuide();
    void OpenWebPage(int stringId);
    void SavePlacement();
    void GrabForTest();

    CommandRouter router_;
    CommandTable frameCommands_;
    CommandActions* actions_ = nullptr;  // a child of the frame
    MView* view_ = nullptr;
    // "WinPos" is written only for a window that was shown, so a frame that
    // never appeared keeps the stored place.
    bool placementPending_ = false;
    bool grabbed_ = false;
};

}  // namespace tallowmere::ui
