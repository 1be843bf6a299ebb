#pragma once
// CMoneyStatic: an amount painted right-aligned on the button face, red when
// it is negative and black otherwise, as the splits dialog shows its totals.
#include <QString>
#include <QWidget>

class QPainter;

namespace tallowmere::ui {

// The painting itself, so that a test can paint into an image.
void PaintMoneyStatic(QPainter& painter, const QRect& rect, const QPalette& palette,
                      const QString& text, bool negative);

class CMoneyStatic final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMoneyStatic)

  public:
    explicit CMoneyStatic(QWidget* parent = nullptr);
    ~CMoneyStatic() override;

    void SetAmount(const QString& text, bool negative);
    const QString& Text() const { return text_; }
    bool IsNegative() const { return negative_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    bool negative_ = false;
};

}  // namespace tallowmere::ui
