#include "exchange/stream.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "exchange/stream_compound.h"
#include "exchange/stream_file.h"
#include "exchange/stream_memory.h"
#include "support/test_env.h"

namespace tallowmere::exchange {
namespace {

std::string Pattern(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 7 + i / 251);
    return data;
}

std::unique_ptr<Stream> MemoryWith(const std::string& bytes) {
    auto stream = CreateMemoryStream();
    EXPECT_TRUE(stream->WriteText(bytes));
    EXPECT_TRUE(stream->Seek(0));
    return stream;
}

std::unique_ptr<Stream> TempFileWith(const std::string& bytes) {
    auto stream = CreateTempFileStream();
    EXPECT_NE(stream, nullptr);
    EXPECT_TRUE(stream->WriteText(bytes));
    EXPECT_TRUE(stream->Seek(0));
    return stream;
}

std::unique_ptr<Stream> CompoundWith(const std::string& bytes) {
    const std::size_t split = bytes.size() < 3 ? bytes.size() : 3;
    return std::make_unique<CompoundStream>(MemoryWith(bytes.substr(0, split)),
                                            TempFileWith(bytes.substr(split)));
}

std::string ReadAllBytes(Stream& stream) {
    std::string out;
    std::uint8_t c = 0;
    while (stream.ReadByte(c))
        out += static_cast<char>(c);
    return out;
}

std::string ReadAllBlocks(Stream& stream) {
    std::string out;
    const std::uint8_t* data = nullptr;
    std::size_t length = 0;
    while (stream.ReadBlock(data, length))
        out.append(reinterpret_cast<const char*>(data), length);
    return out;
}

struct StreamKind {
    const char* name;
    std::function<std::unique_ptr<Stream>(const std::string&)> make;
};

class EveryStreamTest : public ::testing::TestWithParam<StreamKind> {};

TEST_P(EveryStreamTest, ReadsBackAcrossBlockBoundaries) {
    const std::string data = Pattern(10000);
    auto stream = GetParam().make(data);
    EXPECT_EQ(stream->GetSize(), data.size());
    EXPECT_EQ(ReadAllBytes(*stream), data);
    EXPECT_EQ(stream->Tell(), data.size());

    ASSERT_TRUE(stream->Seek(0));
    EXPECT_EQ(ReadAllBlocks(*stream), data);
    EXPECT_EQ(stream->Tell(), data.size());

    // Bytes, then blocks from the middle of a buffered block.
    ASSERT_TRUE(stream->Seek(4090));
    std::uint8_t c = 0;
    ASSERT_TRUE(stream->PeekByte(c));
    EXPECT_EQ(c, static_cast<std::uint8_t>(data[4090]));
    ASSERT_TRUE(stream->ReadByte(c));
    EXPECT_EQ(stream->Tell(), 4091u);
    EXPECT_EQ(ReadAllBlocks(*stream), data.substr(4091));
}

TEST_P(EveryStreamTest, SeekPastTheEndFailsAtTheSize) {
    auto stream = GetParam().make(Pattern(5000));
    EXPECT_FALSE(stream->Seek(5001));
    EXPECT_EQ(stream->Tell(), 5000u);
    std::uint8_t c = 0;
    EXPECT_FALSE(stream->ReadByte(c));
    EXPECT_TRUE(stream->Seek(5000));
    EXPECT_TRUE(stream->Seek(4999));
    ASSERT_TRUE(stream->ReadByte(c));
    EXPECT_EQ(c, static_cast<std::uint8_t>(Pattern(5000)[4999]));
}

TEST_P(EveryStreamTest, TokensAndPatterns) {
    auto stream = GetParam().make("  HTTP/1.1 200 OK\r\nA: b\r\n\r\nbody");
    char token[64];
    ASSERT_TRUE(stream->ReadToken(token, sizeof token, false));
    EXPECT_STREQ(token, "HTTP/1.1");
    ASSERT_TRUE(stream->ReadToken(token, sizeof token, false));
    EXPECT_STREQ(token, "200");
    ASSERT_TRUE(stream->Seek(0));
    ASSERT_TRUE(stream->ReadToken(token, sizeof token, false));
    ASSERT_TRUE(stream->ReadToken(token, sizeof token, true));
    EXPECT_STREQ(token, "200 OK");
    ASSERT_TRUE(stream->SkipPast("\r\n\r\n"));
    EXPECT_EQ(ReadAllBytes(*stream), "body");
}

INSTANTIATE_TEST_SUITE_P(Streams, EveryStreamTest,
                         ::testing::Values(StreamKind{"Memory", MemoryWith},
                                           StreamKind{"TempFile", TempFileWith},
                                           StreamKind{"Compound", CompoundWith}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StreamTokenTest, BufferLimitsAndEnds) {
    struct Case {
        const char* input;
        std::size_t size;
        bool wholeLine;
        bool result;
        const char* token;
        const char* rest;
    } cases[] = {
        {"abc def", 0, false, false, nullptr, "abc def"},  // stores nothing at all
        {"abc def", 1, false, false, "", "abc def"},
        {"abcdef", 4, false, true, "abc", "def"},  // the remainder stays unread
        {"\r\n\t  ", 8, false, false, "", ""},
        {"", 8, false, false, "", ""},
        {"  tail", 8, false, true, "tail", ""},
        {"a b\tc\nd", 8, true, true, "a b\tc", "d"},
        {"a\tb", 8, false, true, "a", "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ReadOnlyMemoryStream stream(c.input, std::char_traits<char>::length(c.input));
        char buffer[16] = "untouched";
        EXPECT_EQ(stream.ReadToken(buffer, c.size, c.wholeLine), c.result);
        if (c.token != nullptr)
            EXPECT_STREQ(buffer, c.token);
        else
            EXPECT_STREQ(buffer, "untouched");
        EXPECT_EQ(ReadAllBytes(stream), c.rest);
    }
}

TEST(StreamSkipPastTest, FindsOverlappingMatches) {
    struct Case {
        std::string input;
        std::string pattern;
        bool found;
        std::size_t position;
    } cases[] = {
        {"HTTP/1.0 200 OK\r\nA: b\r\n\r\nbody\r\n\r\n", "\r\n\r\n", true, 25},
        {"\r\n\r\r\n\r\n", "\r\n\r\n", true, 7},  // the match starts inside a failed one
        {"aaab", "aab", true, 4},
        {"abababc", "ababc", true, 7},
        {"\r\n\r", "\r\n\r\n", false, 3},
        {"abc", "", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ReadOnlyMemoryStream stream(c.input.data(), c.input.size());
        EXPECT_EQ(stream.SkipPast(c.pattern), c.found);
        EXPECT_EQ(stream.Tell(), c.position);
    }
}

TEST(StreamHelpersTest, CopyFromWriteTextAndCopyText) {
    const std::string data = Pattern(9000);
    ReadOnlyMemoryStream source(data.data(), data.size());
    auto copy = CreateMemoryStream();
    ASSERT_TRUE(copy->WriteText("head:"));
    ASSERT_TRUE(copy->CopyFrom(source));
    ASSERT_TRUE(copy->Seek(0));
    EXPECT_EQ(ReadAllBytes(*copy), "head:" + data);

    ReadOnlyMemoryStream readOnly("x", 1);
    ReadOnlyMemoryStream again(data.data(), data.size());
    EXPECT_FALSE(readOnly.CopyFrom(again));

    char buffer[4];
    EXPECT_TRUE(copy->CopyText("abc", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(copy->CopyText("abcd", buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "abc");
    EXPECT_FALSE(copy->CopyText("a", buffer, 0));
    EXPECT_EQ(copy->GetErrorCode(), 0);
}

TEST(MemoryStreamTest, GrowsInWholeBlocks) {
    auto stream = CreateMemoryStream();
    EXPECT_EQ(stream->Capacity(), 0u);
    ASSERT_TRUE(stream->WriteText(std::string(4096, 'a')));
    EXPECT_EQ(stream->Capacity(), 4096u);  // a write ending at the capacity keeps it
    ASSERT_TRUE(stream->WriteText("b"));
    EXPECT_EQ(stream->Capacity(), 8192u);

    // Direct filling up to the capacity, then one more block of room.
    std::uint8_t* room = nullptr;
    std::size_t length = 0;
    ASSERT_TRUE(stream->GetWriteBuffer(room, length));
    ASSERT_EQ(length, 8192u - 4097u);
    std::fill(room, room + length, 'x');
    ASSERT_TRUE(stream->CommitWrite(length));
    ASSERT_TRUE(stream->GetWriteBuffer(room, length));
    EXPECT_EQ(length, 4096u);
    EXPECT_EQ(stream->Capacity(), 12288u);
    room[0] = 'y';
    ASSERT_TRUE(stream->CommitWrite(1));
    EXPECT_FALSE(stream->CommitWrite(5000));  // more than the room handed out

    EXPECT_EQ(stream->GetSize(), 8193u);
    ASSERT_TRUE(stream->Seek(0));
    EXPECT_EQ(ReadAllBytes(*stream),
              std::string(4096, 'a') + "b" + std::string(8192 - 4097, 'x') + "y");

    // Overwriting inside keeps the size.
    ASSERT_TRUE(stream->Seek(1));
    ASSERT_TRUE(stream->WriteText("ZZ"));
    EXPECT_EQ(stream->GetSize(), 8193u);
    EXPECT_EQ(stream->Tell(), 3u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream->Data()), 4), "aZZa");
}

TEST(MemoryStreamTest, ReadOnlyViewRefusesEveryWrite) {
    std::string bytes = "caller's bytes";
    ReadOnlyMemoryStream stream(bytes.data(), bytes.size());
    EXPECT_FALSE(stream.WriteText("X"));
    std::uint8_t* room = nullptr;
    std::size_t length = 0;
    EXPECT_FALSE(stream.GetWriteBuffer(room, length));
    EXPECT_FALSE(stream.CommitWrite(1));
    EXPECT_EQ(bytes, "caller's bytes");
    EXPECT_EQ(ReadAllBlocks(stream), bytes);
}

class TempFileStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* old = getenv("TMPDIR");
        oldTmp_ = old ? old : "";
        dir_ = test::MakeTempDir("tmpdir");
        setenv("TMPDIR", dir_.c_str(), 1);
    }
    void TearDown() override { setenv("TMPDIR", oldTmp_.c_str(), 1); }

    std::size_t Entries() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_))
            ++n;
        return n;
    }

