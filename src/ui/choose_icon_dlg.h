#pragma once
// "Choose Icon" (dialog 137): every icon an account or a category can carry
// in an 8 x 8 grid with a vertical scroll bar, the 64 built-in icons first,
// then the icons of the user's icon database. A click selects; OK closes
// with 1, Cancel, Esc and the close box with 2.
#include <QDialog>
#include <optional>
#include <string>

#include "ui/logic/choose_icon_grid.h"

class QScrollBar;

namespace tallowmere::ui {

class CIconResourceList;
class IconGridWidget;
class IconPainter;

class CChooseIconDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChooseIconDlg)

  public:
    // The icon set and the painter of the built-in icons outlive the dialog.
    CChooseIconDlg(QWidget* parent, const CIconResourceList& icons, const IconPainter& builtIn);
    ~CChooseIconDlg() override;

    // Before running: selects the icon an account or category holds and
    // scrolls so that it shows. An index naming no offered icon selects the
    // first cell.
    void SetSelection(int iconIndex);
    // After OK: the chosen icon index, 0 to 63 or 256 + a database id (never
    // above 65535).
    int GetSelection() const { return grid_.GetSelection(); }

    IconGridWidget& Grid() const { return *gridWidget_; }

    void accept() override;
    void reject() override;

  private:
    void PushScrollBar();
    void Scrolled(int row);

    ChooseIconGrid grid_;
    IconGridWidget* gridWidget_;
    QScrollBar* scrollBar_;
};

// Runs the dialog modally through the UI services, opened on currentIndex;
// the chosen icon index on OK, nothing on Cancel.
std::optional<int> RunChooseIconDialog(QWidget* parent, int currentIndex,
                                       const CIconResourceList& icons, const IconPainter& builtIn);
// The same over the icon database in the user's data folder, read for this
// run.
std::optional<int> RunChooseIconDialog(QWidget* parent, int currentIndex,
                                       const std::string& dataFolder);

}  // namespace tallowmere::ui
