// The three sync modes over every record kind: each case puts one record in
// a state on each side (none, live, changed, deleted), one merge per mode
// runs over all cases at once, and both the handheld rows and the desktop
// files read back are checked.
#include "sync/handheld_merge.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/accounts.h"
#include "model/record_id.h"
#include "sync/handheld_test_db.h"
#include "sync/handheld_values.h"
#include "sync/handheld_write.h"
#include "sync/merge_test_data.h"

namespace tallowmere::handheld {
namespace {

using test::QueryText;

enum class Side { kNone, kLive, kChanged, kDeleted };

// Values: what the record held before the run, the desktop's change, the
// handheld's change. Empty: the record is gone on that side.
constexpr char kDesk[] = "Desk";
constexpr char kDeskChanged[] = "DeskChanged";
constexpr char kHand[] = "Hand";
constexpr char kGone[] = "";

struct Case {
    Side handheld;
    Side desktop;
    const char* handheldAfter;
    const char* desktopAfter;
};

const char* Name(Side s) {
    switch (s) {
        case Side::kNone:
            return "none";
        case Side::kLive:
            return "live";
        case Side::kChanged:
            return "changed";
        case Side::kDeleted:
            return "deleted";
    }
    return "?";
}

// One record kind: how a record is made on each side, changed, deleted, and
// read back.
struct Kind {
    const char* name;
    const char* table;
    const char* column;
    // Handheld column value of Desk, DeskChanged, Hand.
    std::function<std::string(const std::string&)> toColumn;
    // Makes the desktop record (value Desk) with this id and writes its row.
    std::function<void(test::MergeFixture&, const RecordId&, bool onDesktop)> make;
    std::function<void(test::MergeFixture&, const RecordId&)> changeDesktop;
    std::function<void(test::MergeFixture&, const RecordId&)> deleteDesktop;
    // The value of the live record in the reloaded data set; empty: none.
    std::function<std::string(CAccounts&, const RecordId&)> desktopValue;
    // Extra handheld columns set with the change (account field flags).
    const char* changeExtra = "";
};

std::string Same(const std::string& v) {
    return v;
}

std::string Days(const std::string& v) {
    return v == kDesk ? "1" : v == kDeskChanged ? "2" : "3";
}

std::string ListValue(const CPalmFileList& list, const RecordId& id) {
    const auto* item = static_cast<const CCommonListItem*>(list.FindById(id, true));
    return item == nullptr || item->IsDeleted() ? std::string() : item->GetName();
}

template <class List, class Make>
Kind ListKind(const char* name, const char* table, List& (CAccounts::*get)(), Make makeItem) {
    Kind k;
    k.name = name;
    k.table = table;
    k.column = "name";
    k.toColumn = Same;
    k.make = [get, makeItem](test::MergeFixture& f, const RecordId& id, bool onDesktop) {
        auto item = makeItem(id);
        item->SetAttribute(0);
        f.InsertRow(*item);
        if (onDesktop)
            ((*f.data).*get)().AddItem(std::move(item));
    };
    k.changeDesktop = [get](test::MergeFixture& f, const RecordId& id) {
        auto* item = static_cast<CCommonListItem*>(((*f.data).*get)().FindById(id, true));
        item->SetName(kDeskChanged);
        item->SetAttribute(CPalmListItem::kModified);
    };
    k.deleteDesktop = [get](test::MergeFixture& f, const RecordId& id) {
        auto& list = ((*f.data).*get)();
        list.DeleteItem(list.FindById(id, true));
    };
    k.desktopValue = [get](CAccounts& data, const RecordId& id) {
        return ListValue((data.*get)(), id);
    };
    return k;
}

std::vector<Kind> Kinds() {
    std::vector<Kind> kinds;
    kinds.push_back(
        ListKind("category", "CATEGORIES", &CAccounts::Categories, [](const RecordId& id) {
            auto c = std::make_unique<CCategoryItem>(kDesk);
            c->SetId(id);
            return c;
        }));
    kinds.push_back(ListKind("class", "CLASSES", &CAccounts::Classes, [](const RecordId& id) {
        return std::make_unique<CClassItem>(kDesk, id);
    }));
    kinds.push_back(ListKind("payee", "PAYEES", &CAccounts::Payees, [](const RecordId& id) {
        auto p = std::make_unique<CPayeeItem>(kDesk);
        p->SetId(id);
        return p;
    }));
    kinds.push_back(ListKind("payee look-up", "PAYEE_LOOKUP_ITEMS", &CAccounts::PayeeLookup,
                             [](const RecordId& id) {
                                 auto p = std::make_unique<CPayeeLookupItem>(kDesk, "Payee");
                                 p->SetId(id);
                                 return p;
                             }));
    kinds.push_back(
        ListKind("transaction type", "TRANSACTION_TYPES", &CAccounts::TransactionTypes,
                 [](const RecordId& id) { return std::make_unique<CTransactionType>(kDesk, id); }));

    Kind scheduled;
    scheduled.name = "scheduled item";
    scheduled.table = "SCHEDULED_TRANSACTIONS";
    scheduled.column = "days";
    scheduled.toColumn = Days;
    scheduled.make = [](test::MergeFixture& f, const RecordId& id, bool onDesktop) {
        auto item = f.MakeScheduled(id);
        item->SetDaysInAdvance(1);
        f.InsertRow(*item);
        if (onDesktop)
            f.data->Scheduled().AddItem(std::move(item));
    };
    scheduled.changeDesktop = [](test::MergeFixture& f, const RecordId& id) {
        auto* item = static_cast<CScheduledItem*>(f.data->Scheduled().FindById(id, true));
        item->SetDaysInAdvance(2);
        item->SetAttribute(CPalmListItem::kModified);
    };
    scheduled.deleteDesktop = [](test::MergeFixture& f, const RecordId& id) {
        f.data->Scheduled().DeleteItem(f.data->Scheduled().FindById(id, true));
    };
    scheduled.desktopValue = [](CAccounts& data, const RecordId& id) -> std::string {
        const auto* item = static_cast<const CScheduledItem*>(data.Scheduled().FindById(id, true));
        if (item == nullptr || item->IsDeleted())
            return {};
        switch (item->GetDaysInAdvance()) {
            case 1:
                return kDesk;
            case 2:
                return kDeskChanged;
            case 3:
                return kHand;
        }
        return "?";
    };
    kinds.push_back(scheduled);

    Kind transaction;
    transaction.name = "transaction";
    transaction.table = "TRANSACTIONS";
    transaction.column = "memo";
    transaction.toColumn = Same;
    transaction.make = [](test::MergeFixture& f, const RecordId& id, bool onDesktop) {
        f.AddTransaction(id, kDesk, onDesktop);
    };
    transaction.changeDesktop = [](test::MergeFixture& f, const RecordId& id) {
        CTransaction* t = f.Checking().FindTransactionById(id);
        t->SetMemo(kDeskChanged);
        t->SetAttributes(kAttrModified);
    };
    transaction.deleteDesktop = [](test::MergeFixture& f, const RecordId& id) {
        CTransaction* t = f.Checking().FindTransactionById(id);
        ASSERT_EQ(f.Checking().DeleteTransaction(*t, false), 0);
    };
    transaction.desktopValue = [](CAccounts& data, const RecordId& id) -> std::string {
        const CAccount* checking = data.FindAccountById(test::MergeFixture::CheckingId());
        const CTransaction* t = checking ? checking->FindTransactionById(id) : nullptr;
        return t == nullptr ? std::string() : t->GetMemo();
    };
    kinds.push_back(transaction);

    Kind account;
    account.name = "account";
    account.table = "ACCOUNTS";
    account.column = "bank_name";
    account.changeExtra = ", bank_name_modified = 1";
    account.toColumn = Same;
    account.make = [](test::MergeFixture& f, const RecordId& id, bool onDesktop) {
        f.AddAccount(id, kDesk, onDesktop);
    };
    account.changeDesktop = [](test::MergeFixture& f, const RecordId& id) {
        CAccount* a = f.data->FindAccountById(id);
        a->Header().SetBankName(kDeskChanged);
        ASSERT_EQ(a->Save(), 0);
    };
    account.deleteDesktop = [](test::MergeFixture& f, const RecordId& id) {
        ASSERT_EQ(f.data->DeleteAccount(*f.data->FindAccountById(id)), 0);
    };
    account.desktopValue = [](CAccounts& data, const RecordId& id) -> std::string {
        const CAccount* a = data.FindAccountById(id);
        return a == nullptr || a->IsPlaceholderFile() ? std::string() : a->Header().GetBankName();
    };
    kinds.push_back(account);
    return kinds;
}

// The cases every mode runs; mode 1 treats accounts and transactions that
// only the handheld has as rows to remove (the desktop rewrites both tables).
struct ModeTable {
    int mode;
    std::vector<Case> cases;
    // (live, none) in mode 1 for accounts and transactions.
    const char* wholeTableHandheldOnly = nullptr;
};

const std::vector<ModeTable>& Modes() {
    using S = Side;
    static const std::vector<ModeTable> modes = {
        {0,
         {
             {S::kNone, S::kLive, kDesk, kDesk},
             {S::kNone, S::kDeleted, kGone, kGone},
             {S::kLive, S::kLive, kDesk, kDesk},
             {S::kChanged, S::kLive, kHand, kHand},
             {S::kChanged, S::kChanged, kHand, kHand},
             {S::kLive, S::kChanged, kDeskChanged, kDeskChanged},
             {S::kDeleted, S::kLive, kGone, kGone},
             {S::kDeleted, S::kChanged, kGone, kGone},
             {S::kLive, S::kDeleted, kGone, kGone},
             {S::kChanged, S::kDeleted, kGone, kGone},
             {S::kChanged, S::kNone, kHand, kHand},
             {S::kLive, S::kNone, kDesk, kGone},
             {S::kDeleted, S::kNone, kGone, kGone},
         }},
        {1,
         {
             {S::kNone, S::kLive, kDesk, kDesk},
             {S::kNone, S::kDeleted, kGone, kGone},
             {S::kLive, S::kLive, kDesk, kDesk},
             {S::kChanged, S::kLive, kDesk, kDesk},
             {S::kChanged, S::kChanged, kDeskChanged, kDeskChanged},
             {S::kLive, S::kChanged, kDeskChanged, kDeskChanged},
             {S::kDeleted, S::kLive, kDesk, kDesk},
             {S::kDeleted, S::kChanged, kDeskChanged, kDeskChanged},
             {S::kLive, S::kDeleted, kGone, kGone},
             {S::kChanged, S::kDeleted, kGone, kGone},
             {S::kChanged, S::kNone, kGone, kGone},
             {S::kLive, S::kNone, kDesk, kGone},
             {S::kDeleted, S::kNone, kGone, kGone},
         },
         kGone},
        {2,
         {
             {S::kNone, S::kLive, kGone, kGone},
             {S::kNone, S::kDeleted, kGone, kGone},
             {S::kLive, S::kLive, kDesk, kDesk},
             {S::kChanged, S::kLive, kHand, kHand},
             {S::kChanged, S::kChanged, kHand, kHand},
             {S::kLive, S::kChanged, kDesk, kDesk},
             {S::kDeleted, S::kLive, kGone, kGone},
             {S::kDeleted, S::kChanged, kGone, kGone},
             {S::kLive, S::kDeleted, kDesk, kDesk},
             {S::kChanged, S::kDeleted, kHand, kHand},
             {S::kChanged, S::kNone, kHand, kHand},
             {S::kLive, S::kNone, kDesk, kDesk},
             {S::kDeleted, S::kNone, kGone, kGone},
         }},
    };
    return modes;
}

std::string Hex(const RecordId& id) {
    std::string out;
    char buf[3];
    for (std::uint8_t b : id.bytes) {
        std::snprintf(buf, sizeof buf, "%02X", b);
        out += buf;
    }
    return out;
}

class MergeModeTest : public ::testing::TestWithParam<int> {};

TEST_P(MergeModeTest, EveryCaseOfEveryRecordKind) {
    const ModeTable& table = Modes()[static_cast<std::size_t>(GetParam())];
    test::MergeFixture f;
    const std::vector<Kind> kinds = Kinds();

    struct Placed {
        const Kind* kind;
        const Case* c;
        RecordId id;
    };
    std::vector<Placed> placed;
    std::uint8_t seed = 1;
    for (const Kind& kind : kinds) {
        for (const Case& c : table.cases) {
            RecordId id = test::MergeFixture::TestId(seed++);
            kind.make(f, id, c.desktop != Side::kNone);
            if (c.handheld == Side::kNone)
                f.DeleteRowByUid(kind.table, id);
            if (c.handheld == Side::kChanged)
                f.Exec(std::string("UPDATE ") + kind.table + " SET " + kind.column + " = '" +
                       kind.toColumn(kHand) + "', modified = 1" + kind.changeExtra +
                       " WHERE hex(uid) = '" + Hex(id) + "';");
            if (c.handheld == Side::kDeleted)
                f.Exec(std::string("UPDATE ") + kind.table + " SET deleted = 1 WHERE hex(uid) = '" +
                       Hex(id) + "';");
            if (c.desktop == Side::kChanged)
                kind.changeDesktop(f, id);
            if (c.desktop == Side::kDeleted)
                kind.deleteDesktop(f, id);
            placed.push_back({&kind, &c, id});
        }
    }
    ASSERT_EQ(f.SaveDesktop(), 0);

    CHandheldMerge merge(f.folder, f.dbPath, MergeRunOptions{table.mode, false, {}});
    merge.SetTimeZoneBias(0);
    ASSERT_EQ(merge.Run(), 0);

    std::unique_ptr<CAccounts> after = f.Reload();
    ASSERT_TRUE(after);
    for (const Placed& p : placed) {
        const Kind& kind = *p.kind;
        const Case& c = *p.c;
        SCOPED_TRACE(std::string(kind.name) + ": handheld " + Name(c.handheld) + ", desktop " +
                     Name(c.desktop));
        std::string expectHandheld = c.handheldAfter;
        if (table.wholeTableHandheldOnly != nullptr && c.handheld == Side::kLive &&
            c.desktop == Side::kNone &&
            (std::string(kind.table) == "ACCOUNTS" || std::string(kind.table) == "TRANSACTIONS"))
            expectHandheld = table.wholeTableHandheldOnly;
        const std::string where =
            " FROM " + std::string(kind.table) + " WHERE hex(uid) = '" + Hex(p.id) + "'";
        EXPECT_EQ(QueryText(f.db, "SELECT count(*)" + where), expectHandheld.empty() ? "0" : "1");
        if (!expectHandheld.empty()) {
            EXPECT_EQ(QueryText(f.db, "SELECT " + std::string(kind.column) + where),
                      kind.toColumn(expectHandheld));
            EXPECT_EQ(QueryText(f.db, "SELECT modified" + where), "0");
        }
        EXPECT_EQ(kind.desktopValue(*after, p.id), c.desktopAfter);
    }
    EXPECT_EQ(QueryText(f.db,
                        "SELECT count(*) FROM SPLITS WHERE transaction_id NOT IN "
                        "(SELECT identifier FROM TRANSACTIONS)"),
              "0");
}

INSTANTIATE_TEST_SUITE_P(Modes, MergeModeTest, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return "Mode" + std::to_string(info.param); });

}  // namespace
}  // namespace tallowmere::handheld
