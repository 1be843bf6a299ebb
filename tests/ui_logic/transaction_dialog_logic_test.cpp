#include "ui/logic/transaction_dialog_logic.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "model/list_file_names.h"
#include "support/test_env.h"
#include "ui_logic/transaction_dialog_fixture.h"

namespace tallowmere::ui {
namespace {

using test::At;

class TransactionDialogLogicTest : public ::testing::Test {
  protected:
    TransactionDialogLogicTest() : world("trans") {}

    // A dialog on target for stored (none: a new transaction).
    TransactionDialogLogic& Open(CAccount& target, const CTransaction* stored = nullptr,
                                 bool recordMode = false) {
        logic = std::make_unique<TransactionDialogLogic>(*world.set, target, stored, messages,
                                                         dialogs, &host);
        logic->SetRecordMode(recordMode);
        logic->Open();
        return *logic;
    }
    int TypeIndex(const RecordId& id) const {
        for (std::size_t i = 0; i < logic->TypeEntries().size(); ++i) {
            if (logic->TypeEntries()[i].id == id)
                return static_cast<int>(i);
        }
        return -1;
    }
    // A new Checking withdrawal ready for OK.
    TransactionForm& NewWithdrawal(const char* amount = "12.00") {
        TransactionForm& f = Open(*world.checking).Form();
        f.typeIndex = TypeIndex(WithdrawalTypeId);
        f.amount = amount;
        return f;
    }
    CTransaction* FindByMemo(const CAccount& account, const std::string& memo) const {
        for (int i = 0; i < account.CountTransactions(0); ++i) {
            CTransaction* t = account.GetTransactionAt(0, i);
            if (t->GetMemo() == memo)
                return t;
        }
        return nullptr;
    }

