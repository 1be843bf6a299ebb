#include "ui/choose_icon_dlg.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>

#include "model/icon_database.h"
#include "support/palm_builder.h"
#include "support/test_env.h"
#include "ui/icon_grid_widget.h"
#include "ui/icon_painter.h"
#include "ui/icon_resource_list.h"
#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

// Database icons 100, 101, ... in colours of their own; an icon whose
// index would not fit in 16 bits sits among them in its own colour.
constexpr std::uint16_t kFirstId = 100;
constexpr std::uint16_t kUnstorableId = 65300;
constexpr QRgb kUnstorableColour = 0xFFFF00FF;

QRgb ColourOf(int k) {
    return qRgb(40 + 12 * k, 180, 250 - 12 * k);
}

// A 20 x 18 opaque block of 24-bit colour.
test::Bytes Block(QRgb colour) {
    test::TbmpLayout layout;
    layout.width = 20;
    layout.height = 18;
    layout.depth = 24;
    layout.version = 3;
    layout.values.assign(20 * 18, colour & 0xFFFFFF);
    return test::Tbmp(layout);
}

// A data folder whose icon database holds `count` icons, with the
// unstorable one after the third.
std::string DataFolder(int count) {
    test::PdbLayout layout;
    for (int k = 0; k < count; ++k) {
        layout.resources.push_back(
            {kIconResourceType, static_cast<std::uint16_t>(kFirstId + k), Block(ColourOf(k))});
        if (k == 2)
            layout.resources.push_back(
                {kIconResourceType, kUnstorableId, Block(kUnstorableColour)});
    }
    const test::Bytes file = test::Pdb(layout);
    const std::string folder = test::MakeTempDir("user");
    test::WriteFileBytes(folder + "/BrackwaterIcons.pdb", std::string(file.begin(), file.end()));
    return folder;
}

class ChooseIconDlgTest : public ::testing::Test {
  protected:
    // A dialog over `count` database icons, opened on iconIndex and shown.
    CChooseIconDlg& Open(int count, int iconIndex) {
        icons_.LoadFromFile(DataFolder(count), kIconDatabaseName);
        dialog_ = std::make_unique<CChooseIconDlg>(nullptr, icons_, builtIn_);
        dialog_->SetSelection(iconIndex);
        dialog_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog_.get()));
        return *dialog_;
    }
    QScrollBar& ScrollBar() const {
        auto* bar = dialog_->findChild<QScrollBar*>("id_1061");
        EXPECT_NE(nullptr, bar);
        return *bar;
    }
    void ClickCell(int cell, Qt::MouseButton button = Qt::LeftButton) const {
        IconGridWidget& grid = dialog_->Grid();
        QTest::mouseClick(&grid, button, {}, grid.CellRect(cell).center());
    }
    QImage GridImage() const { return dialog_->Grid().grab().toImage(); }
    // Whether the cell's outermost pixels are all the frame colour.
    bool Framed(const QImage& image, int cell) const {
        const QRect r = dialog_->Grid().CellRect(cell);
        const QRgb frame = dialog_->Grid().palette().color(QPalette::Shadow).rgb();
        for (const QPoint p : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(),
                               QPoint(r.center().x(), r.top()), QPoint(r.left(), r.center().y())}) {
            if (image.pixel(p) != frame)
                return false;
        }
        return true;
    }
    QRgb CentreOf(const QImage& image, int cell) const {
        return image.pixel(dialog_->Grid().CellRect(cell).center());
    }

    CIconResourceList icons_;
    IconPainter builtIn_;
    std::unique_ptr<CChooseIconDlg> dialog_;
};

TEST_F(ChooseIconDlgTest, OpensWithItsControls) {
    CChooseIconDlg& dialog = Open(3, 0);
    EXPECT_EQ("id_137", dialog.objectName());
    EXPECT_EQ("Choose Icon", dialog.windowTitle());
    const struct {
        const char* name;
        const char* text;
    } buttons[] = {{"id_1", "OK"}, {"id_2", "Cancel"}};
    for (const auto& b : buttons) {
        auto* button = dialog.findChild<QPushButton*>(b.name);
        ASSERT_NE(nullptr, button) << b.name;
        EXPECT_EQ(b.text, button->text());
    }
    EXPECT_TRUE(dialog.findChild<QPushButton*>("id_1")->isDefault());
    EXPECT_EQ(Qt::Vertical, ScrollBar().orientation());
    // The scroll bar stands beside the whole grid.
    EXPECT_GE(ScrollBar().height(), dialog.Grid().height());
}

