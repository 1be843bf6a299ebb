#pragma once
// The header over the view's left column: one owner-drawn item naming the
// column ("Accounts", "Define Report", ...), 10 pixels wider than the
// control, so that its right-hand separator stays out of sight.
#include <QString>
#include <QWidget>

namespace tallowmere::ui {

class ViewPaneHeader final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ViewPaneHeader)

  public:
    explicit ViewPaneHeader(QWidget* parent = nullptr);
    ~ViewPaneHeader() override;

    void SetText(const QString& text);
    const QString& Text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};

}  // namespace tallowmere::ui