    test::TransactionWorld world;
    test::AnsweringMessages messages;
    test::ScriptedSubDialogs dialogs;
    test::CountingHost host;
    std::unique_ptr<TransactionDialogLogic> logic;
};

// ---------------------------------------------------------------- opening

TEST_F(TransactionDialogLogicTest, OpensANewTransactionOnTheGivenAccount) {
    struct Case {
        const char* name;
        CAccount* account;
        PalmTime remembered;
        RecordId type;
        std::string check;
    };
    const Case cases[] = {
        {"checking, no remembered date", world.checking, 0, WithdrawalTypeId, "1041"},
        {"checking, remembered date", world.checking, At(2011, 7, 4, 8, 0, 1), WithdrawalTypeId,
         "1041"},
        {"savings", world.savings, 0, DepositTypeId, "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world.set->SetEntryDate(c.remembered);
        const TransactionForm& f = Open(*c.account).Form();
        const PalmTime expected = c.remembered != 0 ? c.remembered : At(2012, 3, 15, 10, 30);
        EXPECT_EQ(f.day, PalmTimeDayBound(expected, 1));
        EXPECT_EQ(logic->WorkingCopy().GetDate(), expected);
        EXPECT_EQ(f.typeIndex, TypeIndex(c.type));
        EXPECT_EQ(f.checkShown, c.type == CheckTypeId);
        EXPECT_EQ(f.checkNumber, c.check);
        EXPECT_EQ(f.amount, "");
        EXPECT_FALSE(f.deleteShown);
        EXPECT_EQ(f.okText, "OK");
        EXPECT_TRUE(f.categoryEnabled);
        // The account itself is no transfer target.
        const auto& entries = logic->CategoryEntries();
        EXPECT_EQ(std::count(entries.begin(), entries.end(), c.account->GetTransferLabel()), 0);
        EXPECT_EQ(logic->WorkingCopy().GetSourceCurrency(), c.account->Header().GetCurrencyId());
    }
}

TEST_F(TransactionDialogLogicTest, OpensAStoredTransactionAndARecordModeCopy) {
    CTransaction* transfer = world.InChecking(world.transferId);
    transfer->SetStatus(kStatusCleared);
    const TransactionForm& f = Open(*world.checking, transfer).Form();
    EXPECT_EQ(f.amount, "50.00");
    EXPECT_EQ(f.category, "[Savings]");
    EXPECT_EQ(f.payee, "To savings");
    EXPECT_EQ(f.status, 1);
    EXPECT_FALSE(f.checkShown);
    EXPECT_TRUE(f.deleteShown);
    EXPECT_EQ(f.okText, "OK");

    const TransactionForm& split = Open(*world.checking, world.InChecking(world.splitId)).Form();
    EXPECT_EQ(split.category, "-SPLIT-");
    EXPECT_FALSE(split.categoryEnabled);
    EXPECT_TRUE(logic->IsSplit());
    EXPECT_EQ(logic->CategoryIcon(), kSplitIcon);

    // Record mode: the check is numbered as a new one and the copy's date
    // stands; Delete and Purge have nothing to act on.
    CTransaction occurrence;
    occurrence.SetTypeId(CheckTypeId);
    occurrence.SetCheckNumber(0);
    occurrence.SetAmount(2500);
    occurrence.SetDate(At(2012, 4, 1, 10, 30));
    const TransactionForm& r = Open(*world.checking, &occurrence, true).Form();
    EXPECT_EQ(r.checkNumber, "1041");
    EXPECT_TRUE(r.checkShown);
    EXPECT_EQ(r.day, At(2012, 4, 1));
    EXPECT_EQ(r.amount, "25.00");
    EXPECT_FALSE(r.deleteShown);
    EXPECT_EQ(r.okText, "Record");
    EXPECT_EQ(logic->Delete(), DialogStep::Stay(0, false));
    EXPECT_EQ(logic->Purge(), DialogStep::Stay(0, false));
}

TEST_F(TransactionDialogLogicTest, TypeEntriesCutTheNumberSignAndFallBackWithinTheList) {
    Open(*world.checking);
    ASSERT_GE(logic->TypeEntries().size(), 7u);
    EXPECT_EQ(logic->TypeEntries()[0].text, "Check ");

    struct Case {
        RecordId type;
        int expected;
    };
    const Case cases[] = {{RecordId::Fixed(0x80F0), 1}, {RecordId::Fixed(0x00F0), 2}};
    for (const Case& c : cases) {
        CTransaction unknown;
        unknown.SetTypeId(c.type);
        EXPECT_EQ(Open(*world.checking, &unknown, true).Form().typeIndex, c.expected);
    }

    // With a single type left the fallback stays inside the list.
    CTransactionTypesList& types = world.set->TransactionTypes();
    while (types.GetCount(false) > 1) {
        auto pos = types.GetHeadPosition(false);
        ASSERT_EQ(types.DeleteItem(types.GetNextLive(pos, false)), 0);
    }
    CTransaction unknown;
    unknown.SetTypeId(RecordId::Fixed(0x00F0));
    EXPECT_EQ(Open(*world.checking, &unknown, true).Form().typeIndex, 0);
}

// ---------------------------------------------------------------- payee memory

TEST_F(TransactionDialogLogicTest, PayeeTabFillsOnlyAnEmptyAmountFromAKnownPayee) {
    struct Case {
        const char* payee;
        const char* amount;
        bool fills;
    };
    const Case cases[] = {
        {"Grocer", "", true},  {"gROCER", "", true}, {"Grocer", "3.00", false},
        {"Nobody", "", false}, {"", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.payee) + "/" + c.amount);
        TransactionForm& f = Open(*world.checking).Form();
        f.payee = c.payee;
        f.amount = c.amount;
        TransactionEvent event;
        EXPECT_EQ(logic->OnPayeeTab(&event), c.fills);
        if (c.fills) {
            EXPECT_EQ(event.focusId, kTransAmount);
            EXPECT_EQ(f.amount, "42.50");
            EXPECT_EQ(f.typeIndex, TypeIndex(WithdrawalTypeId));
            EXPECT_FALSE(f.checkShown);
            EXPECT_EQ(f.category, "Groceries");
            EXPECT_EQ(f.classText, "Business");
        } else {
            EXPECT_EQ(event.focusId, 0);
            EXPECT_EQ(f.amount, c.amount);
            EXPECT_EQ(f.category, "");
        }
    }
}

TEST_F(TransactionDialogLogicTest, PayeeWithMemorisedSplitsFillsTheTenLines) {
    TransactionForm& f = Open(*world.checking).Form();
    f.payee = "Utility Co";
    EXPECT_TRUE(logic->OnPayeeTab(nullptr));
    EXPECT_EQ(f.category, "-SPLIT-");
    EXPECT_FALSE(f.categoryEnabled);
    EXPECT_TRUE(logic->IsSplit());
    EXPECT_EQ(f.amount, "90.00");
    EXPECT_TRUE(f.checkShown);
    const CTransaction& w = logic->WorkingCopy();
    EXPECT_EQ(w.GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(w.GetSplitCategoryId(1), world.auto_fuel);
    EXPECT_EQ(w.GetSplitClassId(2), PersonalClassId);
    EXPECT_EQ(w.GetSplitAmount(2), 5000);

    // Saved as typed, the split lines go with it.
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    CTransaction* added = FindByMemo(*world.checking, "");
    ASSERT_NE(added, nullptr);
}

TEST_F(TransactionDialogLogicTest, ChoosingAPayeeWithAnAmountFillsOnlyAnEmptyCategory) {
    const auto grocer = [this] {
        const auto& entries = logic->PayeeEntries();
        return static_cast<int>(std::find(entries.begin(), entries.end(), "Grocer") -
                                entries.begin());
    };
    TransactionForm& f = Open(*world.checking).Form();
    f.amount = "3.00";
    EXPECT_EQ(logic->OnPayeeChosen(grocer()).focusId, 0);
    EXPECT_EQ(f.payee, "Grocer");
    EXPECT_EQ(f.amount, "3.00");
    EXPECT_EQ(f.category, "Groceries");
    EXPECT_EQ(f.classText, "Business");

    TransactionForm& g = Open(*world.checking).Form();
    g.amount = "3.00";
    g.category = "Auto:Fuel";
    logic->OnPayeeChosen(grocer());
    EXPECT_EQ(g.category, "Auto:Fuel");
    EXPECT_EQ(g.classText, "");

    TransactionForm& h = Open(*world.checking).Form();
    EXPECT_EQ(logic->OnPayeeChosen(grocer()).focusId, kTransAmount);
    EXPECT_EQ(h.amount, "42.50");
}

// ---------------------------------------------------------------- check numbers

TEST_F(TransactionDialogLogicTest, OnlyTheCheckTypeShowsAndStoresANumber) {
    CTransactionTypesList& types = world.set->TransactionTypes();
    auto numbered = std::make_unique<CTransactionType>();
    numbered->SetName("Voucher #");
    numbered->SetDebit(true);
    numbered->SetNumbered(true);
    const RecordId voucher = numbered->GetId();
    ASSERT_EQ(types.AddSorted(std::move(numbered)), 0);

    TransactionForm& f = Open(*world.checking).Form();
    EXPECT_FALSE(f.checkShown);
    f.typeIndex = TypeIndex(CheckTypeId);
    logic->OnTypeChanged();
    EXPECT_TRUE(f.checkShown);
    EXPECT_EQ(f.checkNumber, "1041");
    f.typeIndex = TypeIndex(voucher);
    logic->OnTypeChanged();
    EXPECT_FALSE(f.checkShown);
    f.amount = "1.00";
    f.memo = "voucher";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    CTransaction* t = FindByMemo(*world.checking, "voucher");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetCheckNumber(), 0u);
    EXPECT_EQ(world.checking->Header().GetLastCheckNumber(), 1040u);
}

TEST_F(TransactionDialogLogicTest, TheLastCheckNumberOnlyMovesOnward) {
    struct Case {
        const char* number;
        std::uint32_t last;
    };
    const Case cases[] = {{"1041", 1041}, {"1100", 1100}, {"17", 1100}, {"1100", 1100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        TransactionForm& f = Open(*world.checking).Form();
        f.typeIndex = TypeIndex(CheckTypeId);
        f.checkNumber = c.number;
        f.amount = "1.00";
        f.memo = c.number;
        EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
        EXPECT_EQ(world.checking->Header().GetLastCheckNumber(), c.last);
        CTransaction* t = FindByMemo(*world.checking, c.number);
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->GetCheckNumber(), static_cast<std::uint32_t>(std::stoul(c.number)));
    }
    // Editing an old check, even only its memo, keeps the last number.
    CTransaction* old = FindByMemo(*world.checking, "17");
    TransactionForm& f = Open(*world.checking, old).Form();
    EXPECT_EQ(f.checkNumber, "17");
    f.memo = "old check";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.checking->Header().GetLastCheckNumber(), 1100u);
    // The header reached the file.
    std::unique_ptr<CAccounts> reloaded = test::LoadDefaultDataSet("unused");
    ASSERT_EQ(CAccounts::LoadInto(reloaded, world.set->GetFolder(), {}), 0);
    EXPECT_EQ(reloaded->FindAccountByName("Checking")->Header().GetLastCheckNumber(), 1100u);
}

TEST_F(TransactionDialogLogicTest, ACheckNumberMustBeAWholeNumberInRange) {
    for (const char* text : {"-5", "abc", "12x", "", "2147483648", "99999999999999999999"}) {
        SCOPED_TRACE(text);
        messages.ids.clear();
        TransactionForm& f = Open(*world.checking).Form();
        f.typeIndex = TypeIndex(CheckTypeId);
        f.checkNumber = text;
        f.amount = "1.00";
        EXPECT_EQ(logic->Ok(), DialogStep::Stay(kTransCheckNumber, true));
        EXPECT_EQ(messages.ids, std::vector<int>{kStringEnterInteger});
    }
    TransactionForm& f = Open(*world.checking).Form();
    f.typeIndex = TypeIndex(CheckTypeId);
    f.checkNumber = "2147483647";
    f.amount = "1.00";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.checking->Header().GetLastCheckNumber(), 2147483647u);
}

