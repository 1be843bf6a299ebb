#include "model/palm_bitmap.h"

#include <gtest/gtest.h>

#include <string>

#include "model/palm_palette.h"
#include "support/palm_builder.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Packing;
using test::TbmpLayout;

bool Decode(const Bytes& bytes, PalmBitmapImage& image) {
    return PalmBitmapToCBitmap(bytes, image);
}

const char* PackingName(Packing p) {
    switch (p) {
        case Packing::kNone:
            return "none";
        case Packing::kScanLine:
            return "scan-line";
        case Packing::kRunLength:
            return "run-length";
        default:
            return "PackBits";
    }
}

constexpr Packing kPackings[] = {Packing::kNone, Packing::kScanLine, Packing::kRunLength,
                                 Packing::kPackBits};

// Eight pixel values per depth and the colours they stand for. For indexed
// depths the values are indexes; with a colour table they name its entries.
struct DepthCase {
    int depth;
    std::vector<std::uint32_t> values;
    std::vector<std::uint32_t> colours;  // without a colour table
};

const std::vector<std::uint32_t> kOwnTable = {0x123456, 0xABCDEF, 0x00FF80, 0x800000,
                                              0x0000FE, 0xFEFEFE, 0x010203, 0x7F7F7F};

const DepthCase kDepths[] = {
    {1, {0, 1}, {0xFFFFFF, 0x000000}},
    {2, {0, 1, 2, 3}, {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000}},
    {4,
     {0, 3, 5, 8, 10, 12, 15, 1},
     {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x777777, 0x555555, 0x333333, 0x000000, 0xEEEEEE}},
    {8,
     {0, 125, 215, 230, 95, 210, 5, 255},
     {0xFFFFFF, 0xFF0000, 0x111111, 0x000000, 0x0000FF, 0x00FF00, 0xFF00FF, 0x000000}},
    {16,
     {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x0000, 0x8410, 0x0861, 0x7BEF},
     {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0x808080, 0x090F09, 0x7F7F7F}},
    {24, kOwnTable, kOwnTable},
    // The first of the four bytes is not part of the colour.
    {32,
     {0xFF123456, 0x80ABCDEF, 0x0100FF80, 0x00800000, 0xFF0000FE, 0x7FFEFEFE, 0x00010203,
      0x017F7F7F},
     kOwnTable},
};

// Which of the case's values pixel (x, y) of a 9 x 3 image takes: a varied
// first row, a run in the second, a third that repeats the second in part.
std::size_t Pick(int x, int y, std::size_t n) {
    if (y == 1)
        return 1 % n;
    if (y == 2 && x < 4)
        return 1 % n;
    return static_cast<std::size_t>(y == 0 ? x : x * 3) % n;
}

TEST(PalmBitmapTest, EveryDepthTableCompressionAndVersionDecodes) {
    constexpr int kWidth = 9;
    constexpr int kHeight = 3;
    for (const DepthCase& d : kDepths) {
        for (bool withTable : {false, true}) {
            for (Packing packing : kPackings) {
                for (int version = 0; version <= 3; ++version) {
                    SCOPED_TRACE(testing::Message()
                                 << "depth " << d.depth << (withTable ? " table " : " ")
                                 << PackingName(packing) << " v" << version);
                    TbmpLayout layout;
                    layout.width = kWidth;
                    layout.height = kHeight;
                    layout.depth = d.depth;
                    layout.version = version;
                    layout.packing = packing;
                    const bool indexed = d.depth <= 8;
                    const std::size_t n = d.values.size();
                    std::vector<std::uint32_t> expected;
                    for (int y = 0; y < kHeight; ++y) {
                        for (int x = 0; x < kWidth; ++x) {
                            const std::size_t k = Pick(x, y, n);
                            layout.values.push_back(withTable && indexed ? k : d.values[k]);
                            expected.push_back(withTable && indexed ? kOwnTable[k] : d.colours[k]);
                        }
                    }
                    if (withTable)
                        layout.colourTable = kOwnTable;
                    PalmBitmapImage image;
                    ASSERT_TRUE(Decode(test::Tbmp(layout), image));
                    EXPECT_EQ(kWidth, image.width);
                    EXPECT_EQ(kHeight, image.height);
                    EXPECT_EQ(expected, image.pixels);
                    EXPECT_FALSE(image.hasTransparent);
                }
            }
        }
    }
}

