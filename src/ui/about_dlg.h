#pragma once
// The about box: the program's version and, when the about key holds one, a
// promo text. OK closes it with 1; Esc and the close box give 2.
#include <QDialog>
#include <string>

#include "model/preferences.h"

namespace tallowmere::ui {

class CAboutDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAboutDlg)

  public:
    explicit CAboutDlg(QWidget* parent = nullptr, std::string aboutKeyPath = kAboutKeyPath);
    ~CAboutDlg() override;

    void reject() override;
};

// Runs the about box over parent through the UI services; returns its code.
int RunAboutDialog(QWidget* parent);

}  // namespace tallowmere::ui