// ---------------------------------------------------------------- validation

TEST_F(TransactionDialogLogicTest, AmountsAreCheckedAndParsedLeniently) {
    struct Case {
        const char* text;
        int message;  // 0: accepted
        Cents stored;
    };
    const Case cases[] = {
        {"", kStringNeedAmount, 0},
        {"   ", kStringNeedAmount, 0},
        {"72057594037927936.99", 0, 7205759403792793699},
        {"-72057594037927936.99", 0, -7205759403792793699},
        {"72057594037927937", kStringBadAmount, 0},
        {"-72057594037927937", kStringBadAmount, 0},
        {"1234567890123456789012345", kStringBadAmount, 0},
        {"$1,234.56", 0, 123456},
        {"12abc", 0, 1200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        messages.ids.clear();
        const std::string before = world.File(*world.checking);
        TransactionForm& f = NewWithdrawal(c.text);
        f.memo = c.text;
        const DialogStep step = logic->Ok();
        if (c.message != 0) {
            EXPECT_EQ(step, DialogStep::Stay(kTransAmount, true));
            EXPECT_EQ(messages.ids, std::vector<int>{c.message});
            EXPECT_TRUE(world.File(*world.checking) == before);
            EXPECT_EQ(f.amount, c.text);
        } else {
            EXPECT_EQ(step, DialogStep::Close(1));
            CTransaction* t = FindByMemo(*world.checking, c.text);
            ASSERT_NE(t, nullptr);
            EXPECT_EQ(t->GetAmount(), c.stored);
        }
    }
}

TEST_F(TransactionDialogLogicTest, ARefusedCategoryOrClassMakesNothing) {
    struct Case {
        const char* category;
        const char* classText;
        int message;
        int focus;
    };
    const Case cases[] = {
        {"Hobbies/Models", "", kStringBadCategoryName, kTransCategory},
        {"-SPLIT-", "", kStringBadCategoryName, kTransCategory},
        {"Hobbies:Models", "Bad/Class", kStringBadClassName, kTransClass},
        {"[Nope]", "NewClass", kStringBadAccountName, kTransCategory},
        {"[checking]", "NewClass", kStringSameAccount, kTransCategory},
    };
    const std::string folder = world.set->GetFolder() + "/";
    const std::string categories = test::ReadFileBytes(folder + kCategoriesListFile);
    const std::string classes = test::ReadFileBytes(folder + kClassListFile);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.category);
        messages.ids.clear();
        world.set->SetEntryDate(0);
        const std::string account = world.File(*world.checking);
        TransactionForm& f = Open(*world.checking).Form();
        f.payee = "Somebody New";
        f.amount = "5.00";
        f.category = c.category;
        f.classText = c.classText;
        EXPECT_EQ(logic->Ok(), DialogStep::Stay(c.focus, true));
        EXPECT_EQ(messages.ids, std::vector<int>{c.message});
        EXPECT_TRUE(test::ReadFileBytes(folder + kCategoriesListFile) == categories);
        EXPECT_TRUE(test::ReadFileBytes(folder + kClassListFile) == classes);
        EXPECT_TRUE(world.File(*world.checking) == account);
        EXPECT_EQ(world.set->GetEntryDate(), 0u);
        EXPECT_EQ(world.set->Payees().FindByName("Somebody New"), nullptr);
        EXPECT_EQ(world.checking->Header().GetLastCheckNumber(), 1040u);
    }
}

