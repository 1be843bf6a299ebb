#include "ui/logic/register_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/accounts.h"
#include "model/category.h"
#include "model/class_item.h"
#include "model/payee.h"
#include "model/show_columns.h"
#include "model/transaction.h"
#include "ui/logic/view_menus.h"
#include "ui_logic/small_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

TEST(RegisterCommandsTest, EnablingByPageSelectionAndAccounts) {
    struct Case {
        int command;
        int page;
        int rows;
        int paneRows;
        int accounts;
        bool enabled;
    };
    const Case cases[] = {
        {32772, 0, 1, 1, 1, true},  {32772, 3, 2, 1, 1, true},  {32772, 0, 0, 1, 1, false},
        {32772, 1, 1, 1, 1, false}, {32772, 2, 1, 1, 1, false}, {32781, 0, 0, 1, 2, true},
        {32781, 0, 0, 1, 1, false}, {32781, 0, 0, 0, 3, false}, {32781, 3, 0, 1, 3, false},
        {32828, 0, 0, 0, 1, true},  {32828, 3, 0, 0, 1, true},  {32828, 1, 0, 0, 1, false},
        {57634, 0, 1, 1, 1, false}, {57635, 0, 1, 1, 1, false}, {57637, 3, 1, 1, 1, false},
        {32789, 0, 0, 0, 1, true},  {32789, 1, 0, 0, 1, false}, {32789, 3, 0, 0, 1, false},
        {32790, 2, 0, 0, 2, false}, {32809, 0, 0, 0, 0, true},  {32773, 1, 0, 0, 1, false},
        {32771, 1, 0, 0, 1, true},  {32795, 3, 0, 0, 1, true},  {32780, 3, 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.command << " page " << c.page << " rows " << c.rows);
        RegisterCommandContext context{c.page, c.rows, c.paneRows, c.accounts};
        EXPECT_EQ(c.enabled, ViewCommandEnabled(c.command, context));
    }
}

TEST(RegisterCommandsTest, StatusSetKeepsBitsOneToFiveAndClearsTheMark) {
    struct Case {
        std::uint8_t byte;
        int status;
        int expected;  // -1: unchanged
    };
    const Case cases[] = {
        {0x00, 1, 0x40}, {0x41, 0, 0x00}, {0x5F, 2, 0x9E}, {0x81, 3, 0xC0},
        {0xC0, 3, -1},   {0x41, 1, -1},   {0x00, 4, -1},   {0x3F, 1, 0x7E},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.byte} << " -> " << c.status);
        const auto after = StatusAfterSet(c.byte, c.status);
        EXPECT_EQ(c.expected, after ? int{*after} : -1);
    }
}

TEST(RegisterCommandsTest, StatusCellClickOnEachPage) {
    struct Case {
        std::uint8_t byte;
        bool reconcile;
        int expected;  // -1: nothing changes
    };
    const Case cases[] = {
        {0x00, false, 0x40}, {0x40, false, 0x00}, {0x41, false, 0x00},
        {0x80, false, -1},   {0xC0, false, -1},   {0x00, true, 0x01},
        {0x41, true, 0x40},  {0x80, true, 0x81},  {0xC0, true, 0xC1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int{c.byte} << (c.reconcile ? " reconcile" : ""));
        const auto after = StatusAfterClick(c.byte, c.reconcile);
        EXPECT_EQ(c.expected, after ? int{*after} : -1);
    }
}

TEST(RegisterCommandsTest, SortByHeader) {
    struct Case {
        std::uint16_t sorted;
        bool ascending;
        std::uint16_t clicked;
        bool beep;
        std::uint16_t column;
        bool nowAscending;
    };
    const Case cases[] = {
        {2, true, 2, false, 2, false}, {2, false, 2, false, 2, true}, {2, false, 4, false, 4, true},
        {8, true, 0, false, 0, true},  {2, true, 9, true, 2, true},   {5, false, 9, true, 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sorted << " click " << c.clicked);
        const SortChoice s = SortAfterHeaderClick(c.sorted, c.ascending, c.clicked);
        EXPECT_EQ(c.beep, s.beep);
        EXPECT_EQ(c.column, s.column);
        EXPECT_EQ(c.nowAscending, s.ascending);
    }
}

