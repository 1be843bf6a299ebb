// Classes: the two defaults, golden file bytes, the old id-first
// layout, name look-ups that cut the key as the record stores it, budgets and
// name validation.
#include "model/class_item.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/archive.h"
#include "model/list_file_names.h"
#include "model/transaction_type.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;
using test::Field;
using test::IdOf;
using Strings = std::vector<std::string>;

void Tag(Bytes& b, std::size_t n) {
    b.ItemTag("CClassItem", n);
}

// One class record as the file lays it out: base part, name[33], id, flag
// byte, budget (little-endian), then the int32 0.
void ClassRecord(Bytes& b, std::uint8_t attribute, std::string_view name, const RecordId& id,
                 std::uint8_t flag = 0, std::int64_t budget = 0) {
    b.D(0).B(attribute).Raw(Field(name, 33));
    for (auto v : id.bytes)
        b.B(v);
    b.B(flag).Q(static_cast<std::uint64_t>(budget)).D(0);
}

// The old layout: id first, the name after it, flag and budget in place.
void OldClassRecord(Bytes& b, std::uint8_t attribute, std::string_view name, const RecordId& id,
                    std::uint8_t flag, std::int64_t budget) {
    b.D(0).B(attribute);
    for (auto v : id.bytes)
        b.B(v);
    b.Raw(Field(name, 33)).B(flag).Q(static_cast<std::uint64_t>(budget)).D(0);
}

class ClassItemTest : public ::testing::Test {
  protected:
    void SetUp() override { path_ = test::MakeTempDir("classes") + "/" + kClassListFile; }

    std::string path_;
    test::CapturingSink sink_;
};

TEST_F(ClassItemTest, DefaultsMatchThePartsTable) {
    CClassList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    ASSERT_EQ(list.GetCount(true), 2u);
    const struct {
        const char* name;
        RecordId id;
    } expected[] = {
        {"Business", IdOf({0, 0, 0, 0, 0, 0, 0x00, 0x65})},
        {"Personal", IdOf({0, 0, 0, 0, 0, 0, 0x00, 0x66})},
    };
    for (std::size_t i = 0; i < 2; ++i) {
        auto* item = dynamic_cast<CClassItem*>(list.GetAt(i, true));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->GetName(), expected[i].name);
        EXPECT_EQ(item->GetId(), expected[i].id);
        EXPECT_EQ(item->GetAttribute(), 0);
        EXPECT_EQ(item->GetFlag(), 0);
        EXPECT_EQ(item->GetBudget(), 0);
    }
    EXPECT_EQ(BusinessClassId, expected[0].id);
    EXPECT_EQ(PersonalClassId, expected[1].id);

    Bytes b;
    b.W(2);
    Tag(b, 0);
    ClassRecord(b, 0, "Business", BusinessClassId);
    Tag(b, 1);
    ClassRecord(b, 0, "Personal", PersonalClassId);
    EXPECT_EQ(test::ReadFileBytes(path_), b.str());
}

TEST_F(ClassItemTest, CreateDefaultsNeitherSortsNorSaves) {
    CClassList list;
    list.SetPath(path_);
    list.CreateDefaults();
    EXPECT_EQ(test::Names(list), (Strings{"Business", "Personal"}));
    EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(ClassItemTest, SmallListWithBudgetFlagAndDeletedItemIsByteForByte) {
    const RecordId home = IdOf({0xAB, 0xCD, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x10});
    CClassList list;
    list.SetPath(path_);
    list.CreateDefaults();
    auto item = std::make_unique<CClassItem>("Home office", home);
    item->SetBudget(-123456789012);
    ASSERT_EQ(list.AddSorted(std::move(item)), 0);
    ASSERT_EQ(list.DeleteItem(list.FindClass(BusinessClassId)), 0);

    Bytes b;
    b.W(3);
    Tag(b, 0);
    ClassRecord(b, 0x40, "Home office", home, 0, -123456789012);
    Tag(b, 1);
    ClassRecord(b, 0, "Personal", PersonalClassId);
    Tag(b, 2);
    ClassRecord(b, 0xC0, "Business", BusinessClassId);
    EXPECT_EQ(test::ReadFileBytes(path_), b.str());

    // A flag byte from a file is carried as it is.
    Bytes in;
    in.W(1);
    Tag(in, 0);
    ClassRecord(in, 0x40, "Flagged", home, 0x5A, 700);
    CClassList loaded;
    loaded.SetPath(path_);
    ASSERT_EQ(loaded.LoadData(in.vec()), 0);
    EXPECT_EQ(loaded.FindClass(home)->GetFlag(), 0x5A);
    EXPECT_EQ(loaded.GetAmountById(home), 700);
    ASSERT_EQ(loaded.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), in.str());
}