TEST_F(TransactionDialogLogicTest, MissingCategoryAndClassAreMadeWhenOkGoesThrough) {
    TransactionForm& f = NewWithdrawal("8.00");
    f.category = "Hobbies:Models";
    f.classText = "Travel";
    f.memo = "models";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    const RecordId models = world.set->Categories().FindOrCreateByPath("Hobbies:Models", false);
    RecordId travel;
    ASSERT_TRUE(world.set->Classes().FindIdByName("Travel", travel));
    ASSERT_FALSE(models.IsNull());
    CTransaction* t = FindByMemo(*world.checking, "models");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetCategoryId(), models);
    EXPECT_EQ(t->GetClassId(), travel);
}

// ---------------------------------------------------------------- saving

TEST_F(TransactionDialogLogicTest, AnUnchangedOkWritesNothing) {
    const std::string path = world.checking->GetPath();
    const auto mtime = std::filesystem::last_write_time(path);
    const std::string before = world.File(*world.checking);
    CTransaction* transfer = world.InChecking(world.transferId);
    // A marked row stays marked.
    transfer->SetStatus(kStatusCleared | kStatusMarked);
    Open(*world.checking, transfer);
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_TRUE(world.File(*world.checking) == before);
    EXPECT_EQ(std::filesystem::last_write_time(path), mtime);
    EXPECT_EQ(transfer->GetStatus(), kStatusCleared | kStatusMarked);
    EXPECT_EQ(host.refreshes, 0);

    // A change of status takes the mark away; other status bits stay.
    transfer->SetStatus(kStatusCleared | kStatusMarked | 0x04);
    Open(*world.checking, transfer).Form().status = 2;
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.InChecking(world.transferId)->GetStatus(), kStatusReconciled | 0x04);
}

