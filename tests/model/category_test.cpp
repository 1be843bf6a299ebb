// The category tree: the built-in categories, the file bytes with and without
// the trailer, path text to id and back, tree order, budgets and names.
#include "model/category.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "list_test_items.h"
#include "model/list_file_names.h"
#include "model/string_table.h"
#include "support/test_env.h"

namespace tallowmere {
namespace {

using test::Bytes;

constexpr RecordId Id(std::uint16_t code) {
    return RecordId::Fixed(code);
}

// One 60-byte record laid out by hand: name[33], id, parent id, flag,
// budget (LE), icon (LE).
CCategoryItem::Record MakeRecord(std::string_view name, const RecordId& id,
                                 const RecordId& parent = {}, std::int64_t budget = 0,
                                 std::uint16_t icon = 0, std::uint8_t flag = 0) {
    CCategoryItem::Record r{};
    for (std::size_t i = 0; i < name.size() && i < 32; ++i)
        r[i] = static_cast<std::uint8_t>(name[i]);
    for (std::size_t i = 0; i < 8; ++i) {
        r[33 + i] = id.bytes[i];
        r[41 + i] = parent.bytes[i];
    }
    r[49] = flag;
    for (std::size_t i = 0; i < 8; ++i)
        r[50 + i] = static_cast<std::uint8_t>(static_cast<std::uint64_t>(budget) >> (8 * i));
    r[58] = static_cast<std::uint8_t>(icon & 0xFF);
    r[59] = static_cast<std::uint8_t>(icon >> 8);
    return r;
}

// The same record in the old layout: id first, then the name.
CCategoryItem::Record MakeOldRecord(std::string_view name, const RecordId& id,
                                    const RecordId& parent = {}) {
    CCategoryItem::Record r = MakeRecord(name, id, parent);
    CCategoryItem::Record old = r;
    for (std::size_t i = 0; i < 8; ++i)
        old[i] = id.bytes[i];
    for (std::size_t i = 0; i < 33; ++i)
        old[8 + i] = r[i];
    return old;
}

struct FileItem {
    std::int32_t number;
    std::uint8_t attribute;
    CCategoryItem::Record record;
};

// The object list of category items as the archive writes it.
Bytes ItemsBytes(const std::vector<FileItem>& items) {
    Bytes b;
    b.W(static_cast<std::uint16_t>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
        b.ItemTag("CCategoryItem", i);
        b.D(static_cast<std::uint32_t>(items[i].number)).B(items[i].attribute);
        for (auto byte : items[i].record)
            b.B(byte);
        b.D(0);
    }
    return b;
}

Bytes& Trailer(Bytes& b, std::int64_t budget, std::uint8_t changed) {
    return b.W(1).Q(static_cast<std::uint64_t>(budget)).B(changed).D(0).D(0);
}

std::unique_ptr<CCategoryItem> Item(std::string_view name, const RecordId& id,
                                    const RecordId& parent = {}) {
    auto item = std::make_unique<CCategoryItem>();
    item->SetName(name);
    item->SetId(id);
    item->SetParentId(parent);
    item->SetAttribute(0);
    return item;
}

std::vector<std::string> FullNames(const CCategoryList& list, bool all = false) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.GetCount(all); ++i) {
        const auto* c = static_cast<const CCategoryItem*>(list.GetAt(i, all));
        names.push_back(c->IsDeleted() ? "x " + c->GetName() : c->GetFullName(list));
    }
    return names;
}

class CategoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = test::MakeTempDir("cat");
        path_ = dir_ + "/" + kCategoriesListFile;
        ASSERT_EQ(list_.LoadOrCreate(path_), 0);
    }
    // The list as the file now holds it.
    std::vector<std::string> Reloaded() {
        CCategoryList again;
        EXPECT_EQ(again.Load(path_), 0);
        return FullNames(again, true);
    }

    std::string dir_;
    std::string path_;
    CCategoryList list_;
};

// The built-in categories in tree order, as the first load gives them.
const std::vector<std::string> kDefaultTree = {
    "Auto",
    "Auto:Fuel",
    "Auto:Insurance",
    "Auto:Payment",
    "Clothing",
    "Dining",
    "Education",
    "Entertainment",
    "Gifts",
    "Groceries",
    "Household",
    "Insurance",
    "Medical",
    "Misc",
    "Recreation",
    "Salary",
    "Subscriptions",
    "Tax",
    "Travel",
    "Travel:Air Transportation",
    "Travel:Ground Transportation",
    "Travel:Lodging",
    "Travel:Meals",
    "Utilities",
    "Utilities:Cable TV",
    "Utilities:Electric",
    "Utilities:Gas",
    "Utilities:Telephone",
    "Utilities:Water",
    "Vacation",
};

