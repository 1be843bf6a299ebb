#pragma once
// "Android Sync Preference" (dialog 197): the mode of the next sync, the
// stored default mode and the desktop's address for the handheld. OK
// applies both groups and closes with 1; Cancel, Esc and the close box
// change nothing and give 2.
#include <QDialog>
#include <functional>
#include <string>

#include "ui/logic/sync_pref_form.h"

class QButtonGroup;
class QLabel;

namespace tallowmere::ui {

class CSyncPrefDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSyncPrefDialog)

  public:
    // address gives the desktop's address; empty: the host's own.
    explicit CSyncPrefDialog(QWidget* parent = nullptr, std::function<std::string()> address = {});
    ~CSyncPrefDialog() override;

    void accept() override;
    void reject() override;

  private:
    void Push(const SyncPrefForm& form);
    SyncPrefForm Pull() const;

    QButtonGroup* modes_;
    QButtonGroup* defaults_;
    QLabel* address_;
};

// Runs the dialog modally over parent through the UI services; its code.
int RunSyncPrefDialog(QWidget* parent);

}  // namespace tallowmere::ui
