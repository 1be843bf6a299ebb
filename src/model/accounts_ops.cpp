// The operations of the data set that change more than one account.
#include <algorithm>
#include <array>
#include <functional>
#include <new>
#include <span>

#include "model/accounts.h"
#include "model/paths.h"
#include "model/string_table.h"
#include "platform/file_ops.h"
#include "platform/named_mutex.h"
#include "platform/win_error.h"

namespace tallowmere {
namespace {

constexpr int kStringTransfer = 260;
constexpr unsigned kPlaceholderCount = 0x10000;

// Takes a transaction out of the register again without a trace (it never
// reached the file), without saving.
void TakeBack(CAccount& account, const RecordId& id) {
    TransactionArray& list = account.Transactions();
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const auto& t) { return t->GetId() == id; });
    if (it == list.end())
        return;
    list.erase(it);
    account.RecalcBalances();
}

// The mirror of an imported transaction points the other way from it.
RecordId MirrorTypeOf(const CTransaction& t) {
    return t.IsOutflow() ? DepositTypeId : WithdrawalTypeId;
}

// Adds m to target and saves; a failed save takes m out again.
int AddMirrorAndSave(CAccount& target, std::unique_ptr<CTransaction> m) {
    const RecordId id = m->GetId();
    target.AddTransaction(std::move(m));
    const int r = target.Save();
    if (r != 0)
        TakeBack(target, id);
    return r;
}

// The record's copy of a transfer booked already: the mirror takes the
// record's status, check number and memo, and its new place in the order.
void TakeRecordFields(CAccount& account, CTransaction& mirror, const CTransaction& t) {
    TransactionArray& list = account.Transactions();
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&](const auto& owned) { return owned.get() == &mirror; });
    if (it == list.end())
        return;
    std::unique_ptr<CTransaction> owned = std::move(*it);
    list.erase(it);
    owned->SetStatus(static_cast<std::uint8_t>((owned->GetStatus() & ~kStatusMask) |
                                               (t.GetStatus() & kStatusMask)));
    owned->SetCheckNumber(t.GetCheckNumber());
    owned->SetMemo(t.GetMemo());
    account.InsertSorted(std::move(owned));
    account.RecalcBalances();
}

// Holds the saves of every account of a data set for one batch of edits
// and writes each account that an edit changed once at its end: the batch's
// own account first, the others in the data set's order.
class BatchSaves {
  public:
    BatchSaves(CAccounts& accounts, CAccount& first) : accounts_(accounts), first_(first) {
        for (std::size_t i = 0; i < accounts_.GetAccountCount(); ++i)
            accounts_.GetAccountAt(i)->HoldSaves();
    }
    BatchSaves(const BatchSaves&) = delete;
    BatchSaves& operator=(const BatchSaves&) = delete;
    ~BatchSaves() { Finish(); }

    // 0 or the first save's error.
    int Finish() {
        if (done_)
            return 0;
        done_ = true;
        int result = first_.ReleaseSaves();
        for (std::size_t i = 0; i < accounts_.GetAccountCount(); ++i) {
            CAccount* account = accounts_.GetAccountAt(i);
            if (account == &first_)
                continue;
            const int r = account->ReleaseSaves();
            if (result == 0)
                result = r;
        }
        return result;
    }

  private:
    CAccounts& accounts_;
    CAccount& first_;
    bool done_ = false;
};

}  // namespace

