#include "model/show_columns.h"

#include <gtest/gtest.h>

#include "model/archive.h"
#include "model/byte_order.h"

namespace tallowmere {
namespace {

TEST(ShowColumnsTest, DefaultsSerialiseByteForByte) {
    struct Page {
        const char* name;
        std::span<const ShowColumnEntry> entries;
    };
    const Page pages[] = {{"register", kRegisterColumns},
                          {"reconcile", kReconcileColumns},
                          {"report", kReportColumns},
                          {"budget", kBudgetColumns}};
    for (const Page& page : pages) {
        SCOPED_TRACE(page.name);
        CShowColumns columns(page.entries);
        CArchive out;
        columns.Serialize(out);
        const std::vector<std::uint8_t>& b = out.Data();
        ASSERT_EQ(CShowColumns::kRecordSize, b.size());
        EXPECT_EQ(page.entries.size(), LoadLE32(b.data()));
        for (std::size_t i = 0; i < 15; ++i) {
            const std::uint8_t* p = b.data() + 4 + 6 * i;
            const ShowColumnEntry e = i < page.entries.size() ? page.entries[i] : ShowColumnEntry{};
            EXPECT_EQ(e.id, LoadLE16(p));
            EXPECT_EQ(e.width, LoadLE16(p + 2));
            EXPECT_EQ(e.visible, p[4]);
            EXPECT_EQ(0, p[5]);
        }
        EXPECT_EQ(0, LoadLE16(b.data() + 94));

        CShowColumns back(0);
        CArchive in(b);
        back.Serialize(in);
        EXPECT_EQ(columns.ToRecord(), back.ToRecord());
    }
    EXPECT_EQ(kColumnWidthRest, CShowColumns(kReconcileColumns).GetWidth(3));
}

TEST(ShowColumnsTest, CountBoundsEveryEntryAccess) {
    CShowColumns columns(3);
    EXPECT_EQ(3, columns.GetCount());
    EXPECT_EQ(1, columns.IndexOfId(1));
    EXPECT_EQ(-1, columns.IndexOfId(5));  // entry 5 exists but is not in use
    EXPECT_EQ(50, columns.GetWidth(14));
    EXPECT_TRUE(columns.IsVisible(14));
    EXPECT_EQ(0, columns.GetWidth(15));
    EXPECT_FALSE(columns.IsVisible(-1));
    EXPECT_EQ(15, CShowColumns(99).GetCount());
    EXPECT_EQ(0, CShowColumns(-4).GetCount());

    // The first matching index wins.
    CShowColumns::Record r = CShowColumns(kReportColumns).ToRecord();
    StoreLE16(r.data() + 4 + 6 * 2, 20);
    ASSERT_TRUE(columns.FromRecord(r));
    EXPECT_EQ(0, columns.IndexOfId(20));
    EXPECT_EQ(-1, columns.IndexOfId(23));
}

TEST(ShowColumnsTest, WidthsAndVisibility) {
    CShowColumns columns(kBudgetColumns);
    columns.SetWidth(0, 10);
    EXPECT_EQ(24, columns.GetWidth(0));
    columns.SetWidth(0, 24);
    EXPECT_EQ(24, columns.GetWidth(0));
    columns.SetWidth(0, kColumnWidthRest);
    EXPECT_EQ(kColumnWidthRest, columns.GetWidth(0));
    columns.SetVisible(2, false);
    EXPECT_FALSE(columns.IsVisible(2));
    columns.SetVisible(2, true);
    EXPECT_TRUE(columns.IsVisible(2));
    columns.SetWidth(20, 100);  // out of range: ignored
    columns.SetVisible(-1, false);
}

TEST(ShowColumnsTest, RecordsWithABadCountOrSizeAreRefused) {
    const CShowColumns defaults(kReportColumns);
    for (const std::int32_t count : {16, -1, 0x7FFFFFFF}) {
        SCOPED_TRACE(count);
        CShowColumns::Record r = CShowColumns(kRegisterColumns).ToRecord();
        StoreLE32(r.data(), static_cast<std::uint32_t>(count));
        CShowColumns columns(kReportColumns);
        EXPECT_FALSE(columns.FromRecord(r));
        EXPECT_EQ(defaults.ToRecord(), columns.ToRecord());
        CArchive in(r);
        EXPECT_THROW(columns.Serialize(in), ArchiveError);
        EXPECT_EQ(defaults.ToRecord(), columns.ToRecord());
    }
    CShowColumns columns(kReportColumns);
    const CShowColumns::Record r = CShowColumns(kRegisterColumns).ToRecord();
    EXPECT_FALSE(columns.FromRecord(std::span(r).first(95)));
    EXPECT_EQ(defaults.ToRecord(), columns.ToRecord());
    CShowColumns::Record empty{};
    EXPECT_TRUE(columns.FromRecord(empty));
    EXPECT_EQ(0, columns.GetCount());
}

}  // namespace
}  // namespace tallowmere