TEST_F(CategoryTest, DefaultsMatchTheTableAndStandInTreeOrder) {
    struct Row {
        std::uint16_t code;
        const char* name;
        std::uint16_t parent;
        std::uint16_t icon;
    };
    // In the order they are made.
    const Row rows[] = {
        {0x6B, "Salary", 0, 27},
        {0x6C, "Auto", 0, 14},
        {0x6D, "Fuel", 0x6C, 14},
        {0x6E, "Insurance", 0x6C, 14},
        {0x6F, "Payment", 0x6C, 14},
        {0x72, "Clothing", 0, 29},
        {0x73, "Dining", 0, 54},
        {0x74, "Education", 0, 41},
        {0x75, "Entertainment", 0, 63},
        {0x76, "Gifts", 0, 53},
        {0x77, "Groceries", 0, 44},
        {0x78, "Household", 0, 13},
        {0x79, "Insurance", 0, 34},
        {0x7C, "Medical", 0, 9},
        {0x7F, "Misc", 0, 46},
        {0x81, "Recreation", 0, 60},
        {0x82, "Subscriptions", 0, 31},
        {0x83, "Tax", 0, 45},
        {0x8B, "Travel", 0, 21},
        {0x94, "Ground Transportation", 0x8B, 57},
        {0x95, "Air Transportation", 0x8B, 16},
        {0x96, "Meals", 0x8B, 54},
        {0x8C, "Utilities", 0, 38},
        {0x8D, "Cable TV", 0x8C, 43},
        {0x8E, "Gas", 0x8C, 59},
        {0x8F, "Electric", 0x8C, 30},
        {0x90, "Water", 0x8C, 58},
        {0x8A, "Telephone", 0x8C, 15},
        {0x91, "Vacation", 0, 48},
        {0x92, "Lodging", 0x8B, 13},
    };
    ASSERT_EQ(std::size(rows), kDefaultCategories.size());
    for (std::size_t i = 0; i < kDefaultCategories.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_EQ(kDefaultCategories[i].code, rows[i].code);
        EXPECT_EQ(LoadString(kDefaultCategories[i].stringId), rows[i].name);
        const CCategoryItem* c = list_.FindById(Id(rows[i].code));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetName(), rows[i].name);
        EXPECT_EQ(c->GetParentId(), rows[i].parent ? Id(rows[i].parent) : kNoneId);
        EXPECT_EQ(c->GetIcon(), rows[i].icon);
        EXPECT_EQ(c->GetFlag(), 0);
        EXPECT_EQ(c->GetBudget(), 0);
        EXPECT_EQ(c->GetAttribute(), 0) << "defaults are not marked modified";
    }
    EXPECT_EQ(FullNames(list_, true), kDefaultTree);
    EXPECT_EQ(list_.GetListBudget(), 0);
}

TEST_F(CategoryTest, FileBytesWithTheTrailer) {
    CCategoryList list;
    list.SetPath(dir_ + "/golden.lst");
    auto auto_ = Item("Auto", Id(0x6C));
    auto_->SetIcon(14);
    auto_->SetBudget(12345);
    auto_->SetRecordNumber(7);
    auto_->SetAttribute(0x40);
    auto fuel = Item("Fuel", Id(0x6D), Id(0x6C));
    fuel->SetIcon(0x0102);  // an icon from the icon database: 256 + 2
    fuel->SetBudget(-250);
    const RecordId own = {{0x12, 0x34, 0x00, 0x05, 0x4A, 0x0B, 0x0C, 0x0D}};
    auto pets = Item("Pets", own);
    list.AddInTreeOrder(std::move(pets));
    list.AddInTreeOrder(std::move(auto_));
    list.AddInTreeOrder(std::move(fuel));
    ASSERT_EQ(list.SetBudgetAmount(SplitMarkerId, 50000), 0);

    Bytes expected = ItemsBytes({
        {7, 0x40, MakeRecord("Auto", Id(0x6C), {}, 12345, 14)},
        {0, 0x40, MakeRecord("Fuel", Id(0x6D), Id(0x6C), -250, 0x0102)},
        {0, 0x00, MakeRecord("Pets", own)},
    });
    Trailer(expected, 50000, 1);
    EXPECT_EQ(test::ReadFileBytes(dir_ + "/golden.lst"), expected.str());

    // And back.
    CCategoryList again;
    ASSERT_EQ(again.Load(dir_ + "/golden.lst"), 0);
    EXPECT_EQ(again.GetListBudget(), 50000);
    EXPECT_EQ(again.GetListBudgetChanged(), 1);
    EXPECT_EQ(again.GetBudgetAmount(Id(0x6D)), -250);
    EXPECT_EQ(again.FindById(Id(0x6D))->GetIcon(), 0x0102);
    EXPECT_EQ(FullNames(again), (std::vector<std::string>{"Auto", "Auto:Fuel", "Pets"}));
}

