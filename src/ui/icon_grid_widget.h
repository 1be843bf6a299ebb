#pragma once
// The icon chooser's 8 x 8 grid: one owner-drawn widget painting the cells
// of a ChooseIconGrid (built-in icons through the icon painter, database
// icons straight from the icon set) and selecting the cell a left button is
// released over.
#include <QRect>
#include <QWidget>

#include "ui/logic/choose_icon_grid.h"

class QPainter;
class QPalette;

namespace tallowmere::ui {

class CIconResourceList;
class IconPainter;

// Cells large enough for the large built-in icons (31 x 27) inside a frame.
inline constexpr IconGridGeometry kChooseIconGeometry{38, 32, 2};

QRect ToQRect(const IconGridRect& rect);

// Paints every cell: the button face, the icon the cell shows (nothing past
// the last icon) and a 1-pixel frame in the dark 3-D shadow colour round the
// selected one.
void PaintIconGrid(QPainter& painter, const IconGridGeometry& geometry, const ChooseIconGrid& grid,
                   const QPalette& palette, const CIconResourceList& icons,
                   const IconPainter& builtIn);

class IconGridWidget final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IconGridWidget)

  public:
    // The grid, icons and painter outlive the widget.
    IconGridWidget(ChooseIconGrid& grid, const CIconResourceList& icons, const IconPainter& builtIn,
                   QWidget* parent = nullptr);
    ~IconGridWidget() override;

    // Cell c (0 to 63) in the widget's coordinates.
    QRect CellRect(int cell) const;
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    ChooseIconGrid& grid_;
    const CIconResourceList& icons_;
    const IconPainter& builtIn_;
};

}  // namespace tallowmere::ui
