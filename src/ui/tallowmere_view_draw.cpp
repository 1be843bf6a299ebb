// What the view draws itself: the frame lines, the labels of the page's
// controls, the two balance read-outs, the report and budget totals, the
// reconcile statement and the pie chart.
#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "model/report.h"
#include "model/string_table.h"
#include "platform/text_1252.h"
#include "ui/logic/budget_page_logic.h"
#include "ui/logic/cell_text.h"
#include "ui/logic/reconcile_page_logic.h"
#include "ui/logic/report_page_logic.h"
#include "ui/logic/view_pages.h"
#include "ui/owner_list_model.h"
#include "ui/register_list_ctrl.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_text.h"

namespace tallowmere::ui {
namespace {

const QColor kFrameGrey(128, 128, 128);
const QColor kNegative(255, 0, 0);

// A label's text ends with one ':'.
QString LabelText(int id) {
    QString text = Text(id);
    if (!text.endsWith(QLatin1Char(':')))
        text += QLatin1Char(':');
    return text;
}

QRect ToQRect(const ViewRect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

int BalanceLabelId(int kind) {
    switch (kind) {
        case 1:
            return 283;
        case 2:
            return 293;
        default:
            return 206;
    }
}

}  // namespace

void CTallowmereView::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setFont(labelFont_);
    // The frame under the tab band and around the left column.
    painter.setPen(kFrameGrey);
    const int bandY = layout_.list.y - 1;
    painter.drawLine(kViewMargin, bandY, width() - kViewMargin - 1, bandY);
    const QRect column(layout_.paneHeader.x - 1, layout_.paneHeader.y - 1,
                       layout_.paneHeader.width + 1,
                       layout_.pane.Bottom() - layout_.paneHeader.y + 1);
    painter.drawRect(column);
    painter.setPen(palette().color(QPalette::ButtonText));

    DrawLabels(painter);
    switch (page_) {
        case 0:
            DrawRegisterReadouts(painter);
            break;
        case 1:
            if (chartMode_ != 0)
                DrawChart(painter);
            DrawReportTotals(painter);
            break;
        case 2:
            DrawBudgetTotals(painter);
            break;
        case 3:
            DrawReconcile(painter);
            break;
        default:
            break;
    }
}

void CTallowmereView::DrawLabels(QPainter& painter) const {
    for (const ViewControlRect& c : layout_.definitions) {
        if (c.labelStringId == 0)
            continue;
        const QRect r(kViewMargin, c.rect.y, c.rect.x - kViewLabelGap - kViewMargin, c.rect.height);
        painter.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         LabelText(c.labelStringId));
    }
}

void CTallowmereView::DrawMoneyRight(QPainter& painter, const QRect& rect, Cents amount,
                                     const std::string& symbol) const {
    DrawCellText(painter, rect, MoneyCellText(symbol, amount, showDecimals_));
}

void CTallowmereView::DrawCellText(QPainter& painter, const QRect& rect,
                                   const CellText& money) const {
    painter.save();
    painter.setPen(money.negative ? kNegative : palette().color(QPalette::ButtonText));
    painter.drawText(rect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                     QString::fromStdString(money.text));
    painter.restore();
}