TEST(PalmBitmapTest, SixteenBitColoursRepeatTheirLowBits) {
    const struct {
        std::uint16_t pixel;
        std::uint32_t colour;
    } cases[] = {
        {0xFFFF, 0xFFFFFF}, {0xF800, 0xFF0000}, {0x07E0, 0x00FF00}, {0x001F, 0x0000FF},
        {0x0000, 0x000000}, {0x8410, 0x808080}, {0x0861, 0x090F09}, {0x4208, 0x404040},
        {0x39E7, 0x3F3F3F}, {0xA554, 0xA4AAA4},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.colour, PalmColour565(c.pixel)) << std::hex << c.pixel;
}

TEST(PalmBitmapTest, SystemPaletteEntries) {
    const auto& palette = PalmSystemPalette();
    const struct {
        int index;
        std::uint32_t colour;
    } pins[] = {
        {0, 0xFFFFFF},   {1, 0xFFCCFF},   {6, 0xFFFFCC},   {18, 0xCCFFFF},
        {35, 0xCC0099},  {107, 0x000099}, {108, 0xFFFF66}, {125, 0xFF0000},
        {214, 0x003300}, {215, 0x111111}, {224, 0xEEEEEE}, {225, 0xC0C0C0},
        {226, 0x800000}, {229, 0x008080}, {230, 0x000000}, {255, 0x000000},
    };
    for (const auto& p : pins)
        EXPECT_EQ(p.colour, palette[p.index]) << "entry " << p.index;
    EXPECT_EQ(16u, PalmDefaultColourTable(4).size());
    EXPECT_EQ(0x111111u, PalmDefaultColourTable(4)[14]);
    EXPECT_TRUE(PalmDefaultColourTable(16).empty());
}

TEST(PalmBitmapTest, IndexPastTheColourTableIsBlack) {
    TbmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.colourTable = std::vector<std::uint32_t>{0xFFFFFF, 0x123456};
    layout.values = {1, 2, 255};
    PalmBitmapImage image;
    ASSERT_TRUE(Decode(test::Tbmp(layout), image));
    EXPECT_EQ((std::vector<std::uint32_t>{0x123456, 0, 0}), image.pixels);
}

