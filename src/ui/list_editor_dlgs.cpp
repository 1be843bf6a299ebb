#include "ui/list_editor_dlgs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "model/icon_database.h"
#include "model/string_table.h"
#include "ui/cell_painter.h"
#include "ui/edit_record_dlgs.h"
#include "ui/icon_painter.h"
#include "ui/icon_resource_list.h"
#include "ui/list_editor_ctrls.h"
#include "ui/small_dialog_parts.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kTextDone = 3445;
constexpr int kTextNew = 3446;
constexpr int kTextEdit = 3447;
constexpr int kTextDelete = 3448;
constexpr int kTextSetAsBase = 3449;
constexpr int kListRows = 14;
constexpr int kTitleRoom = 16;

template <typename Dialog, typename Logic>
RunRecordDialog<Logic> Runs(QWidget* parent) {
    return [parent](Logic& logic) {
        Dialog dialog(logic, parent);
        return Services().RunDialog(dialog) == 1;
    };
}

}  // namespace

// ------------------------------------------------------------ the shared shell

CListEditorDlg::CListEditorDlg(int dialogId, int captionId, QWidget* parent)
    : QDialog(parent), messages_(this) {
    setObjectName(QStringLiteral("id_%1").arg(dialogId));
    setWindowTitle(Text(captionId));
}

CListEditorDlg::~CListEditorDlg() = default;

void CListEditorDlg::Attach(ListEditorLogic& logic, CRecordListCtrl* list,
                            std::initializer_list<ListColumn> columns, bool setAsBase) {
    logic_ = &logic;
    list_ = list;
    // Each column takes its own width, or more when its title or its
    // widest usual cell would not fit this font; the columns then share
    // what the client area has left (FitColumnsToWidth).
    const QFontMetrics metrics = list_->fontMetrics();
    int width = 0;
    int position = 0;
    for (const ListColumn& column : columns) {
        const QString title = QString::fromStdString(LoadString(column.titleId));
        int fit = std::max(column.width, metrics.horizontalAdvance(title) + kTitleRoom);
        if (column.sample != nullptr)
            fit = std::max(fit, metrics.horizontalAdvance(QString::fromUtf8(column.sample)) +
                                    2 * kCellInset + 2);
        list_->InsertColumnById(position++, static_cast<std::uint16_t>(column.titleId),
                                column.titleId, fit);
        width += fit;
    }
    const int frame = 2 * list_->frameWidth();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    list_->setFixedSize(width + frame + bar, list_->header()->sizeHint().height() +
                                                 kListRows * list_->GetRowHeightPixels() + frame);
    list_->SetItemCount(logic_->Count());

    auto* done = Named(new QPushButton(Text(kTextDone), this), kListDone);
    auto* add = Named(new QPushButton(Text(kTextNew), this), kListNew);
    edit_ = Named(new QPushButton(Text(kTextEdit), this), kListEdit);
    delete_ = Named(new QPushButton(Text(kTextDelete), this), kListDelete);
    done->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(6);
    std::vector<QPushButton*> all = {done, add, edit_, delete_};
    if (setAsBase) {
        setAsBase_ = Named(new QPushButton(Text(kTextSetAsBase), this), kListSetAsBase);
        all.push_back(setAsBase_);
    }
    int buttonWidth = CharsWide(*done, 12);
    for (QPushButton* button : all)
        buttonWidth = std::max(buttonWidth, button->sizeHint().width());
    for (QPushButton* button : all) {
        button->setFixedWidth(buttonWidth);
        if (button != done)
            button->setAutoDefault(false);
        buttons->addWidget(button);
        if (button == done)
            buttons->addSpacing(12);
    }
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(list_);
    layout->addLayout(buttons);

    connect(done, &QPushButton::clicked, this, &CListEditorDlg::accept);
    connect(add, &QPushButton::clicked, this, [this] { Apply(logic_->New()); });
    connect(edit_, &QPushButton::clicked, this, [this] { Apply(logic_->Edit(Selected())); });
    connect(delete_, &QPushButton::clicked, this, [this] { Apply(logic_->Delete(Selected())); });
    if (setAsBase_ != nullptr)
        connect(setAsBase_, &QPushButton::clicked, this,
                [this] { Apply(logic_->SetAsBase(Selected())); });
    list_->SetDoubleClickHandler([this](int row) {
        list_->SetSelection(row, true);
        Apply(logic_->Edit(row));
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CListEditorDlg::UpdateButtons);
    UpdateButtons();
    list_->setFocus(Qt::OtherFocusReason);
}

void CListEditorDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The client width is known once the list is laid out.
    if (!fitted_ && list_ != nullptr) {
        list_->FitColumnsToWidth();
        fitted_ = true;
    }
}

int CListEditorDlg::Selected() const {
    return list_->GetFirstSelectedItem();
}

void CListEditorDlg::UpdateButtons() {
    const bool selected = Selected() >= 0;
    edit_->setEnabled(selected);
    delete_->setEnabled(selected);
    if (setAsBase_ != nullptr)
        setAsBase_->setEnabled(selected);
}

