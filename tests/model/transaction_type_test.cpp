// Transaction types: the defaults as the table of defaults, the flags
// inside generated ids, short names, insertion order, golden file bytes and
// the old id-first layout.
#include "model/transaction_type.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/archive.h"
#include "model/class_item.h"
#include "model/list_file_names.h"
#include "model/palm_time.h"
#include "platform/clock.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Field;
using test::IdOf;

// One type record as the file lays it out: base part, name[33], id, then the
// extra byte 0 and the int32 0.
void TypeRecord(Bytes& b, std::uint8_t attribute, std::string_view name, const RecordId& id) {
    b.D(0).B(attribute).Raw(Field(name, 33));
    for (auto v : id.bytes)
        b.B(v);
    b.B(0).D(0);
}

// The same record in the old layout: id first, the name after it.
void OldTypeRecord(Bytes& b, std::uint8_t attribute, std::string_view name, const RecordId& id) {
    b.D(0).B(attribute);
    for (auto v : id.bytes)
        b.B(v);
    b.Raw(Field(name, 33)).B(0).D(0);
}

// An object tag for the n-th item (from 0) of a one-class list.
void Tag(Bytes& b, std::size_t n) {
    b.ItemTag("CTransactionType", n);
}

struct Row {
    const char* name;
    RecordId id;
    bool debit;
    bool numbered;
};

// The table of the seven defaults, in order.
const Row kDefaults[] = {
    {"Check #", IdOf({0, 0, 0, 0, 0, 0, 0xC0, 1}), true, true},
    {"Withdrawal", IdOf({0, 0, 0, 0, 0, 0, 0x80, 2}), true, false},
    {"Deposit", IdOf({0, 0, 0, 0, 0, 0, 0x00, 3}), false, false},
    {"Charge", IdOf({0, 0, 0, 0, 0, 0, 0x80, 4}), true, false},
    {"Payment", IdOf({0, 0, 0, 0, 0, 0, 0x00, 5}), false, false},
    {"ATM", IdOf({0, 0, 0, 0, 0, 0, 0x80, 6}), true, false},
    {"EFT", IdOf({0, 0, 0, 0, 0, 0, 0x80, 7}), true, false},
};

std::string DefaultFileBytes() {
    Bytes b;
    b.W(7);
    for (std::size_t i = 0; i < 7; ++i) {
        Tag(b, i);
        TypeRecord(b, 0, kDefaults[i].name, kDefaults[i].id);
    }
    return b.str();
}

class FixedClock : public platform::Clock {
  public:
    explicit FixedClock(PalmTime t) : fields_(DateFields::FromPalmTime(t)) {}
    platform::LocalTime LocalNow() const override {
        platform::LocalTime now;
        now.year = fields_.year;
        now.month = fields_.month;
        now.day = fields_.day;
        now.hour = fields_.hour;
        now.minute = fields_.minute;
        now.second = fields_.second;
        return now;
    }
    std::uint32_t TickCount() const override { return 1; }

  private:
    DateFields fields_;
};

class TransactionTypeTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = test::MakeTempDir("types") + "/" + kTransTypesFile; }
    void TearDown() override { platform::SetClock(nullptr); }

    std::vector<std::string> Names(const CPalmFileList& list) { return test::Names(list); }

    std::string path_;
    test::CapturingSink sink_;
};

TEST_F(TransactionTypeTest, DefaultsMatchTheTable) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    ASSERT_EQ(list.GetCount(true), 7u);
    for (std::size_t i = 0; i < 7; ++i) {
        SCOPED_TRACE(kDefaults[i].name);
        auto* type = dynamic_cast<CTransactionType*>(list.GetAt(i, true));
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->GetName(), kDefaults[i].name);
        EXPECT_EQ(type->GetId(), kDefaults[i].id);
        EXPECT_EQ(type->IsDebit(), kDefaults[i].debit);
        EXPECT_EQ(type->IsNumbered(), kDefaults[i].numbered);
        EXPECT_EQ(type->GetAttribute(), 0);
        EXPECT_TRUE(type->IsBuiltIn());
        EXPECT_EQ(kDefaultTransactionTypes[i].id, kDefaults[i].id);
    }
    EXPECT_EQ(CheckTypeId, kDefaults[0].id);
    EXPECT_EQ(WithdrawalTypeId, kDefaults[1].id);
    EXPECT_EQ(DepositTypeId, kDefaults[2].id);
    EXPECT_EQ(ChargeTypeId, kDefaults[3].id);
    EXPECT_EQ(PaymentTypeId, kDefaults[4].id);
    EXPECT_EQ(AtmTypeId, kDefaults[5].id);
    EXPECT_EQ(EftTypeId, kDefaults[6].id);
}

