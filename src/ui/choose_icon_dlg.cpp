#include "ui/choose_icon_dlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <vector>

#include "model/icon_database.h"
#include "model/string_table.h"
#include "ui/icon_grid_widget.h"
#include "ui/icon_painter.h"
#include "ui/icon_resource_list.h"
#include "ui/ui_services.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

constexpr int kCaptionId = 3400;  // "Choose Icon"
constexpr int kOkTextId = 3401;
constexpr int kCancelTextId = 3402;

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(QStringLiteral("id_%1").arg(id));
    return widget;
}

std::vector<std::uint16_t> IdsOf(const CIconResourceList& icons) {
    std::vector<std::uint16_t> ids;
    ids.reserve(static_cast<std::size_t>(icons.GetCount()));
    for (int place = 0; place < icons.GetCount(); ++place)
        ids.push_back(icons.GetAt(place)->GetId());
    return ids;
}

}  // namespace

CChooseIconDlg::CChooseIconDlg(QWidget* parent, const CIconResourceList& icons,
                               const IconPainter& builtIn)
    : QDialog(parent), grid_(IdsOf(icons)) {
    setObjectName(QStringLiteral("id_137"));
    setWindowTitle(Text(kCaptionId));

    gridWidget_ = new IconGridWidget(grid_, icons, builtIn, this);
    gridWidget_->setObjectName(QStringLiteral("iconGrid"));
    scrollBar_ = Named(new QScrollBar(Qt::Vertical, this), 1061);
    scrollBar_->setSingleStep(1);
    scrollBar_->setPageStep(kIconGridRows);
    connect(scrollBar_, &QScrollBar::valueChanged, this, &CChooseIconDlg::Scrolled);

    auto* ok = Named(new QPushButton(Text(kOkTextId), this), 1);
    auto* cancel = Named(new QPushButton(Text(kCancelTextId), this), 2);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CChooseIconDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CChooseIconDlg::reject);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setHorizontalSpacing(0);
    layout->setVerticalSpacing(12);
    layout->addWidget(gridWidget_, 0, 0);
    layout->addWidget(scrollBar_, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 1, 0, 1, 2);

    SetSelection(0);
}

CChooseIconDlg::~CChooseIconDlg() = default;

void CChooseIconDlg::SetSelection(int iconIndex) {
    grid_.SetSelection(iconIndex);
    grid_.Open();
    PushScrollBar();
    gridWidget_->update();
}

void CChooseIconDlg::PushScrollBar() {
    const QSignalBlocker blocker(scrollBar_);
    scrollBar_->setRange(0, grid_.ScrollMaximum());
    scrollBar_->setValue(grid_.ScrollRow());
    scrollBar_->setEnabled(grid_.ScrollEnabled());
}

void CChooseIconDlg::Scrolled(int row) {
    if (grid_.ScrollTo(row))
        gridWidget_->update();
}

void CChooseIconDlg::accept() {
    done(1);
}

void CChooseIconDlg::reject() {
    done(2);
}

std::optional<int> RunChooseIconDialog(QWidget* parent, int currentIndex,
                                       const CIconResourceList& icons, const IconPainter& builtIn) {
    CChooseIconDlg dialog(parent, icons, builtIn);
    dialog.SetSelection(currentIndex);
    if (Services().RunDialog(dialog) != 1)
        return std::nullopt;
    return dialog.GetSelection();
}

std::optional<int> RunChooseIconDialog(QWidget* parent, int currentIndex,
                                       const std::string& dataFolder) {
    CIconResourceList icons;
    icons.LoadFromFile(dataFolder, kIconDatabaseName);
    const IconPainter builtIn;
    return RunChooseIconDialog(parent, currentIndex, icons, builtIn);
}

}  // namespace tallowmere::ui
