#include "model/pdb_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "support/palm_builder.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::PdbLayout;

class PdbFileTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = test::MakeTempDir("pdb") + "/db.pdb"; }

    PdbFile Write(const Bytes& bytes) {
        test::WriteFileBytes(path_, std::string(bytes.begin(), bytes.end()));
        return PdbFile(std::fopen(path_.c_str(), "rb"));
    }
    int Open(const Bytes& bytes, PdbHandle& db) { return PdbOpen(Write(bytes), db); }

    std::string path_;
};

test::PdbResource Resource(std::uint16_t id, std::size_t size, std::uint8_t fill = 0x5A) {
    return {0x54626D70, id, Bytes(size, fill)};
}

// Two resources of 100 bytes: g = 100, offsets 100 and 200, 300 bytes.
Bytes TwoResources() {
    PdbLayout layout;
    layout.resources = {Resource(1, 100), Resource(2, 100)};
    return test::Pdb(layout);
}

TEST_F(PdbFileTest, ValidatesTheHeaderAndOffsets) {
    auto changed = [](Bytes b, auto change) {
        change(b);
        return b;
    };
    auto offsets = [&](std::uint32_t first, std::uint32_t second) {
        return changed(TwoResources(), [&](Bytes& b) {
            test::SetBE32(b, test::PdbResourceOffsetAt(0), first);
            test::SetBE32(b, test::PdbResourceOffsetAt(1), second);
        });
    };
    const Bytes empty = test::Pdb({});
    PdbLayout withApp;
    withApp.appInfo = Bytes(4, 1);
    withApp.resources = {Resource(1, 10)};
    PdbLayout withBoth = withApp;
    withBoth.sortInfo = Bytes(4, 2);
    PdbLayout sortOnly;
    sortOnly.sortInfo = Bytes(4, 2);
    PdbLayout records;
    records.attributes = 0;
    records.resources = {Resource(0, 3), Resource(0, 4)};
    PdbLayout one;
    one.resources = {Resource(1, 10)};

    const struct {
        const char* name;
        Bytes file;
        int code;
    } cases[] = {
        {"79 bytes", Bytes(79, 0), kPdbErrorInvalid},
        {"empty database of 80 bytes", empty, 0},
        {"empty database with a byte more", changed(empty, [](Bytes& b) { b.push_back(0); }),
         kPdbErrorInvalid},
        {"next record list set",
         changed(empty, [](Bytes& b) { test::SetBE32(b, test::kPdbNextListAt, 1); }),
         kPdbErrorInvalid},
        {"name without NUL in 32 bytes",
         changed(empty, [](Bytes& b) { std::fill_n(b.begin(), 32, 'A'); }), kPdbErrorInvalid},
        {"name of 31 characters", changed(empty, [](Bytes& b) { std::fill_n(b.begin(), 31, 'A'); }),
         0},
        {"type 0", changed(empty, [](Bytes& b) { test::SetBE32(b, test::kPdbTypeAt, 0); }),
         kPdbErrorInvalid},
        {"creator 0", changed(empty, [](Bytes& b) { test::SetBE32(b, test::kPdbCreatorAt, 0); }),
         kPdbErrorInvalid},
        {"shorter than g", changed(test::Pdb(one), [](Bytes& b) { b.resize(89); }),
         kPdbErrorInvalid},
        {"two resources", TwoResources(), 0},
        {"offsets 200 then 150", offsets(200, 150), kPdbErrorInvalid},
        {"equal offsets", offsets(100, 100), kPdbErrorInvalid},
        {"offset below g", offsets(99, 200), kPdbErrorInvalid},
        {"offset g - 2", offsets(98, 200), 0},
        {"offset g - 3", offsets(97, 200), kPdbErrorInvalid},
        {"offset 0", offsets(0, 200), kPdbErrorInvalid},
        {"offset at the end of the file", offsets(100, 300), kPdbErrorInvalid},
        {"application info at g", test::Pdb(withApp), 0},
        {"application info past g",
         changed(test::Pdb(withApp), [](Bytes& b) { test::SetBE32(b, test::kPdbAppInfoAt, 92); }),
         kPdbErrorInvalid},
        {"application info at the end of the file",
         changed(empty, [](Bytes& b) { test::SetBE32(b, test::kPdbAppInfoAt, 80); }),
         kPdbErrorInvalid},
        {"sort info after application info", test::Pdb(withBoth), 0},
        {"sort info on the application info",
         changed(test::Pdb(withBoth), [](Bytes& b) { test::SetBE32(b, test::kPdbSortInfoAt, 90); }),
         kPdbErrorInvalid},
        {"sort info alone at g", test::Pdb(sortOnly), 0},
        {"sort info alone past g",
         changed(test::Pdb(sortOnly), [](Bytes& b) { test::SetBE32(b, test::kPdbSortInfoAt, 82); }),
         kPdbErrorInvalid},
        {"entry on the sort info",
         changed(test::Pdb(withBoth),
                 [](Bytes& b) { test::SetBE32(b, test::PdbResourceOffsetAt(0), 94); }),
         kPdbErrorInvalid},
        {"record database", test::Pdb(records), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PdbHandle db;
        EXPECT_EQ(c.code, Open(c.file, db));
        EXPECT_EQ(c.code == 0, db != nullptr);
    }
}

TEST_F(PdbFileTest, HeaderFieldsAndDates) {
    PdbLayout layout;
    layout.name = "BrackwaterIcons";
    layout.creationDate = 2082844800u + 86400u;  // 1970-01-02
    layout.resources = {Resource(7, 3)};
    PdbHandle db;
    ASSERT_EQ(0, Open(test::Pdb(layout), db));
    PdbHeader header;
    ASSERT_EQ(0, PdbGetHeader(*db, header));
    EXPECT_EQ("BrackwaterIcons", header.name);
    EXPECT_EQ(86400u, header.creationDate);
    EXPECT_EQ(86400u, header.modificationDate);
    EXPECT_EQ(0u, header.backupDate);  // stored 0, before 1970
    EXPECT_EQ(0x49636F6Eu, header.type);
    EXPECT_EQ(0x42726B77u, header.creator);
    EXPECT_EQ(1, header.entryCount);
    EXPECT_EQ(PdbKind::kResource, header.kind);

    layout.attributes = 0;
    layout.creationDate = 2082844799u;
    ASSERT_EQ(0, Open(test::Pdb(layout), db));
    ASSERT_EQ(0, PdbGetHeader(*db, header));
    EXPECT_EQ(PdbKind::kRecord, header.kind);
    EXPECT_EQ(0u, header.creationDate);
}

TEST_F(PdbFileTest, EntriesRunToTheNextOffsetAndTheLastToTheEnd) {
    PdbLayout layout;
    layout.resources = {Resource(3, 5, 0x11), {0x74414942, 9, Bytes(7, 0x22)}};
    const Bytes file = test::Pdb(layout);
    PdbHandle db;
    ASSERT_EQ(0, Open(file, db));
    PdbRecordInfo info;
    ASSERT_EQ(0, PdbGetRecordInfo(*db, 1, info));
    EXPECT_EQ(7u, info.size);
    EXPECT_EQ(0x74414942u, info.type);
    EXPECT_EQ(9, info.id);
    std::uint32_t offset = 0;
    ASSERT_EQ(0, PdbGetRecordOffset(*db, 1, offset));
    EXPECT_EQ(100u + 5u, offset);

    std::span<const std::uint8_t> data;
    ASSERT_EQ(0, PdbReadRecord(*db, 0, info, data));
    EXPECT_EQ(Bytes(5, 0x11), Bytes(data.begin(), data.end()));
    EXPECT_EQ(3, info.id);
    ASSERT_EQ(0, PdbReadRecord(*db, 1, info, data));
    EXPECT_EQ(Bytes(7, 0x22), Bytes(data.begin(), data.end()));

    // Record databases have no type or id.
    layout.attributes = 0;
    ASSERT_EQ(0, Open(test::Pdb(layout), db));
    ASSERT_EQ(0, PdbGetRecordInfo(*db, 0, info));
    EXPECT_EQ(5u, info.size);
    EXPECT_EQ(0u, info.type);
    EXPECT_EQ(0, info.id);
}

TEST_F(PdbFileTest, EveryErrorSticks) {
    const struct {
        const char* name;
        int (*fail)(PdbDatabase&);
        int code;
    } cases[] = {
        {"info index",
         [](PdbDatabase& db) {
             PdbRecordInfo i;
             return PdbGetRecordInfo(db, 2, i);
         },
         kPdbErrorIndex},
        {"offset index",
         [](PdbDatabase& db) {
             std::uint32_t o;
             return PdbGetRecordOffset(db, 2, o);
         },
         kPdbErrorIndex},
        {"read index",
         [](PdbDatabase& db) {
             PdbRecordInfo i;
             std::span<const std::uint8_t> d;
             return PdbReadRecord(db, 2, i, d);
         },
         kPdbErrorReadIndex},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PdbHandle db;
        ASSERT_EQ(0, Open(TwoResources(), db));
        EXPECT_EQ(c.code, c.fail(*db));
        PdbHeader header;
        EXPECT_EQ(c.code, PdbGetHeader(*db, header));
        PdbRecordInfo info;
        EXPECT_EQ(c.code, PdbGetRecordInfo(*db, 0, info));
        std::span<const std::uint8_t> data;
        EXPECT_EQ(c.code, PdbReadRecord(*db, 0, info, data));
        EXPECT_TRUE(data.empty());
        EXPECT_EQ(c.code, PdbClose(std::move(db), false));
    }
}

TEST_F(PdbFileTest, ReadsAreCapped) {
    PdbLayout layout;
    layout.resources = {Resource(1, kPdbMaxRecordSize), Resource(2, kPdbMaxRecordSize + 1)};
    PdbHandle db;
    ASSERT_EQ(0, Open(test::Pdb(layout), db));
    PdbRecordInfo info;
    std::span<const std::uint8_t> data;
    EXPECT_EQ(0, PdbReadRecord(*db, 0, info, data));
    EXPECT_EQ(kPdbMaxRecordSize, data.size());
    EXPECT_EQ(kPdbErrorMemory, PdbReadRecord(*db, 1, info, data));
}

TEST_F(PdbFileTest, FileShortenedAfterOpeningFailsTheRead) {
    // Entries larger than the stream's buffer, so the second is read anew.
    PdbLayout layout;
    layout.resources = {Resource(1, 20000), Resource(2, 20000)};
    PdbHandle db;
    ASSERT_EQ(0, Open(test::Pdb(layout), db));
    ASSERT_EQ(0, ::truncate(path_.c_str(), 100 + 20000 + 10000));
    PdbRecordInfo info;
    std::span<const std::uint8_t> data;
    EXPECT_EQ(0, PdbReadRecord(*db, 0, info, data));
    EXPECT_EQ(kPdbErrorFile, PdbReadRecord(*db, 1, info, data));
    EXPECT_EQ(kPdbErrorFile, PdbReadRecord(*db, 0, info, data));
}

TEST_F(PdbFileTest, CloseDeletesOnlyANamedFile) {
    PdbHandle db;
    ASSERT_EQ(0, Open(TwoResources(), db));
    EXPECT_EQ(0, PdbClose(std::move(db), true));
    EXPECT_EQ(0, ::access(path_.c_str(), F_OK));

    ASSERT_EQ(0, PdbOpen(PdbFile(std::fopen(path_.c_str(), "rb")), db, path_));
    EXPECT_EQ(0, PdbClose(std::move(db), false));
    EXPECT_EQ(0, ::access(path_.c_str(), F_OK));

    ASSERT_EQ(0, PdbOpen(PdbFile(std::fopen(path_.c_str(), "rb")), db, path_));
    EXPECT_EQ(0, PdbClose(std::move(db), true));
    EXPECT_NE(0, ::access(path_.c_str(), F_OK));

    EXPECT_EQ(kPdbErrorFile, PdbOpen(PdbFile(), db));
}

}  // namespace
}  // namespace tallowmere
