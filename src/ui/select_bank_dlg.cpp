#include "ui/select_bank_dlg.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "exchange/fi_list.h"
#include "platform/clock.h"
#include "platform/text_1252.h"
#include "ui/cell_painter.h"
#include "ui/online_dialog_parts.h"
#include "ui/small_dialog_parts.h"

namespace tallowmere::ui {
namespace {

constexpr int kStrCaption = 3617;
constexpr int kStrBankName = 244;
constexpr int kStrOk = 3612;
constexpr int kStrCancel = 3601;
constexpr std::uint16_t kNameColumn = 0;

bool IsTypedText(const QKeyEvent& event) {
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

}  // namespace

CBankListCtrl::CBankListCtrl(CFiList& list, QWidget* parent) : COwnerListCtrl(parent), list_(list) {
    ApplyStyle(GetCreateStyle());
    InsertColumnById(0, kNameColumn, kStrBankName, 200);
    SetItemCount(static_cast<int>(list_.GetCount()));
}

CBankListCtrl::~CBankListCtrl() = default;

ListStyle CBankListCtrl::GetCreateStyle() const {
    return {true, true, true};
}

void* CBankListCtrl::GetItemObject(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= list_.GetCount())
        return nullptr;
    return static_cast<CFiItem*>(list_.GetAt(static_cast<std::size_t>(row)));
}

QString CBankListCtrl::GetItemText(void* object, std::uint16_t) const {
    const auto* item = static_cast<const CFiItem*>(object);
    return item ? QString::fromStdString(platform::Cp1252ToUtf8(item->GetName())) : QString();
}

void CBankListCtrl::DrawCell(QPainter& painter, const QRect& cell, std::uint16_t columnId,
                             void* object, int) const {
    if (columnId == kNameColumn)
        DrawTextCell(painter, cell, GetItemText(object, columnId));
}

void CBankListCtrl::OnItemDoubleClicked(int) {
    emit rowDoubleClicked();
}

void CBankListCtrl::keyPressEvent(QKeyEvent* event) {
    if (!IsTypedText(*event)) {
        COwnerListCtrl::keyPressEvent(event);
        return;
    }
    const std::uint32_t now = platform::CurrentClock().TickCount();
    const auto interval = static_cast<std::uint32_t>(std::max(0, qApp->doubleClickInterval()));
    for (const char32_t c : event->text().toUcs4())
        search_.Type(c, now, interval);
    const std::u32string& typed = search_.Text();
    const QString wanted = QString::fromUcs4(typed.data(), static_cast<qsizetype>(typed.size()));
    for (int row = 0; row < GetItemCount(); ++row) {
        const QString name = GetItemText(GetItemObject(row), kNameColumn);
        if (!name.isEmpty() && name.startsWith(wanted, Qt::CaseInsensitive)) {
            SetSelection(row, true);
            ScrollRowIntoView(row);
            event->accept();
            return;
        }
    }
    // No bank starts so: the key goes on to whoever else wants it (not to
    // the shared search of the other lists).
    event->ignore();
}

CSelectBankDlg::CSelectBankDlg(CFiList& list, CFiItem* current, QWidget* parent)
    : QDialog(parent), list_(list), banks_(Named(new CBankListCtrl(list, this), 1099)) {
    setObjectName(QStringLiteral("id_154"));
    setWindowTitle(StringText(kStrCaption));
    banks_->setMinimumSize(260, 300);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(14);
    layout->addWidget(banks_, 1);
    layout->addLayout(
        ButtonRow(*this, {{1, LoadString(kStrOk).c_str()}, {2, LoadString(kStrCancel).c_str()}}));
    connect(banks_, &CBankListCtrl::rowDoubleClicked, this, &CSelectBankDlg::accept);
    for (std::size_t i = 0; i < list.GetCount(); ++i) {
        if (current != nullptr && static_cast<CFiItem*>(list.GetAt(i)) == current) {
            banks_->SetSelection(static_cast<int>(i), true);
            banks_->EnsureVisible(static_cast<int>(i));
        }
    }
    banks_->setFocus();
}

CSelectBankDlg::~CSelectBankDlg() = default;

void CSelectBankDlg::accept() {
    auto* item = static_cast<CFiItem*>(banks_->GetItemObject(banks_->GetFirstSelectedItem()));
    if (item == nullptr)
        return;
    chosen_ = item;
    done(1);
}

void CSelectBankDlg::reject() {
    done(2);
}

}  // namespace tallowmere::ui