TEST_F(TransactionTypeTest, CreateDefaultsDoesNotSave) {
    CTransactionTypesList list;
    list.SetPath(path_);
    list.CreateDefaults();
    EXPECT_EQ(list.GetCount(true), 7u);
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(TransactionTypeTest, DefaultFileIsByteForByteTheLayout) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), DefaultFileBytes());
}

TEST_F(TransactionTypeTest, SmallListWithUserAndDeletedTypesIsByteForByte) {
    const RecordId user = IdOf({0x12, 0x34, 0x00, 0x07, 0xC1, 0x02, 0x83, 0x04});
    const RecordId gone = IdOf({0x12, 0x34, 0x00, 0x08, 0xC1, 0x02, 0x03, 0x05});
    CTransactionTypesList list;
    list.SetPath(path_);
    list.AddItem(std::make_unique<CTransactionType>("Deposit", DepositTypeId));
    auto deleted = std::make_unique<CTransactionType>("Old", gone);
    auto* deletedRaw = deleted.get();
    list.AddItem(std::move(deleted));
    auto mine = std::make_unique<CTransactionType>("Transfer out", user);
    mine->SetAttribute(0x40);
    ASSERT_EQ(list.AddSorted(std::move(mine)), 0);
    ASSERT_EQ(list.DeleteItem(deletedRaw), 0);

    Bytes b;
    b.W(3);
    Tag(b, 0);
    TypeRecord(b, 0x00, "Deposit", DepositTypeId);
    Tag(b, 1);
    TypeRecord(b, 0x40, "Transfer out", user);
    Tag(b, 2);
    TypeRecord(b, 0xC0, "Old", gone);
    EXPECT_EQ(test::ReadFileBytes(path_), b.str());

    CTransactionTypesList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"Deposit", "Transfer out", "Old"}));
    EXPECT_EQ(again.GetCount(false), 2u);
}

TEST_F(TransactionTypeTest, RecordTrailerIsSkippedOnLoadAndWrittenAsZero) {
    Bytes in;
    in.W(1).NewClass("CTransactionType").D(9).B(0x40).Raw(Field("ATM", 33));
    for (auto v : AtmTypeId.bytes)
        in.B(v);
    in.B(0x77).D(0x12345678);  // not zero: ignored
    CTransactionTypesList list;
    list.SetPath(path_);
    ASSERT_EQ(list.LoadData(in.vec()), 0);
    ASSERT_EQ(list.Save(), 0);
    Bytes out;
    out.W(1).NewClass("CTransactionType").D(9).B(0x40).Raw(Field("ATM", 33));
    for (auto v : AtmTypeId.bytes)
        out.B(v);
    out.B(0).D(0);
    EXPECT_EQ(test::ReadFileBytes(path_), out.str());
}

TEST_F(TransactionTypeTest, ShortRecordFailsTheLoad) {
    std::string bytes = DefaultFileBytes();
    for (std::size_t cut : {bytes.size() - 1, bytes.size() - 5, std::size_t{40}}) {
        CTransactionTypesList list;
        EXPECT_NE(list.LoadData(Bytes().Raw(bytes.substr(0, cut)).vec()), 0);
        EXPECT_EQ(list.GetCount(true), 0u);
        EXPECT_EQ(list.GetNameById(DepositTypeId), "");
    }
}

TEST_F(TransactionTypeTest, OldLayoutConvertsOnLoadAndSavesInTheNewOne) {
    const RecordId user = IdOf({0x12, 0x34, 0x00, 0x07, 0xC1, 0x02, 0x83, 0x04});
    Bytes old;
    old.W(3);
    Tag(old, 0);
    OldTypeRecord(old, 0x00, "Check #", CheckTypeId);
    Tag(old, 1);
    OldTypeRecord(old, 0x40, "Mine", user);
    Tag(old, 2);
    OldTypeRecord(old, 0xC0, "Gone", EftTypeId);

    CTransactionTypesList list;
    list.SetPath(path_);
    list.SetOldFormatRecords(true);
    ASSERT_EQ(list.LoadData(old.vec()), 0);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"Check #", "Mine", "Gone"}));
    EXPECT_EQ(list.GetNameById(user), "Mine");
    EXPECT_TRUE(list.FindType(user)->IsDebit());
    EXPECT_EQ(list.FindById(EftTypeId, true)->GetAttribute(), 0xC0);

    list.SetOldFormatRecords(false);
    ASSERT_EQ(list.Save(), 0);
    Bytes now;
    now.W(3);
    Tag(now, 0);
    TypeRecord(now, 0x00, "Check #", CheckTypeId);
    Tag(now, 1);
    TypeRecord(now, 0x40, "Mine", user);
    Tag(now, 2);
    TypeRecord(now, 0xC0, "Gone", EftTypeId);
    EXPECT_EQ(test::ReadFileBytes(path_), now.str());

    // Each load decides for itself: the new file read without the flag is
    // left as it is.
    CTransactionTypesList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), (std::vector<std::string>{"Check #", "Mine", "Gone"}));
}