TEST_F(CategoryTest, FileWithoutTheTrailerLoadsWithListBudgetZero) {
    const std::vector<FileItem> items = {
        {0, 0x00, MakeRecord("Auto", Id(0x6C))},
        {3, 0xC0, MakeRecord("Gone", Id(0x70))},
    };
    const std::string file = dir_ + "/short.lst";
    test::WriteFileBytes(file, ItemsBytes(items).str());

    CCategoryList list;
    // A list that held a budget before shows the file's state, not its own.
    list.SetPath(dir_ + "/elsewhere.lst");
    list.SetBudgetAmount(SplitMarkerId, 99);
    ASSERT_EQ(list.Load(file), 0);
    EXPECT_EQ(list.GetListBudget(), 0);
    EXPECT_EQ(list.GetListBudgetChanged(), 0);
    EXPECT_EQ(list.GetCount(true), 2u);
    EXPECT_EQ(list.GetCount(false), 1u);

    ASSERT_EQ(list.Save(), 0);
    Bytes expected = ItemsBytes(items);
    Trailer(expected, 0, 0);
    EXPECT_EQ(test::ReadFileBytes(file), expected.str());

    // A trailer cut short is a broken file, not a missing trailer.
    Bytes cut = ItemsBytes(items);
    cut.W(1).D(0);
    test::WriteFileBytes(file, cut.str());
    EXPECT_NE(list.Load(file), 0);
    EXPECT_EQ(list.GetCount(true), 0u);
}

TEST_F(CategoryTest, RefusesRecordsOfAnotherKind) {
    test::RegisterTestClasses();
    Bytes b;
    b.W(1).NewClass(test::kNamedItemClass).NamedItem(0, 0, Id(0x6C), "Auto");
    const std::string file = dir_ + "/other.lst";
    test::WriteFileBytes(file, b.str());
    CCategoryList list;
    EXPECT_NE(list.Load(file), 0);
    EXPECT_EQ(list.GetCount(true), 0u);
}

TEST_F(CategoryTest, OldIdFirstFileConvertsOnLoad) {
    const std::vector<FileItem> old = {
        {1, 0x00, MakeOldRecord("Auto", Id(0x6C))},
        {2, 0x00, MakeOldRecord("Fuel", Id(0x6D), Id(0x6C))},
        {3, 0x00, MakeOldRecord("Pets", {{9, 8, 7, 6, 5, 4, 3, 2}})},
    };
    Bytes file = ItemsBytes(old);
    Trailer(file, 700, 0);
    test::WriteFileBytes(path_, file.str());

    for (bool detect : {true, false}) {
        SCOPED_TRACE(detect ? "detected from the file" : "told by the caller");
        CCategoryList list;
        if (detect) {
            bool idFirst = false;
            ASSERT_EQ(list.LoadDetectingLayout(path_, &idFirst), 0);
            EXPECT_TRUE(idFirst);
        } else {
            list.SetOldFormatRecords(true);
            ASSERT_EQ(list.Load(path_), 0);
        }
        EXPECT_EQ(FullNames(list), (std::vector<std::string>{"Auto", "Auto:Fuel", "Pets"}));
        EXPECT_EQ(list.IndexOfId({{9, 8, 7, 6, 5, 4, 3, 2}}), 2);
        EXPECT_EQ(list.GetListBudget(), 700);
    }

    // Saved again, the records are in the current layout.
    CCategoryList list;
    ASSERT_EQ(list.LoadDetectingLayout(path_), 0);
    ASSERT_EQ(list.Save(), 0);
    Bytes expected = ItemsBytes({
        {1, 0x00, MakeRecord("Auto", Id(0x6C))},
        {2, 0x00, MakeRecord("Fuel", Id(0x6D), Id(0x6C))},
        {3, 0x00, MakeRecord("Pets", {{9, 8, 7, 6, 5, 4, 3, 2}})},
    });
    Trailer(expected, 700, 0);
    EXPECT_EQ(test::ReadFileBytes(path_), expected.str());
    bool idFirst = true;
    EXPECT_EQ(list.LoadDetectingLayout(path_, &idFirst), 0);
    EXPECT_FALSE(idFirst);
}