int CAccounts::CreateTransfer(PalmTime date, CAccount& from, CAccount& to, Cents amount,
                              bool cleared, const CAccount* current, CTransaction** out) {
    if (out)
        *out = nullptr;
    if (&from == &to || IndexOfAccount(&from) < 0 || IndexOfAccount(&to) < 0)
        return -1;
    std::unique_ptr<CTransaction> fromSide;
    std::unique_ptr<CTransaction> toSide;
    try {
        fromSide = std::make_unique<CTransaction>();
        toSide = std::make_unique<CTransaction>();
    } catch (const std::bad_alloc&) {
        return -1;
    }
    const PalmTime when = CombineDateWithNow(date);
    const std::string payee = LoadString1252(kStringTransfer);
    const std::uint8_t status = cleared ? kStatusCleared : kStatusOpen;

    fromSide->SetDate(when);
    fromSide->SetPayeeName(payee);
    fromSide->SetStatus(status);
    fromSide->SetAmount(amount);
    fromSide->SetTypeId(WithdrawalTypeId);
    fromSide->SetCategoryId(to.Header().GetId());
    fromSide->SetLinkedId(toSide->GetId());

    toSide->SetDate(when);
    toSide->SetPayeeName(payee);
    toSide->SetStatus(static_cast<std::uint8_t>(status & ~kStatusMarked));
    toSide->SetAmount(from.ConvertAmountTo(to, amount));
    toSide->SetTypeId(DepositTypeId);
    toSide->SetCategoryId(from.Header().GetId());
    toSide->SetLinkedId(fromSide->GetId());

    CTransaction* fromPtr = fromSide.get();
    CTransaction* toPtr = toSide.get();
    from.AddTransaction(std::move(fromSide));
    to.AddTransaction(std::move(toSide));
    int r = from.Save();
    if (r == 0)
        r = to.Save();
    if (r == 0 && out) {
        if (current == &from)
            *out = fromPtr;
        else if (current == &to)
            *out = toPtr;
    }
    return r;
}

int CAccounts::DeleteTransaction(CAccount& account, const CTransaction& t, bool fold) {
    if (t.IsSplitTransferCopy() || IndexOfAccount(&account) < 0 ||
        account.IndexOfTransactionId(0, t.GetId()) < 0)
        return -1;
    const RecordId id = t.GetId();
    const int mirrors = account.DeleteTransferMirrors(t, fold);
    // Moving t to the deleted transactions saves the account.
    const int r = account.DeleteTransactionById(id, fold);
    return mirrors != 0 ? mirrors : r;
}

int CAccounts::DeleteTransactions(CAccount& account, std::span<const RecordId> ids, bool fold) {
    if (IndexOfAccount(&account) < 0)
        return -1;
    int first = 0;
    const auto note = [&first](int r) {
        if (first == 0)
            first = r;
    };
    BatchSaves saves(*this, account);
    for (const RecordId& id : ids) {
        // By id, not by row: a mirror in this same account goes along with
        // its transaction and moves the rows after it.
        const CTransaction* t = account.FindTransactionById(id);
        if (!t || t->IsSplitTransferCopy())
            continue;
        note(account.DeleteTransferMirrors(*t, fold));
        note(account.DeleteTransactionById(id, fold));
    }
    note(saves.Finish());
    return first;
}

int CAccounts::ModifyTransactions(CAccount& account, std::span<const RecordId> ids,
                                  const std::function<void(CTransaction&)>& edit) {
    if (IndexOfAccount(&account) < 0)
        return -1;
    int first = 0;
    const auto note = [&first](int r) {
        if (first == 0)
            first = r;
    };
    bool changed = false;
    BatchSaves saves(*this, account);
    for (const RecordId& id : ids) {
        CTransaction* row = account.FindTransactionById(id);
        if (!row || row->IsSplitTransferCopy())
            continue;
        CTransaction copy(*row);
        if (edit)
            edit(copy);
        note(account.ModifyTransactionUnsorted(copy, *row));
        changed = true;
    }
    // Each edit noted the account's save, held with the others: the sort
    // goes into the one write at the end.
    if (changed)
        account.SortTransactions();
    note(saves.Finish());
    return first;
}

