#pragma once
// The start-up screen: picture 146 at its own size in a frameless window
// centred on the primary screen's available area, shown while the program
// starts and closed once the main view is up.
#include <QPixmap>
#include <QWidget>

namespace tallowmere::ui {

class COmbrelScreenWnd final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COmbrelScreenWnd)

  public:
    // With picture 146 from the program's resources.
    COmbrelScreenWnd();
    // With another picture (tests).
    explicit COmbrelScreenWnd(QPixmap picture);
    ~COmbrelScreenWnd() override;

    // Shows the window and paints it at once; false (and nothing shown)
    // when there is no picture.
    bool Show();
    void Close();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
};

}  // namespace tallowmere::ui
