// Palm bitmaps checked against Netpbm (Debian package netpbm): bitmaps that
// pnmtopalm writes, and bitmaps our test builder writes, must decode to the
// pixels palmtopnm reads from them, and to the transparent colour it names.
// Skipped when the programs are not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "model/palm_bitmap.h"
#include "support/palm_builder.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Packing;
using test::TbmpLayout;

const char kPnmToPalm[] = "/usr/bin/pnmtopalm";
const char kPalmToPnm[] = "/usr/bin/palmtopnm";

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0xRRGGBB
};

int RunCommand(const std::string& command, const std::string& out) {
    return std::system((command + " >" + out + " 2>" + out + ".err").c_str());
}

// A PGM for greys (pnmtopalm writes those with its grey tables), else a PPM.
void WritePnm(const std::string& path, const Picture& p, bool grey) {
    std::string text = std::string(grey ? "P5\n" : "P6\n") + std::to_string(p.width) + " " +
                       std::to_string(p.height) + "\n255\n";
    for (std::uint32_t c : p.pixels) {
        if (!grey) {
            text.push_back(static_cast<char>(c >> 16));
            text.push_back(static_cast<char>(c >> 8));
        }
        text.push_back(static_cast<char>(c));
    }
    test::WriteFileBytes(path, text);
}

// Reads a binary PBM, PGM or PPM as palmtopnm writes it, scaled to 8 bits.
bool ReadPnm(const std::string& path, Picture& p) {
    const std::string text = test::ReadFileBytes(path);
    std::size_t at = 0;
    auto number = [&] {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at])))
            ++at;
        std::size_t end = at;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        const int value = std::atoi(text.substr(at, end - at).c_str());
        at = end;
        return value;
    };
    if (text.size() < 2 || text[0] != 'P' || text[1] < '4' || text[1] > '6')
        return false;
    at = 2;
    p.width = number();
    p.height = number();
    p.pixels.clear();
    if (text[1] == '4') {  // bits, 1 = black, rows padded to bytes
        ++at;
        const std::size_t rowBytes = (std::size_t(p.width) + 7) / 8;
        if (text.size() - at < rowBytes * p.height)
            return false;
        for (int y = 0; y < p.height; ++y) {
            for (int x = 0; x < p.width; ++x) {
                const auto byte = static_cast<unsigned char>(text[at + y * rowBytes + x / 8]);
                p.pixels.push_back((byte >> (7 - x % 8) & 1) != 0 ? 0x000000 : 0xFFFFFF);
            }
        }
        return true;
    }
    const bool colour = text[1] == '6';
    const int maxval = number();
    ++at;
    const std::size_t channels = colour ? 3 : 1;
    if (maxval <= 0 || maxval > 255 ||
        text.size() - at < std::size_t(p.width) * p.height * channels)
        return false;
    auto scale = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(text[at + i]) * 255 / maxval);
    };
    for (std::size_t i = 0; i < std::size_t(p.width) * p.height; ++i) {
        if (colour)
            p.pixels.push_back(scale(3 * i) << 16 | scale(3 * i + 1) << 8 | scale(3 * i + 2));
        else
            p.pixels.push_back(scale(i) * 0x010101);
    }
    return true;
}

// The 5-6-5 parts of a colour: how 16-bit pixels compare, since the low bits
// of each part are filled in by a rule of the reader's own.
std::uint32_t Top565(std::uint32_t c) {
    return (c >> 19 & 0x1F) << 11 | (c >> 10 & 0x3F) << 5 | (c >> 3 & 0x1F);
}

class NetpbmTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (access(kPnmToPalm, X_OK) != 0 || access(kPalmToPnm, X_OK) != 0)
            GTEST_SKIP() << "pnmtopalm and palmtopnm (Debian package netpbm) are not installed";
        dir_ = test::MakeTempDir("netpbm");
    }

    // Decodes the bitmap file with us and with palmtopnm and compares the
    // pixels and the transparent colour.
    void Compare(const std::string& palm, bool sixteenBit) {
        const std::string text = test::ReadFileBytes(palm);
        const Bytes bytes(text.begin(), text.end());
        PalmBitmapImage ours;
        ASSERT_TRUE(PalmBitmapToCBitmap(bytes, ours));
        const std::string pnm = dir_ + "/out.pnm";
        ASSERT_EQ(0, RunCommand(std::string(kPalmToPnm) + " " + palm, pnm))
            << test::ReadFileBytes(pnm + ".err");
        Picture theirs;
        ASSERT_TRUE(ReadPnm(pnm, theirs));
        ASSERT_EQ(theirs.width, ours.width);
        ASSERT_EQ(theirs.height, ours.height);
        for (std::size_t i = 0; i < ours.pixels.size(); ++i) {
            if (sixteenBit)
                ASSERT_EQ(Top565(theirs.pixels[i]), Top565(ours.pixels[i])) << "pixel " << i;
            else
                ASSERT_EQ(theirs.pixels[i], ours.pixels[i]) << "pixel " << i;
        }
        const std::string named = dir_ + "/transparent.txt";
        ASSERT_EQ(0, RunCommand(std::string(kPalmToPnm) + " -transparent " + palm, named));
        std::string expected = test::ReadFileBytes(named);
        while (!expected.empty() && std::isspace(static_cast<unsigned char>(expected.back())))
            expected.pop_back();
        char mine[16] = "";
        if (ours.hasTransparent)
            std::snprintf(mine, sizeof mine, "#%06x", ours.transparentColour);
        EXPECT_EQ(expected, mine);
    }

    std::string dir_;
};