    std::string oldTmp_;
    std::string dir_;
};

TEST_F(TempFileStreamTest, LeavesNothingInTheTemporaryFolder) {
    {
        auto stream = CreateTempFileStream();
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(stream->FileName().rfind(dir_ + "/tmp", 0), 0u);
        ASSERT_TRUE(stream->WriteText(Pattern(10000)));
        EXPECT_EQ(stream->GetSize(), 10000u);
        EXPECT_EQ(Entries(), 0u);  // never visible by name while it holds data
    }
    EXPECT_EQ(Entries(), 0u);

    setenv("TMPDIR", (dir_ + "/missing").c_str(), 1);
    EXPECT_EQ(CreateTempFileStream(), nullptr);
}

TEST_F(TempFileStreamTest, PositionCountsEveryByte) {
    auto stream = CreateTempFileStream();
    ASSERT_NE(stream, nullptr);
    const std::string data = Pattern(10000);
    ASSERT_TRUE(stream->WriteText(data));
    EXPECT_EQ(stream->Tell(), 10000u);

    // Overwrite in the middle, then read on from there without losing bytes
    // of the block buffered before.
    ASSERT_TRUE(stream->Seek(4000));
    ASSERT_TRUE(stream->WriteText("XYZ"));
    std::string expected = data;
    expected.replace(4000, 3, "XYZ");
    EXPECT_EQ(stream->GetSize(), 10000u);
    ASSERT_TRUE(stream->Seek(0));
    std::uint8_t c = 0;
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(stream->ReadByte(c));
    EXPECT_EQ(stream->GetSize(), 10000u);  // asking the size keeps the read block
    EXPECT_EQ(ReadAllBlocks(*stream), expected.substr(10));
    EXPECT_EQ(stream->Tell(), 10000u);

    // Appending after reading starts at the position, not at the file pointer.
    ASSERT_TRUE(stream->Seek(5));
    ASSERT_TRUE(stream->ReadByte(c));
    ASSERT_TRUE(stream->WriteText("!"));
    ASSERT_TRUE(stream->Seek(0));
    expected[6] = '!';
    EXPECT_EQ(ReadAllBytes(*stream), expected);
}