TEST_F(TransactionDialogLogicTest, ANewTransferIsAddedWithItsMirrorAndSaved) {
    TransactionForm& f = NewWithdrawal("75.00");
    f.payee = "grocer";
    f.category = "[savings]";
    f.memo = "to savings";
    const PalmTime day = f.day;
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(host.refreshes, 1);

    std::unique_ptr<CAccounts> loaded;
    ASSERT_EQ(CAccounts::LoadInto(loaded, world.set->GetFolder(), {}), 0);
    const CTransaction* t = FindByMemo(*loaded->FindAccountByName("Checking"), "to savings");
    const CTransaction* m = FindByMemo(*loaded->FindAccountByName("Savings"), "to savings");
    ASSERT_NE(t, nullptr);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(t->GetPayeeName(), "Grocer");  // the payee's own spelling
    EXPECT_EQ(t->GetCategoryId(), world.savings->Header().GetId());
    EXPECT_EQ(t->GetLinkedId(), m->GetId());
    EXPECT_EQ(m->GetLinkedId(), t->GetId());
    EXPECT_EQ(m->GetAmount(), 7500);
    const PalmTime date = day + 10 * 3600 + 30 * 60;
    EXPECT_EQ(t->GetDate(), date);
    // The next new transaction starts a second later; the payee remembers.
    EXPECT_EQ(world.set->GetEntryDate(), date + 1);
    EXPECT_EQ(loaded->Payees().FindByName("Grocer")->GetAmount(), 7500);
    EXPECT_EQ(Open(*world.checking).Form().day, day);
    EXPECT_EQ(logic->WorkingCopy().GetDate(), date + 1);
}

TEST_F(TransactionDialogLogicTest, EditingATransferKeepsItsMirrorInStep) {
    CTransaction* transfer = world.InChecking(world.transferId);
    TransactionForm& f = Open(*world.checking, transfer).Form();
    f.amount = "60.00";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    std::unique_ptr<CAccounts> loaded;
    ASSERT_EQ(CAccounts::LoadInto(loaded, world.set->GetFolder(), {}), 0);
    const CAccount& savings = *loaded->FindAccountByName("Savings");
    const CTransaction* t =
        loaded->FindAccountByName("Checking")->FindTransactionById(world.transferId);
    ASSERT_NE(t, nullptr);
    const CTransaction* m = savings.FindTransactionById(t->GetLinkedId());
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->GetAmount(), 6000);
    EXPECT_EQ(savings.CountTransactions(0), 1);
}

TEST_F(TransactionDialogLogicTest, DatesKeepTheStoredTimeOnTheSameDay) {
    CTransaction* transfer = world.InChecking(world.transferId);  // 2012-03-01 09:00
    Open(*world.checking, transfer).Form().memo = "same day";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.InChecking(world.transferId)->GetDate(), At(2012, 3, 1, 9));

    Open(*world.checking, world.InChecking(world.transferId)).Form().day = At(2012, 3, 5);
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.InChecking(world.transferId)->GetDate(), At(2012, 3, 5, 10, 30));
    // Editing sets no remembered date.
    EXPECT_EQ(world.set->GetEntryDate(), 0u);

    // The remembered second rolls over to the next day.
    world.clock.now = {2012, 3, 15, 23, 59, 59};
    NewWithdrawal().memo = "late";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.set->GetEntryDate(), At(2012, 3, 16));
    EXPECT_EQ(Open(*world.checking).Form().day, At(2012, 3, 16));
}