void CListEditorDlg::Apply(const ListStep& step) {
    if (step.changed) {
        list_->SetItemCount(logic_->Count());
        if (step.select >= 0) {
            list_->SetSelection(step.select, true);
            list_->EnsureVisible(step.select);
        } else if (step.select == ListStep::kNoSelection) {
            list_->SelectAll(false);
        }
        list_->viewport()->update();
    }
    UpdateButtons();
}

void CListEditorDlg::accept() {
    chosen_ = QString::fromStdString(logic_->ChosenName(Selected()));
    done(1);
}

void CListEditorDlg::reject() {
    chosen_.clear();
    done(2);
}

// ------------------------------------------------------------ the five dialogs

CCategoryListDlg::CCategoryListDlg(CAccounts& data, const CIconResourceList& iconSet,
                                   const IconPainter& icons, MListEditorView* view, QWidget* parent)
    : CListEditorDlg(1593, 3440, parent),
      logic_(
          data, Messages(),
          [this, &iconSet, &icons](EditCategoryLogic& logic) {
              CEditCategoryDlg dialog(logic, iconSet, icons, this);
              return Services().RunDialog(dialog) == 1;
          },
          view) {
    auto* list = Named(new CCategoryListCtrl(data, icons, this), kCategoryListId);
    Attach(logic_, list, {{203, 240}}, false);
}

CCategoryListDlg::~CCategoryListDlg() = default;

CClassListDlg::CClassListDlg(CAccounts& data, MListEditorView* view, QWidget* parent)
    : CListEditorDlg(1594, 3441, parent),
      logic_(data, NameRule::kClass, Messages(), Runs<CEditClassDlg, EditNameLogic>(this), view) {
    Attach(logic_, Named(new CClassListCtrl(data, this), kClassListId), {{207, 200}}, false);
}

CClassListDlg::~CClassListDlg() = default;

CPayeesListDlg::CPayeesListDlg(CAccounts& data, QWidget* parent)
    : CListEditorDlg(1592, 3443, parent),
      logic_(data, NameRule::kPayee, Messages(), Runs<CEditPayeeDlg, EditNameLogic>(this)) {
    Attach(logic_, Named(new CPayeeListCtrl(data, this), kPayeeListId), {{202, 200}}, false);
}

CPayeesListDlg::~CPayeesListDlg() = default;

CCurrencyListDlg::CCurrencyListDlg(CAccounts& data, MListEditorView* view, QWidget* parent)
    : CListEditorDlg(179, 3442, parent),
      logic_(data, Messages(), Runs<CEditCurrencyDlg, EditCurrencyLogic>(this), view) {
    Attach(logic_, Named(new CCurrencyListCtrl(data, this), kCurrencyListId),
           {{330, 65}, {331, 70, "0000.0000000000"}, {332, 60}}, true);
}

CCurrencyListDlg::~CCurrencyListDlg() = default;

CTransactionTypesDlg::CTransactionTypesDlg(CAccounts& data, QWidget* parent)
    : CListEditorDlg(1595, 3444, parent),
      logic_(data, Messages(), Runs<CEditTransactionTypeDlg, EditTransactionTypeLogic>(this)) {
    Attach(logic_, Named(new CTransTypesListCtrl(data, this), kTypeListId),
           {{242, 150}, {201, 150}}, false);
}

CTransactionTypesDlg::~CTransactionTypesDlg() = default;

// ------------------------------------------------------------ entry points

namespace {

ListEditorResult Run(CListEditorDlg& dialog) {
    ListEditorResult result;
    result.code = Services().RunDialog(dialog);
    if (result.code == 1)
        result.chosenName = dialog.ChosenName();
    return result;
}

}  // namespace

ListEditorResult RunCategoryListDialog(QWidget* parent, CAccounts& data, MListEditorView* view,
                                       const CIconResourceList* iconSet, const IconPainter* icons) {
    CIconResourceList ownSet;
    IconPainter ownIcons;
    if (iconSet == nullptr) {
        ownSet.LoadFromFile(data.GetFolder(), kIconDatabaseName);
        iconSet = &ownSet;
    }
    if (icons == nullptr) {
        ownIcons.SetDatabaseDrawer([iconSet](QPainter& painter, const QRect& rect, int id) {
            return iconSet->DrawIcon(painter, rect, static_cast<std::uint16_t>(256 + id));
        });
        icons = &ownIcons;
    }
    CCategoryListDlg dialog(data, *iconSet, *icons, view, parent);
    return Run(dialog);
}

ListEditorResult RunClassListDialog(QWidget* parent, CAccounts& data, MListEditorView* view) {
    CClassListDlg dialog(data, view, parent);
    return Run(dialog);
}

ListEditorResult RunPayeesListDialog(QWidget* parent, CAccounts& data) {
    CPayeesListDlg dialog(data, parent);
    return Run(dialog);
}

void RunCurrencyListDialog(QWidget* parent, CAccounts& data, MListEditorView* view) {
    CCurrencyListDlg dialog(data, view, parent);
    Run(dialog);
}

void RunTransactionTypesDialog(QWidget* parent, CAccounts& data) {
    CTransactionTypesDlg dialog(data, parent);
    Run(dialog);
}

}  // namespace tallowmere::ui