TEST_F(CategoryTest, CurrentFileWithoutALiveAutoLoadsUnchanged) {
    // "Auto" and its children deleted, as the list editor allows.
    for (std::uint16_t code : {0x6D, 0x6E, 0x6F, 0x6C})
        ASSERT_TRUE(list_.DeleteLeaf(list_.FindById(Id(code))));
    ASSERT_EQ(list_.FindById(AutoCategoryId), nullptr);
    const std::string before = test::ReadFileBytes(path_);

    CCategoryList list;
    bool idFirst = true;
    ASSERT_EQ(list.LoadDetectingLayout(path_, &idFirst), 0);
    EXPECT_FALSE(idFirst);
    EXPECT_NE(list.FindById(Id(0x6B)), nullptr);
    EXPECT_EQ(list.GetFullNameById(Id(0x94)), "Travel:Ground Transportation");
    list.SetPath(path_);
    ASSERT_EQ(list.Save(), 0);
    EXPECT_EQ(test::ReadFileBytes(path_), before);
}

TEST_F(CategoryTest, PathTextToId) {
    const RecordId fuel = Id(0x6D);
    const RecordId autoId = Id(0x6C);
    struct Case {
        const char* text;
        RecordId expected;
        bool createsWhenAllowed = false;
    };
    const Case cases[] = {
        {"Auto:Fuel", fuel},
        {"auto:FUEL", fuel},
        {"Auto : Fuel", fuel},
        {"  Auto:Fuel  ", fuel},
        {"\tAuto:\tFuel\r\n", fuel},
        {"Auto", autoId},
        {"AUTO ", autoId},
        {"Auto:", autoId},
        {"Auto:  ", autoId},
        {"Insurance", Id(0x79)},  // the top-level one
        {"Auto:Insurance", Id(0x6E)},
        {"", kNoneId},
        {"   ", kNoneId},
        {":", kNoneId},
        {":Fuel", kNoneId},
        {"  :Fuel", kNoneId},
        {"Fuel", kNoneId, true},  // a subcategory is no top-level category
        {"Auto:Nothing", kNoneId, true},
        {"Nothing:Fuel", kNoneId, true},
    };
    for (bool create : {false, true}) {
        for (const Case& c : cases) {
            if (create && c.createsWhenAllowed)
                continue;
            SCOPED_TRACE(c.text);
            int saved = -1;
            EXPECT_EQ(list_.FindOrCreateByPath(c.text, create, &saved), c.expected);
            EXPECT_EQ(saved, 0);
        }
    }
    EXPECT_EQ(FullNames(list_, true), kDefaultTree) << "nothing was created";
}

