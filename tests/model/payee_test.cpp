// Payees: the record's file layout (and the old id-first one), ids given on
// load, memorised transactions, look-ups by name with the stored width, and
// the index behind the look-ups.
#include "model/payee.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "list_test_items.h"
#include "model/archive.h"
#include "model/transaction.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Names;
using Strings = std::vector<std::string>;

// Eight distinct non-zero bytes from seed on.
RecordId Id(std::uint8_t seed) {
    RecordId id;
    for (std::size_t i = 0; i < 8; ++i)
        id.bytes[i] = static_cast<std::uint8_t>(seed + i);
    return id;
}

struct Split {
    RecordId category;
    RecordId cls;
    Cents amount;
};

// One payee record as the file holds it, built from the layout table.
struct PayeeRow {
    std::string name;
    RecordId id;
    std::uint8_t flag = 0;
    Cents amount = 0;
    RecordId type;
    RecordId category;
    RecordId cls;
    Cents budget = 0;
    std::string memo;
    std::vector<Split> splits;
};

void PutId(std::string& r, std::size_t at, const RecordId& id) {
    for (std::size_t i = 0; i < 8; ++i)
        r[at + i] = static_cast<char>(id.bytes[i]);
}
void PutLE64(std::string& r, std::size_t at, Cents v) {
    const auto u = static_cast<std::uint64_t>(v);
    for (std::size_t i = 0; i < 8; ++i)
        r[at + i] = static_cast<char>(u >> (8 * i));
}

std::string RecordBytes(const PayeeRow& row) {
    std::string r(484, '\0');
    r.replace(0, row.name.size(), row.name);
    PutId(r, 33, row.id);
    r[41] = static_cast<char>(row.flag);
    PutLE64(r, 42, row.amount);
    PutId(r, 50, row.type);
    PutId(r, 58, row.category);
    PutId(r, 66, row.cls);
    PutLE64(r, 74, row.budget);
    r.replace(82, row.memo.size(), row.memo);
    for (std::size_t i = 0; i < row.splits.size(); ++i) {
        PutId(r, 244 + 24 * i, row.splits[i].category);
        PutId(r, 244 + 24 * i + 8, row.splits[i].cls);
        PutLE64(r, 244 + 24 * i + 16, row.splits[i].amount);
    }
    return r;
}

// The old layout: the id first, then the name, the rest where it was.
std::string OldRecordBytes(const PayeeRow& row) {
    std::string r = RecordBytes(row);
    std::string old = r;
    PutId(old, 0, row.id);
    old.replace(8, 33, r.substr(0, 33));
    return old;
}

using FileRecord = test::ListFileRecord;

std::string PayeeFile(const std::vector<FileRecord>& records) {
    return test::ListFileBytes("CPayeeItem", records);
}

std::vector<std::uint8_t> Vec(const std::string& s) {
    return {s.begin(), s.end()};
}

// A transaction with three split lines whose memos and links must not be kept.
CTransaction SplitTransaction(std::string_view payee) {
    CTransaction t;
    t.SetPayeeName(payee);
    t.SetAmount(1500);
    t.SetTypeId(RecordId::Fixed(0x8002));
    t.SetCategoryId(SplitMarkerId);
    t.SetClassId(RecordId::Fixed(0x65));
    t.SetMemo("weekly bread");
    const Split lines[] = {{RecordId::Fixed(0x70), RecordId::Fixed(0x65), 1000},
                           {RecordId::Fixed(0x71), kNoneId, 300},
                           {Id(0x50), RecordId::Fixed(0x66), 200}};
    for (std::size_t i = 0; i < 3; ++i) {
        t.SetSplitCategoryId(i, lines[i].category);
        t.SetSplitClassId(i, lines[i].cls);
        t.SetSplitAmount(i, lines[i].amount);
        t.SetSplitMemo(i, "line memo");
        t.SetSplitLinkedId(i, Id(0x90));
    }
    return t;
}

const PayeeRow kBakery{"Bakery",
                       Id(0x20),
                       0,
                       1500,
                       RecordId::Fixed(0x8002),
                       SplitMarkerId,
                       RecordId::Fixed(0x65),
                       5000,
                       "weekly bread",
                       {{RecordId::Fixed(0x70), RecordId::Fixed(0x65), 1000},
                        {RecordId::Fixed(0x71), kNoneId, 300},
                        {Id(0x50), RecordId::Fixed(0x66), 200}}};