int CAccounts::DeleteAccount(CAccount& account, std::unique_ptr<CAccount>* removed) {
    if (removed)
        removed->reset();
    const int index = IndexOfAccount(&account);
    if (index < 0)
        return -1;
    int r = scheduled_.DeleteById(account.Header().GetId());
    if (r != 0)
        return r;

    const std::string oldPath = account.GetPath();
    const std::string folder = GetPathFolder(oldPath, false);
    // The sync must not read the file while it moves, and the rename never
    // replaces another placeholder.
    platform::NamedMutex mutex(kDatabaseMutexName);
    platform::NamedMutexLock lock(mutex, CAccountRoot::GetLockTimeout());
    if (!lock.Held())
        return -1;
    std::string newPath;
    for (unsigned n = 0; n < kPlaceholderCount; ++n) {
        const std::string name = MakePlaceholderFileName(n);
        if (platform::FindNameNoCase(folder.empty() ? "." : folder, name).empty()) {
            newPath = JoinPath(folder, name);
            break;
        }
    }
    if (newPath.empty())
        return platform::kErrorAlreadyExists;
    r = platform::RenameNoReplace(oldPath, newPath);
    if (r != 0)
        return r;
    account.SetPath(newPath);
    std::unique_ptr<CAccount> owned = std::move(accounts_[static_cast<std::size_t>(index)]);
    accounts_.erase(accounts_.begin() + index);
    posted_.erase(std::remove(posted_.begin(), posted_.end(), owned.get()), posted_.end());
    // It may outlive this data set.
    owned->SetOwner(nullptr);
    if (removed)
        *removed = std::move(owned);
    return 0;
}

int CAccounts::MemorizePayee(const CTransaction& t) {
    return payees_.MemorizeTransaction(t);
}

int CAccounts::ResortRegistersByName() {
    int first = 0;
    for (const auto& account : accounts_) {
        const int mode = account->GetSortMode();
        if (!SortModeUsesCategory(mode) && !SortModeUsesClass(mode))
            continue;
        // Edits place rows among the others: those must be in order.
        if (account->IsInOrder())
            continue;
        const int r = account->ResortTransactions();
        if (first == 0)
            first = r;
    }
    return first;
}

// ---------------------------------------------------------------- scheduled

int CAccounts::PostWithoutSave(const CUpcomingTrans& occurrence, CAccount** out,
                               RecordId* postedId) {
    *out = nullptr;
    const CScheduledItem* item = occurrence.GetItem();
    if (!item)
        return -1;
    CAccount* account = FindAccountById(item->GetAccountId());
    if (!account)
        return -1;
    std::unique_ptr<CTransaction> t;
    try {
        t = MakeOccurrence(*item, occurrence.GetDueDate());
    } catch (const std::bad_alloc&) {
        return -1;
    }
    const bool numbered = IsNumberedTypeId(item->Template().GetTypeId());
    const std::uint32_t check = account->Header().GetLastCheckNumber() + 1;
    if (numbered)
        t->SetCheckNumber(check);
    const RecordId id = t->GetId();
    const int r = account->AddTransactionWithTransfer(std::move(t));
    if (r != 0)
        return r;
    // Only a posted check uses up its number.
    if (numbered)
        account->Header().SetLastCheckNumber(check);
    *out = account;
    if (postedId)
        *postedId = id;
    return 0;
}

int CAccounts::PostOccurrence(const CUpcomingTrans& occurrence) {
    CAccount* account = nullptr;
    const int r = PostWithoutSave(occurrence, &account);
    if (r == 0 && std::find(posted_.begin(), posted_.end(), account) == posted_.end())
        posted_.push_back(account);
    return r;
}

int CAccounts::SaveAccounts() {
    int first = 0;
    for (CAccount* account : posted_) {
        const int r = account->Save();
        if (first == 0)
            first = r;
    }
    posted_.clear();
    return first;
}

int CAccounts::EnterDueScheduled() {
    posted_.clear();
    const int r = scheduled_.EnterDueTransactions(*this);
    posted_.clear();
    return r;
}

