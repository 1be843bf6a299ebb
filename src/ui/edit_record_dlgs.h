#pragma once
// The record dialogs of the list editors: "Edit Category" (177), "Edit
// Class" (176), "Edit Currency" (178), "Edit Payee" (131) and "Edit
// Transaction Type" (180). Each shows its logic's form; OK closes with 1
// only when the logic accepts it (the refused control then has the focus,
// its text selected); Cancel, Esc and the close box give 2. At opening the
// name (or symbol) has the focus with all its text selected.
#include <QDialog>
#include <QWidget>

#include "ui/logic/edit_category_logic.h"
#include "ui/logic/edit_currency_logic.h"
#include "ui/logic/edit_name_logic.h"
#include "ui/logic/edit_transaction_type_logic.h"

class QComboBox;
class QLineEdit;

namespace tallowmere::ui {

class CIconResourceList;
class IconPainter;

// The icon frame (1017): the icon drawn large in a sunken frame.
class CIconFrame final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CIconFrame)

  public:
    CIconFrame(const IconPainter& icons, QWidget* parent);
    ~CIconFrame() override;
    void SetIcon(int icon);
    int Icon() const { return icon_; }
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const IconPainter& icons_;
    int icon_ = 0;
};

class CEditCategoryDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditCategoryDlg)

  public:
    // The icon set and painter serve the frame and the icon chooser.
    CEditCategoryDlg(EditCategoryLogic& logic, const CIconResourceList& iconSet,
                     const IconPainter& icons, QWidget* parent = nullptr);
    ~CEditCategoryDlg() override;
    void accept() override;
    void reject() override;

  private:
    void Pull();
    void OnParentChosen(int index);
    void OnIcon();

    EditCategoryLogic& logic_;
    const CIconResourceList& iconSet_;
    const IconPainter& icons_;
    QLineEdit* name_;
    QComboBox* parent_;
    CIconFrame* frame_;
};

// The class and payee dialogs differ only in caption, label and rule.
class CEditNameDlg : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditNameDlg)

  public:
    ~CEditNameDlg() override;
    void accept() override;
    void reject() override;

  protected:
    CEditNameDlg(EditNameLogic& logic, int dialogId, int captionId, int labelId, QWidget* parent);

  private:
    EditNameLogic& logic_;
    QLineEdit* name_;
};

class CEditClassDlg final : public CEditNameDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditClassDlg)

  public:
    explicit CEditClassDlg(EditNameLogic& logic, QWidget* parent = nullptr);
    ~CEditClassDlg() override;
};

class CEditPayeeDlg final : public CEditNameDlg {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditPayeeDlg)

  public:
    explicit CEditPayeeDlg(EditNameLogic& logic, QWidget* parent = nullptr);
    ~CEditPayeeDlg() override;
};

class CEditCurrencyDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditCurrencyDlg)

  public:
    explicit CEditCurrencyDlg(EditCurrencyLogic& logic, QWidget* parent = nullptr);
    ~CEditCurrencyDlg() override;
    void accept() override;
    void reject() override;

  private:
    EditCurrencyLogic& logic_;
    QLineEdit* symbol_;
    QLineEdit* rate_;
};

class CEditTransactionTypeDlg final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEditTransactionTypeDlg)

  public:
    explicit CEditTransactionTypeDlg(EditTransactionTypeLogic& logic, QWidget* parent = nullptr);
    ~CEditTransactionTypeDlg() override;
    void accept() override;
    void reject() override;

  private:
    EditTransactionTypeLogic& logic_;
    QLineEdit* name_;
    QComboBox* direction_;
};

}  // namespace tallowmere::ui
