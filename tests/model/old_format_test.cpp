// Old id-first records: the layout decision over a category file's raw
// records, and the conversion.
#include "model/old_format.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using Record = CCategoryItem::Record;

// Current layout: name[33], then the id.
Record Current(std::string_view name, const RecordId& id) {
    Record r{};
    for (std::size_t i = 0; i < name.size() && i < 32; ++i)
        r[i] = static_cast<std::uint8_t>(name[i]);
    for (std::size_t i = 0; i < 8; ++i)
        r[33 + i] = id.bytes[i];
    return r;
}

// Old layout: the id, then name[33].
Record Old(std::string_view name, const RecordId& id) {
    Record r{};
    for (std::size_t i = 0; i < 8; ++i)
        r[i] = id.bytes[i];
    for (std::size_t i = 0; i < name.size() && i < 32; ++i)
        r[8 + i] = static_cast<std::uint8_t>(name[i]);
    return r;
}

const RecordId kUserId = {{0x21, 0x5A, 0x00, 0x07, 0xD9, 0x3E, 0x11, 0x4F}};
const RecordId kUserIdEndingInZero = {{0x21, 0x5A, 0x00, 0x08, 0xD9, 0x3E, 0x11, 0x00}};

// Ids without a NUL or control byte: an old record holding one and a short
// name reads as a current record too.
const RecordId kPrintableId = {{0x41, 0x5A, 0x23, 0x30, 0xC8, 0x50, 0x60, 0x70}};
const RecordId kPrintableId2 = {{0x41, 0x5A, 0x23, 0x31, 0xC9, 0x22, 0x7E, 0x25}};
// Made in 1980, before any id of the program.
const RecordId kTooEarlyId = {{0x21, 0x5A, 0x00, 0x07, 0x8F, 0xBC, 0xBA, 0x80}};

TEST(OldFormat, LayoutDecisionFromRawRecords) {
    using enum CategoryLayout;
    const std::string longName = "Home Improvement Projects";  // 25 characters
    // Bytes 0-7 of a current record whose name is empty but whose field still
    // holds old bytes after the NUL: it looks like a built-in id at byte 0.
    Record leftover = Current("", kUserId);
    leftover[7] = 0x6C;
    Record control = Current("Pets", kUserId);
    control[2] = 0x09;
    struct Case {
        const char* what;
        std::vector<Record> records;
        CategoryLayout layout;
    };
    const std::vector<Case> cases = {
        {"no records", {}, kCurrent},
        {"current with Auto",
         {Current("Auto", AutoCategoryId), Current("Pets", kUserId)},
         kCurrent},
        {"current, Auto gone, another built-in left",
         {Current("Pets", kUserId), Current("Salary", RecordId::Fixed(0x6B))},
         kCurrent},
        {"current, no built-in at all",
         {Current("Pets", kUserIdEndingInZero), Current("Garden", kUserId)},
         kCurrent},
        {"current, a fixed id that is no built-in",
         {Current("Pets", RecordId::Fixed(0x70)), Current("Garden", kUserId)},
         kCurrent},
        {"current, one id from before any id was made",
         {Current("Pets", kTooEarlyId), Current("Garden", kUserId)},
         kUnclear},
        {"current, a name with a control byte", {control, Current("Garden", kUserId)}, kUnclear},
        {"current, leftover bytes after an empty name", {leftover}, kUnclear},
        {"old with Auto", {Old("Pets", kUserId), Old("Auto", AutoCategoryId)}, kIdFirst},
        {"old with only Salary", {Old("Salary", RecordId::Fixed(0x6B))}, kIdFirst},
        {"old, no built-in, a long name", {Old("Pets", kUserId), Old(longName, kUserId)}, kIdFirst},
        {"old, no built-in, short names only", {Old("Pets", kUserId)}, kIdFirst},
        {"old, no built-in, a zero id",
         {Old("Pets", kNoneId), Old("Garden", kPrintableId)},
         kIdFirst},
        {"old, short names, ids that read as names",
         {Old("Pets", kPrintableId), Old("Garden", kPrintableId2)},
         kUnclear},
        {"a current built-in outweighs an old one",
         {Old("Salary", RecordId::Fixed(0x6B)), Current("Auto", AutoCategoryId)},
         kCurrent},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JudgeCategoryRecords(c.records), c.layout) << c.what;
}

TEST(OldFormat, ConvertMovesIdAndNameOnly) {
    std::vector<std::uint8_t> record(50);
    std::iota(record.begin(), record.end(), std::uint8_t{1});
    std::vector<std::uint8_t> expected(50);
    for (std::size_t i = 0; i < 33; ++i)
        expected[i] = record[8 + i];
    for (std::size_t i = 0; i < 8; ++i)
        expected[33 + i] = record[i];
    for (std::size_t i = 41; i < 50; ++i)
        expected[i] = record[i];
    ConvertIdFirstRecord(record);
    EXPECT_EQ(record, expected);

    std::vector<std::uint8_t> shortRecord(40, 7);
    ConvertIdFirstRecord(shortRecord);
    EXPECT_EQ(shortRecord, std::vector<std::uint8_t>(40, 7));

    Record old = Old("Fuel", RecordId::Fixed(0x6D));
    ConvertIdFirstRecord(old);
    EXPECT_EQ(old, Current("Fuel", RecordId::Fixed(0x6D)));
}

// A category file of the given records; attribute 0xC0 for deleted ones.
std::string CategoryFile(const std::vector<std::pair<std::uint8_t, Record>>& items) {
    test::Bytes b;
    b.W(static_cast<std::uint16_t>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        b.ItemTag("CCategoryItem", i);
        b.D(0).B(items[i].first);
        for (auto byte : items[i].second)
            b.B(byte);
        b.D(0);
    }
    return b.str();
}

TEST(OldFormat, FileDecisionCountsDeletedRecords) {
    const std::string dir = test::MakeTempDir("old");
    const std::string path = dir + "/CategoriesList.lst";
    bool idFirst = true;
    EXPECT_EQ(DetectIdFirstCategoryFile(path, idFirst), 2);
    EXPECT_FALSE(idFirst);

    // Only a deleted "Auto" tells the layout, either way.
    test::WriteFileBytes(path, CategoryFile({{0x00, Current("Pets", kUserIdEndingInZero)},
                                             {0xC0, Current("Auto", AutoCategoryId)}}));
    EXPECT_EQ(DetectIdFirstCategoryFile(path, idFirst), 0);
    EXPECT_FALSE(idFirst);
    test::WriteFileBytes(path, CategoryFile({{0x00, Old("Pets", kUserIdEndingInZero)},
                                             {0xC0, Old("Auto", AutoCategoryId)}}));
    EXPECT_EQ(DetectIdFirstCategoryFile(path, idFirst), 0);
    EXPECT_TRUE(idFirst);

    const std::string image = test::ReadFileBytes(path);
    const std::vector<std::uint8_t> data(image.begin(), image.end());
    idFirst = false;
    EXPECT_EQ(DetectIdFirstCategoryData(data, idFirst), 0);
    EXPECT_TRUE(idFirst);
    EXPECT_NE(DetectIdFirstCategoryData(std::span(data).first(data.size() - 3), idFirst), 0);
    EXPECT_FALSE(idFirst);
}

}  // namespace
}  // namespace tallowmere