TEST(RegisterCommandsTest, ReadoutLabelsAndMarkers) {
    // filter All: the type's label; any other filter: "Balance".
    EXPECT_EQ(206, ReadoutLabelId(0, 0));
    EXPECT_EQ(283, ReadoutLabelId(0, 1));
    EXPECT_EQ(293, ReadoutLabelId(0, 2));
    for (const int type : {0, 1, 2})
        EXPECT_EQ(206, ReadoutLabelId(3, type));
    EXPECT_TRUE(ReadoutHasMarker(0, 0));
    EXPECT_TRUE(ReadoutHasMarker(0, 4));
    EXPECT_TRUE(ReadoutHasMarker(1, 0));
    EXPECT_FALSE(ReadoutHasMarker(1, 2));
    for (const int type : {0, 1, 2})
        EXPECT_EQ(type, BalanceTypeOfCommand(BalanceTypeCommand(type)));
    EXPECT_EQ(-1, BalanceTypeOfCommand(32815));
}

TEST(RegisterCommandsTest, DraggedWidthsGoIntoTheColumnSet) {
    const ShowColumnEntry entries[] = {{2, 80, 1, 0}, {4, 150, 1, 0}, {8, 90, 1, 0}};
    CShowColumns set(entries);
    const int payee = set.IndexOfId(4);
    ASSERT_GE(payee, 0);
    const int date = set.GetWidth(set.IndexOfId(2));
    EXPECT_FALSE(StoreColumnWidths(set, {{2, date}}));
    EXPECT_TRUE(StoreColumnWidths(set, {{4, 180}, {2, date}, {77, 50}}));
    EXPECT_EQ(180, set.GetWidth(payee));
    EXPECT_EQ(date, set.GetWidth(set.IndexOfId(2)));
    // Never narrower than 24.
    EXPECT_TRUE(StoreColumnWidths(set, {{4, 3}}));
    EXPECT_EQ(24, set.GetWidth(payee));
}

TEST(RegisterCommandsTest, RowAfterDelete) {
    EXPECT_EQ(3, RowAfterDelete(3, 10));
    EXPECT_EQ(9, RowAfterDelete(10, 10));  // the last row went: the new last one
    EXPECT_EQ(0, RowAfterDelete(0, 1));
    EXPECT_EQ(-1, RowAfterDelete(0, 0));  // nothing left: no row
}

TEST(RegisterCommandsTest, TheViewMenusHoldTheirCommands) {
    const auto& reg = ViewPopupMenu(165);
    ASSERT_FALSE(reg.empty());
    const std::vector<MenuEntry> top = MenuChildren(reg, 165);
    ASSERT_EQ(7u, top.size());
    EXPECT_EQ(32825, top[0].id);
    EXPECT_EQ("Set Payee", top[kSetPayeePosition].text);
    EXPECT_EQ("Set Category", top[kSetCategoryPosition].text);
    EXPECT_EQ("Set Class", top[kSetClassPosition].text);
    std::vector<int> status;
    for (const MenuEntry& e : MenuChildren(reg, top[2].id))
        status.push_back(e.id);
    EXPECT_EQ((std::vector<int>{32815, 32816, 32817, 32818}), status);
    std::vector<int> balances;
    for (const MenuEntry& e : MenuChildren(ViewPopupMenu(171), 171))
        balances.push_back(e.id);
    EXPECT_EQ((std::vector<int>{32833, 32832, 32842}), balances);
    EXPECT_EQ(1u, MenuChildren(ViewPopupMenu(169), 169).size());
    EXPECT_EQ(2u, MenuChildren(ViewPopupMenu(170), 170).size());
    EXPECT_TRUE(ViewPopupMenu(166).empty());
}

std::unique_ptr<CTransaction> Tx(std::uint8_t status) {
    auto t = std::make_unique<CTransaction>();
    t->SetStatus(status);
    return t;
}

