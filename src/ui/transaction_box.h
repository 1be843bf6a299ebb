#pragma once
// The yellow boxes of the review and match dialogs: one transaction on one
// line (date, check number or type, payee, amount), or "(no match)".
#include <QRect>
#include <QWidget>

namespace tallowmere {
class CAccounts;
class CTransaction;
}  // namespace tallowmere

class QPainter;

namespace tallowmere::ui {

// RGB(255,255,206): the boxes' fill and the match list's selection.
QColor TransactionBoxColor();

void DrawTransactionBox(QPainter& painter, const QRect& rect, const CAccounts& data,
                        const CTransaction* t);

// A box that draws whatever transaction it is given (not owned).
class CTransactionBox final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransactionBox)

  public:
    CTransactionBox(const CAccounts& data, QWidget* parent = nullptr);
    ~CTransactionBox() override;

    void SetTransaction(const CTransaction* t);
    const CTransaction* Transaction() const { return transaction_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const CAccounts& data_;
    const CTransaction* transaction_ = nullptr;
};

}  // namespace tallowmere::ui
