#pragma once
// A check box with its own colours: black text on a background colour of
// its own once one is set (until then it looks like any check box).
#include <QCheckBox>
#include <QColor>

namespace tallowmere::ui {

class CCheckbox final : public QCheckBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCheckbox)

  public:
    explicit CCheckbox(const QString& text, QWidget* parent = nullptr);
    ~CCheckbox() override;

    // Fills the control's background with the colour from now on.
    void SetBackgroundColor(const QColor& colour);

  private:
    QColor textColour_ = Qt::black;
};

}  // namespace tallowmere::ui