TEST_F(ChooseIconDlgTest, OpensScrolledSoThatTheSelectionShows) {
    struct Case {
        const char* name;
        int databaseIcons;
        int index;
        bool enabled;
        int maximum;
        int row;   // the scroll bar's position
        int cell;  // where the frame is
    };
    const Case cases[] = {
        {"no database icons", 0, 12, false, 0, 0, 33},
        {"icon 1 in the second row", 17, 1, true, 3, 0, 8},
        {"the first database icon", 17, 256 + kFirstId, true, 3, 1, 56},
        {"the ninth", 17, 256 + kFirstId + 8, true, 3, 2, 56},
        {"the last", 17, 256 + kFirstId + 16, true, 3, 3, 56},
        {"one not there", 17, 256 + 7, true, 3, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CChooseIconDlg& dialog = Open(c.databaseIcons, c.index);
        EXPECT_EQ(c.enabled, ScrollBar().isEnabled());
        EXPECT_EQ(0, ScrollBar().minimum());
        EXPECT_EQ(c.maximum, ScrollBar().maximum());
        EXPECT_EQ(8, ScrollBar().pageStep());
        EXPECT_EQ(c.row, ScrollBar().value());
        const QImage image = GridImage();
        for (int cell = 0; cell < 64; ++cell)
            EXPECT_EQ(cell == c.cell, Framed(image, cell)) << cell;
        EXPECT_EQ(c.index == 256 + 7 ? 0 : c.index, dialog.GetSelection());
    }
}

TEST_F(ChooseIconDlgTest, PaintsBuiltInsDownTheColumnsThenTheDatabaseIcons) {
    Open(10, 0);
    const QImage image = GridImage();
    const QColor face = dialog_->Grid().palette().button().color();
    // Built-in icon 1 in cell 8, as the painter draws it into that cell.
    const QRect cell8 = dialog_->Grid().CellRect(8);
    QImage expected(cell8.size(), QImage::Format_ARGB32_Premultiplied);
    expected.fill(face);
    {
        QPainter painter(&expected);
        ASSERT_TRUE(builtIn_.DrawIcon(painter, expected.rect(), 1));
    }
    EXPECT_EQ(expected.convertToFormat(image.format()), image.copy(cell8));

    // Scrolled to the bottom: positions 16 to 79; the ten database icons
    // lie at 64 to 73, in cells 48 to 57; the cells after them are bare.
    ScrollBar().triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(2, ScrollBar().value());
    const QImage bottom = GridImage();
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(ColourOf(k), CentreOf(bottom, 48 + k)) << k;
    for (int cell = 58; cell < 64; ++cell)
        EXPECT_EQ(bottom.copy(dialog_->Grid().CellRect(58)),
                  bottom.copy(dialog_->Grid().CellRect(cell)))
            << cell;
    EXPECT_EQ(face.rgb(), CentreOf(bottom, 63));
    for (int y = 0; y < bottom.height(); ++y) {
        for (int x = 0; x < bottom.width(); ++x)
            ASSERT_NE(kUnstorableColour, bottom.pixel(x, y)) << x << "," << y;
    }
}

TEST_F(ChooseIconDlgTest, TheScrollBarMovesRowsAndPagesWithinItsRange) {
    Open(17, 0);  // rows 0 to 3
    struct Step {
        QAbstractSlider::SliderAction action;
        int row;
        int cell;  // clicked after the step
        int selection;
    };
    // Cell 0 shows position 8 x row, built-in icon row; cell 40 of row 3
    // shows position 64.
    const Step steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, 1, 0, 1},
        {QAbstractSlider::SliderPageStepAdd, 3, 0, 3},
        {QAbstractSlider::SliderSingleStepAdd, 3, 40, 256 + kFirstId},
        {QAbstractSlider::SliderSingleStepSub, 2, 0, 2},
        {QAbstractSlider::SliderPageStepSub, 0, 0, 0},
        {QAbstractSlider::SliderToMaximum, 3, 56, 256 + kFirstId + 16},
        {QAbstractSlider::SliderToMinimum, 0, 9, 9},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.action);
        ScrollBar().triggerAction(s.action);
        EXPECT_EQ(s.row, ScrollBar().value());
        ClickCell(s.cell);
        EXPECT_EQ(s.selection, dialog_->GetSelection());
    }
    // Dragging the thumb scrolls as it goes.
    ScrollBar().setSliderPosition(2);
    ClickCell(0);
    EXPECT_EQ(2, dialog_->GetSelection());
}