const PayeeRow kAcme{"Acme", Id(0x30), 0, 0, kNoneId, kNoneId, kNoneId, 0, "", {}};

class PayeeFileTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = test::MakeTempDir("payees") + "/PayeesList.lst"; }

    std::string path_;
    test::CapturingSink sink_;
};

TEST_F(PayeeFileTest, SavesTheRecordLayoutAndReadsItBack) {
    CPayeesList list;
    list.SetPath(path_);
    auto bakery = std::make_unique<CPayeeItem>();
    bakery->MemorizeTransaction(SplitTransaction("Bakery"));
    bakery->SetBudgetAmount(5000);
    bakery->SetId(kBakery.id);
    ASSERT_EQ(list.AddSorted(std::move(bakery)), 0);
    auto acme = std::make_unique<CPayeeItem>("Acme");
    acme->SetId(kAcme.id);
    acme->SetRecordNumber(7);
    CPayeeItem* acmeRaw = acme.get();
    ASSERT_EQ(list.AddSorted(std::move(acme)), 0);
    ASSERT_EQ(list.DeleteItem(acmeRaw), 0);

    const std::string expected =
        PayeeFile({{0, 0x40, RecordBytes(kBakery)}, {7, 0xC0, RecordBytes(kAcme)}});
    EXPECT_EQ(test::ReadFileBytes(path_), expected);

    CPayeesList loaded;
    ASSERT_EQ(loaded.LoadData(Vec(expected)), 0);
    EXPECT_EQ(Names(loaded), (Strings{"Bakery", "Acme"}));
    EXPECT_EQ(loaded.GetCount(false), 1u);
    const CPayeeItem* item = loaded.FindByName("Bakery");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetId(), kBakery.id);
    EXPECT_EQ(item->GetAmount(), 1500);
    EXPECT_EQ(item->GetTypeId(), RecordId::Fixed(0x8002));
    EXPECT_EQ(item->GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(item->GetClassId(), RecordId::Fixed(0x65));
    EXPECT_EQ(item->GetBudgetAmount(), 5000);
    EXPECT_EQ(item->GetMemo(), "weekly bread");
    EXPECT_EQ(item->GetAttribute(), 0x40);
    EXPECT_EQ(loaded.FindById(kAcme.id, true)->GetRecordNumber(), 7);
    EXPECT_EQ(loaded.FindById(kAcme.id), nullptr);
}

TEST_F(PayeeFileTest, OldIdFirstRecordsConvertOnlyWhenTheLoadSaysSo) {
    PayeeRow flagged = kBakery;
    flagged.flag = 0x5A;  // carried unchanged
    const std::string oldFile = PayeeFile({{0, 0x00, OldRecordBytes(flagged)}});

    CPayeesList list;
    list.SetPath(path_);
    list.SetOldFormatRecords(true);
    ASSERT_EQ(list.LoadData(Vec(oldFile)), 0);
    const CPayeeItem* item = list.FindByName("bakery");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetId(), kBakery.id);
    EXPECT_EQ(item->GetFlag(), 0x5A);
    EXPECT_EQ(item->GetMemo(), "weekly bread");
    EXPECT_EQ(item->GetAttribute(), 0x00);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), PayeeFile({{0, 0x00, RecordBytes(flagged)}}));

    // Without the flag the same bytes are a new-layout record.
    CPayeesList plain;
    ASSERT_EQ(plain.LoadData(Vec(oldFile)), 0);
    const std::string idBytes(reinterpret_cast<const char*>(kBakery.id.bytes.data()), 8);
    EXPECT_EQ(Names(plain), (Strings{idBytes + "Bakery"}));
}