TEST_F(ClassItemTest, OldLayoutConvertsOnLoad) {
    const RecordId mine = IdOf({0xAB, 0xCD, 0x00, 0x01, 0xC1, 0x00, 0x00, 0x10});
    Bytes old;
    old.W(3);
    Tag(old, 0);
    OldClassRecord(old, 0, "Business", BusinessClassId, 0, 0);
    Tag(old, 1);
    OldClassRecord(old, 0x40, "Rental", mine, 0x01, 250000);
    Tag(old, 2);
    OldClassRecord(old, 0xC0, "Personal", PersonalClassId, 0, 5);

    CClassList list;
    list.SetPath(path_);
    list.SetOldFormatRecords(true);
    ASSERT_EQ(list.LoadData(old.vec()), 0);
    EXPECT_EQ(test::Names(list), (Strings{"Business", "Rental", "Personal"}));
    EXPECT_EQ(list.GetNameById(mine), "Rental");
    EXPECT_EQ(list.GetAmountById(mine), 250000);
    EXPECT_EQ(list.FindClass(mine)->GetFlag(), 0x01);
    EXPECT_EQ(list.GetNameById(PersonalClassId), "");  // deleted
    EXPECT_NE(list.FindById(PersonalClassId, true), nullptr);

    ASSERT_EQ(list.Save(), 0);
    Bytes now;
    now.W(3);
    Tag(now, 0);
    ClassRecord(now, 0, "Business", BusinessClassId, 0, 0);
    Tag(now, 1);
    ClassRecord(now, 0x40, "Rental", mine, 0x01, 250000);
    Tag(now, 2);
    ClassRecord(now, 0xC0, "Personal", PersonalClassId, 0, 5);
    EXPECT_EQ(test::ReadFileBytes(path_), now.str());

    // Without the flag the same bytes are the new layout and stay as they are.
    CClassList plain;
    ASSERT_EQ(plain.LoadData(now.vec()), 0);
    EXPECT_EQ(plain.GetNameById(mine), "Rental");
}

TEST_F(ClassItemTest, ShortRecordFailsTheLoad) {
    Bytes b;
    b.W(1);
    Tag(b, 0);
    ClassRecord(b, 0, "Business", BusinessClassId);
    const std::string all = b.str();
    for (std::size_t cut : {all.size() - 1, all.size() - 4, all.size() - 20}) {
        CClassList list;
        EXPECT_NE(list.LoadData(Bytes().Raw(all.substr(0, cut)).vec()), 0);
        EXPECT_EQ(list.GetCount(true), 0u);
        EXPECT_EQ(list.GetNameById(BusinessClassId), "");
    }
}