TEST_F(CategoryTest, PathTextCreatesWhatIsMissing) {
    int saved = -1;
    // A missing child under an existing parent.
    const RecordId bonus = list_.FindOrCreateByPath("Salary : Bonus ", true, &saved);
    EXPECT_EQ(saved, 0);
    EXPECT_FALSE(bonus.IsNull());
    EXPECT_EQ(list_.GetFullNameById(bonus), "Salary:Bonus");
    EXPECT_EQ(list_.FindById(bonus)->GetAttribute() & CPalmListItem::kModified,
              CPalmListItem::kModified);

    // A missing parent: two records, the parent among the top level and the
    // child right after it.
    const RecordId food = list_.FindOrCreateByPath("Pets:Food", true);
    const CCategoryItem* foodItem = list_.FindById(food);
    ASSERT_NE(foodItem, nullptr);
    const RecordId pets = foodItem->GetParentId();
    EXPECT_EQ(list_.FindOrCreateByPath("pets", false), pets);
    EXPECT_EQ(list_.IndexOfId(pets), list_.IndexOfId(Id(0x7F)) + 1) << "after Misc";
    EXPECT_EQ(list_.IndexOfId(food), list_.IndexOfId(pets) + 1);

    // A missing top-level category alone; "A:B:C" splits at the first colon.
    const RecordId zoo = list_.FindOrCreateByPath("Zoo", true);
    EXPECT_EQ(list_.GetFullNameById(zoo), "Zoo");
    const RecordId bc = list_.FindOrCreateByPath("A:B:C", true);
    EXPECT_EQ(list_.GetFullNameById(bc), "A:B:C");
    EXPECT_EQ(list_.FindById(bc)->GetName(), "B:C");
    EXPECT_EQ(list_.FindOrCreateByPath("a : b:c", true), bc);

    // Empty parts never make a record.
    const std::size_t count = list_.GetCount(true);
    for (const char* text : {"", ":", ":Fuel", " : ", "Auto:"})
        list_.FindOrCreateByPath(text, true);
    EXPECT_EQ(list_.GetCount(true), count);

    // Everything made is in the file, in tree order.
    EXPECT_EQ(Reloaded(), FullNames(list_, true));
    std::vector<std::string> expected = kDefaultTree;
    expected.insert(expected.begin(), {"A", "A:B:C"});
    expected.insert(std::find(expected.begin(), expected.end(), "Recreation"),
                    {"Pets", "Pets:Food"});
    expected.insert(std::find(expected.begin(), expected.end(), "Subscriptions"), "Salary:Bonus");
    expected.push_back("Zoo");
    EXPECT_EQ(FullNames(list_, true), expected);
}

TEST_F(CategoryTest, LongPathPartsFindWhatWasStored) {
    const std::string parent(40, 'P');
    const std::string child = std::string(31, 'c') + "  tail";
    const RecordId id = list_.FindOrCreateByPath(parent + ":" + child, true);
    const std::size_t count = list_.GetCount(true);
    const CCategoryItem* item = list_.FindById(id);
    ASSERT_NE(item, nullptr);
    // Cut to the field, and no blank left at the cut.
    EXPECT_EQ(item->GetName(), std::string(31, 'c'));
    EXPECT_EQ(list_.FindById(item->GetParentId())->GetName(), parent.substr(0, 32));

    // Every later import of the same long text finds the records.
    EXPECT_EQ(list_.FindOrCreateByPath(parent + ":" + child, true), id);
    EXPECT_EQ(list_.FindOrCreateByPath(parent.substr(0, 33) + " : " + child.substr(0, 32), true),
              id);
    EXPECT_EQ(list_.GetCount(true), count);
    EXPECT_EQ(list_.FindTopLevelByName(parent), list_.FindPositionById(item->GetParentId()));
}

TEST_F(CategoryTest, IdToText) {
    EXPECT_EQ(list_.GetFullNameById(Id(0x6D)), "Auto:Fuel");
    EXPECT_EQ(list_.GetFullNameById(Id(0x6C)), "Auto");
    EXPECT_EQ(list_.GetIndentedNameById(Id(0x6D)), "    Fuel");
    EXPECT_EQ(list_.GetIndentedNameById(Id(0x6C)), "Auto");
    for (const RecordId& unknown : {kNoneId, SplitMarkerId, Id(0x70)}) {
        EXPECT_EQ(list_.GetFullNameById(unknown), "");
        EXPECT_EQ(list_.GetIndentedNameById(unknown), "");
        EXPECT_EQ(list_.FindById(unknown), nullptr);
        EXPECT_EQ(list_.IndexOfId(unknown), -1);
        EXPECT_EQ(list_.FindPositionById(unknown), CPalmFileList::kNoPosition);
    }

    // A subcategory whose parent is gone has no full name but keeps its place.
    auto orphan = Item("Lost", Id(0x200), Id(0x300));
    list_.AddInTreeOrder(std::move(orphan));
    EXPECT_EQ(list_.GetFullNameById(Id(0x200)), "");
    EXPECT_EQ(list_.GetIndentedNameById(Id(0x200)), "    Lost");
    EXPECT_EQ(list_.IndexOfId(Id(0x200)), 30);
}