TEST_F(PayeeFileTest, RecordsWithoutAnIdGetOneFromTheRecordNumber) {
    struct Case {
        std::int32_t number;
        bool fromNumber;
        RecordId expected;
    };
    RecordId from123456;
    from123456.bytes[5] = 0x12;
    from123456.bytes[6] = 0x34;
    from123456.bytes[7] = 0x56;
    const Case cases[] = {
        {0x00123456, true, from123456},
        {0x7F123456, true, from123456},  // only the low 24 bits count
        {1, true, SplitMarkerId},        // legacy numbering, kept as it was
        {0, false, {}},
        {0x01000000, false, {}},  // low bits all zero would give the none id
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        PayeeRow row = kAcme;
        row.id = kNoneId;
        CPayeesList list;
        ASSERT_EQ(list.LoadData(Vec(PayeeFile({{c.number, 0x00, RecordBytes(row)}}))), 0);
        const auto* item = dynamic_cast<const CPayeeItem*>(list.GetAt(0, true));
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(item->GetId().IsNull());
        if (c.fromNumber) {
            EXPECT_EQ(item->GetId(), c.expected);
        } else {
            EXPECT_FALSE(RecordId::IsLowZero(item->GetId()));
        }
        EXPECT_EQ(item->GetAttribute(), CPalmListItem::kModified);
        EXPECT_TRUE(item->IdAssignedOnLoad());
    }

    CPayeesList withId;
    ASSERT_EQ(withId.LoadData(Vec(PayeeFile({{5, 0x00, RecordBytes(kAcme)}}))), 0);
    const auto* item = dynamic_cast<const CPayeeItem*>(withId.GetAt(0, true));
    EXPECT_EQ(item->GetId(), kAcme.id);
    EXPECT_EQ(item->GetAttribute(), 0x00);
}

// A load writes nothing; the ids it gave are kept from the list's next save.
TEST_F(PayeeFileTest, IdsGivenOnLoadAreWrittenByTheNextSave) {
    PayeeRow row = kAcme;
    row.id = kNoneId;
    for (bool orCreate : {false, true}) {
        SCOPED_TRACE(orCreate);
        const std::string file = PayeeFile({{0, 0x00, RecordBytes(row)}});
        test::WriteFileBytes(path_, file);
        CPayeesList first;
        ASSERT_EQ(orCreate ? first.LoadOrCreate(path_) : first.Load(path_), 0);
        const RecordId given = first.FindByName("Acme")->GetId();
        ASSERT_FALSE(given.IsNull());
        EXPECT_EQ(test::ReadFileBytes(path_), file);

        ASSERT_EQ(first.Save(), 0);
        CPayeesList again;
        ASSERT_EQ(again.Load(path_), 0);
        const CPayeeItem* item = again.FindByName("Acme");
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetId(), given);
        EXPECT_FALSE(item->IdAssignedOnLoad());
    }
}

TEST_F(PayeeFileTest, RefusesAFileOfOtherRecords) {
    Bytes b;
    b.W(1).NewClass("CTransaction");
    CArchive ar;
    CTransaction t;
    t.Serialize(ar);
    b.Raw(std::string(ar.Data().begin(), ar.Data().end()));
    CPayeesList list;
    EXPECT_NE(list.LoadData(b.vec()), 0);
    EXPECT_EQ(list.GetCount(true), 0u);
}

TEST(PayeeItemTest, MemorizingKeepsCategoryClassAndAmountOfEachLine) {
    const CTransaction t = SplitTransaction("Bakery");
    CPayeeItem item;
    item.SetBudgetAmount(777);
    item.SetAttribute(0);
    item.MemorizeTransaction(t);
    EXPECT_EQ(item.GetAttribute(), CPalmListItem::kModified);
    EXPECT_EQ(item.GetName(), "Bakery");
    EXPECT_EQ(item.GetBudgetAmount(), 777);  // not part of the transaction

    CTransaction into;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        into.SetSplitMemo(line, "stale");
        into.SetSplitAmount(line, 99);
        into.SetSplitLinkedId(line, Id(0xA0));
    }
    item.GetMemorizedSplits(into);
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        SCOPED_TRACE(line);
        EXPECT_EQ(into.GetSplitCategoryId(line), t.GetSplitCategoryId(line));
        EXPECT_EQ(into.GetSplitClassId(line), t.GetSplitClassId(line));
        EXPECT_EQ(into.GetSplitAmount(line), t.GetSplitAmount(line));
        EXPECT_EQ(into.GetSplitLinkedId(line), kNoneId);
        EXPECT_EQ(into.GetSplitMemo(line), "");
    }
    EXPECT_EQ(into.GetSplitAmount(3), 0);
    // The seven unused entries are zero in the record.
    const auto& r = item.Record();
    for (std::size_t i = 244 + 3 * 24; i < r.size(); ++i)
        ASSERT_EQ(r[i], 0) << i;
}