int CAccounts::PostScheduledTransaction(const CUpcomingTrans& upcoming) {
    const CScheduledItem* item = upcoming.GetItem();
    CAccount* account = item ? FindAccountById(item->GetAccountId()) : nullptr;
    if (!account)
        return -1;
    const std::uint32_t lastCheck = account->Header().GetLastCheckNumber();
    const std::uint32_t changeFlags = account->Header().GetChangeFlags();
    RecordId id;
    int r = PostWithoutSave(upcoming, &account, &id);
    if (r != 0)
        return r;
    // The account first: should its save fail, the schedule still offers
    // the occurrence rather than lose it.
    r = account->Save();
    if (r != 0) {
        // Memory goes back to what the files hold, the mirrors included.
        if (const CTransaction* t = account->FindTransactionById(id))
            account->DeleteTransferMirrors(*t, false);
        TakeBack(*account, id);
        account->Header().SetLastCheckNumber(lastCheck);
        account->Header().SetChangeFlags(changeFlags);
        return r;
    }
    return scheduled_.EnterOccurrence(upcoming);
}

int CAccounts::AdvanceScheduled(const CUpcomingTrans& upcoming) {
    return scheduled_.EnterOccurrence(upcoming);
}

// ---------------------------------------------------------------- import

bool CAccounts::IsTransactionIdUsed(const RecordId& id) const {
    const auto has = [&](const TransactionArray& list) {
        return std::any_of(list.begin(), list.end(),
                           [&](const auto& t) { return t->GetId() == id; });
    };
    return std::any_of(accounts_.begin(), accounts_.end(), [&](const auto& a) {
        return has(a->Transactions()) || has(a->DeletedTransactions());
    });
}

int CAccounts::AddImportedTransaction(CAccount& account, const ImportRecord& record) {
    return AddImportedTransaction(account, record, nullptr);
}

