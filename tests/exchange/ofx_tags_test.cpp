#include "exchange/ofx_tags.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tallowmere::exchange {
namespace {

// Every entry is found by the binary search with its own kind, so the order
// agrees with the lookup's byte comparison.
void ExpectEveryEntryFound(const CSgmlTagTable& table) {
    std::set<std::string> names;
    for (std::size_t i = 0; i < table.GetCount(); ++i) {
        const SgmlTagEntry& entry = table.GetEntries()[i];
        EXPECT_EQ(table.Lookup(entry.name), entry.kind) << entry.name;
        names.insert(std::string(entry.name));
    }
    EXPECT_EQ(names.size(), table.GetCount());
}

TEST(OfxTagTableTest, HoldsTheListedTags) {
    const COfxSgmlTagTable table;
    ASSERT_EQ(table.GetCount(), 344u);
    ExpectEveryEntryFound(table);

    struct Case {
        const char* name;
        int kind;
    } cases[] = {
        {"OFX", kSgmlAggregate},
        {"CREDITCARDMSGSRSV1", kSgmlAggregate},
        {"CREDITCARDMSGSRSV2", kSgmlAggregate},
        {"CORILLIAN.EXTDHOSTACCT", kSgmlAggregate},
        {"MSGBODY", kSgmlDataAlt},
        {"TCode", kSgmlData},
        {"TCODE", kSgmlUnknown},
        {"ofx", kSgmlUnknown},
        {"ACCT", kSgmlUnknown},      // a prefix of ACCTID
        {"ACCTIDX", kSgmlUnknown},   // longer than ACCTID
        {"XFERSRCX", kSgmlUnknown},  // past the last entry
        {"/CODE", kSgmlUnknown},
        {"BALLIST", kSgmlUnknown},
        {"", kSgmlUnknown},
        {"\xC9TAT", kSgmlUnknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(table.Lookup(c.name), c.kind) << c.name;
}

TEST(OfxTagTableTest, DirectoryTable) {
    const CFidbSgmlTagTable table;
    ASSERT_EQ(table.GetCount(), 20u);
    ExpectEveryEntryFound(table);
    EXPECT_EQ(table.Lookup("xml"), kSgmlAggregate);
    EXPECT_EQ(table.Lookup("/UID"), kSgmlData);
    EXPECT_EQ(table.Lookup("UID"), kSgmlDataAlt);
    EXPECT_EQ(table.Lookup("/BANK"), kSgmlUnknown);
    EXPECT_EQ(table.Lookup("OFX"), kSgmlUnknown);
}

}  // namespace
}  // namespace tallowmere::exchange