TEST_F(TransactionTypeTest, OldLayoutOfOneHandMadeBuffer) {
    // Bytes 0-7 the id, 8-40 the name, without a NUL before byte 40.
    std::string raw;
    for (auto v : PaymentTypeId.bytes)
        raw.push_back(static_cast<char>(v));
    raw += std::string(32, 'P') + '\0';
    Bytes b;
    b.W(1).NewClass("CTransactionType").D(0).B(0).Raw(raw).B(0).D(0);
    CArchive ar(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(b.str().data()),
                                              b.size()));
    ar.SetOldFormatRecords(true);
    CTransactionTypesList list;
    list.Serialize(ar);
    auto* type = dynamic_cast<CTransactionType*>(list.GetAt(0, true));
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(type->GetName(), std::string(32, 'P'));
    EXPECT_EQ(type->GetId(), PaymentTypeId);
    EXPECT_EQ(type->GetRecord()[32], 0);
    EXPECT_EQ(std::memcmp(type->GetRecord().data() + 33, PaymentTypeId.bytes.data(), 8), 0);
}

TEST_F(TransactionTypeTest, UserTypeKeepsTheGeneratedIdBitsBesideItsFlags) {
    // A creation time whose byte 6 (bits 8-15) is 0x55 = 0101 0101: bit 6 set,
    // bit 7 clear, so both flags must be forced, not or-ed in.
    const PalmTime t = 0xC0105512;
    ASSERT_EQ((t >> 8) & 0xFF, 0x55u);
    FixedClock clock(t);
    platform::SetClock(&clock);
    struct Case {
        bool debit, numbered;
        std::uint8_t byte6;
    };
    for (const Case c : {Case{true, false, 0x95}, Case{false, false, 0x15}, Case{true, true, 0xD5},
                         Case{false, true, 0x55}}) {
        SCOPED_TRACE(c.byte6);
        const RecordId before = NewRecordId();
        CTransactionType type("Wire", c.debit, c.numbered);
        const RecordId id = type.GetId();
        EXPECT_EQ(id.bytes[6], c.byte6);
        EXPECT_EQ(type.IsDebit(), c.debit);
        EXPECT_EQ(type.IsNumbered(), c.numbered);
        // Machine id and time as generated; the sequence is the next one.
        for (std::size_t i : {0, 1, 4, 5, 7})
            EXPECT_EQ(id.bytes[i], before.bytes[i]) << i;
        EXPECT_NE(id, before);
        EXPECT_EQ(type.GetAttribute(), 0x40);
        EXPECT_EQ(type.GetName(), "Wire");
        EXPECT_FALSE(type.IsBuiltIn());

        // The setters flip only their own bit.
        type.SetAttribute(0);
        type.SetDebit(!c.debit);
        type.SetNumbered(!c.numbered);
        EXPECT_EQ(type.GetId().bytes[6], c.byte6 ^ 0xC0);
        EXPECT_EQ(type.GetAttribute(), 0x40);
    }
}

TEST_F(TransactionTypeTest, ShortNamesFollowTheDefaultIdsNotTheNames) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    list.FindType(DepositTypeId)->SetName("Money in");
    list.FindType(WithdrawalTypeId)->SetName("Money out");
    EXPECT_EQ(list.GetNameById(DepositTypeId), "Dep");
    EXPECT_EQ(list.GetNameById(WithdrawalTypeId), "W/D");
    EXPECT_EQ(list.GetNameById(CheckTypeId), "Check #");
    EXPECT_EQ(list.GetNameById(EftTypeId), "EFT");
    EXPECT_EQ(list.FindType(DepositTypeId)->GetName(), "Money in");
    EXPECT_EQ(list.GetNameById(kNoneId), "");
    EXPECT_EQ(list.GetNameById(RecordId::Fixed(0x0008)), "");
    // A user type that happens to share the flag byte is not the default.
    CTransactionType lookalike("Dx", RecordId::Fixed(0x0103));
    EXPECT_EQ(lookalike.GetShortName(), "Dx");
}

TEST_F(TransactionTypeTest, NewTypesAppendBeforeDeletedOnesAndSave) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    ASSERT_EQ(list.DeleteItem(list.FindType(AtmTypeId)), 0);
    auto aaa = std::make_unique<CTransactionType>("Aaa", false);
    const RecordId aaaId = aaa->GetId();
    ASSERT_EQ(list.AddSorted(std::move(aaa)), 0);
    const std::vector<std::string> expected = {"Check #", "Withdrawal", "Deposit", "Charge",
                                               "Payment", "EFT",        "Aaa",     "ATM"};
    EXPECT_EQ(Names(list), expected);
    EXPECT_EQ(list.GetNameById(aaaId), "Aaa");
    EXPECT_EQ(list.GetNameById(AtmTypeId), "");  // deleted
    EXPECT_NE(list.FindById(AtmTypeId, true), nullptr);

    CTransactionTypesList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again), expected);
    EXPECT_EQ(again.GetNameById(aaaId), "Aaa");
}