// A bitmap of 8 bits per pixel, width x 1, with hand-written compressed data.
Bytes Compressed(int width, Packing packing, const Bytes& data, int rowBytes = 0) {
    TbmpLayout layout;
    layout.width = width;
    layout.height = 1;
    layout.version = 2;
    layout.rowBytes = rowBytes;
    layout.values.assign(width, 0);
    Bytes b = test::Tbmp(layout);
    b.resize(16);
    b[6] |= 0x80;
    b[13] = static_cast<std::uint8_t>(packing);
    test::PutBE16(b, static_cast<std::uint32_t>(data.size() + 2));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

TEST(PalmBitmapTest, HandWrittenCompressedRows) {
    const auto& pal = PalmSystemPalette();
    const struct {
        const char* name;
        Bytes bitmap;
        std::vector<std::uint32_t> pixels;
    } cases[] = {
        // A count of 0 writes nothing; the next pair fills the row.
        {"run-length count 0",
         Compressed(4, Packing::kRunLength, {0, 9, 4, 7}),
         {pal[7], pal[7], pal[7], pal[7]}},
        // A pair longer than the row stops at the row's end.
        {"run-length past the row",
         Compressed(4, Packing::kRunLength, {2, 1, 200, 3}),
         {pal[1], pal[1], pal[3], pal[3]}},
        // Kept bytes of the first row are zero.
        {"scan-line first row", Compressed(2, Packing::kScanLine, {0x80, 5}), {pal[5], pal[0]}},
        // PackBits in bytes for 8 bits: a literal run, then a repeat.
        {"PackBits",
         Compressed(5, Packing::kPackBits, {1, 9, 8, 0xFE, 4, 0, 7}, 6),
         {pal[9], pal[8], pal[4], pal[4], pal[4]}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PalmBitmapImage image;
        ASSERT_TRUE(Decode(c.bitmap, image));
        EXPECT_EQ(c.pixels, image.pixels);
    }
}

TEST(PalmBitmapTest, SixteenBitPackBitsMayEndOnHalfAWord) {
    // One pixel in a 3-byte row: the image has an odd size, so its last
    // 2-byte unit is written only in half.
    TbmpLayout layout;
    layout.width = 1;
    layout.height = 1;
    layout.depth = 16;
    layout.version = 2;
    layout.rowBytes = 3;
    layout.values = {0xF800};
    layout.packing = Packing::kPackBits;
    PalmBitmapImage image;
    ASSERT_TRUE(Decode(test::Tbmp(layout), image));
    EXPECT_EQ(std::vector<std::uint32_t>{0xFF0000}, image.pixels);

    // A repeat of three words overruns a 4-byte image by more than half.
    Bytes over = test::Tbmp(layout);
    over.resize(16);
    test::SetBE16(over, 4, 4);
    test::PutBE16(over, 5);
    over.insert(over.end(), {0xFE, 0xF8, 0x00});
    EXPECT_FALSE(Decode(over, image));
}

TEST(PalmBitmapTest, TruncatedInputGivesNoBitmap) {
    for (Packing packing : kPackings) {
        for (int version : {2, 3}) {
            SCOPED_TRACE(testing::Message() << PackingName(packing) << " v" << version);
            TbmpLayout layout;
            layout.width = 20;
            layout.height = 4;
            layout.version = version;
            layout.packing = packing;
            layout.colourTable = kOwnTable;
            for (int i = 0; i < layout.width * layout.height; ++i)
                layout.values.push_back(static_cast<std::uint32_t>((i / 3) % 8));
            const Bytes full = test::Tbmp(layout);
            PalmBitmapImage image;
            ASSERT_TRUE(Decode(full, image));
            for (std::size_t size = 0; size < full.size(); ++size) {
                const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
                ASSERT_FALSE(Decode(cut, image)) << "cut to " << size;
                EXPECT_TRUE(image.pixels.empty());
                EXPECT_EQ(0, image.width);
            }
        }
    }
}

TEST(PalmBitmapTest, MalformedHeadersGiveNoBitmap) {
    auto base = [] {
        TbmpLayout layout;
        layout.values.assign(8, 1);
        return layout;
    };
    auto with = [&](auto change) {
        TbmpLayout layout = base();
        change(layout);
        return test::Tbmp(layout);
    };
    auto patched = [&](std::size_t at, std::uint32_t value16) {
        Bytes b = test::Tbmp(base());
        test::SetBE16(b, at, value16);
        return b;
    };
    Bytes v3Short = with([](TbmpLayout& s) { s.version = 3; });
    v3Short.resize(23);
    Bytes wide = patched(0, 100);  // 100 pixels of 32 bits in 2-byte rows
    wide[8] = 32;
    test::SetBE16(wide, 4, 2);
    Bytes tableCut = with([](TbmpLayout& s) { s.colourTable = kOwnTable; });
    test::SetBE16(tableCut, 16, 300);
    Bytes directCut = with([](TbmpLayout& s) {
        s.depth = 16;
        s.version = 2;
        s.directColour = true;
    });
    directCut.resize(16 + 7);
    Bytes sizeCut = with([](TbmpLayout& s) {
        s.version = 3;
        s.packing = Packing::kRunLength;
    });
    sizeCut.resize(24 + 3);
    Bytes twoPlaceholders = test::Placeholder();
    const Bytes placeholder = test::Placeholder();
    twoPlaceholders.insert(twoPlaceholders.end(), placeholder.begin(), placeholder.end());
    const Bytes one = test::Tbmp(base());
    twoPlaceholders.insert(twoPlaceholders.end(), one.begin(), one.end());
    Bytes unknownCompression = with([](TbmpLayout& s) { s.packing = Packing::kRunLength; });
    unknownCompression[13] = 3;
    Bytes shortRows = test::Tbmp(base());
    shortRows.pop_back();

    const struct {
        const char* name;
        Bytes bitmap;
    } cases[] = {
        {"15 bytes", Bytes(one.begin(), one.begin() + 15)},
        {"version 3 header of 23 bytes", v3Short},
        {"version 4",
         [&] {
             Bytes b = one;
             b[9] = 4;
             return b;
         }()},
        {"colour table and direct colour", patched(6, 0x4400)},
        {"3 bits per pixel",
         [&] {
             Bytes b = one;
             b[8] = 3;
             return b;
         }()},
        {"0 bits per pixel",
         [&] {
             Bytes b = one;
             b[8] = 0;
             return b;
         }()},
        {"width 0", patched(0, 0)},
        {"height 0", patched(2, 0)},
        {"width 1025", patched(0, 1025)},
        {"height 1025", patched(2, 1025)},
        {"rows shorter than the width", wide},
        {"pixel data one byte short", shortRows},
        {"colour table past the end", tableCut},
        {"direct-colour block cut", directCut},
        {"size field cut", sizeCut},
        {"compression type 3", unknownCompression},
        {"placeholder alone", test::Placeholder()},
        {"placeholder after placeholder", twoPlaceholders},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PalmBitmapImage image;
        EXPECT_FALSE(Decode(c.bitmap, image));
        EXPECT_TRUE(image.pixels.empty());
    }
}

// A column of 1024 pixels in rows of rowBytes, all index 0, as PackBits
// repeats of 129 bytes: a few hundred kilobytes that unpack to 16 MiB and more.
Bytes TallPackBits(int rowBytes) {
    TbmpLayout layout;
    layout.width = 1;
    layout.height = 1;
    layout.values = {0};
    Bytes b = test::Tbmp(layout);
    b.resize(16);
    test::SetBE16(b, 2, 1024);
    test::SetBE16(b, 4, static_cast<std::uint32_t>(rowBytes));
    b[6] = 0x80;
    b[9] = 2;
    b[13] = 2;
    test::PutBE16(b, 0);  // the size field, not read
    std::size_t left = std::size_t(rowBytes) * 1024;
    for (; left >= 129; left -= 129)
        b.insert(b.end(), {0x80, 0});
    if (left > 0)
        b.insert(b.end(), {static_cast<std::uint8_t>(1 - static_cast<int>(left)), 0});
    return b;
}

TEST(PalmBitmapTest, DecompressedSizeIsCapped) {
    PalmBitmapImage image;
    EXPECT_TRUE(Decode(TallPackBits(16384), image));  // 16 MiB
    EXPECT_EQ(1024, image.height);
    EXPECT_FALSE(Decode(TallPackBits(16386), image));
}

TEST(PalmBitmapTest, TransparentColour) {
    const auto& pal = PalmSystemPalette();
    auto layout = [](int version, int depth) {
        TbmpLayout s;
        s.version = version;
        s.depth = depth;
        s.values.assign(8, 0);
        s.transparent = true;
        return s;
    };
    TbmpLayout v2Indexed = layout(2, 8);
    v2Indexed.transparentIndex = 125;
    TbmpLayout v2OwnTable = layout(2, 8);
    v2OwnTable.colourTable = kOwnTable;
    v2OwnTable.transparentIndex = 3;
    TbmpLayout v2Grey = layout(2, 2);
    v2Grey.transparentIndex = 1;
    TbmpLayout v2Direct = layout(2, 16);
    v2Direct.directColour = true;
    v2Direct.directTransparent = 0x336699;
    TbmpLayout v3Direct = layout(3, 16);
    v3Direct.transparentValue = 0x0000F800;
    TbmpLayout v3Indexed = layout(3, 8);
    v3Indexed.transparentValue = 215;
    TbmpLayout v1 = layout(1, 8);
    v1.transparentIndex = 125;
    TbmpLayout v2NoFlag = layout(2, 8);
    v2NoFlag.transparent = false;
    v2NoFlag.transparentIndex = 125;
    TbmpLayout v2Direct24 = layout(2, 24);
    v2Direct24.directColour = true;
    v2Direct24.directTransparent = 0x010203;

    const struct {
        const char* name;
        TbmpLayout layout;
        bool has;
        std::uint32_t colour;
    } cases[] = {
        {"v2 8-bit, system palette", v2Indexed, true, pal[125]},
        {"v2 8-bit, own table", v2OwnTable, true, kOwnTable[3]},
        {"v2 2-bit, the greys", v2Grey, true, 0xAAAAAA},
        {"v2 16-bit, direct-colour block", v2Direct, true, 0x336699},
        {"v2 24-bit, direct-colour block", v2Direct24, true, 0x010203},
        {"v3 16-bit, 5-6-5 value", v3Direct, true, 0xFF0000},
        {"v3 8-bit, index", v3Indexed, true, pal[215]},
        {"v1 has none", v1, false, 0},
        {"v2 without the flag", v2NoFlag, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PalmBitmapImage image;
        ASSERT_TRUE(Decode(test::Tbmp(c.layout), image));
        EXPECT_EQ(c.has, image.hasTransparent);
        EXPECT_EQ(c.colour, image.hasTransparent ? image.transparentColour : 0u);
    }
}

// A one-colour member of the family: index 1 in version 2, index 2 in
// version 3, so a test sees which member was decoded.
Bytes Member(int side, int version) {
    TbmpLayout layout;
    layout.width = side;
    layout.height = side;
    layout.version = version;
    layout.values.assign(static_cast<std::size_t>(side) * side, version == 3 ? 2 : 1);
    return test::Tbmp(layout);
}

TEST(PalmBitmapTest, FamilyMemberForTheRectangle) {
    Bytes placed = test::Placeholder();
    const Bytes v3 = Member(32, 3);
    placed.insert(placed.end(), v3.begin(), v3.end());
    const Bytes twoSizes = test::Family({Member(16, 2), Member(32, 2)});
    const Bytes withPlaceholder = test::Family({Member(16, 2), placed});
    Bytes pastTheEnd = twoSizes;  // next offset beyond the resource
    test::SetBE16(pastTheEnd, 10, 0x4000);
    Bytes partialHeader = twoSizes;  // the next member's header is cut
    partialHeader.resize(test::Family({Member(16, 2)}).size() + 10);
    Bytes v3Cut = withPlaceholder;  // a version 3 member with 16 header bytes
    v3Cut.resize(v3Cut.size() - v3.size() + 16);

    const struct {
        const char* name;
        const Bytes& resource;
        int rect;
        int side;
        std::uint32_t colour;
    } cases[] = {
        {"16 in 16", twoSizes, 16, 16, PalmSystemPalette()[1]},
        {"32 in 32", twoSizes, 32, 32, PalmSystemPalette()[1]},
        {"16 in 20", twoSizes, 20, 16, PalmSystemPalette()[1]},
        {"too small for any", twoSizes, 8, 16, PalmSystemPalette()[1]},
        {"v3 after a placeholder", withPlaceholder, 32, 32, PalmSystemPalette()[2]},
        {"placeholder in 16", withPlaceholder, 16, 16, PalmSystemPalette()[1]},
        {"next past the end", pastTheEnd, 32, 16, PalmSystemPalette()[1]},
        {"next header cut", partialHeader, 32, 16, PalmSystemPalette()[1]},
        {"v3 header cut", v3Cut, 32, 16, PalmSystemPalette()[1]},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto member = PickPalmBitmapMember(c.resource, c.rect, c.rect);
        ASSERT_TRUE(member.has_value());
        EXPECT_EQ(c.side, member->width);
        EXPECT_EQ(c.side, member->height);
        PalmBitmapImage image;
        ASSERT_TRUE(PalmBitmapToCBitmap(std::span(c.resource).subspan(member->offset), image));
        EXPECT_EQ(c.side, image.width);
        EXPECT_EQ(c.colour, image.pixels.front());
    }
    EXPECT_FALSE(PickPalmBitmapMember(Bytes(15, 0), 16, 16).has_value());
}

TEST(PalmBitmapTest, LeadingPlaceholderIsSkipped) {
    Bytes b = test::Placeholder();
    const Bytes v3 = Member(4, 3);
    b.insert(b.end(), v3.begin(), v3.end());
    const auto member = PickPalmBitmapMember(b, 16, 16);
    ASSERT_TRUE(member.has_value());
    EXPECT_EQ(16u, member->offset);
    PalmBitmapImage image;
    ASSERT_TRUE(PalmBitmapToCBitmap(b, image));
    EXPECT_EQ(std::vector<std::uint32_t>(16, PalmSystemPalette()[2]), image.pixels);
}

}  // namespace
}  // namespace tallowmere