TEST_F(CategoryTest, TreeOrderInsertionWithEqualNames) {
    const RecordId misc2 = NewRecordId();
    list_.AddInTreeOrder(Item("Misc", misc2));
    EXPECT_EQ(list_.IndexOfId(misc2) + 1, list_.IndexOfId(Id(0x7F))) << "the new one goes first";

    const RecordId fuel2 = NewRecordId();
    list_.AddInTreeOrder(Item("Fuel", fuel2, Id(0x6C)));
    EXPECT_EQ(list_.IndexOfId(fuel2) + 1, list_.IndexOfId(Id(0x6D)));

    // A child sorting after every sibling still stays under its parent.
    const RecordId zz = NewRecordId();
    list_.AddInTreeOrder(Item("Zz", zz, Id(0x6C)));
    EXPECT_EQ(list_.IndexOfId(zz) + 1, list_.IndexOfId(Id(0x72))) << "before Clothing";

    // The last top-level category's children end at the live tail, before
    // deleted items.
    ASSERT_TRUE(list_.DeleteLeaf(list_.FindById(Id(0x74))));
    const RecordId beach = NewRecordId();
    list_.AddInTreeOrder(Item("Beach", beach, Id(0x91)));
    EXPECT_EQ(list_.IndexOfId(beach), static_cast<int>(list_.GetCount(false)) - 1);
    EXPECT_TRUE(list_.GetAt(list_.GetCount(true) - 1, true)->IsDeleted());

    // Collation is byte-wise: upper case before lower case.
    const RecordId lower = NewRecordId();
    list_.AddInTreeOrder(Item("auto", lower));
    EXPECT_EQ(list_.IndexOfId(lower), list_.IndexOfId(Id(0x91)) + 2) << "after Vacation:Beach";
    EXPECT_EQ(Reloaded(), FullNames(list_, true));
}

TEST_F(CategoryTest, ResortKeepsTreeOrderWhicheverWayItIsCalled) {
    list_.FindOrCreateByPath("Pets:Food", true);
    ASSERT_TRUE(list_.DeleteLeaf(list_.FindById(Id(0x8E))));  // Utilities:Gas
    const std::vector<std::string> tree = FullNames(list_, true);

    // The plain name order of the base breaks the tree...
    list_.CCommonList::Resort();
    EXPECT_NE(FullNames(list_, true), tree);
    EXPECT_EQ(FullNames(list_, true).back(), "x Gas");
    // ...which the list's own re-sort, reached through the base, restores.
    CCommonList& base = list_;
    ASSERT_EQ(base.Resort(), 0);
    EXPECT_EQ(FullNames(list_, true), tree);
    EXPECT_EQ(Reloaded(), tree);
    // Ids are found at their new places.
    EXPECT_EQ(list_.IndexOfId(Id(0x6C)), 0);
    EXPECT_EQ(list_.GetFullNameById(Id(0x6D)), "Auto:Fuel");
}

TEST_F(CategoryTest, NameOrderMembersOfTheBaseKeepTheTree) {
    CCommonList& base = list_;
    // AddSorted places by tree, not by plain name.
    const RecordId aa = NewRecordId();
    ASSERT_EQ(base.AddSorted(Item("Aaa", aa, Id(0x8C))), 0);
    EXPECT_EQ(list_.GetFullNameById(aa), "Utilities:Aaa");
    EXPECT_EQ(list_.IndexOfId(aa), list_.IndexOfId(Id(0x8C)) + 1);

    // Renaming a top-level category moves its children with it.
    CCategoryItem* travel = list_.FindById(Id(0x8B));
    travel->SetName("Journeys");
    const int at = base.MoveItem(static_cast<std::size_t>(list_.IndexOfId(Id(0x8B))), travel);
    EXPECT_EQ(at, list_.IndexOfId(Id(0x8B)));
    std::vector<std::string> names = FullNames(list_);
    auto it = std::find(names.begin(), names.end(), "Journeys");
    ASSERT_NE(it, names.end());
    EXPECT_EQ(*(it - 1), "Insurance");
    EXPECT_EQ(*(it + 1), "Journeys:Air Transportation");
    EXPECT_EQ(*(it + 4), "Journeys:Meals");
    EXPECT_EQ(*(it + 5), "Medical");

    // So does re-filing an edited item.
    CCategoryItem* utilities = list_.FindById(Id(0x8C));
    utilities->SetName("Bills");
    ASSERT_EQ(base.ReplaceItem(utilities), 0);
    names = FullNames(list_);
    EXPECT_EQ(names[4], "Bills");
    EXPECT_EQ(names[5], "Bills:Aaa");
    EXPECT_EQ(names[10], "Bills:Water");
    EXPECT_EQ(names[11], "Clothing");

    // An item put in place of another goes to its own tree place.
    const RecordId wash = NewRecordId();
    const int clothing = list_.IndexOfId(Id(0x72));
    const int washAt =
        base.MoveItem(static_cast<std::size_t>(clothing), Item("Wash", wash, Id(0x6C)));
    EXPECT_EQ(list_.FindById(Id(0x72)), nullptr);
    EXPECT_EQ(washAt, list_.IndexOfId(wash));
    EXPECT_EQ(washAt, list_.IndexOfId(Id(0x6F)) + 1) << "after Auto:Payment";
    EXPECT_EQ(Reloaded(), FullNames(list_, true));
}