// 13 x 5: runs, a repeated row and a partly repeated one, in colours of the
// 8-bit palette (for greys: levels of the depth).
Picture Sample(const std::vector<std::uint32_t>& colours) {
    Picture p{13, 5, {}};
    const std::size_t n = colours.size();
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            std::size_t k = static_cast<std::size_t>(x * 5 + y) % n;
            if (y == 1 || (y == 3 && x < 6))
                k = 1 % n;
            if (y == 2 && x > 8)
                k = 0;
            p.pixels.push_back(colours[k]);
        }
    }
    return p;
}

std::vector<std::uint32_t> Greys(int depth) {
    std::vector<std::uint32_t> greys;
    const int levels = 1 << depth;
    for (int i = 0; i < levels; ++i)
        greys.push_back(static_cast<std::uint32_t>(255 * i / (levels - 1)) * 0x010101);
    return greys;
}

const std::vector<std::uint32_t> kColours = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000,
                                             0x336699, 0xCCCCCC, 0x999999, 0xFFCC00, 0x660033};

TEST_F(NetpbmTest, BitmapsFromPnmtopalm) {
    const struct {
        int depth;
        const char* options;
    } cases[] = {
        {1, ""},
        {1, "-scanline_compression"},
        {1, "-rle_compression"},
        {1, "-packbits_compression"},
        {2, ""},
        {2, "-scanline_compression"},
        {2, "-rle_compression"},
        {2, "-packbits_compression"},
        {4, ""},
        {4, "-scanline_compression"},
        {4, "-rle_compression"},
        {4, "-packbits_compression"},
        {8, ""},
        {8, "-scanline_compression"},
        {8, "-rle_compression"},
        {8, "-packbits_compression"},
        {8, "-colormap"},
        {8, "-colormap -rle_compression"},
        {8, "-transparent=rgb:ff/00/00"},
        {8, "-density=144"},
        {8, "-density=144 -scanline_compression"},
        {8, "-density=144 -rle_compression"},
        {8, "-density=144 -packbits_compression -transparent=rgb:00/00/ff"},
        {16, ""},
        {16, "-transparent=rgb:33/66/99"},
        {16, "-density=144"},
    };
    std::set<int> versions;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "depth " << c.depth << " " << c.options);
        const std::string ppm = dir_ + "/in.pnm";
        const std::string palm = dir_ + "/in.palm";
        const bool grey = c.depth <= 4;
        WritePnm(ppm, Sample(grey ? Greys(c.depth) : kColours), grey);
        ASSERT_EQ(0, RunCommand(std::string(kPnmToPalm) + " -depth=" + std::to_string(c.depth) +
                                    " " + c.options + " " + ppm,
                                palm))
            << test::ReadFileBytes(palm + ".err");
        Compare(palm, c.depth == 16);
        versions.insert(static_cast<unsigned char>(test::ReadFileBytes(palm).at(9)));
    }
    EXPECT_EQ((std::set<int>{0, 1, 2, 3}), versions);
}

TEST_F(NetpbmTest, BitmapsFromOurBuilder) {
    // Every palette entry palmtopnm knows (0 to 230), uncompressed and in each
    // compression; the builder's encoders are checked by the same reading.
    TbmpLayout palette;
    palette.width = 16;
    palette.height = 15;
    for (std::uint32_t i = 0; i < 240; ++i)
        palette.values.push_back(std::min<std::uint32_t>(i, 230));
    TbmpLayout grey = palette;
    grey.depth = 2;
    grey.values.clear();
    for (std::uint32_t i = 0; i < 240; ++i)
        grey.values.push_back((i * 7 / 5) % 4);
    TbmpLayout table = grey;
    table.depth = 4;
    table.version = 2;
    table.colourTable = std::vector<std::uint32_t>{0x102030, 0x405060, 0x708090, 0xA0B0C0};
    table.transparent = true;
    table.transparentIndex = 3;
    TbmpLayout direct;
    direct.width = 7;
    direct.height = 3;
    direct.depth = 16;
    direct.version = 2;
    direct.directColour = true;
    direct.transparent = true;
    direct.directTransparent = 0x336699;
    for (std::uint32_t i = 0; i < 21; ++i)
        direct.values.push_back(i * 0x0C63);

    struct Case {
        const char* name;
        TbmpLayout layout;
    };
    std::vector<Case> cases = {
        {"palette", palette}, {"greys", grey}, {"own table", table}, {"direct colour", direct}};
    for (int version : {2, 3}) {
        for (Packing packing : {Packing::kScanLine, Packing::kRunLength, Packing::kPackBits}) {
            TbmpLayout packed = palette;
            packed.version = version;
            packed.packing = packing;
            cases.push_back({"palette packed", packed});
        }
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " v" << c.layout.version << " compression "
                                        << static_cast<int>(c.layout.packing));
        const Bytes bytes = test::Tbmp(c.layout);
        const std::string palm = dir_ + "/ours.palm";
        test::WriteFileBytes(palm, std::string(bytes.begin(), bytes.end()));
        Compare(palm, c.layout.depth == 16);
    }
}

}  // namespace
}  // namespace tallowmere