TEST(LargeStreamTest, AFailingWriteIsReportedBySeekAndSize) {
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    Win32LargeStream stream("/dev/full");
    ASSERT_TRUE(stream.Open());
    ASSERT_TRUE(stream.WriteText("short tail"));  // still in the block buffer
    EXPECT_FALSE(stream.Seek(0));
    EXPECT_EQ(stream.Tell(), 10u);
    EXPECT_EQ(stream.GetSize(), std::nullopt);
    EXPECT_FALSE(stream.Flush());
    EXPECT_FALSE(stream.WriteText(std::string(5000, 'x')));  // the full block cannot go out
}

TEST(LargeStreamTest, ExistingFileIsKept) {
    const std::string path = test::MakeTempDir("large") + "/data.bin";
    test::WriteFileBytes(path, "0123456789");
    {
        Win32LargeStream stream(path);
        ASSERT_TRUE(stream.Open());
        EXPECT_EQ(ReadAllBytes(stream), "0123456789");
        ASSERT_TRUE(stream.Seek(2));
        ASSERT_TRUE(stream.WriteText("ab"));
    }
    EXPECT_EQ(test::ReadFileBytes(path), "01ab456789");
    Win32LargeStream missing(path + ".none");
    EXPECT_FALSE(missing.Open());
    std::uint8_t c = 0;
    EXPECT_FALSE(missing.ReadByte(c));
    EXPECT_FALSE(missing.WriteText("x"));
}