TEST_F(CategoryTest, IdIndexFollowsEveryChange) {
    EXPECT_EQ(list_.CompareIdOrder(Id(0x6C), Id(0x6D)), -1);
    EXPECT_EQ(list_.CompareIdOrder(Id(0x6D), Id(0x6C)), 1);
    EXPECT_EQ(list_.CompareIdOrder(Id(0x6D), Id(0x6D)), -1);
    EXPECT_EQ(list_.CompareIdOrder(Id(0x6D), Id(0x300)), -1);
    EXPECT_EQ(list_.CompareIdOrder(Id(0x300), Id(0x6D)), 1);
    EXPECT_EQ(list_.CompareIdOrder(Id(0x300), kNoneId), 0);

    // Deleted items are no longer found among the live ones.
    ASSERT_TRUE(list_.DeleteLeaf(list_.FindById(Id(0x6D))));
    EXPECT_EQ(list_.FindById(Id(0x6D)), nullptr);
    EXPECT_NE(list_.FindById(Id(0x6D), true), nullptr);
    EXPECT_EQ(list_.IndexOfId(Id(0x6E)), 1);
    // Items added around the list's own members, through the base.
    CPalmFileList& base = list_;
    base.AddItem(Item("Aardvark", Id(0x301)));
    EXPECT_EQ(list_.IndexOfId(Id(0x301)), 29);
    EXPECT_EQ(list_.CompareIdOrder(Id(0x301), Id(0x91)), 1);
    auto removed = base.RemoveItem(list_.FindById(Id(0x6C)));
    ASSERT_NE(removed.item, nullptr);
    EXPECT_EQ(list_.FindById(Id(0x6C)), nullptr);
    EXPECT_EQ(list_.IndexOfId(Id(0x6E)), 0);
    base.DeleteAll();
    EXPECT_EQ(list_.FindById(Id(0x6E)), nullptr);
    // A reload finds the file's items.
    ASSERT_EQ(list_.Load(path_), 0);
    EXPECT_EQ(list_.IndexOfId(Id(0x91)), 27);
    EXPECT_EQ(list_.IndexOfId(Id(0x301)), 28);
}

TEST_F(CategoryTest, LookUpsByName) {
    EXPECT_EQ(list_.FindTopLevelByName("insurance"), 11u);
    EXPECT_EQ(list_.FindTopLevelByName("Fuel"), CPalmFileList::kNoPosition);
    EXPECT_TRUE(list_.NameExists(nullptr, "AUTO"));
    EXPECT_FALSE(list_.NameExists(nullptr, "Fuel"));
    const CCategoryItem* autoItem = list_.FindById(Id(0x6C));
    EXPECT_TRUE(list_.NameExists(autoItem, "fuel"));
    EXPECT_TRUE(list_.NameExists(autoItem, "Insurance"));
    EXPECT_FALSE(list_.NameExists(autoItem, "Clothing")) << "the walk ends at the next top level";
    EXPECT_FALSE(list_.NameExists(list_.FindById(Id(0x72)), "Fuel"));

    EXPECT_TRUE(list_.HasChildren(Id(0x6C)));
    EXPECT_FALSE(list_.HasChildren(Id(0x6D)));
    EXPECT_FALSE(list_.HasChildren(kNoneId));
}

