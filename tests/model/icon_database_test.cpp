#include "model/icon_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "model/palm_bitmap.h"
#include "support/icon_database_seeds.h"
#include "support/palm_builder.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::PdbLayout;

constexpr std::uint32_t kTbmp = 0x54626D70;

Bytes Icon(std::uint8_t index) {
    test::TbmpLayout layout;
    layout.values.assign(8, index);
    return test::Tbmp(layout);
}

std::string WriteDatabase(const Bytes& bytes) {
    const std::string folder = test::MakeTempDir("user");
    test::WriteFileBytes(folder + "/BrackwaterIcons.pdb", std::string(bytes.begin(), bytes.end()));
    return folder;
}

TEST(IconDatabaseTest, ReadsTheBitmapResourcesInFileOrder) {
    PdbLayout layout;
    layout.resources = {{kTbmp, 3, Icon(1)},
                        {0x74414942, 5, Bytes(10, 9)},
                        {kTbmp, 7, Icon(2)},
                        {kTbmp, 3, Icon(3)}};
    const auto icons = ReadIconDatabase(WriteDatabase(test::Pdb(layout)), kIconDatabaseName);
    ASSERT_EQ(3u, icons.size());
    EXPECT_EQ(3, icons[0].id);
    EXPECT_EQ(Icon(1), icons[0].bytes);
    EXPECT_EQ(7, icons[1].id);
    EXPECT_EQ(3, icons[2].id);
    EXPECT_EQ(Icon(3), icons[2].bytes);
}

TEST(IconDatabaseTest, MissingOrInvalidFilesGiveNoIcons) {
    EXPECT_TRUE(ReadIconDatabase(test::MakeTempDir("none"), kIconDatabaseName).empty());
    PdbLayout layout;
    layout.resources = {{kTbmp, 1, Icon(1)}};
    Bytes bad = test::Pdb(layout);
    test::SetBE32(bad, test::kPdbNextListAt, 1);
    EXPECT_TRUE(ReadIconDatabase(WriteDatabase(bad), kIconDatabaseName).empty());
}

TEST(IconDatabaseTest, AnErrorKeepsTheIconsBeforeIt) {
    PdbLayout layout;
    layout.resources = {{kTbmp, 1, Icon(1)},
                        {kTbmp, 2, Icon(2)},
                        {kTbmp, 3, Bytes(kPdbMaxRecordSize + 1, 0)},
                        {kTbmp, 4, Icon(4)}};
    const auto icons = ReadIconDatabase(WriteDatabase(test::Pdb(layout)), kIconDatabaseName);
    ASSERT_EQ(2u, icons.size());
    EXPECT_EQ(2, icons[1].id);
}

TEST(IconDatabaseTest, IconIndexesNameDatabaseIconsFrom256) {
    const struct {
        std::uint16_t index;
        std::optional<std::uint16_t> id;
    } cases[] = {
        {0, std::nullopt}, {64, std::nullopt}, {65, std::nullopt}, {255, std::nullopt},
        {256, 0},          {257, 1},           {300, 44},          {65535, 65279},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.id, DatabaseIconId(c.index)) << c.index;
}

// Reads a database from memory and decodes every icon for a few rectangles,
// as drawing would; the decoder's caps must hold for whatever comes out.
void ReadAndDecode(const Bytes& bytes) {
    if (bytes.empty())
        return;
    PdbFile file(fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb"));
    ASSERT_TRUE(file);
    std::vector<IconResourceData> icons;
    ReadIconResources(std::move(file), icons);
    for (const IconResourceData& icon : icons) {
        for (int side : {0, 16, 32, 4096}) {
            const auto member = PickPalmBitmapMember(icon.bytes, side, side);
            if (!member)
                continue;
            PalmBitmapImage image;
            if (PalmBitmapToCBitmap(std::span(icon.bytes).subspan(member->offset), image)) {
                ASSERT_EQ(std::size_t(image.width) * image.height, image.pixels.size());
                ASSERT_LE(image.width, kMaxPalmBitmapSide);
                ASSERT_LE(image.height, kMaxPalmBitmapSide);
            }
        }
    }
}

TEST(IconDatabaseTest, SeedsDecodeWhole) {
    for (const auto& [name, seed] : test::IconDatabaseSeeds()) {
        SCOPED_TRACE(name);
        PdbFile file(fmemopen(const_cast<std::uint8_t*>(seed.data()), seed.size(), "rb"));
        std::vector<IconResourceData> icons;
        ReadIconResources(std::move(file), icons);
        EXPECT_EQ(name == "empty" || name == "records", icons.empty());
        for (const IconResourceData& icon : icons) {
            for (int side : {16, 1024}) {
                const auto member = PickPalmBitmapMember(icon.bytes, side, side);
                ASSERT_TRUE(member.has_value());
                PalmBitmapImage image;
                EXPECT_TRUE(
                    PalmBitmapToCBitmap(std::span(icon.bytes).subspan(member->offset), image))
                    << "icon " << icon.id << " in " << side;
            }
        }
    }
}

// Every cut and a sweep of byte changes over each seed; under the sanitizers
// this finds reads outside the file or the resource.
TEST(IconDatabaseTest, DamagedDatabasesAreReadSafely) {
    for (const auto& [name, seed] : test::IconDatabaseSeeds()) {
        SCOPED_TRACE(name);
        for (std::size_t size = 0; size <= seed.size(); ++size)
            ReadAndDecode(Bytes(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(size)));
        for (std::size_t at = 0; at < seed.size(); ++at) {
            for (std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                Bytes changed = seed;
                changed[at] = value;
                ReadAndDecode(changed);
            }
        }
        if (HasFatalFailure())
            return;
    }
}

}  // namespace
}  // namespace tallowmere
