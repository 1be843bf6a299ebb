// The object stream byte for byte: primitives, string and count length forms,
// object tags and the shared index table, and what the reader refuses.
#include "model/archive.h"

#include <errno.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "list_test_items.h"
#include "model/palm_list_item.h"
#include "platform/atomic_file.h"
#include "platform/win_error.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;

std::string Str(const std::vector<std::uint8_t>& v) {
    return {v.begin(), v.end()};
}

class ArchiveTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::RegisterTestClasses(); }
};

TEST_F(ArchiveTest, PrimitivesAreLittleEndianAndReadBack) {
    CArchive out;
    out.WriteByte(0xAB);
    out.WriteWord(0x1234);
    out.WriteInt32(-2);
    out.WriteUInt32(0xDEADBEEF);
    out.WriteInt64(-0x0102030405060708LL);
    out.WriteDouble(1.5);
    out.WriteBytes("xyz", 3);
    const Bytes expected = Bytes()
                               .B(0xAB)
                               .W(0x1234)
                               .D(0xFFFFFFFE)
                               .D(0xDEADBEEF)
                               .Q(static_cast<std::uint64_t>(-0x0102030405060708LL))
                               .Q(0x3FF8000000000000ULL)
                               .Raw("xyz");
    ASSERT_EQ(Str(out.Data()), expected.str());

    const auto data = expected.vec();
    CArchive in(data);
    EXPECT_TRUE(in.IsLoading());
    EXPECT_EQ(in.ReadByte(), 0xAB);
    EXPECT_EQ(in.ReadWord(), 0x1234);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadUInt32(), 0xDEADBEEFu);
    EXPECT_EQ(in.ReadInt64(), -0x0102030405060708LL);
    EXPECT_EQ(in.ReadDouble(), 1.5);
    char raw[3];
    in.ReadBytes(raw, 3);
    EXPECT_EQ(std::string(raw, 3), "xyz");
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_THROW(in.ReadByte(), ArchiveError);
}

TEST_F(ArchiveTest, ShortDataThrowsForEveryPrimitive) {
    const std::vector<std::uint8_t> three = {1, 2, 3};
    CArchive in(three);
    EXPECT_THROW(in.ReadUInt32(), ArchiveError);
    EXPECT_THROW(in.ReadInt64(), ArchiveError);
    EXPECT_THROW(in.ReadDouble(), ArchiveError);
    char buf[4];
    EXPECT_THROW(in.ReadBytes(buf, 4), ArchiveError);
    EXPECT_THROW(in.Skip(4), ArchiveError);
    EXPECT_EQ(in.Position(), 0u);  // a refused read consumes nothing
    EXPECT_EQ(in.ReadWord(), 0x0201);
}

