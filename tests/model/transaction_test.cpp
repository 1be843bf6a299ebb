#include "model/transaction.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "model/archive.h"

namespace tallowmere {
namespace {

RecordId Id(std::uint8_t b0, std::uint8_t b7) {
    RecordId id;
    id.bytes[0] = b0;
    id.bytes[7] = b7;
    return id;
}

std::uint64_t LE(const TransactionRecord& r, std::size_t off, std::size_t width) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < width; ++i)
        v |= std::uint64_t{r[off + i]} << (8 * i);
    return v;
}

TEST(TransactionRecord, NewTransactionDefaults) {
    CTransaction t;
    EXPECT_EQ(t.GetSplitIndex(), kNoSplitIndex);
    EXPECT_EQ(t.GetRecordNumber(), 0);
    EXPECT_EQ(t.GetAttributes(), kAttrModified);
    EXPECT_FALSE(t.GetId().IsNull());
    EXPECT_FALSE(t.IsSplitTransferCopy());
    t.SetLinkedId(Id(1, 1));
    EXPECT_FALSE(t.IsSplitTransferCopy()) << "a linked id alone is not a split copy";
    t.SetSplitIndex(3);
    EXPECT_TRUE(t.IsSplitTransferCopy());

    CTransaction loaded{CTransaction::ForLoad{}};
    EXPECT_TRUE(loaded.GetId().IsNull()) << "the factory constructor makes no id";
}

// Each field set through its accessor lands at its documented offset.
TEST(TransactionRecord, FieldsAtTheirOffsets) {
    struct Case {
        const char* name;
        std::function<void(CTransaction&)> set;
        std::size_t offset;
        std::size_t width;
        std::uint64_t expected;  // little-endian value of the bytes
    };
    const RecordId id = Id(0xA1, 0xB2);
    const std::uint64_t idBytes = 0xB2000000000000A1ull;
    const std::vector<Case> cases = {
        {"own id", [&](CTransaction& t) { t.SetId(id); }, 0, 8, idBytes},
        {"date", [](CTransaction& t) { t.SetDate(0x01020304); }, 8, 4, 0x01020304},
        {"amount", [](CTransaction& t) { t.SetAmount(123456789012); }, 12, 8, 123456789012},
        {"check", [](CTransaction& t) { t.SetCheckNumber(4711); }, 20, 4, 4711},
        {"category", [&](CTransaction& t) { t.SetCategoryId(id); }, 24, 8, idBytes},
        {"class", [&](CTransaction& t) { t.SetClassId(id); }, 32, 8, idBytes},
        {"linked", [&](CTransaction& t) { t.SetLinkedId(id); }, 40, 8, idBytes},
        {"type", [&](CTransaction& t) { t.SetTypeId(id); }, 48, 8, idBytes},
        {"base amount", [](CTransaction& t) { t.SetBaseAmount(-2); }, 56, 8, ~std::uint64_t{1}},
        {"status", [](CTransaction& t) { t.SetStatus(0x81); }, 64, 1, 0x81},
        {"split index", [](CTransaction& t) { t.SetSplitIndex(7); }, 65, 1, 7},
        {"currency", [](CTransaction& t) { t.SetSourceCurrency(9); }, 66, 1, 9},
        {"review", [](CTransaction& t) { t.SetReviewState(2); }, 67, 1, 2},
        {"match", [&](CTransaction& t) { t.SetMatchId(id); }, 68, 8, idBytes},
        {"payee lookup", [&](CTransaction& t) { t.SetPayeeLookupId(id); }, 76, 8, idBytes},
        {"payee", [](CTransaction& t) { t.SetPayeeName("AB"); }, 84, 3, 0x004241},
        {"memo", [](CTransaction& t) { t.SetMemo("CD"); }, 118, 3, 0x004443},
        {"online id", [](CTransaction& t) { t.SetOnlineId("EF"); }, 279, 3, 0x004645},
        {"split 0 category", [&](CTransaction& t) { t.SetSplitCategoryId(0, id); }, 536, 8,
         idBytes},
        {"split 0 class", [&](CTransaction& t) { t.SetSplitClassId(0, id); }, 544, 8, idBytes},
        {"split 0 amount", [](CTransaction& t) { t.SetSplitAmount(0, 77); }, 552, 8, 77},
        {"split 0 linked", [&](CTransaction& t) { t.SetSplitLinkedId(0, id); }, 560, 8, idBytes},
        {"split 0 memo", [](CTransaction& t) { t.SetSplitMemo(0, "GH"); }, 568, 3, 0x004847},
        {"split 9 category", [&](CTransaction& t) { t.SetSplitCategoryId(9, id); }, 2282, 8,
         idBytes},
        {"split 9 amount", [](CTransaction& t) { t.SetSplitAmount(9, 5); }, 2298, 8, 5},
        {"split 9 memo", [](CTransaction& t) { t.SetSplitMemo(9, "IJ"); }, 2314, 3, 0x004A49},
    };
    for (const Case& c : cases) {
        CTransaction t{CTransaction::ForLoad{}};
        t.SetAttributes(0);
        TransactionRecord before = t.Record();
        c.set(t);
        const TransactionRecord& after = t.Record();
        EXPECT_EQ(LE(after, c.offset, c.width), c.expected) << c.name;
        EXPECT_EQ(t.GetAttributes() & kAttrModified, kAttrModified) << c.name << " sets modified";
        for (std::size_t i = 0; i < kTransactionRecordSize; ++i) {
            if (i >= c.offset && i < c.offset + c.width)
                continue;
            ASSERT_EQ(after[i], before[i]) << c.name << " touched byte " << i;
        }
    }
}

