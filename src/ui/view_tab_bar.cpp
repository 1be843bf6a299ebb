#include "ui/view_tab_bar.h"

#include <algorithm>

namespace tallowmere::ui {

ViewTabBar::ViewTabBar(QWidget* parent) : QTabBar(parent) {}

ViewTabBar::~ViewTabBar() = default;

QSize ViewTabBar::tabSizeHint(int index) const {
    QSize size = QTabBar::tabSizeHint(index);
    for (int i = 0; i < count(); ++i) {
        if (i != index)
            size.setWidth(std::max(size.width(), QTabBar::tabSizeHint(i).width()));
    }
    return size;
}

}  // namespace tallowmere::ui