TEST_F(ChooseIconDlgTest, AClickSelectsTheCellsIconAndEmptyCellsChangeNothing) {
    struct Case {
        const char* name;
        int row;
        int cell;
        Qt::MouseButton button;
        int selection;
    };
    const Case cases[] = {
        {"a built-in icon", 0, 10, Qt::LeftButton, 17},
        {"the right button", 0, 10, Qt::RightButton, 3},
        {"a database icon", 3, 40, Qt::LeftButton, 256 + kFirstId},
        {"the last database icon", 3, 56, Qt::LeftButton, 256 + kFirstId + 16},
        {"past the last icon", 3, 57, Qt::LeftButton, 3},
        {"the last cell", 3, 63, Qt::LeftButton, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(17, 3);
        ScrollBar().setValue(c.row);
        ClickCell(c.cell, c.button);
        EXPECT_EQ(c.selection, dialog_->GetSelection());
        // The frame follows the selection.
        const bool moved = c.selection != 3;
        EXPECT_EQ(moved, Framed(GridImage(), c.cell));
    }
}

TEST_F(ChooseIconDlgTest, OkGivesOneAndEverythingElseTwo) {
    struct Case {
        const char* name;
        std::function<void(CChooseIconDlg&)> close;
        int code;
    };
    const Case cases[] = {
        {"OK",
         [](CChooseIconDlg& d) {
             QTest::mouseClick(d.findChild<QPushButton*>("id_1"), Qt::LeftButton);
         },
         1},
        {"Enter", [](CChooseIconDlg& d) { QTest::keyClick(&d, Qt::Key_Return); }, 1},
        {"Cancel",
         [](CChooseIconDlg& d) {
             QTest::mouseClick(d.findChild<QPushButton*>("id_2"), Qt::LeftButton);
         },
         2},
        {"Esc", [](CChooseIconDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); }, 2},
        {"the close box", [](CChooseIconDlg& d) { d.close(); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CChooseIconDlg& dialog = Open(2, 0);
        c.close(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(c.code, dialog.result());
    }
}

TEST_F(ChooseIconDlgTest, RunGivesTheChosenIndexOnlyOnOk) {
    const std::string folder = DataFolder(5);
    struct Case {
        const char* name;
        int current;
        int cell;       // clicked with the grid on row 1; -1 none
        int closeWith;  // button id
        std::optional<int> chosen;
    };
    const Case cases[] = {
        {"a built-in icon", 256 + kFirstId + 4, 1, 1, 9},
        {"unchanged", 256 + kFirstId + 4, -1, 1, 256 + kFirstId + 4},
        {"a database icon", 5, 58, 1, 256 + kFirstId + 2},
        {"cancelled", 5, 1, 2, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedServices services;
        services.dialogScripts.push_back([&c](QDialog& dialog) {
            auto& chooser = static_cast<CChooseIconDlg&>(dialog);
            chooser.show();
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&chooser));
            if (c.cell >= 0) {
                chooser.findChild<QScrollBar*>("id_1061")->setValue(1);
                IconGridWidget& grid = chooser.Grid();
                QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.CellRect(c.cell).center());
            }
            QTest::mouseClick(
                chooser.findChild<QPushButton*>(QStringLiteral("id_%1").arg(c.closeWith)),
                Qt::LeftButton);
            return dialog.result();
        });
        EXPECT_EQ(c.chosen, RunChooseIconDialog(nullptr, c.current, folder));
        EXPECT_EQ(std::vector<QString>{"id_137"}, services.dialogs);
    }
}

}  // namespace
}  // namespace tallowmere::ui
