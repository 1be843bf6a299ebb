#pragma once
// The list editors: "Edit Categories" (1593), "Edit Classes" (1594), "Edit
// Currencies" (179), "Edit Payees" (1592) and "Edit Transaction Types"
// (1595). Each shows its list's live records with Done, New, Edit and Delete
// (and Set as Base for the currencies); Edit, Delete and Set as Base work on
// the selected row and are enabled only while one is. A double click edits.
// Done closes with 1 and keeps the chosen name; Esc and the close box give 2
// and an empty name. Every change is saved as it is made, so a caller that
// shows the lists fills them again whatever the code.
//
// The Run functions are the entry points: the transaction and scheduled
// dialogs take the name chosen on Done; the view's List menu and the
// currency conversion use them as they are. Callers hold the busy lock, as
// every editing command does.
#include <QDialog>
#include <QString>
#include <memory>

#include "ui/logic/category_list_logic.h"
#include "ui/logic/currency_list_logic.h"
#include "ui/logic/named_list_logic.h"
#include "ui/logic/transaction_types_logic.h"
#include "ui/ui_services.h"

class QPushButton;

namespace tallowmere::ui {

class CIconResourceList;
class CRecordListCtrl;
class IconPainter;

// A column of a list dialog: its title's string id (also the column's id),
// its width, and a cell text it must have room for (none: any).
struct ListColumn {
    int titleId = 0;
    int width = 0;
    const char* sample = nullptr;
};

class CListEditorDlg : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CListEditorDlg)

  public:
    ~CListEditorDlg() override;

    CRecordListCtrl& List() const { return *list_; }
    // After Done: the chosen row's name, UTF-8; empty for none.
    const QString& ChosenName() const { return chosen_; }

    void accept() override;
    void reject() override;

  protected:
    CListEditorDlg(int dialogId, int captionId, QWidget* parent);
    // The subclass hands over its logic and list once both exist.
    void Attach(ListEditorLogic& logic, CRecordListCtrl* list,
                std::initializer_list<ListColumn> columns, bool setAsBase);
    ServiceMessages& Messages() { return messages_; }

    void showEvent(QShowEvent* event) override;

  private:
    void Apply(const ListStep& step);
    void UpdateButtons();
    int Selected() const;

    ServiceMessages messages_;
    ListEditorLogic* logic_ = nullptr;
    CRecordListCtrl* list_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* setAsBase_ = nullptr;
    QString chosen_;
    bool fitted_ = false;
};

class CCategoryListDlg final : public CListEditorDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCategoryListDlg)

  public:
    // The icon set and painter draw the rows and serve the record dialog.
    CCategoryListDlg(CAccounts& data, const CIconResourceList& iconSet, const IconPainter& icons,
                     MListEditorView* view = nullptr, QWidget* parent = nullptr);
    ~CCategoryListDlg() override;
    CategoryListLogic& Logic() { return logic_; }

  private:
    CategoryListLogic logic_;
};

class CClassListDlg final : public CListEditorDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CClassListDlg)

  public:
    explicit CClassListDlg(CAccounts& data, MListEditorView* view = nullptr,
                           QWidget* parent = nullptr);
    ~CClassListDlg() override;

  private:
    NamedListLogic logic_;
};

class CPayeesListDlg final : public CListEditorDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPayeesListDlg)

  public:
    explicit CPayeesListDlg(CAccounts& data, QWidget* parent = nullptr);
    ~CPayeesListDlg() override;

  private:
    NamedListLogic logic_;
};

class CCurrencyListDlg final : public CListEditorDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCurrencyListDlg)

  public:
    explicit CCurrencyListDlg(CAccounts& data, MListEditorView* view = nullptr,
                              QWidget* parent = nullptr);
    ~CCurrencyListDlg() override;

  private:
    CurrencyListLogic logic_;
};

class CTransactionTypesDlg final : public CListEditorDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransactionTypesDlg)

  public:
    explicit CTransactionTypesDlg(CAccounts& data, QWidget* parent = nullptr);
    ~CTransactionTypesDlg() override;

  private:
    TransactionTypesLogic logic_;
};

struct ListEditorResult {
    int code = 2;        // 1 after Done
    QString chosenName;  // after Done: the selected row's, else empty
};

// The category tree; the chosen name is "Parent:Child". Without an icon
// set and painter, the data folder's icon database is read for the run.
ListEditorResult RunCategoryListDialog(QWidget* parent, CAccounts& data,
                                       MListEditorView* view = nullptr,
                                       const CIconResourceList* iconSet = nullptr,
                                       const IconPainter* icons = nullptr);
ListEditorResult RunClassListDialog(QWidget* parent, CAccounts& data,
                                    MListEditorView* view = nullptr);
ListEditorResult RunPayeesListDialog(QWidget* parent, CAccounts& data);
// These two give no name.
void RunCurrencyListDialog(QWidget* parent, CAccounts& data, MListEditorView* view = nullptr);
void RunTransactionTypesDialog(QWidget* parent, CAccounts& data);

}  // namespace tallowmere::ui
