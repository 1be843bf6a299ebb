#pragma once
// "Select Account" (dialog 185): the account an import goes into, a new
// one named in the edit or one picked from the list (a double click picks
// and confirms). It is the importers' target chooser: each question runs
// the dialog again with the name the file gave, and Cancel gives up the
// import.
#include <QDialog>
#include <functional>

#include "exchange/importer_exporter.h"
#include "ui/logic/import_target_logic.h"
#include "ui/ui_services.h"

class QButtonGroup;
class QLineEdit;
class QListWidget;

namespace tallowmere::ui {

class CSelectImportAccountDlg final : public QDialog,
                                      public exchange::CImporter::MTargetChooser,
                                      public ImportTargetHost {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSelectImportAccountDlg)

  public:
    // accountsChanged: the accounts pane shows the data set's accounts again.
    explicit CSelectImportAccountDlg(std::function<void()> accountsChanged = {},
                                     QWidget* parent = nullptr);
    ~CSelectImportAccountDlg() override;

    // Fills the dialog for the data set, with the name (Windows-1252) in
    // the edit and preselect's row selected.
    void Load(CAccounts& accounts, std::string_view name, const CAccount* preselect = nullptr);
    // The account OK chose; null before that.
    CAccount* Chosen() const { return chosen_; }

    // CImporter::MTargetChooser: runs the dialog; the chosen or new account,
    // or null on Cancel.
    CAccount* ChooseImportAccount(CAccounts& accounts, std::string_view accountName) override;
    // Also ImportTargetHost's.
    void AccountsChanged() override;

    void accept() override;
    void reject() override;

  private:
    void ShowChoice(int choice);
    ImportTargetForm Pull() const;

    ServiceMessages messages_;
    std::function<void()> accountsChanged_;
    CAccounts* accounts_ = nullptr;
    CAccount* chosen_ = nullptr;
    ImportTargetForm form_;
    QButtonGroup* choice_;
    QLineEdit* name_;
    QListWidget* list_;
};

}  // namespace tallowmere::ui