TEST_F(TransactionDialogLogicTest, RecordModeAddsIntoTheGivenAccountEvenUnchanged) {
    const int before = world.savings->CountTransactions(0);
    CTransaction occurrence;
    occurrence.SetTypeId(DepositTypeId);
    occurrence.SetAmount(2500);
    occurrence.SetDate(At(2012, 4, 1, 7));
    occurrence.SetMemo("interest");
    Open(*world.savings, &occurrence, true);
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.savings->CountTransactions(0), before + 1);
    CTransaction* t = FindByMemo(*world.savings, "interest");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetDate(), At(2012, 4, 1, 7));
    EXPECT_EQ(FindByMemo(*world.checking, "interest"), nullptr);
    EXPECT_EQ(world.set->GetEntryDate(), 0u);
    std::unique_ptr<CAccounts> loaded;
    ASSERT_EQ(CAccounts::LoadInto(loaded, world.set->GetFolder(), {}), 0);
    EXPECT_NE(FindByMemo(*loaded->FindAccountByName("Savings"), "interest"), nullptr);
}

TEST_F(TransactionDialogLogicTest, EditingInAnotherAccountSavesThatAccount) {
    // The mirror of the transfer, opened from Savings (as a report row is).
    const RecordId mirrorId = world.InChecking(world.transferId)->GetLinkedId();
    CTransaction* mirror = world.savings->FindTransactionById(mirrorId);
    ASSERT_NE(mirror, nullptr);
    TransactionForm& f = Open(*world.savings, mirror).Form();
    EXPECT_EQ(f.category, "[Checking]");
    EXPECT_EQ(
        std::count(logic->CategoryEntries().begin(), logic->CategoryEntries().end(), "[Savings]"),
        0);
    f.memo = "from savings";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    std::unique_ptr<CAccounts> loaded;
    ASSERT_EQ(CAccounts::LoadInto(loaded, world.set->GetFolder(), {}), 0);
    EXPECT_EQ(loaded->FindAccountByName("Savings")->FindTransactionById(mirrorId)->GetMemo(),
              "from savings");
    EXPECT_EQ(
        loaded->FindAccountByName("Checking")->FindTransactionById(world.transferId)->GetMemo(),
        "from savings");
    EXPECT_EQ(loaded->FindAccountByName("Savings")->CountTransactions(0), 1);
    EXPECT_EQ(
        loaded->FindAccountByName("Checking")->FindTransactionById(world.transferId)->GetLinkedId(),
        mirrorId);
}

TEST_F(TransactionDialogLogicTest, ACopyOfASplitLineIsChangedOnlyAtItsSource) {
    CTransaction* copy = world.SplitCopyInVisa();
    ASSERT_NE(copy, nullptr);
    const RecordId id = copy->GetId();
    const std::string before = world.File(*world.visa);

    Open(*world.visa, copy).Form().memo = "changed";
    EXPECT_EQ(logic->Ok(), DialogStep::Stay(kTransAmount, true));
    EXPECT_EQ(logic->Delete(), DialogStep::Stay(0, false));
    EXPECT_EQ(logic->Purge(), DialogStep::Stay(0, false));
    EXPECT_EQ(messages.ids, (std::vector<int>{kStringChangeAtSource, kStringDeleteAtSource,
                                              kStringDeleteAtSource}));
    EXPECT_TRUE(world.File(*world.visa) == before);
    EXPECT_NE(world.visa->FindTransactionById(id), nullptr);
    EXPECT_NE(world.InChecking(world.splitId), nullptr);
}

