#include "ui/empty_view.h"

namespace tallowmere::ui {

CEmptyView::CEmptyView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("emptyView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

std::optional<CommandState> CEmptyView::QueryCommand(int) {
    return std::nullopt;
}

void CEmptyView::RunCommand(int) {}

void CEmptyView::OnReloadRequest(std::uint32_t, std::uint32_t) {}

}  // namespace tallowmere::ui