TEST(RegisterCommandsTest, DeletePlans) {
    auto plain = Tx(0);
    auto other = Tx(0x40);
    auto copy = Tx(0);
    copy->SetSplitIndex(1);
    copy->SetLinkedId(plain->GetId());
    ASSERT_TRUE(copy->IsSplitTransferCopy());

    const DeletePlan none = PlanDelete({});
    EXPECT_EQ(0, none.questionStringId);
    EXPECT_TRUE(none.ids.empty());

    const DeletePlan one = PlanDelete({plain.get()});
    EXPECT_EQ(140, one.questionStringId);
    EXPECT_EQ(std::vector<RecordId>{plain->GetId()}, one.ids);

    const DeletePlan refused = PlanDelete({copy.get()});
    EXPECT_EQ(178, refused.refusedStringId);
    EXPECT_EQ(0, refused.questionStringId);
    EXPECT_TRUE(refused.ids.empty());

    const DeletePlan many = PlanDelete({plain.get(), copy.get(), other.get()});
    EXPECT_EQ(177, many.questionStringId);
    EXPECT_EQ((std::vector<RecordId>{plain->GetId(), other->GetId()}), many.ids);
}

class RegisterPopupTest : public test::DataSetTest {};

TEST_F(RegisterPopupTest, EntriesInListOrderWithTheRowsFieldsChecked) {
    data_->Payees().HoldSaves(true);
    for (const char* name : {"Zebra Shop", "Acme", "Bakery"})
        ASSERT_EQ(0, data_->Payees().AddSorted(std::make_unique<CPayeeItem>(name)));
    const CCategoryItem* child = nullptr;
    for (std::size_t i = 0; i < data_->Categories().GetCount(false) && child == nullptr; ++i) {
        auto* c = dynamic_cast<CCategoryItem*>(data_->Categories().GetAt(i, false));
        if (c != nullptr && c->GetFullName(data_->Categories()).find(':') != std::string::npos)
            child = c;
    }
    ASSERT_NE(nullptr, child);
    const CClassItem* business = data_->Classes().FindByName("Business");
    ASSERT_NE(nullptr, business);

    CTransaction t;
    t.SetPayeeName("Bakery");
    t.SetCategoryId(child->GetId());
    t.SetClassId(business->GetId());
    t.SetStatus(kStatusReconciled);
    const RegisterPopup popup = BuildRegisterPopup(*data_, {&t});
    EXPECT_EQ(2, popup.checkedStatus);
    ASSERT_EQ(3u, popup.payees.size());
    EXPECT_EQ("Acme", popup.payees[0].text);
    EXPECT_EQ("Bakery", popup.payees[1].text);
    EXPECT_EQ("Zebra Shop", popup.payees[2].text);
    EXPECT_TRUE(popup.payees[1].checked);
    EXPECT_FALSE(popup.payees[0].checked);
    int checkedCategories = 0;
    for (const PopupEntry& e : popup.categories) {
        if (e.checked) {
            ++checkedCategories;
            EXPECT_EQ(child->GetFullName(data_->Categories()), e.text);
            EXPECT_EQ(child->GetId(), e.id);
        }
    }
    EXPECT_EQ(1, checkedCategories);
    EXPECT_EQ(data_->Categories().GetCount(false), popup.categories.size());
    int checkedClasses = 0;
    for (const PopupEntry& e : popup.classes)
        checkedClasses += e.checked ? 1 : 0;
    EXPECT_EQ(1, checkedClasses);

    // Two rows: no status checked; empty fields check nothing.
    CTransaction empty;
    const RegisterPopup two = BuildRegisterPopup(*data_, {&empty, &t});
    EXPECT_EQ(-1, two.checkedStatus);
    for (const auto* list : {&two.payees, &two.categories, &two.classes}) {
        for (const PopupEntry& e : *list)
            EXPECT_FALSE(e.checked) << e.text;
    }

    // An entry that left its list meanwhile is no longer live.
    EXPECT_TRUE(EntryStillLive(*data_, SetField::kPayee, popup.payees[0]));
    PopupEntry gone = popup.classes.front();
    gone.id = RecordId::Fixed(0x7777);
    EXPECT_FALSE(EntryStillLive(*data_, SetField::kClass, gone));
    CTransaction applied;
    ApplyEntry(SetField::kPayee, popup.payees[2], applied);
    EXPECT_EQ("Zebra Shop", applied.GetPayeeName());
    ApplyEntry(SetField::kClass, popup.classes.front(), applied);
    EXPECT_EQ(popup.classes.front().id, applied.GetClassId());
    EXPECT_TRUE(applied.IsModified());
}

}  // namespace
}  // namespace tallowmere::ui