TEST_F(TransactionDialogLogicTest, DeleteAndPurgeAskAndTakeTheMirrorWithThem) {
    const Cents opening = world.checking->Header().GetOpeningBalance();
    messages.yes = false;
    Open(*world.checking, world.InChecking(world.transferId));
    EXPECT_EQ(logic->Delete(), DialogStep::Stay(0, false));
    ASSERT_EQ(messages.requests.size(), 1u);
    EXPECT_EQ(messages.requests[0].stringId, kStringAskDelete);
    EXPECT_EQ(messages.requests[0].defaultAnswer, Answer::kNo);
    EXPECT_NE(world.InChecking(world.transferId), nullptr);

    messages.yes = true;
    EXPECT_EQ(logic->Delete(), DialogStep::Close(kTransactionGone));
    EXPECT_EQ(world.InChecking(world.transferId), nullptr);
    EXPECT_EQ(world.savings->CountTransactions(0), 0);
    EXPECT_EQ(world.checking->Header().GetOpeningBalance(), opening);

    Open(*world.checking, world.InChecking(world.splitId));
    EXPECT_EQ(logic->Purge(), DialogStep::Close(kTransactionGone));
    EXPECT_EQ(messages.requests.back().stringId, kStringAskPurge);
    EXPECT_EQ(world.InChecking(world.splitId), nullptr);
    EXPECT_EQ(world.SplitCopyInVisa(), nullptr);
    EXPECT_EQ(world.checking->Header().GetOpeningBalance(), opening - 7000);
    EXPECT_EQ(host.refreshes, 2);
}

TEST_F(TransactionDialogLogicTest, AFailedSaveIsShown) {
    // The mirror cannot be saved: nothing is added and the dialog stays.
    world.savings->SetDoNotSave(true);
    TransactionForm& mirrored = NewWithdrawal();
    mirrored.category = "[Savings]";
    mirrored.memo = "mirror fails";
    mirrored.payee = "Nobody Yet";
    EXPECT_EQ(logic->Ok(), DialogStep::Stay(kTransAmount, false));
    EXPECT_EQ(messages.ids, std::vector<int>{185});
    EXPECT_EQ(FindByMemo(*world.checking, "mirror fails"), nullptr);
    EXPECT_EQ(FindByMemo(*world.savings, "mirror fails"), nullptr);
    EXPECT_EQ(world.set->GetEntryDate(), 0u);
    EXPECT_EQ(world.set->Payees().FindByName("Nobody Yet"), nullptr);
    world.savings->SetDoNotSave(false);

    messages.ids.clear();
    world.checking->SetDoNotSave(true);
    NewWithdrawal().memo = "unsaved";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(messages.ids, std::vector<int>{185});
    // In memory it stands, as the register shows it.
    EXPECT_NE(FindByMemo(*world.checking, "unsaved"), nullptr);

    messages.ids.clear();
    Open(*world.checking, world.InChecking(world.transferId)).Form().memo = "edit";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(messages.ids, std::vector<int>{185});

    messages.ids.clear();
    Open(*world.checking, world.InChecking(world.transferId));
    EXPECT_EQ(logic->Delete(), DialogStep::Close(kTransactionGone));
    EXPECT_EQ(messages.ids, (std::vector<int>{kStringAskDelete, 185}));
}

TEST_F(TransactionDialogLogicTest, AnEmptyPayeeIsNotMemorised) {
    const std::size_t payees = world.set->Payees().GetCount(false);
    NewWithdrawal().payee = "";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(world.set->Payees().GetCount(false), payees);
    EXPECT_EQ(world.set->Payees().FindByName(""), nullptr);
}

TEST_F(TransactionDialogLogicTest, ThePayeeLookUpTakesTheEditedName) {
    CPayeeLookupItem* item = world.set->PayeeLookup().AddMapping("ACME 0042", "Acme");
    ASSERT_NE(item, nullptr);
    CTransaction* transfer = world.InChecking(world.transferId);
    transfer->SetPayeeLookupId(item->GetId());
    Open(*world.checking, transfer).Form().payee = "Acme Hardware";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    std::unique_ptr<CAccounts> loaded;
    ASSERT_EQ(CAccounts::LoadInto(loaded, world.set->GetFolder(), {}), 0);
    EXPECT_EQ(loaded->PayeeLookup().FindByText("ACME 0042")->GetPayee(), "Acme Hardware");
}

// ---------------------------------------------------------------- sub-dialogs