TEST(TransactionRecord, TextFieldsAreBoundedAndZeroFilled) {
    CTransaction t;
    t.SetPayeeName(std::string(40, 'P'));
    EXPECT_EQ(t.GetPayeeName(), std::string(32, 'P'));
    t.SetPayeeName("Shop");
    EXPECT_EQ(t.GetPayeeName(), "Shop");
    for (std::size_t i = 84 + 4; i < 84 + kPayeeFieldSize; ++i) {
        EXPECT_EQ(t.Record()[i], 0) << "stale tail at " << i;
    }
    // A raw record without any NUL in its texts reads bounded by the field.
    TransactionRecord raw;
    raw.fill('x');
    t.SetRecord(raw);
    EXPECT_EQ(t.GetPayeeName().size(), 32u);
    EXPECT_EQ(t.GetMemo().size(), 160u);
    EXPECT_EQ(t.GetOnlineId().size(), 255u);
    EXPECT_EQ(t.GetSplitMemo(9).size(), 160u);
    EXPECT_FALSE(t.HasValidSplitIndex());
}

TEST(TransactionRecord, SameRecordIgnoresAttributeAndRecordNumber) {
    CTransaction a;
    CTransaction b{CTransaction::ForLoad{}};
    b.CopyFrom(a);
    b.SetAttributes(kAttrDeleted);
    b.SetRecordNumber(5);
    EXPECT_TRUE(a.IsSameRecord(b));
    b.SetMemo("x");
    EXPECT_FALSE(a.IsSameRecord(b));
}

// The split lines and the reserved bytes after them are kept apart from the
// rest of the record, and only when any of them is set; whichever way a
// record holds them, it reads, copies and compares as the same 2516 bytes.
TEST(TransactionRecord, SplitLinesReadTheSameKeptApartOrNot) {
    struct Case {
        const char* name;
        std::size_t offset;  // a byte set to 0x5A (none: all zero)
    };
    const Case cases[] = {
        {"all zero", 0},
        {"own id only", 3},
        {"first line's category", 536},
        {"last line's last memo byte", 536 + 194 * 9 + 32 + 159},
        {"reserved byte", 2515},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransactionRecord raw{};
        if (c.offset != 0)
            raw[c.offset] = 0x5A;
        CTransaction t{CTransaction::ForLoad{}};
        t.SetRecord(raw);
        EXPECT_EQ(t.Record(), raw);
        TransactionRecord out;
        out.fill(0xEE);
        t.GetRecord(out);
        EXPECT_EQ(out, raw);

        CTransaction copy(t);
        EXPECT_EQ(copy.Record(), raw);
        EXPECT_TRUE(copy.IsSameRecord(t));
        CTransaction assigned;
        assigned.SetSplitMemo(4, "was here");
        assigned = t;
        EXPECT_EQ(assigned.Record(), raw);
        // Copies are whole records of their own.
        copy.SetSplitAmount(2, 77);
        assigned.SetSplitMemo(2, "mine");
        EXPECT_EQ(t.Record(), raw);
        EXPECT_FALSE(copy.IsSameRecord(t));
        EXPECT_FALSE(assigned.IsSameRecord(t));
    }

    // Lines set and cleared again are the same as lines never set.
    CTransaction never{CTransaction::ForLoad{}};
    CTransaction cleared{CTransaction::ForLoad{}};
    cleared.SetSplitMemo(3, "x");
    cleared.SetSplitCategoryId(7, Id(1, 2));
    cleared.SetSplitMemo(3, "");
    cleared.ClearSplitLine(7);
    EXPECT_TRUE(never.IsSameRecord(cleared));
    EXPECT_TRUE(cleared.IsSameRecord(never));
    EXPECT_EQ(never.Record(), cleared.Record());
    cleared.CopyFrom(cleared);
    EXPECT_TRUE(cleared.IsSameRecord(never));
}

