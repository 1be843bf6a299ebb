#pragma once
// The account dialog's icon frame (control 1017): a sunken box with the
// account's icon drawn in its middle through the view's icon painter.
#include <QFrame>
#include <cstdint>

namespace tallowmere::ui {

class IconPainter;

class AccountIconFrame final : public QFrame {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AccountIconFrame)

  public:
    // The painter outlives the frame.
    AccountIconFrame(const IconPainter& icons, QWidget* parent = nullptr);
    ~AccountIconFrame() override;

    void SetIconIndex(std::uint16_t index);
    std::uint16_t IconIndex() const { return index_; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const IconPainter& icons_;
    std::uint16_t index_ = 0;
};

}  // namespace tallowmere::ui
