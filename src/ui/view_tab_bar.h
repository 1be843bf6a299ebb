#pragma once
// The view's page tabs: every tab as wide as the widest title needs.
#include <QTabBar>

namespace tallowmere::ui {

class ViewTabBar final : public QTabBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ViewTabBar)

  public:
    explicit ViewTabBar(QWidget* parent = nullptr);
    ~ViewTabBar() override;

  protected:
    QSize tabSizeHint(int index) const override;
};

}  // namespace tallowmere::ui