TEST(TransactionRecord, MatchesStatusTable) {
    // kinds 0..6 for each status byte: 1 = matches
    struct Row {
        std::uint8_t status;
        const char* kinds;
    };
    const Row rows[] = {
        {0x00, "1010100"}, {0x01, "1010100"}, {0x3F, "1010100"},
        {0x40, "1011000"}, {0x7F, "1011000"}, {0x80, "1101000"},
        {0xBF, "1101000"}, {0xC0, "1000100"}, {0xFF, "1000100"},
    };
    for (const Row& row : rows) {
        CTransaction t;
        t.SetStatus(row.status);
        for (int kind = 0; kind <= 6; ++kind) {
            EXPECT_EQ(t.MatchesStatus(kind), row.kinds[kind] == '1')
                << "status " << int(row.status) << " kind " << kind;
        }
    }
    CTransaction review;
    review.SetReviewState(1);
    EXPECT_TRUE(review.MatchesStatus(5));
    review.SetReviewState(2);
    EXPECT_FALSE(review.MatchesStatus(5));
}

TEST(TransactionRecord, SignedAmountsAndSplitSums) {
    const RecordId withdrawal = [] {
        RecordId id = RecordId::Fixed(2);
        id.bytes[6] = kTypeOutflowBit;
        return id;
    }();
    const RecordId food = Id(3, 3), car = Id(4, 4), classA = Id(5, 5);
    CTransaction t;
    t.SetTypeId(withdrawal);
    t.SetAmount(1500);
    t.SetSplitCategoryId(0, food);
    t.SetSplitAmount(0, 1000);
    t.SetSplitClassId(0, classA);
    t.SetSplitCategoryId(1, food);
    t.SetSplitAmount(1, 500);
    t.SetSplitCategoryId(2, car);
    t.SetSplitAmount(2, 250);
    EXPECT_EQ(t.GetSignedAmount(), -1500);
    EXPECT_EQ(t.SumSplitsByCategory(food), -1500);
    EXPECT_EQ(t.SumSplitsByCategory(Id(9, 9)), 0);
    EXPECT_EQ(t.SumSplitsByClass(classA), -1000);

    t.SetTypeId(RecordId::Fixed(1));  // an inflow type
    EXPECT_EQ(t.GetSignedAmount(), 1500);
    EXPECT_EQ(t.SumSplitsByCategory(food), 1500);

    // Untrusted magnitudes stay defined.
    t.SetTypeId(withdrawal);
    t.SetAmount(INT64_MIN);
    EXPECT_EQ(t.GetSignedAmount(), INT64_MIN);
    t.SetSplitAmount(0, INT64_MAX);
    t.SetSplitAmount(1, INT64_MAX);
    EXPECT_EQ(t.SumSplitsByCategory(food), INT64_MIN);
}

TEST(TransactionRecord, OccurrenceOfTemplateDropsLinks) {
    CTransaction tmpl;
    tmpl.SetAmount(999);
    tmpl.SetPayeeName("Rent");
    tmpl.SetLinkedId(Id(1, 2));
    tmpl.SetSplitIndex(2);
    tmpl.SetMatchId(Id(1, 3));
    tmpl.SetOnlineId("BANK-1");
    tmpl.SetReviewState(1);
    tmpl.SetSplitLinkedId(4, Id(1, 4));
    tmpl.SetPayeeLookupId(Id(1, 5));

    CTransaction occ(tmpl.Record(), 86400 * 10);
    EXPECT_NE(occ.GetId(), tmpl.GetId());
    EXPECT_EQ(occ.GetAmount(), 999);
    EXPECT_EQ(occ.GetPayeeName(), "Rent");
    EXPECT_EQ(occ.GetDate() / 86400, 10u);
    EXPECT_TRUE(occ.GetLinkedId().IsNull());
    EXPECT_EQ(occ.GetSplitIndex(), kNoSplitIndex);
    EXPECT_TRUE(occ.GetMatchId().IsNull());
    EXPECT_EQ(occ.GetOnlineId(), "");
    EXPECT_EQ(occ.GetReviewState(), 0);
    EXPECT_TRUE(occ.GetSplitLinkedId(4).IsNull());
    EXPECT_EQ(occ.GetPayeeLookupId(), Id(1, 5));
    EXPECT_EQ(occ.GetAttributes(), kAttrModified);
}