TEST_F(ClassItemTest, FindOrCreateByName) {
    const std::string long40 = "Consulting for the regional water board!";
    ASSERT_EQ(long40.size(), 40u);
    struct Case {
        std::string text;
        bool create;
        // "none", "Business", "Personal" or "new": a new class of that name
        const char* outcome;
        std::string createdName;
    };
    const Case cases[] = {
        {"", true, "none", ""},
        {std::string("\0x", 2), true, "none", ""},
        {"business", true, "Business", ""},
        {"PERSONAL", false, "Personal", ""},
        {"Personal ", false, "none", ""},  // no trimming: another name
        {"Rental", false, "none", ""},
        {"Rental", true, "new", "Rental"},
        {long40, true, "new", long40.substr(0, 32)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        CClassList list;
        ASSERT_EQ(list.LoadOrCreate(path_), 0);
        int saved = -2;
        const RecordId id = list.FindOrCreateByName(c.text, c.create, &saved);
        const std::string outcome = c.outcome;
        if (outcome == "none") {
            EXPECT_TRUE(id.IsNull());
            EXPECT_EQ(list.GetCount(true), 2u);
        } else if (outcome == "Business") {
            EXPECT_EQ(id, BusinessClassId);
        } else if (outcome == "Personal") {
            EXPECT_EQ(id, PersonalClassId);
        } else {
            EXPECT_EQ(saved, 0);
            EXPECT_FALSE(id.IsNull());
            EXPECT_EQ(list.GetNameById(id), c.createdName);
            EXPECT_EQ(list.FindClass(id)->GetAttribute(), 0x40);
            // In name order, and in the file.
            CClassList again;
            ASSERT_EQ(again.Load(path_), 0);
            EXPECT_EQ(again.GetNameById(id), c.createdName);
            const Strings names = test::Names(again);
            EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
            EXPECT_EQ(names.size(), 3u);
            // The same text again finds it instead of making a duplicate.
            EXPECT_EQ(again.FindOrCreateByName(c.text, true), id);
            EXPECT_EQ(again.GetCount(true), 3u);
        }
        std::filesystem::remove(path_);
    }
}

TEST_F(ClassItemTest, NameLookUpsFoldCaseOfWindows1252LettersAndSkipDeleted) {
    CClassList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    const RecordId ete = list.FindOrCreateByName("\xC9t\xE9", true);  // "Été"
    RecordId found;
    EXPECT_TRUE(list.FindIdByName("\xE9T\xC9", found));
    EXPECT_EQ(found, ete);
    ASSERT_EQ(list.DeleteItem(list.FindClass(ete)), 0);
    EXPECT_FALSE(list.FindIdByName("\xE9t\xE9", found));
    EXPECT_EQ(list.FindByName("\xE9t\xE9"), nullptr);
    // Deleted: a new one is made.
    const RecordId again = list.FindOrCreateByName("\xE9t\xE9", true);
    EXPECT_NE(again, ete);
    EXPECT_EQ(list.GetCount(false), 3u);
}

TEST_F(ClassItemTest, NewClassesGoInNameOrder) {
    CClassList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    list.FindOrCreateByName("Zoo", true);
    list.FindOrCreateByName("Car", true);
    list.FindOrCreateByName("Personal", true);  // found, not added
    EXPECT_EQ(test::Names(list), (Strings{"Business", "Car", "Personal", "Zoo"}));
    auto* car = list.FindByName("car");
    car->SetName("Yacht");
    EXPECT_EQ(list.MoveItem(1, car), 2);
    EXPECT_EQ(test::Names(list), (Strings{"Business", "Personal", "Yacht", "Zoo"}));
    EXPECT_EQ(list.GetNameById(car->GetId()), "Yacht");
}

TEST_F(ClassItemTest, OtherRecordsAreRefused) {
    CClassList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    const std::string before = test::ReadFileBytes(path_);
    EXPECT_EQ(list.AddSorted(std::make_unique<CTransactionType>("Wire", false)), -1);
    EXPECT_EQ(list.MoveItem(0, std::make_unique<CTransactionType>("Wire", false)), -1);
    EXPECT_EQ(test::Names(list), (Strings{"Business", "Personal"}));
    EXPECT_EQ(test::ReadFileBytes(path_), before);
}

TEST_F(ClassItemTest, BudgetsById) {
    CClassList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    EXPECT_EQ(list.SetAmountById(PersonalClassId, 150000), 0);
    EXPECT_EQ(list.GetAmountById(PersonalClassId), 150000);
    EXPECT_EQ(list.FindClass(PersonalClassId)->GetAttribute(), 0x40);
    EXPECT_EQ(list.GetAmountById(BusinessClassId), 0);
    EXPECT_EQ(list.GetAmountById(RecordId::Fixed(0x67)), 0);
    // An unknown id changes nothing but still saves.
    std::filesystem::remove(path_);
    EXPECT_EQ(list.SetAmountById(RecordId::Fixed(0x67), 5), 0);
    ASSERT_TRUE(std::filesystem::exists(path_));
    CClassList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(again.GetAmountById(PersonalClassId), 150000);
    EXPECT_EQ(again.GetNameById(kNoneId), "");
}

TEST_F(ClassItemTest, IdLookUpsFollowEveryChange) {
    CClassList list;
    ASSERT_EQ(list.LoadOrCreate(path_), 0);
    const RecordId a = list.FindOrCreateByName("Alpha", true);
    EXPECT_EQ(list.IndexOfLiveId(a), 0);
    EXPECT_EQ(list.IndexOfLiveId(PersonalClassId), 2);
    ASSERT_EQ(list.DeleteItem(list.FindClass(BusinessClassId)), 0);
    EXPECT_EQ(list.IndexOfLiveId(PersonalClassId), 1);
    EXPECT_EQ(list.IndexOfLiveId(BusinessClassId), -1);
    auto removed = list.RemoveItem(list.FindClass(a));
    ASSERT_NE(removed.item, nullptr);
    EXPECT_EQ(list.GetNameById(a), "");
    EXPECT_EQ(list.IndexOfLiveId(PersonalClassId), 0);
    ASSERT_EQ(list.Resort(), 0);
    EXPECT_EQ(list.GetNameById(PersonalClassId), "Personal");
    // Changes made through the base are noticed too.
    CPalmFileList& base = list;
    const RecordId b = IdOf({7, 7, 7, 7, 7, 7, 7, 7});
    base.AddItem(std::make_unique<CClassItem>("Beta", b));
    EXPECT_EQ(list.GetNameById(b), "Beta");
    ASSERT_EQ(list.Load(path_), 0);
    EXPECT_EQ(list.GetNameById(b), "");
    EXPECT_EQ(list.GetNameById(PersonalClassId), "Personal");
}

TEST_F(ClassItemTest, ValidClassNames) {
    const struct {
        std::string name;
        bool valid;
    } cases[] = {
        {"", true},
        {"Business", true},
        {std::string(32, 'c'), true},
        {std::string(33, 'c'), false},
        {"Home/Office", false},
        {"Home:Office", false},
        {":", false},
        {"/", false},
        {"Caf\xE9", true},
        {" padded ", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidClassName(c.name), c.valid) << c.name;
}

TEST_F(ClassItemTest, NamesAreCutToThirtyTwoCharacters) {
    CClassItem item(std::string(40, 'q'));
    EXPECT_EQ(item.GetName(), std::string(32, 'q'));
    EXPECT_EQ(item.GetAttribute(), 0x40);
    EXPECT_FALSE(item.GetId().IsNull());
    item.SetName("ab");
    EXPECT_EQ(item.GetRecord()[2], 0);
    EXPECT_EQ(item.GetRecord()[31], 0);
}

TEST_F(ClassItemTest, FactoryIsRegistered) {
    const CRuntimeClass* rc = FindRuntimeClass("CClassItem");
    ASSERT_NE(rc, nullptr);
    ASSERT_NE(rc->create, nullptr);
    auto obj = rc->create();
    auto* item = dynamic_cast<CClassItem*>(obj.get());
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->GetId().IsNull());
}

}  // namespace
}  // namespace tallowmere