TEST_F(ArchiveTest, StringLengthForms) {
    struct Case {
        std::size_t length;
        std::string header;
    };
    const Case cases[] = {
        {0, Bytes().B(0).str()},
        {1, Bytes().B(1).str()},
        {254, Bytes().B(0xFE).str()},
        {255, Bytes().B(0xFF).W(0x00FF).str()},
        {65533, Bytes().B(0xFF).W(0xFFFD).str()},
        // FFFE as a WORD would be the UTF-16 marker, so it takes the long form.
        {65534, Bytes().B(0xFF).W(0xFFFF).D(65534).str()},
        {65535, Bytes().B(0xFF).W(0xFFFF).D(65535).str()},
        {70000, Bytes().B(0xFF).W(0xFFFF).D(70000).str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string text(c.length, 'a');
        for (std::size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        CArchive out;
        out.WriteString(text);
        out.WriteByte(0x5A);
        const std::string written = Str(out.Data());
        ASSERT_EQ(written, c.header + text + "Z");

        CArchive in(out.Data());
        EXPECT_EQ(in.ReadString(), text);
        EXPECT_EQ(in.ReadByte(), 0x5A);
    }
}

TEST_F(ArchiveTest, ReadsEveryLengthFormIncludingUtf16) {
    struct Case {
        const char* what;
        std::string stream;
        std::string expected;
    };
    const std::string u16ab = Bytes().W('A').W('B').str();
    const Case cases[] = {
        {"64-bit length", Bytes().B(0xFF).W(0xFFFF).D(0xFFFFFFFF).Q(2).Raw("hi").str(), "hi"},
        {"UTF-16 short", Bytes().B(0xFF).W(0xFFFE).B(2).str() + u16ab, "AB"},
        {"UTF-16 WORD length", Bytes().B(0xFF).W(0xFFFE).B(0xFF).W(2).str() + u16ab, "AB"},
        {"UTF-16 DWORD length", Bytes().B(0xFF).W(0xFFFE).B(0xFF).W(0xFFFF).D(2).str() + u16ab,
         "AB"},
        {"UTF-16 64-bit length",
         Bytes().B(0xFF).W(0xFFFE).B(0xFF).W(0xFFFF).D(0xFFFFFFFF).Q(2).str() + u16ab, "AB"},
        {"UTF-16 empty", Bytes().B(0xFF).W(0xFFFE).B(0).str(), ""},
        {"UTF-16 to 1252",
         Bytes().B(0xFF).W(0xFFFE).B(5).W(0x20AC).W(0x00E9).W(0x0100).W(0x2019).W(0x7E).str(),
         "\x80\xE9?\x92~"},
        {"UTF-16 surrogate pair", Bytes().B(0xFF).W(0xFFFE).B(3).W(0xD83D).W(0xDE00).W('x').str(),
         "?x"},
        {"UTF-16 lone surrogates", Bytes().B(0xFF).W(0xFFFE).B(3).W(0xD800).W('A').W(0xDC00).str(),
         "?A?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string stream = c.stream + "!";
        const std::vector<std::uint8_t> data(stream.begin(), stream.end());
        CArchive in(data);
        EXPECT_EQ(in.ReadString(), c.expected);
        EXPECT_EQ(in.ReadByte(), '!');
    }
}

TEST_F(ArchiveTest, RefusesStringLengthsBeyondTheData) {
    const std::string cases[] = {
        Bytes().B(5).Raw("abc").str(),
        Bytes().B(0xFF).W(300).Raw("abc").str(),
        Bytes().B(0xFF).W(0xFFFF).D(0xFFFFFFFE).Raw("abc").str(),
        Bytes().B(0xFF).W(0xFFFF).D(0xFFFFFFFF).Q(~0ULL).Raw("abc").str(),
        Bytes().B(0xFF).W(0xFFFF).D(0xFFFFFFFF).Q(1ULL << 63).Raw("abc").str(),
        Bytes().B(0xFF).W(0xFFFE).B(2).W('A').str(),
        Bytes().B(0xFF).W(0xFFFE).B(0xFF).W(0xFFFF).D(0xFFFFFFFF).Q(1ULL << 63).str(),
        Bytes().B(0xFF).W(0xFFFE).B(0xFF).W(0xFFFF).D(0x80000000).W('A').str(),
        Bytes().B(0xFF).str(),
        Bytes().B(0xFF).W(0xFFFE).str(),
    };
    for (const auto& stream : cases) {
        SCOPED_TRACE(::testing::PrintToString(stream));
        const std::vector<std::uint8_t> data(stream.begin(), stream.end());
        {
            CArchive in(data);
            EXPECT_THROW(in.ReadString(), ArchiveError);
        }
        {
            CArchive in(data);
            char field[8];
            EXPECT_THROW(in.ReadStringInto(field, sizeof field), ArchiveError);
        }
    }
}

TEST_F(ArchiveTest, ReadStringIntoBoundsAndZeroFillsTheField) {
    const Bytes stream = Bytes().Str("abcdefgh").Str("ab").B(0xFF).W(0xFFFE).B(2).W(0x20AC).W('z');
    const auto data = stream.vec();
    CArchive in(data);
    char field[5];
    std::memset(field, 'x', sizeof field);
    in.ReadStringInto(field, sizeof field);
    EXPECT_EQ(std::string(field, sizeof field), std::string("abcd\0", 5));
    std::memset(field, 'x', sizeof field);
    in.ReadStringInto(field, sizeof field);
    EXPECT_EQ(std::string(field, sizeof field), std::string("ab\0\0\0", 5));
    in.ReadStringInto(field, sizeof field);
    EXPECT_EQ(std::string(field, sizeof field), std::string("\x80z\0\0\0", 5));
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST_F(ArchiveTest, CountForms) {
    struct Case {
        std::uint32_t count;
        std::string bytes;
    };
    const Case cases[] = {
        {0, Bytes().W(0).str()},
        {1, Bytes().W(1).str()},
        {0xFFFE, Bytes().W(0xFFFE).str()},
        {0xFFFF, Bytes().W(0xFFFF).D(0xFFFF).str()},
        {70000, Bytes().W(0xFFFF).D(70000).str()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        CArchive out;
        out.WriteCount(c.count);
        ASSERT_EQ(Str(out.Data()), c.bytes);
        CArchive in(out.Data());
        EXPECT_EQ(in.ReadCount(0), c.count);
    }
}

TEST_F(ArchiveTest, CountMustFitInTheRemainingBytes) {
    const auto six = Bytes().W(3).Raw("123456").vec();
    EXPECT_EQ(CArchive(six).ReadCount(2), 3u);
    EXPECT_THROW(CArchive(six).ReadCount(3), ArchiveError);
    const auto five = Bytes().W(3).Raw("12345").vec();
    EXPECT_THROW(CArchive(five).ReadCount(2), ArchiveError);
    const auto huge = Bytes().W(0xFFFF).D(0xFFFFFFFF).Raw("12").vec();
    EXPECT_THROW(CArchive(huge).ReadCount(1), ArchiveError);
}

TEST_F(ArchiveTest, NullObjectIsTagZero) {
    CArchive out;
    out.WriteObject(nullptr);
    ASSERT_EQ(Str(out.Data()), Bytes().W(0).str());
    CArchive in(out.Data());
    EXPECT_EQ(in.ReadOwnedObject(), nullptr);
}

// The first class takes index 1 and its first object 2; a second class that
// first appears after n objects therefore takes index n + 2. Past 7FFE the
// second class's references take the long form while class 1 stays 8001.
TEST_F(ArchiveTest, ClassesAndObjectsShareOneIndexTable) {
    for (std::uint32_t n : {1u, 3u, 0x7FFCu, 0x7FFDu, 40000u}) {
        SCOPED_TRACE(n);
        const RecordId id = RecordId::Fixed(7);
        CArchive out;
        std::vector<std::unique_ptr<CObject>> objects;
        for (std::uint32_t i = 0; i < n; ++i)
            objects.push_back(std::make_unique<CCommonListItem>());
        objects.push_back(std::make_unique<test::TestNamedItem>("First", id));
        objects.push_back(std::make_unique<CCommonListItem>());
        objects.push_back(std::make_unique<test::TestNamedItem>("Second", id));
        for (auto& obj : objects)
            out.WriteObject(obj.get());

        Bytes expected;
        expected.NewClass("CCommonListItem").D(0).B(0);
        for (std::uint32_t i = 1; i < n; ++i)
            expected.W(0x8001).D(0).B(0);
        expected.NewClass(test::kNamedItemClass).NamedItem(0, 0, id, "First");
        expected.W(0x8001).D(0).B(0);
        const std::uint32_t second = n + 2;
        if (second < 0x7FFF) {
            expected.W(static_cast<std::uint16_t>(0x8000 | second));
        } else {
            expected.W(0x7FFF).D(0x80000000u | second);
        }
        expected.NamedItem(0, 0, id, "Second");
        ASSERT_EQ(Str(out.Data()), expected.str());

        CArchive in(out.Data());
        for (std::uint32_t i = 0; i < n; ++i) {
            auto obj = in.ReadOwnedObject();
            ASSERT_NE(obj, nullptr);
            ASSERT_EQ(obj->GetClassName(), "CCommonListItem");
        }
        auto first = in.ReadOwnedObject();
        auto middle = in.ReadOwnedObject();
        auto last = in.ReadOwnedObject();
        ASSERT_NE(dynamic_cast<test::TestNamedItem*>(first.get()), nullptr);
        EXPECT_EQ(middle->GetClassName(), "CCommonListItem");
        auto* named = dynamic_cast<test::TestNamedItem*>(last.get());
        ASSERT_NE(named, nullptr);
        EXPECT_EQ(named->GetName(), "Second");
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST_F(ArchiveTest, ReaderAcceptsTheLongClassFormForAnyIndex) {
    const auto data =
        Bytes().NewClass("CPalmListItem").D(1).B(0).W(0x7FFF).D(0x80000001u).D(2).B(0x80).vec();
    CArchive in(data);
    in.ReadOwnedObject();
    auto obj = in.ReadOwnedObject();
    auto* item = dynamic_cast<CPalmListItem*>(obj.get());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetRecordNumber(), 2);
    EXPECT_TRUE(item->IsDeleted());
}

TEST_F(ArchiveTest, AnySchemaIsAccepted) {
    const auto data = Bytes().W(0xFFFF).W(0x1234).W(13).Raw("CPalmListItem").D(0).B(0).vec();
    CArchive in(data);
    EXPECT_NE(in.ReadOwnedObject(), nullptr);
}

TEST_F(ArchiveTest, RefusesWhatAnOwnedObjectCannotBe) {
    // Each stream holds `good` readable objects, then one that must be refused.
    const std::string item = Bytes().D(0).B(0).str();
    const std::string first = Bytes().NewClass("CCommonListItem").str() + item;
    struct Case {
        const char* what;
        std::string stream;
        int good;
    };
    const Case cases[] = {
        {"unknown class", Bytes().NewClass("CNoSuchItem").str() + item, 0},
        {"names are case-sensitive", Bytes().NewClass("CCOMMONLISTITEM").str() + item, 0},
        {"class without a factory", Bytes().NewClass(test::kNoFactoryClass).str() + item, 0},
        {"back-reference", first + Bytes().W(0x0002).str(), 1},
        {"back-reference, long form", first + Bytes().W(0x7FFF).D(2).str(), 1},
        {"class index not defined yet", Bytes().W(0x8001).str() + item, 0},
        {"class index beyond the table", first + Bytes().W(0x8003).str() + item, 1},
        {"class index of an object entry", first + Bytes().W(0x8002).str() + item, 1},
        {"long class index of an object entry", first + Bytes().W(0x7FFF).D(0x80000002u).str(), 1},
        {"class index zero", Bytes().W(0x8000).str() + item, 0},
        {"truncated class name", Bytes().W(0xFFFF).W(0).W(15).Raw("CCommon").str(), 0},
        {"truncated object data", first + Bytes().W(0x8001).D(0).str(), 1},
        {"truncated tag", first + Bytes().B(0x01).str(), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint8_t> data(c.stream.begin(), c.stream.end());
        CArchive in(data);
        for (int i = 0; i < c.good; ++i)
            ASSERT_NE(in.ReadOwnedObject(), nullptr);
        EXPECT_THROW(in.ReadOwnedObject(), ArchiveError);
    }
}

TEST_F(ArchiveTest, FilterRefusesBeforeTheObjectReadsItsData) {
    const auto data = Bytes().NewClass("CCommonListItem").D(0).B(0).vec();
    CArchive in(data);
    const CArchive::ObjectFilter onlyPlain = [](const CObject& obj) {
        return dynamic_cast<const CListItem*>(&obj) != nullptr;
    };
    try {
        in.ReadOwnedObject(onlyPlain);
        FAIL() << "a list record passed a filter for plain items";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.code, kErrorBadFile);
    }
    EXPECT_EQ(in.Position(), data.size() - 5);
}

TEST_F(ArchiveTest, RegistryHoldsTheSystemClassNames) {
    const char* names[] = {"CPalmListItem",  "CPalmFileList", "CCommonListItem", "CCommonList",
                           "CListItem",      "CCategoryItem", "CCategoryList",   "CClassItem",
                           "CCurrencyItem",  "CFiItem",       "CPayeeItem",      "CPayeeLookupItem",
                           "CScheduledItem", "CTransaction",  "CTransactionType"};
    for (const char* name : names) {
        const CRuntimeClass* rc = FindRuntimeClass(name);
        ASSERT_NE(rc, nullptr) << name;
        EXPECT_EQ(rc->name, name);
    }
    for (const char* name : {"CPalmListItem", "CCommonListItem", "CListItem"}) {
        const CRuntimeClass* rc = FindRuntimeClass(name);
        ASSERT_NE(rc->create, nullptr) << name;
        auto obj = rc->create();
        EXPECT_EQ(obj->GetClassName(), name);
    }
    EXPECT_EQ(FindRuntimeClass("CFileList"), nullptr);
    EXPECT_EQ(FindRuntimeClass("clistitem"), nullptr);
    EXPECT_EQ(FindRuntimeClass(""), nullptr);
}

TEST_F(ArchiveTest, ReregisteringKeepsEarlierRecordsValid) {
    std::string name = "CTestReregistered";
    RegisterRuntimeClass({name, nullptr});
    const CRuntimeClass* before = FindRuntimeClass("CTestReregistered");
    ASSERT_NE(before, nullptr);
    name.assign("overwritten");  // the registry keeps its own copy
    RegisterRuntimeClass({"CTestReregistered", &CreateForLoad<CListItem>});
    const CRuntimeClass* after = FindRuntimeClass("CTestReregistered");
    ASSERT_NE(after, nullptr);
    EXPECT_NE(after->create, nullptr);
    EXPECT_EQ(before->name, "CTestReregistered");
    EXPECT_EQ(before->create, nullptr);
}

TEST_F(ArchiveTest, RegistryServesThreadsAtOnce) {
    std::atomic<int> misses{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &misses] {
            for (int i = 0; i < 500; ++i) {
                const std::string name =
                    "CTestThread" + std::to_string(t) + "_" + std::to_string(i);
                RegisterRuntimeClass({name, &CreateForLoad<CListItem>});
                if (FindRuntimeClass(name) == nullptr)
                    ++misses;
                if (FindRuntimeClass("CPalmListItem") == nullptr)
                    ++misses;
            }
        });
    }
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(misses.load(), 0);
}

// Writes of every kind, single bytes landing on block edges among them.
void WriteMixture(CArchive& ar) {
    for (int i = 0; i < 3000; ++i) {
        ar.WriteByte(static_cast<std::uint8_t>(i));
        ar.WriteString(
            std::string(static_cast<std::size_t>(i % 300), static_cast<char>('a' + i % 26)));
        ar.WriteInt64(i);
    }
    const std::vector<std::uint8_t> big(3 * CArchive::kStreamBlock + 7, 0x42);
    ar.WriteBytes(big.data(), big.size());
    for (std::size_t i = 0; i < 2 * CArchive::kStreamBlock; ++i)
        ar.WriteByte(static_cast<std::uint8_t>(i * 31));
}

TEST_F(ArchiveTest, StreamingHandsTheSameBytesInWholeBlocks) {
    CArchive memory;
    WriteMixture(memory);
    std::vector<std::size_t> blocks;
    std::vector<std::uint8_t> streamed;
    CArchive stream([&](std::span<const std::uint8_t> block) {
        blocks.push_back(block.size());
        streamed.insert(streamed.end(), block.begin(), block.end());
        return 0;
    });
    WriteMixture(stream);
    stream.Flush();
    EXPECT_EQ(streamed, memory.Data());
    ASSERT_GT(blocks.size(), 5u);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i)
        EXPECT_EQ(blocks[i], CArchive::kStreamBlock) << "block " << i;
    EXPECT_GT(blocks.back(), 0u);
    stream.Flush();
    EXPECT_EQ(streamed.size(), memory.Data().size()) << "nothing is handed over twice";
}

TEST_F(ArchiveTest, SinkErrorStopsTheStoreWithItsCode) {
    int calls = 0;
    CArchive stream([&](std::span<const std::uint8_t>) { return ++calls == 2 ? 112 : 0; });
    const std::vector<std::uint8_t> big(3 * CArchive::kStreamBlock, 1);
    try {
        stream.WriteBytes(big.data(), big.size());
        ADD_FAILURE() << "no error";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.code, 112);
    }
    EXPECT_EQ(calls, 2);
}

// An object of a few blocks, saved as every list and account file is.
class BlocksObject : public CObject {
  public:
    std::string_view GetClassName() const override { return "CBlocksObject"; }
    void Serialize(CArchive& ar) override { WriteMixture(ar); }
};

TEST_F(ArchiveTest, SaveObjectFileStreamsAndKeepsTheOldFileOnAFault) {
    const std::string dir = test::MakeTempDir("stream");
    const std::string path = dir + "/Big.wqm";
    test::WriteFileBytes(path, "old");
    BlocksObject obj;
    std::vector<std::uint8_t> whole;
    ASSERT_EQ(SaveObjectData(obj, whole), 0);

    platform::SetWriteFault([](std::size_t written, int& err) {
        err = ENOSPC;
        return written < 3 * CArchive::kStreamBlock / 2;
    });
    const int failed = SaveObjectFile(path, obj);
    platform::SetWriteFault(nullptr);
    EXPECT_EQ(failed, platform::kErrorDiskFull);
    EXPECT_EQ(test::ReadFileBytes(path), "old");

    ASSERT_EQ(SaveObjectFile(path, obj), 0);
    EXPECT_EQ(test::ReadFileBytes(path), Str(whole));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++files;
    EXPECT_EQ(files, 1u) << "no temporary file is left";
}

}  // namespace
}  // namespace tallowmere
