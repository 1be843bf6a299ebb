#include "ui/icon_resource.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "model/icon_database.h"
#include "support/palm_builder.h"
#include "support/test_env.h"
#include "ui/icon_resource_list.h"

namespace tallowmere::ui {
namespace {

using test::Bytes;

constexpr QRgb kBackground = 0xFF203040;
constexpr QRgb kRed = 0xFFFF0000;    // system palette 125
constexpr QRgb kBlue = 0xFF0000FF;   // 95
constexpr QRgb kGreen = 0xFF00FF00;  // 210
constexpr std::uint32_t kClear = 0;  // white, the transparent index

// A side x side bitmap of 8 bits, transparent outside a square of colour
// index from inset to side - inset.
Bytes Square(int side, int inset, std::uint32_t index, int version = 2) {
    test::TbmpLayout layout;
    layout.width = side;
    layout.height = side;
    layout.version = version;
    layout.transparent = true;
    layout.transparentIndex = static_cast<std::uint8_t>(kClear);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const bool inside = x >= inset && x < side - inset && y >= inset && y < side - inset;
            layout.values.push_back(inside ? index : kClear);
        }
    }
    return test::Tbmp(layout);
}

Bytes Greys() {
    test::TbmpLayout layout;
    layout.width = 4;
    layout.height = 4;
    layout.depth = 2;
    for (std::uint32_t i = 0; i < 16; ++i)
        layout.values.push_back(i % 4);
    return test::Tbmp(layout);
}

class IconResourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::PdbLayout layout;
        layout.resources = {
            {0x54626D70, 5, test::Family({Square(16, 3, 125), Square(32, 8, 95)})},
            {0x54626D70, 9, Greys()},
            {0x54626D70, 5, Square(16, 0, 210)},
            {0x54626D70, 11, Bytes(20, 0x7F)},
            // What indexes 255 and 65 would name if taken as index - 256.
            {0x54626D70, 65535, Square(16, 0, 210)},
            {0x54626D70, 65345, Square(16, 0, 210)},
        };
        const Bytes file = test::Pdb(layout);
        folder_ = test::MakeTempDir("user");
        test::WriteFileBytes(folder_ + "/BrackwaterIcons.pdb",
                             std::string(file.begin(), file.end()));
        icons_.LoadFromFile(folder_, kIconDatabaseName);
        canvas_.fill(kBackground);
    }

    QImage canvas_{48, 48, QImage::Format_ARGB32};
    std::string folder_;
    CIconResourceList icons_;
};

TEST_F(IconResourceTest, ListFindsIconsByIdAndPosition) {
    ASSERT_EQ(6, icons_.GetCount());
    EXPECT_EQ(icons_.GetAt(0), icons_.FindById(5));  // the first of the two
    EXPECT_EQ(9, icons_.GetAt(1)->GetId());
    EXPECT_EQ(2, icons_.IndexOf(icons_.GetAt(2)));
    EXPECT_EQ(nullptr, icons_.FindById(6));
    EXPECT_EQ(nullptr, icons_.GetAt(6));
    EXPECT_EQ(nullptr, icons_.GetAt(-1));
    const CIconResource stranger({}, 5);
    EXPECT_EQ(-1, icons_.IndexOf(&stranger));

    icons_.RemoveAll();
    EXPECT_EQ(0, icons_.GetCount());
    EXPECT_EQ(nullptr, icons_.FindById(5));

    icons_.LoadFromFile(folder_, kIconDatabaseName);
    EXPECT_EQ(6, icons_.GetCount());
    icons_.LoadFromFile(test::MakeTempDir("empty"), kIconDatabaseName);
    EXPECT_EQ(0, icons_.GetCount());
}

TEST_F(IconResourceTest, DrawCentresTheMemberForTheRectangle) {
    // The first and last pixels of the member's coloured square; the pixels
    // beyond them are transparent, so the background shows.
    const struct {
        const char* name;
        QRect rect;
        QPoint first;
        QPoint last;
        QRgb colour;
    } cases[] = {
        {"16 in 20, at 12", {10, 10, 20, 20}, {15, 15}, {24, 24}, kRed},
        {"16 in 21, at 7", {5, 5, 21, 21}, {10, 10}, {19, 19}, kRed},
        {"32 in 48, at 8", {0, 0, 48, 48}, {16, 16}, {31, 31}, kBlue},
    };
    const CIconResource& icon = *icons_.FindById(5);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        canvas_.fill(kBackground);
        {
            QPainter painter(&canvas_);
            EXPECT_TRUE(icon.Draw(painter, c.rect));
        }
        EXPECT_EQ(c.colour, canvas_.pixel(c.first));
        EXPECT_EQ(c.colour, canvas_.pixel(c.last));
        EXPECT_EQ(kBackground, canvas_.pixel(c.first - QPoint(1, 1)));
        EXPECT_EQ(kBackground, canvas_.pixel(c.last + QPoint(1, 1)));
    }
}

TEST_F(IconResourceTest, OpaqueIconCoversItsPixels) {
    {
        QPainter painter(&canvas_);
        EXPECT_TRUE(icons_.FindById(9)->Draw(painter, QRect(0, 0, 4, 4)));
    }
    const QRgb greys[] = {0xFFFFFFFF, 0xFFAAAAAA, 0xFF555555, 0xFF000000};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(greys[x], canvas_.pixel(x, 3)) << x;
    EXPECT_EQ(kBackground, canvas_.pixel(4, 0));
}

TEST_F(IconResourceTest, LargerMemberIsClippedToTheRectangle) {
    {
        QPainter painter(&canvas_);
        EXPECT_TRUE(icons_.GetAt(2)->Draw(painter, QRect(20, 20, 8, 8)));
    }
    EXPECT_EQ(kGreen, canvas_.pixel(20, 20));
    EXPECT_EQ(kGreen, canvas_.pixel(27, 27));
    EXPECT_EQ(kBackground, canvas_.pixel(19, 20));
    EXPECT_EQ(kBackground, canvas_.pixel(28, 27));
}

TEST_F(IconResourceTest, FitsIn) {
    const struct {
        std::uint16_t id;
        QSize size;
        bool fits;
    } cases[] = {
        {5, {16, 16}, true},  {5, {32, 32}, true}, {5, {31, 40}, true}, {5, {15, 16}, false},
        {5, {16, 15}, false}, {5, {8, 8}, false},  {9, {4, 4}, true},   {11, {64, 64}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.fits, icons_.FindById(c.id)->FitsIn(QRect(QPoint(3, 3), c.size)))
            << c.id << " in " << c.size.width() << "x" << c.size.height();
    }
}

TEST_F(IconResourceTest, DrawIconDrawsOnlyDatabaseIndexesThatFit) {
    const struct {
        std::uint16_t index;
        QRect rect;
        bool drawn;
    } cases[] = {
        {256 + 5, {0, 0, 20, 20}, true},   {256 + 9, {0, 0, 4, 4}, true},
        {256 + 5, {0, 0, 8, 8}, false},    {256 + 11, {0, 0, 40, 40}, false},
        {256 + 77, {0, 0, 40, 40}, false}, {5, {0, 0, 40, 40}, false},
        {64, {0, 0, 40, 40}, false},       {65, {0, 0, 40, 40}, false},
        {255, {0, 0, 40, 40}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        canvas_.fill(kBackground);
        QImage before = canvas_;
        {
            QPainter painter(&canvas_);
            EXPECT_EQ(c.drawn, icons_.DrawIcon(painter, c.rect, c.index));
        }
        EXPECT_EQ(c.drawn, canvas_ != before);
    }
}

}  // namespace
}  // namespace tallowmere::ui