int CAccounts::AddImportedTransaction(CAccount& account, const ImportRecord& record,
                                      std::vector<CAccount*>* changed, ImportMirrors* mirrors) {
    // An import of many transfers saves each other account once at its end,
    // not once per row.
    const auto noteChanged = [changed](CAccount& target) {
        if (std::find(changed->begin(), changed->end(), &target) == changed->end())
            changed->push_back(&target);
    };
    const auto addMirror = [&](CAccount& target, std::unique_ptr<CTransaction> m) {
        if (!changed)
            return AddMirrorAndSave(target, std::move(m));
        target.AddTransaction(std::move(m));
        noteChanged(target);
        return 0;
    };
    if (record.status > 3 || IndexOfAccount(&account) < 0)
        return -1;
    std::unique_ptr<CTransaction> t;
    try {
        t = std::make_unique<CTransaction>();
    } catch (const std::bad_alloc&) {
        return -1;
    }
    // An id the data set already holds would make look-ups and links
    // ambiguous; such a record gets the new id made above.
    if (!record.id.IsNull() && !IsTransactionIdUsed(record.id))
        t->SetId(record.id);
    t->SetDate(record.date);
    t->SetAmount(record.amount);
    t->SetTypeId(record.typeId);
    t->SetStatus(static_cast<std::uint8_t>(record.status * 0x40));
    t->SetCheckNumber(record.checkNumber);
    t->SetPayeeName(record.payee);
    t->SetMemo(record.memo);
    t->SetClassId(record.classId);
    t->SetCategoryId(record.categoryId);

    const RecordId source = account.Header().GetId();
    // A transfer into the account itself gets no mirror: it would only
    // count twice.
    const auto target = [&](const RecordId& category) -> CAccount* {
        if (category.IsNull() || category == SplitMarkerId || category == source)
            return nullptr;
        return FindAccountById(category);
    };
    CTransaction* const added = t.get();
    // What this record mirrors, for the import's later records.
    std::array<ImportMirrors::Made, kSplitLineCount> made{};
    std::size_t madeCount = 0;
    int result = 0;

    if (CAccount* b = target(record.categoryId)) {
        if (mirrors) {
            if (ImportMirrors::Made* found =
                    mirrors->Find(account, *b, t->GetDate(), t->GetSignedAmount(), false)) {
                found->used = true;
                mirrors->NoteMatched();
                TakeRecordFields(account, *found->mirror, *t);
                return 0;
            }
        }
        auto m = std::make_unique<CTransaction>(*t);
        m->SetId(NewRecordId());
        m->SetTypeId(MirrorTypeOf(*t));
        m->SetCategoryId(source);
        m->SetLinkedId(t->GetId());
        m->SetAmount(account.ConvertAmountTo(*b, t->GetAmount()));
        const RecordId mirrorId = m->GetId();
        CTransaction* const mirror = m.get();
        const int r = addMirror(*b, std::move(m));
        if (r != 0)
            return r;
        t->SetLinkedId(mirrorId);
        made[madeCount++] = {b, mirror, &account, added};
    } else if (record.categoryId == SplitMarkerId) {
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            const ImportSplitLine& s = record.splits[line];
            t->SetSplitCategoryId(line, s.categoryId);
            t->SetSplitClassId(line, s.classId);
            t->SetSplitAmount(line, s.amount);
            t->SetSplitMemo(line, s.memo);
        }
        // Lines whose transfer the other account's records booked already:
        // its transaction becomes the line's mirror, and the whole mirror it
        // made here goes.
        std::array<ImportMirrors::Made*, kSplitLineCount> booked{};
        for (std::size_t line = 0; mirrors && line < kSplitLineCount; ++line) {
            CAccount* c = target(t->GetSplitCategoryId(line));
            const Cents amount = t->GetSplitAmount(line);
            if (!c || amount == 0)
                continue;
            const Cents effect = t->IsOutflow() ? SaturatingNegate(amount) : amount;
            booked[line] = mirrors->Find(account, *c, t->GetDate(), effect, true);
            if (booked[line])
                booked[line]->used = true;
        }
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            CAccount* c = target(t->GetSplitCategoryId(line));
            if (!c || booked[line])
                continue;
            auto m = std::make_unique<CTransaction>();
            m->SetPayeeName(LoadString1252(kStringTransfer));
            m->SetDate(t->GetDate());
            m->SetTypeId(MirrorTypeOf(*t));
            m->SetStatus(t->GetStatus() & kStatusMask);
            m->SetCategoryId(source);
            m->SetClassId(t->GetSplitClassId(line));
            m->SetLinkedId(t->GetId());
            m->SetSplitIndex(static_cast<std::uint8_t>(line));
            m->SetAmount(account.ConvertAmountTo(*c, t->GetSplitAmount(line)));
            m->SetMemo(t->GetSplitMemo(line));
            const RecordId mirrorId = m->GetId();
            CTransaction* const mirror = m.get();
            const int r = addMirror(*c, std::move(m));
            if (r != 0) {
                // The lines mirrored so far go again, so no half transfer stays.
                account.DeleteTransferMirrors(*t, false);
                for (ImportMirrors::Made* found : booked) {
                    if (found)
                        found->used = false;
                }
                return r;
            }
            t->SetSplitLinkedId(line, mirrorId);
            made[madeCount++] = {c, mirror, &account, added};
        }
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            ImportMirrors::Made* found = booked[line];
            if (!found)
                continue;
            CTransaction& original = *found->original;
            original.SetLinkedId(t->GetId());
            original.SetSplitIndex(static_cast<std::uint8_t>(line));
            t->SetSplitLinkedId(line, original.GetId());
            TakeBack(account, found->mirror->GetId());
            found->mirror = nullptr;
            if (changed) {
                noteChanged(*found->origin);
            } else {
                const int r = found->origin->Save();
                if (result == 0)
                    result = r;
            }
        }
    }
    account.AddTransaction(std::move(t));
    for (std::size_t i = 0; mirrors && i < madeCount; ++i)
        mirrors->Add(made[i]);
    return result;
}

}  // namespace tallowmere