TEST(PayeeItemTest, NameAndMemoKeepTheirFieldWidths) {
    struct Case {
        std::string text;
        std::string name;
    };
    const Case cases[] = {
        {"Acme", "Acme"},
        {std::string(40, 'x'), std::string(32, 'x')},
        {std::string("Ac\0me", 5), "Ac"},
        {"", ""},
    };
    for (const auto& c : cases) {
        CPayeeItem item("Longer previous name");
        item.SetAttribute(0);
        item.SetName(c.text);
        EXPECT_EQ(item.GetName(), c.name);
        EXPECT_EQ(CPayeeItem::StoredName(c.text), c.name);
        EXPECT_EQ(item.GetAttribute(), CPalmListItem::kModified);
        // No tail of the longer name survives in the record.
        for (std::size_t i = c.name.size(); i < 33; ++i)
            ASSERT_EQ(item.Record()[i], 0);
    }
    CPayeeItem item;
    item.SetMemo(std::string(200, 'm'));
    EXPECT_EQ(item.GetMemo(), std::string(160, 'm'));
    EXPECT_EQ(item.Record()[242], 0);
}

TEST(PayeeItemTest, EveryCreatedPayeeHasItsOwnId) {
    CPayeeItem a;
    CPayeeItem b("Acme");
    EXPECT_FALSE(a.GetId().IsNull());
    EXPECT_FALSE(b.GetId().IsNull());
    EXPECT_NE(a.GetId(), b.GetId());
    EXPECT_TRUE(CPayeeItem(CObject::ForLoad{}).GetId().IsNull());
}

// "Ecole" with a capital E acute (0xC9) in Windows-1252, and written with the
// other case of every letter.
const std::string kEcole =
    "\xC9"
    "cole";
const std::string kEcoleOtherCase =
    "\xE9"
    "COLE";
// "Municipal Water Authority Region" has 32 bytes, the field's width.
const std::string kLong = "Municipal Water Authority Region";

class PayeesListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = test::MakeTempDir("payees") + "/PayeesList.lst";
        list_.SetPath(path_);
        for (const std::string& name :
             Strings{"Dentist", "Acme", "Corner Shop", kEcole, "Bakery", "Gone", kLong}) {
            list_.AddSorted(std::make_unique<CPayeeItem>(name));
        }
        list_.DeleteItem(list_.FindByName("Gone"));
    }
    Strings Reloaded() {
        CPayeesList again;
        EXPECT_EQ(again.Load(path_), 0);
        return Names(again);
    }

    std::string path_;
    CPayeesList list_;
    test::CapturingSink sink_;
};

TEST_F(PayeesListTest, FindsByNameIgnoringCaseAtTheStoredWidth) {
    struct Case {
        std::string text;
        const char* found;  // nullptr: none
    };
    const Case cases[] = {
        {"acme", "Acme"},
        {"BAKERY", "Bakery"},
        {kEcoleOtherCase, kEcole.c_str()},
        {kLong + " Twelve!", kLong.c_str()},  // 40 bytes find the first 32
        {std::string("Acme\0junk", 9), "Acme"},
        {"Acme ", nullptr},
        {"Gone", nullptr},  // deleted
        {"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CPayeeItem* item = list_.FindByName(c.text);
        if (c.found == nullptr) {
            EXPECT_EQ(item, nullptr);
            continue;
        }
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetName(), c.found);
        std::string normal = c.text;
        EXPECT_TRUE(list_.NormalizeName(normal));
        EXPECT_EQ(normal, c.found);
    }
    std::string unknown = "acme corp";
    EXPECT_FALSE(list_.NormalizeName(unknown));
    EXPECT_EQ(unknown, "acme corp");
}

TEST_F(PayeesListTest, BudgetOfAnUnknownNameCreatesThePayeeOnce) {
    EXPECT_EQ(list_.GetBudgetAmount("Gym"), 0);
    ASSERT_EQ(list_.SetBudgetAmount("Gym", 2500), 0);
    const CPayeeItem* gym = list_.FindByName("gym");
    ASSERT_NE(gym, nullptr);
    EXPECT_FALSE(gym->GetId().IsNull());
    EXPECT_EQ(list_.GetBudgetAmount("GYM"), 2500);

    ASSERT_EQ(list_.SetBudgetAmount("bakery", 4000), 0);
    EXPECT_EQ(list_.FindByName("Bakery")->GetBudgetAmount(), 4000);

    const std::string longName = kLong + " Twelve!";
    ASSERT_EQ(list_.SetBudgetAmount(longName, 100), 0);
    ASSERT_EQ(list_.SetBudgetAmount(longName, 200), 0);
    EXPECT_EQ(list_.GetBudgetAmount(longName), 200);

    const std::size_t count = list_.GetCount(true);
    EXPECT_EQ(list_.SetBudgetAmount("", 300), -1);
    EXPECT_EQ(list_.GetCount(true), count);

    const Strings expected{"Acme", "Bakery", "Corner Shop", "Dentist",
                           "Gym",  kLong,    kEcole,        "Gone"};
    EXPECT_EQ(Names(list_), expected);
    EXPECT_EQ(Reloaded(), expected);
    CPayeesList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(again.GetBudgetAmount("Gym"), 2500);
    EXPECT_EQ(again.GetBudgetAmount("Bakery"), 4000);
}