void CTallowmereView::DrawRegisterReadouts(QPainter& painter) {
    const QFontMetrics metrics(labelFont_);
    const auto readout = [&](const ViewRect& where, int labelId, bool marker, Cents amount,
                             const std::string& symbol) {
        QRect r = ToQRect(where);
        if (r.width() <= 0)
            return;
        int x = r.x() + 2;
        if (marker) {
            marker_.Draw(painter, 0, QRect(x, r.y(), marker_.ImageWidth(), r.height()));
            x += marker_.ImageWidth() + 4;
        }
        const QString label = LabelText(labelId) + QLatin1Char(' ');
        painter.drawText(QRect(x, r.y(), r.right() - x, r.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, label);
        const int amountLeft = x + metrics.horizontalAdvance(label);
        DrawMoneyRight(painter, QRect(amountLeft, r.y(), r.right() - amountLeft - 2, r.height()),
                       amount, symbol);
    };
    const bool all = filter_ == 0;
    readout(layout_.netWorthReadout, all ? BalanceLabelId(balanceTypes_[0]) : 206, true,
            data_->GetNetWorth(balanceTypes_[0]), data_->GetHomeCurrencySymbol());
    if (current_ == nullptr)
        return;
    if (all)
        readout(layout_.accountReadout, BalanceLabelId(balanceTypes_[1]), true,
                current_->GetBalance(balanceTypes_[1]), current_->GetCurrencySymbol());
    else
        readout(layout_.accountReadout, 206, false, current_->GetFilteredBalance(filter_),
                current_->GetCurrencySymbol());
}

int CTallowmereView::HeaderSectionX(std::uint16_t columnId, int& width) const {
    const QHeaderView* header = list_->header();
    for (int section = 0; section < header->count(); ++section) {
        if (list_->GetColumnId(section) != columnId || header->isSectionHidden(section))
            continue;
        width = header->sectionSize(section);
        return list_->x() + list_->viewport()->x() + header->sectionViewportPosition(section);
    }
    width = 0;
    return -1;
}

void CTallowmereView::DrawReportTotals(QPainter& painter) const {
    const QRect band(layout_.list.x, layout_.bottomBand.y + kViewButtonTop, layout_.list.width,
                     kViewButtonHeight);
    const std::string symbol = data_->GetHomeCurrencySymbol();
    int width = 0;
    const int x = chartMode_ != 0 ? -1 : HeaderSectionX(kColumnReportAmount, width);
    QRect amount;
    if (x < 0 || width <= 0) {
        // No amount column (or the chart): at the right end of the band.
        amount = QRect(band.right() - 140, band.y(), 140, band.height());
    } else {
        amount = QRect(x, band.y(), width - 4, band.height());
    }
    const QString label = Text(kReportTotalLabel);
    const QFontMetrics metrics(labelFont_);
    const int labelWidth = metrics.horizontalAdvance(label);
    const int labelRight = std::min(amount.x() - 10, amount.right() - 110);
    painter.drawText(QRect(labelRight - labelWidth, band.y(), labelWidth, band.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, label);
    DrawCellText(painter, amount, ReportTotalText(*report_, MoneyStyle{symbol, showDecimals_}));
}

void CTallowmereView::DrawBudgetTotals(QPainter& painter) const {
    const QRect band(layout_.list.x, layout_.bottomBand.y + kViewButtonTop, layout_.list.width,
                     kViewButtonHeight);
    const std::string symbol = data_->GetHomeCurrencySymbol();
    const BudgetTotals totals = ComputeBudgetTotals(*report_, MoneyStyle{symbol, showDecimals_});
    const std::pair<std::uint16_t, const CellText*> cells[] = {
        {kColumnReportBudget, &totals.budgetText},
        {kColumnReportAmount, &totals.actualText},
        {kColumnReportDifference, &totals.differenceText},
    };
    int firstX = band.right();
    for (const auto& [id, value] : cells) {
        int width = 0;
        const int x = HeaderSectionX(id, width);
        if (x < 0 || width <= 0)
            continue;
        firstX = std::min(firstX, x);
        DrawCellText(painter, QRect(x, band.y(), width - 4, band.height()), *value);
    }
    const QString label = Text(kBudgetTotalsLabel);
    const int labelWidth = QFontMetrics(labelFont_).horizontalAdvance(label);
    painter.drawText(QRect(firstX - 10 - labelWidth, band.y(), labelWidth, band.height()),
                     Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, label);
}

void CTallowmereView::DrawReconcile(QPainter& painter) const {
    if (current_ == nullptr)
        return;
    const ReconcileTexts texts =
        ReconcileDrawnTexts(*current_, MoneyStyle{current_->GetCurrencySymbol(), showDecimals_});
    for (const ViewControlRect& line : layout_.reconcileLines) {
        const QRect r = ToQRect(line.rect);
        painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         LabelText(line.labelStringId));
        switch (line.labelStringId) {
            case kReconcileClosingDateLabel:
                painter.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                                 QString::fromStdString(texts.closingDate));
                break;
            case kReconcileBeginningLabel:
                DrawCellText(painter, r, texts.beginning);
                break;
            case kReconcileEndingLabel:
                DrawCellText(painter, r, texts.ending);
                break;
            case kReconcileDifferenceLabel:
                DrawCellText(painter, r, texts.difference);
                break;
            default:
                break;
        }
    }
    const QRect box = ToQRect(layout_.instructions);
    painter.save();
    painter.setPen(kFrameGrey);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.restore();
    painter.drawText(box.adjusted(6, 6, -6, -6), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     Text(kReconcileInstructions));
}

void CTallowmereView::DrawChart(QPainter& painter) {
    const QRect area = ToQRect(layout_.list);
    painter.save();
    painter.fillRect(area, palette().color(QPalette::Base));
    painter.setPen(kFrameGrey);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.restore();
    const int radius = std::min(area.width(), area.height()) / 2 - 40;
    chart_.SetGeometry(static_cast<std::int16_t>(area.center().x()),
                       static_cast<std::int16_t>(area.center().y()),
                       static_cast<std::int16_t>(std::clamp(radius, -1, 10000)),
                       static_cast<std::int16_t>(std::max(0, radius) * 3 / 5), 0);
    // The geometry starts the filling again: the slices follow it, the
    // selection with them.
    const int selected = chart_.GetSelected();
    report_->BuildSlices(chart_);
    chart_.Select(selected);
    chart_.SetPainter(&painter);
    chart_.SetLabelFont(labelFont_);
    chart_.SetBounds(area.adjusted(12, 0, -12, 0));
    chart_.Draw();
    chart_.SetPainter(nullptr);
}

}  // namespace tallowmere::ui