TEST(CompoundStreamTest, ReadsBothPartsInTurn) {
    const std::string tail = Pattern(5000);
    CompoundStream stream(MemoryWith("abc"), TempFileWith(tail));
    EXPECT_EQ(stream.GetSize(), 5003u);
    EXPECT_EQ(ReadAllBytes(stream), "abc" + tail);
    ASSERT_TRUE(stream.Seek(0));
    EXPECT_EQ(ReadAllBlocks(stream), "abc" + tail);

    ASSERT_TRUE(stream.Seek(1));
    std::uint8_t c = 0;
    ASSERT_TRUE(stream.ReadByte(c));
    EXPECT_EQ(c, 'b');
    ASSERT_TRUE(stream.Seek(4100));  // into the second part, past its first block
    EXPECT_EQ(ReadAllBlocks(stream), tail.substr(4097));
    EXPECT_EQ(stream.Tell(), 5003u);

    EXPECT_FALSE(stream.WriteText("x"));
    std::uint8_t* room = nullptr;
    std::size_t length = 0;
    EXPECT_FALSE(stream.GetWriteBuffer(room, length));
    EXPECT_FALSE(stream.CommitWrite(0));

    CompoundStream broken(MemoryWith("abc"), nullptr);
    EXPECT_EQ(broken.GetSize(), std::nullopt);
    EXPECT_FALSE(broken.ReadByte(c));
}

}  // namespace
}  // namespace tallowmere::exchange
