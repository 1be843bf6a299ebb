#pragma once
// The view in the middle of the main window until the main view exists: it
// draws the window's background and handles no command, so the view's
// commands stay disabled.
#include <QWidget>

#include "ui/main_frame.h"

namespace tallowmere::ui {

class CEmptyView final : public QWidget, public CMainFrame::MView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEmptyView)

  public:
    explicit CEmptyView(QWidget* parent = nullptr);

    std::optional<CommandState> QueryCommand(int id) override;
    void RunCommand(int id) override;
    void OnReloadRequest(std::uint32_t wParam, std::uint32_t lParam) override;
};

}  // namespace tallowmere::ui