// The account file's form of one transaction, assembled from the format:
// int32 record number, attribute byte, 84 raw bytes, three strings, ten lines
// of 32 raw bytes and a memo string, int32 0.
std::vector<std::uint8_t> ExpectedStream(const TransactionRecord& r, const std::string& payee,
                                         const std::string& memo0) {
    std::vector<std::uint8_t> out = {7, 0, 0, 0, 0x40};
    out.insert(out.end(), r.begin(), r.begin() + 84);
    out.push_back(static_cast<std::uint8_t>(payee.size()));
    out.insert(out.end(), payee.begin(), payee.end());
    out.push_back(0);  // memo
    out.push_back(0);  // online id
    for (std::size_t line = 0; line < 10; ++line) {
        std::size_t off = 536 + 194 * line;
        out.insert(out.end(), r.begin() + off, r.begin() + off + 32);
        const std::string memo = line == 0 ? memo0 : "";
        out.push_back(static_cast<std::uint8_t>(memo.size()));
        out.insert(out.end(), memo.begin(), memo.end());
    }
    out.insert(out.end(), {0, 0, 0, 0});
    return out;
}

TEST(TransactionSerialize, GoldenBytesAndRoundTrip) {
    CTransaction t;
    t.SetRecordNumber(7);
    t.SetDate(0x11223344);
    t.SetAmount(1500);
    t.SetCategoryId(SplitMarkerId);
    t.SetPayeeName("Shop");
    t.SetSplitCategoryId(0, Id(2, 2));
    t.SetSplitAmount(0, 1500);
    t.SetSplitMemo(0, "milk");
    t.SetAttributes(kAttrModified);

    CArchive out;
    t.Serialize(out);
    EXPECT_EQ(out.Data(), ExpectedStream(t.Record(), "Shop", "milk"));

    CArchive in(out.Data());
    CTransaction back{CTransaction::ForLoad{}};
    back.SetMemo("left over from before");
    back.Serialize(in);
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_TRUE(back.IsSameRecord(t));
    EXPECT_EQ(back.GetRecordNumber(), 7);
    EXPECT_EQ(back.GetAttributes(), kAttrModified);
}

TEST(TransactionSerialize, LongTextsKeepTheirFieldWidth) {
    CTransaction t;
    CArchive out;
    out.WriteInt32(0);
    out.WriteByte(0);
    std::vector<std::uint8_t> head(84, 0);
    out.WriteBytes(head.data(), head.size());
    out.WriteString(std::string(40, 'p'));
    out.WriteString(std::string(200, 'm'));
    out.WriteString(std::string(300, 'o'));
    for (int line = 0; line < 10; ++line) {
        std::vector<std::uint8_t> raw(32, 0);
        out.WriteBytes(raw.data(), raw.size());
        out.WriteString(std::string(170, 's'));
    }
    out.WriteInt32(0);

    CArchive in(out.Data());
    t.Serialize(in);
    EXPECT_EQ(t.GetPayeeName(), std::string(32, 'p'));
    EXPECT_EQ(t.GetMemo(), std::string(160, 'm'));
    EXPECT_EQ(t.GetOnlineId(), std::string(255, 'o'));
    EXPECT_EQ(t.GetSplitMemo(9), std::string(160, 's'));
    EXPECT_EQ(t.Record()[117], 0);
    EXPECT_EQ(t.Record()[535], 0);
}

// Read into an object that held a full record before: every line comes from
// the file, whichever is the first that holds anything, and nothing of the
// old record stays (reserved bytes included).
TEST(TransactionSerialize, SplitLinesReadIntoAnyEarlierRecord) {
    struct Case {
        const char* name;
        std::vector<std::size_t> lines;
    };
    const Case cases[] = {
        {"no lines", {}},
        {"first line", {0}},
        {"a middle line", {5}},
        {"last line", {9}},
        {"every line", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    };
    TransactionRecord full;
    full.fill('j');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTransaction t;
        t.SetPayeeName("Shop");
        for (std::size_t line : c.lines) {
            t.SetSplitCategoryId(line, Id(static_cast<std::uint8_t>(line + 1), 1));
            t.SetSplitAmount(line, static_cast<Cents>(100 * line + 1));
            if (line % 2 == 1)
                t.SetSplitMemo(line, "memo " + std::to_string(line));
        }
        CArchive out;
        t.Serialize(out);

        CArchive in(out.Data());
        CTransaction back{CTransaction::ForLoad{}};
        back.SetRecord(full);
        back.Serialize(in);
        EXPECT_EQ(in.Remaining(), 0u);
        EXPECT_EQ(back.Record(), t.Record());
        CArchive again;
        back.Serialize(again);
        EXPECT_EQ(again.Data(), out.Data());
    }
}

TEST(TransactionSerialize, ShortStreamThrowsForTheLoader) {
    CTransaction t;
    CArchive out;
    t.Serialize(out);
    std::vector<std::uint8_t> bytes = out.Data();
    bytes.resize(bytes.size() - 1);
    CArchive in(bytes);
    CTransaction back{CTransaction::ForLoad{}};
    EXPECT_THROW(back.Serialize(in), ArchiveError);
}

}  // namespace
}  // namespace tallowmere
