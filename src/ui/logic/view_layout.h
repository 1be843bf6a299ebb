#pragma once
// Where the main view puts its children, by pixel constants: 8 pixels of
// margin left and right, the tab band 5 pixels below the top, the left
// column (pane header over the accounts pane or the page's definition
// controls) 250 pixels wide by default, the list filling the rest down to
// the bottom band of 38 pixels, whose icon buttons are 28 x 20, 5 pixels
// apart and 5 pixels below its top. The definition controls are one line
// high and 10 pixels apart, their labels right-aligned 5 pixels before them.
#include <optional>
#include <vector>

namespace tallowmere::ui {

struct ViewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int Right() const { return x + width; }
    int Bottom() const { return y + height; }
    friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

inline constexpr int kViewMargin = 8;
inline constexpr int kViewTabTop = 5;
inline constexpr int kViewPaneWidth = 250;
inline constexpr int kViewColumnGap = 5;
inline constexpr int kViewBottomBand = 38;
inline constexpr int kViewButtonWidth = 28;
inline constexpr int kViewButtonHeight = 20;
inline constexpr int kViewButtonGap = 5;
inline constexpr int kViewButtonTop = 5;
inline constexpr int kViewDefinitionGap = 10;
inline constexpr int kViewDropHeight = 200;
inline constexpr int kViewLabelGap = 5;
inline constexpr int kViewFilterComboWidth = 170;
inline constexpr int kViewDoneWidth = 80;

// What the widgets measure.
struct ViewMetrics {
    int width = 0;
    int height = 0;
    int paneWidth = kViewPaneWidth;
    int tabBandHeight = 24;
    int headerHeight = 20;
    // One definition control (a combo's height).
    int controlHeight = 22;
    // One line of the label font.
    int textHeight = 14;
    // The widest label of the definition column.
    int labelWidth = 80;
};

struct ViewControlRect {
    int id = 0;
    ViewRect rect;
    // The string of the label drawn before the control; 0 for none.
    int labelStringId = 0;
};

struct ViewLayout {
    ViewRect tabs;
    ViewRect paneHeader;
    // The left column below the header (the accounts pane on Register).
    ViewRect pane;
    ViewRect list;
    ViewRect bottomBand;
    // The page's icon buttons, left to right from the list's left edge.
    std::vector<ViewControlRect> buttons;
    // The page's definition controls and check box, top to bottom.
    std::vector<ViewControlRect> definitions;
    // Register: the filter combo at the band's right end and the two
    // balance read-outs (net worth under the pane, the account's under the
    // list, between the buttons and the combo).
    ViewRect filterCombo;
    ViewRect netWorthReadout;
    ViewRect accountReadout;
    // Reconcile: the four statement lines, the instructions' box and Done.
    std::vector<ViewControlRect> reconcileLines;
    ViewRect instructions;
    ViewRect done;
};

ViewLayout LayoutView(const ViewMetrics& metrics, int page);

// The rectangle of a control in the layout, by id; none when the page does
// not place it.
std::optional<ViewRect> FindControlRect(const ViewLayout& layout, int id);

}  // namespace tallowmere::ui