TEST_F(TransactionTypeTest, AddSortedRefusesOtherRecords) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    const std::string before = test::ReadFileBytes(path_);
    EXPECT_EQ(list.AddSorted(std::make_unique<CClassItem>("Business")), -1);
    EXPECT_EQ(list.AddSorted(nullptr), -1);
    EXPECT_EQ(list.GetCount(true), 7u);
    EXPECT_EQ(test::ReadFileBytes(path_), before);
}

TEST_F(TransactionTypeTest, EditsKeepThePlaceAndResortChangesNothing) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    auto* charge = list.FindType(ChargeTypeId);
    charge->SetName("Aardvark");
    int saved = -2;
    EXPECT_EQ(list.MoveItem(3, charge, &saved), 3);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(list.MoveItem(2, charge), -1);  // index does not hold it
    EXPECT_EQ(list.Resort(), 0);
    EXPECT_EQ(Names(list)[3], "Aardvark");
    CTransactionTypesList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(Names(again)[3], "Aardvark");
}

TEST_F(TransactionTypeTest, MoveItemWithANewRecordReplacesInPlace) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    const RecordId id = IdOf({9, 9, 0, 1, 2, 3, 0x80, 5});
    EXPECT_EQ(list.MoveItem(1, std::make_unique<CTransactionType>("Cash out", id)), 1);
    EXPECT_EQ(list.GetCount(true), 7u);
    EXPECT_EQ(Names(list)[1], "Cash out");
    EXPECT_EQ(list.GetNameById(WithdrawalTypeId), "");
    EXPECT_EQ(list.GetNameById(id), "Cash out");
    EXPECT_EQ(list.MoveItem(7, std::make_unique<CTransactionType>("X", id)), -1);
    EXPECT_EQ(list.MoveItem(0, std::make_unique<CClassItem>("X")), -1);
}

TEST_F(TransactionTypeTest, ReplaceItemRestoresADeletedTypeBehindTheLiveOnes) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    auto* check = list.FindType(CheckTypeId);
    ASSERT_EQ(list.DeleteItem(check), 0);
    EXPECT_EQ(list.GetNameById(CheckTypeId), "");
    ASSERT_EQ(list.ReplaceItem(check), 0);
    EXPECT_EQ(Names(list).back(), "Check #");
    EXPECT_EQ(list.GetNameById(CheckTypeId), "Check #");
    EXPECT_TRUE(list.FindType(CheckTypeId)->IsBuiltIn());  // by id, wherever it stands
}

TEST_F(TransactionTypeTest, LookUpsStayRightWhenTheBaseChangesTheList) {
    CTransactionTypesList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    CPalmFileList& base = list;
    const RecordId id = IdOf({1, 2, 3, 4, 5, 6, 0x80, 8});
    base.AddItem(std::make_unique<CTransactionType>("Via base", id));
    EXPECT_EQ(list.GetNameById(id), "Via base");
    base.DeleteAll();
    EXPECT_EQ(list.GetNameById(id), "");
    EXPECT_EQ(list.GetNameById(CheckTypeId), "");
}

TEST_F(TransactionTypeTest, NamesAreCutToThirtyTwoCharacters) {
    CTransactionType type(std::string(40, 'n'), true);
    EXPECT_EQ(type.GetName(), std::string(32, 'n'));
    type.SetName(std::string("ab\0cd", 5));
    EXPECT_EQ(type.GetName(), "ab");
    EXPECT_EQ(type.GetRecord()[2], 0);
    EXPECT_EQ(type.GetRecord()[3], 0);  // the old longer name is cleared
    EXPECT_EQ(CTransactionType::StoredName(std::string(33, 'x')), std::string(32, 'x'));
}

TEST_F(TransactionTypeTest, FactoryIsRegistered) {
    const CRuntimeClass* rc = FindRuntimeClass("CTransactionType");
    ASSERT_NE(rc, nullptr);
    ASSERT_NE(rc->create, nullptr);
    auto obj = rc->create();
    auto* type = dynamic_cast<CTransactionType*>(obj.get());
    ASSERT_NE(type, nullptr);
    EXPECT_TRUE(type->GetId().IsNull());
    EXPECT_EQ(type->GetAttribute(), 0);
}

}  // namespace
}  // namespace tallowmere