TEST_F(CategoryTest, DeleteLeafOnlyWithoutChildren) {
    CCategoryItem* autoItem = list_.FindById(Id(0x6C));
    EXPECT_FALSE(list_.DeleteLeaf(autoItem));
    for (std::uint16_t code : {0x6D, 0x6E, 0x6F})
        EXPECT_TRUE(list_.DeleteLeaf(list_.FindById(Id(code))));
    EXPECT_FALSE(list_.HasChildren(Id(0x6C)));
    EXPECT_TRUE(list_.DeleteLeaf(autoItem));
    EXPECT_EQ(list_.GetCount(false), 26u);
    EXPECT_EQ(autoItem->GetAttribute(), 0xC0);
    EXPECT_EQ(list_.GetAt(29, true), autoItem);
    EXPECT_EQ(Reloaded().back(), "x Auto");

    CCategoryItem stranger("Stranger");
    EXPECT_FALSE(list_.DeleteLeaf(&stranger));
    EXPECT_FALSE(list_.DeleteLeaf(nullptr));
}

TEST_F(CategoryTest, Budgets) {
    ASSERT_EQ(list_.SetBudgetAmount(Id(0x6D), 4500), 0);
    EXPECT_EQ(list_.GetBudgetAmount(Id(0x6D)), 4500);
    EXPECT_EQ(list_.FindById(Id(0x6D))->GetAttribute(), CPalmListItem::kModified);

    // The split marker's budget is the list's; the same value changes nothing.
    EXPECT_EQ(list_.GetBudgetAmount(SplitMarkerId), 0);
    ASSERT_EQ(list_.SetBudgetAmount(SplitMarkerId, 0), 0);
    EXPECT_EQ(list_.GetListBudgetChanged(), 0);
    ASSERT_EQ(list_.SetBudgetAmount(SplitMarkerId, 900), 0);
    EXPECT_EQ(list_.GetBudgetAmount(SplitMarkerId), 900);
    EXPECT_EQ(list_.GetListBudgetChanged(), 1);

    EXPECT_EQ(list_.GetBudgetAmount(Id(0x300)), 0);
    EXPECT_EQ(list_.SetBudgetAmount(Id(0x300), 5), 0);
    EXPECT_EQ(list_.GetBudgetAmount(Id(0x300)), 0);

    CCategoryList again;
    ASSERT_EQ(again.Load(path_), 0);
    EXPECT_EQ(again.GetBudgetAmount(Id(0x6D)), 4500);
    EXPECT_EQ(again.GetBudgetAmount(SplitMarkerId), 900);
    EXPECT_EQ(again.GetListBudgetChanged(), 1);

    EXPECT_EQ(list_.FindAndMarkModified(Id(0x6E)), list_.FindById(Id(0x6E)));
    EXPECT_EQ(list_.FindById(Id(0x6E))->GetAttribute(), CPalmListItem::kModified);
    EXPECT_EQ(list_.FindAndMarkModified(Id(0x300)), nullptr);
}

TEST(CategoryItem, ConstructorsAndNameField) {
    CCategoryItem top("Pets");
    EXPECT_FALSE(top.GetId().IsNull());
    EXPECT_TRUE(top.IsTopLevel());
    EXPECT_EQ(top.GetAttribute(), CPalmListItem::kModified);
    CCategoryItem child("Food", top.GetId());
    EXPECT_EQ(child.GetParentId(), top.GetId());
    EXPECT_NE(child.GetId(), top.GetId());
    CCategoryItem empty;
    EXPECT_EQ(empty.GetRecord(), CCategoryItem::Record{});
    EXPECT_EQ(empty.GetAttribute(), 0);

    // 32 characters kept, the rest of the field cleared; an embedded NUL ends
    // the text.
    CCategoryItem item(std::string(40, 'n'));
    EXPECT_EQ(item.GetName(), std::string(32, 'n'));
    item.SetName(std::string_view("ab\0cd", 5));
    EXPECT_EQ(item.GetName(), "ab");
    for (std::size_t i = 2; i < 33; ++i)
        EXPECT_EQ(item.GetRecord()[i], 0) << i;
}

TEST(CategoryName, Validation) {
    const std::string s32(32, 's');
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"Auto", true},
        {"Auto:Fuel", true},
        {s32, true},
        {s32 + "s", false},
        {s32 + ":" + s32, true},
        {s32 + "s:Fuel", false},
        {"Auto:" + s32 + "s", false},
        {"Auto:", false},
        {"Auto:Fuel:", false},
        {"Auto/Fuel", false},
        {"Auto:Fuel/Business", false},
        {"-SPLIT-", false},
        {"-split-", false},
        {"-Split-x", true},
        {"A:B:C", true},
        {":Fuel", true},  // accepted; the path look-up gives no category
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidCategoryName(c.text), c.valid) << '"' << c.text << '"';
}

}  // namespace
}  // namespace tallowmere