TEST_F(PayeesListTest, MemorizingRefilesANewSpellingAndMakesUnknownPayees) {
    const RecordId acmeId = list_.FindByName("Acme")->GetId();
    ASSERT_EQ(list_.MemorizeTransaction(SplitTransaction("acme")), 0);
    const CPayeeItem* acme = list_.FindByName("ACME");
    ASSERT_NE(acme, nullptr);
    EXPECT_EQ(acme->GetName(), "acme");
    EXPECT_EQ(acme->GetId(), acmeId);
    EXPECT_EQ(acme->GetCategoryId(), SplitMarkerId);

    ASSERT_EQ(list_.MemorizeTransaction(SplitTransaction("Florist")), 0);
    const CPayeeItem* florist = list_.FindByName("florist");
    ASSERT_NE(florist, nullptr);
    EXPECT_FALSE(florist->GetId().IsNull());
    EXPECT_EQ(florist->GetAmount(), 1500);

    const std::size_t count = list_.GetCount(true);
    EXPECT_EQ(list_.MemorizeTransaction(SplitTransaction("")), 0);
    EXPECT_EQ(list_.GetCount(true), count);

    // Byte order: upper case before lower case, 0xC9 last.
    const Strings expected{"Bakery", "Corner Shop", "Dentist", "Florist",
                           kLong,    "acme",        kEcole,    "Gone"};
    EXPECT_EQ(Names(list_), expected);
    EXPECT_EQ(Reloaded(), expected);
}

TEST_F(PayeesListTest, LookUpsFollowEveryChange) {
    CPayeeItem* bakery = list_.FindByName("Bakery");
    const RecordId bakeryId = bakery->GetId();
    EXPECT_EQ(list_.FindById(bakeryId), bakery);

    // Changed in place, without telling the list.
    // The new key is asked first: the index has not seen it yet.
    bakery->SetName("Baker's Dozen");
    EXPECT_EQ(list_.FindByName("baker's dozen"), bakery);
    EXPECT_EQ(list_.FindByName("Bakery"), nullptr);
    const RecordId newId = Id(0x40);
    bakery->SetId(newId);
    EXPECT_EQ(list_.FindById(newId), bakery);
    EXPECT_EQ(list_.FindById(bakeryId), nullptr);

    // Added past the sorted insert: the count changed.
    CPalmListItem* added = list_.AddItem(std::make_unique<CPayeeItem>("Zoo"));
    EXPECT_EQ(list_.FindByName("zoo"), added);

    ASSERT_EQ(list_.DeleteItem(bakery), 0);
    EXPECT_EQ(list_.FindById(newId), nullptr);
    EXPECT_EQ(list_.FindById(newId, true), bakery);
    EXPECT_EQ(list_.FindByName("Baker's Dozen"), nullptr);

    auto removed = list_.RemoveItem(list_.FindByName("Acme"));
    ASSERT_NE(removed.item, nullptr);
    EXPECT_EQ(list_.FindByName("Acme"), nullptr);

    // A reload replaces every item: nothing of the old list is handed out.
    CPayeesList other;
    other.SetPath(test::MakeTempDir("other") + "/PayeesList.lst");
    auto fresh = std::make_unique<CPayeeItem>("Acme");
    const RecordId freshId = fresh->GetId();
    ASSERT_EQ(other.AddSorted(std::move(fresh)), 0);
    ASSERT_EQ(list_.Load(other.GetPath()), 0);
    EXPECT_EQ(list_.FindById(freshId), list_.GetAt(0, false));
    EXPECT_EQ(list_.FindByName("Dentist"), nullptr);
    EXPECT_EQ(list_.FindById(bakeryId), nullptr);
}

}  // namespace
}  // namespace tallowmere