TEST_F(TransactionDialogLogicTest, ConversionStartsFromTheAmountAsItStands) {
    CTransaction* transfer = world.InChecking(world.transferId);
    transfer->SetAmount(11000);
    transfer->SetBaseAmount(10000);
    transfer->SetSourceCurrency(2);
    Open(*world.checking, transfer);
    logic->OnConvertCurrency();
    EXPECT_EQ(dialogs.convertIn.convertedText, "110.00");
    EXPECT_EQ(dialogs.convertIn.sourceText, "100.00");
    EXPECT_EQ(dialogs.convertIn.sourceCurrency, 2);
    EXPECT_FALSE(dialogs.convertNew);
    EXPECT_EQ(logic->Form().amount, "110.00");  // cancelled: untouched

    TransactionForm& f = Open(*world.checking).Form();
    f.amount = "20.00";
    dialogs.convertResult = ConvertCurrencyData{3, "15.00", "21.30"};
    EXPECT_TRUE(logic->OnConvertCurrency().changed);
    EXPECT_EQ(dialogs.convertIn.sourceText, "20.00");
    EXPECT_EQ(dialogs.convertTarget, world.checking->Header().GetCurrencyId());
    EXPECT_TRUE(dialogs.convertNew);
    EXPECT_EQ(f.amount, "21.30");
    EXPECT_EQ(logic->WorkingCopy().GetBaseAmount(), 1500);
    EXPECT_EQ(logic->WorkingCopy().GetSourceCurrency(), 3);
    f.typeIndex = TypeIndex(WithdrawalTypeId);
    f.memo = "converted";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    CTransaction* t = FindByMemo(*world.checking, "converted");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetAmount(), 2130);
    EXPECT_EQ(t->GetBaseAmount(), 1500);
    EXPECT_EQ(t->GetSourceCurrency(), 3);
}

TEST_F(TransactionDialogLogicTest, SplitsComeAndGoThroughTheSplitsDialog) {
    TransactionForm& f = NewWithdrawal("100.00");
    f.category = "Groceries";
    SplitsData result;
    result.hasSplits = true;
    result.transactionTotal = 12000;
    result.lines[0] = {world.groceries, kNoneId, 4000, kNoneId, "food"};
    result.lines[1] = {world.savings->Header().GetId(), kNoneId, 8000, kNoneId, "saved"};
    dialogs.splitsResult = result;
    logic->OnSplits();
    EXPECT_EQ(dialogs.splitsTarget, world.checking);
    EXPECT_FALSE(dialogs.splitsIn.hasSplits);
    EXPECT_EQ(dialogs.splitsIn.firstCategoryText, "Groceries");
    EXPECT_EQ(dialogs.splitsIn.transactionTotal, 10000);
    EXPECT_EQ(f.category, "-SPLIT-");
    EXPECT_FALSE(f.categoryEnabled);
    EXPECT_EQ(f.amount, "120.00");
    f.memo = "split";
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    CTransaction* t = FindByMemo(*world.checking, "split");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetCategoryId(), SplitMarkerId);
    EXPECT_EQ(t->GetSplitMemo(1), "saved");
    EXPECT_NE(FindByMemo(*world.savings, "saved"), nullptr);

    // Taking the splits away leaves an empty category and no lines, and
    // the mirror of the transfer line goes.
    Open(*world.checking, t);
    SplitsData none;
    none.transactionTotal = 12000;
    dialogs.splitsResult = none;
    logic->OnSplits();
    EXPECT_TRUE(dialogs.splitsIn.hasSplits);
    EXPECT_EQ(dialogs.splitsIn.lines[1].memo, "saved");
    EXPECT_EQ(logic->Form().category, "");
    EXPECT_TRUE(logic->Form().categoryEnabled);
    EXPECT_EQ(logic->WorkingCopy().GetSplitAmount(1), 0);
    EXPECT_TRUE(logic->WorkingCopy().GetSplitLinkedId(1).IsNull());
    EXPECT_EQ(logic->Ok(), DialogStep::Close(1));
    EXPECT_EQ(FindByMemo(*world.savings, "saved"), nullptr);
    EXPECT_EQ(t->GetCategoryId(), kNoneId);
}

TEST_F(TransactionDialogLogicTest, EditorsPutTheChosenNameBack) {
    TransactionForm& f = Open(*world.checking).Form();
    f.payee = "typed";
    dialogs.names = {"", "Chosen Payee"};
    EXPECT_TRUE(logic->OnEditPayees().refill);
    EXPECT_EQ(f.payee, "typed");
    EXPECT_EQ(logic->OnEditPayees().focusId, kTransPayee);
    EXPECT_EQ(f.payee, "Chosen Payee");

    dialogs.names = {"Auto:Fuel", "Business"};
    logic->OnEditCategories();
    EXPECT_EQ(f.category, "Auto:Fuel");
    logic->OnEditClasses();
    EXPECT_EQ(f.classText, "Business");

    Open(*world.checking, world.InChecking(world.splitId));
    dialogs.names = {"Auto:Fuel", "Business"};
    logic->OnEditCategories();
    EXPECT_EQ(logic->Form().category, "-SPLIT-");
    logic->OnEditClasses();
    EXPECT_EQ(logic->Form().classText, "");
}

}  // namespace
}  // namespace tallowmere::ui
