#pragma once
// CIconListButton: a push button whose whole face is an image of one of the
// shared icon strips: the normal image, or the pressed one while it is held
// down. The owner sets the strip and the two images.
#include <QAbstractButton>

namespace tallowmere::ui {

class CIconListButton final : public QAbstractButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CIconListButton)

  public:
    explicit CIconListButton(QWidget* parent = nullptr);
    ~CIconListButton() override;

    void SetIconList(int strip);
    void SetImages(int normal, int pressed);
    int IconList() const { return strip_; }
    int NormalImage() const { return normal_; }
    int PressedImage() const { return pressed_; }

    // The size of one image of the strip.
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int strip_ = 0;
    int normal_ = 0;
    int pressed_ = 1;
};

}  // namespace tallowmere::ui
