// The passes over the named lists: categories, classes, payees, payee
// look-up items, transaction types and scheduled transactions.
#include <functional>
#include <vector>

#include "sync/handheld_read.h"
#include "sync/handheld_write.h"
#include "sync/merge_passes.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

constexpr std::uint8_t kModifiedBit = CPalmListItem::kModified;

// What a pass does with one kind of record.
struct ListKind {
    Table table;
    CPalmFileList& list;
    // Copy the handheld row into the record.
    std::function<int(CPalmListItem&, const RowFlags&)> read;
    // Write the record into its row (found: the row it pairs with).
    std::function<int(CPalmListItem&, const RowFlags&)> write;
    std::function<int(CPalmListItem&)> insert;
    // Import the changed rows as new records.
    std::function<int()> importChanged;
    // Scheduled items are read from their row even when neither side
    // changed them; their attribute byte is cleared before a mode-1 write.
    bool isScheduled = false;
    // Classes keep their attribute byte when inserted in mode 1.
    bool keepsAttributeOnInsert = false;
    // Built-in transaction types may sit under a uid with bit 7 of byte 6
    // the other way.
    bool pairsByFlagBit = false;
};

std::vector<CPalmListItem*> Snapshot(const CPalmFileList& list) {
    std::vector<CPalmListItem*> items;
    items.reserve(list.GetCount(true));
    for (std::size_t i = 0; i < list.GetCount(true); ++i)
        items.push_back(list.GetAt(i, true));
    return items;
}

void Drop(CPalmFileList& list, CPalmListItem& item) {
    // Saves are held for the run; the item is freed with the result.
    (void)list.RemoveItem(&item);
}

int FlagsOf(MergeContext& m, const ListKind& kind, const CPalmListItem& item, RowFlags& flags) {
    int rc = GetRowFlags(m.db, item.GetId(), kind.table, flags);
    if (rc == 0 && !flags.found && kind.pairsByFlagBit && m.mode == MergeMode::kTwoWay) {
        RecordId other = item.GetId();
        other.bytes[6] ^= 0x80;
        rc = GetRowFlags(m.db, other, kind.table, flags);
    }
    return rc;
}

// The row's values replace the record's; the record is re-filed where a
// live item of its new name belongs.
int CopyRowToRecord(const ListKind& kind, CPalmListItem& item, const RowFlags& flags) {
    int rc = kind.read(item, flags);
    if (rc == 0)
        (void)kind.list.ReplaceItem(&item);
    return rc;
}

int TableEnd(MergeContext& m, const ListKind& kind) {
    int rc = kind.importChanged();
    if (rc == 0)
        rc = ClearModified(m.db, kind.table, 0);
    if (rc == 0)
        rc = PurgeDeletedRows(m.db, kind.table);
    return rc;
}

int TwoWay(MergeContext& m, const ListKind& kind) {
    for (CPalmListItem* item : Snapshot(kind.list)) {
        RowFlags h;
        int rc = FlagsOf(m, kind, *item, h);
        const bool deleted = item->IsDeleted();
        const bool modified = (item->GetAttribute() & kModifiedBit) != 0;
        if (rc == 0 && h.found && (h.deleted || deleted)) {
            rc = DeleteRow(m.db, h.identifier, kind.table);
            Drop(kind.list, *item);
        } else if (rc == 0 && h.found && h.modified) {
            rc = ClearModified(m.db, kind.table, h.identifier);
            if (rc == 0)
                rc = CopyRowToRecord(kind, *item, h);
        } else if (rc == 0 && h.found && modified) {
            item->SetAttribute(0);
            rc = kind.write(*item, h);
        } else if (rc == 0 && h.found) {
            if (kind.isScheduled)
                rc = CopyRowToRecord(kind, *item, h);
        } else if (rc == 0 && deleted) {
            Drop(kind.list, *item);
        } else if (rc == 0) {
            item->SetAttribute(0);
            rc = kind.insert(*item);
        }
        if (rc != 0)
            return rc;
    }
    return TableEnd(m, kind);
}

int DesktopOverwrites(MergeContext& m, const ListKind& kind) {
    for (CPalmListItem* item : Snapshot(kind.list)) {
        RowFlags h;
        int rc = GetRowFlags(m.db, item->GetId(), kind.table, h);
        const bool deleted = item->IsDeleted();
        const bool modified = (item->GetAttribute() & kModifiedBit) != 0;
        if (rc == 0 && h.found && deleted) {
            rc = DeleteRow(m.db, h.identifier, kind.table);
            Drop(kind.list, *item);
        } else if (rc == 0 && h.found) {
            if (h.modified || modified || h.deleted) {
                if (kind.isScheduled)
                    item->SetAttribute(0);
                rc = kind.write(*item, h);
            }
        } else if (rc == 0 && deleted) {
            Drop(kind.list, *item);
        } else if (rc == 0) {
            rc = kind.insert(*item);
            if (!kind.keepsAttributeOnInsert)
                item->SetAttribute(0);
        }
        if (rc != 0)
            return rc;
    }
    // Handheld changes that the desktop did not overwrite go.
    int rc = DeleteModifiedRows(m.db, kind.table);
    if (rc == 0)
        rc = ClearModified(m.db, kind.table, 0);
    if (rc == 0)
        rc = PurgeDeletedRows(m.db, kind.table);
    return rc;
}

int HandheldOverwrites(MergeContext& m, const ListKind& kind) {
    for (CPalmListItem* item : Snapshot(kind.list)) {
        RowFlags h;
        int rc = GetRowFlags(m.db, item->GetId(), kind.table, h);
        const bool deleted = item->IsDeleted();
        const bool modified = (item->GetAttribute() & kModifiedBit) != 0;
        if (rc == 0 && (!h.found || h.deleted)) {
            Drop(kind.list, *item);
        } else if (rc == 0 && (h.modified || (modified && !deleted))) {
            rc = CopyRowToRecord(kind, *item, h);
            if (rc == 0)
                rc = ClearModified(m.db, kind.table, h.identifier);
        }
        if (rc != 0)
            return rc;
    }
    return TableEnd(m, kind);
}

int RunPass(MergeContext& m, const ListKind& kind) {
    switch (m.mode) {
        case MergeMode::kTwoWay:
            return TwoWay(m, kind);
        case MergeMode::kDesktopOverwrites:
            return DesktopOverwrites(m, kind);
        case MergeMode::kHandheldOverwrites:
            return HandheldOverwrites(m, kind);
    }
    return TwoWay(m, kind);
}

template <class T>
T& As(CPalmListItem& item) {
    // Each list accepts only its own kind of record when it loads.
    return static_cast<T&>(item);
}

}  // namespace

int MergeCategories(MergeContext& m) {
    CCategoryList& list = m.data.Categories();
    CSQLiteDBWrapper& db = m.db;
    ListKind kind{
        Table::kCategories,
        list,
        [&](CPalmListItem& i, const RowFlags&) {
            return ReadCategoryRow(db, As<CCategoryItem>(i), &list);
        },
        [&](CPalmListItem& i, const RowFlags&) {
            return ReplaceCategory(db, As<CCategoryItem>(i));
        },
        [&](CPalmListItem& i) { return InsertCategory(db, As<CCategoryItem>(i), 0); },
        [&] { return ReadChangedCategories(db, list); },
    };
    return RunPass(m, kind);
}

int MergeClasses(MergeContext& m) {
    CClassList& list = m.data.Classes();
    CSQLiteDBWrapper& db = m.db;
    ListKind kind{
        Table::kClasses,
        list,
        [&](CPalmListItem& i, const RowFlags&) { return ReadClassRow(db, As<CClassItem>(i)); },
        [&](CPalmListItem& i, const RowFlags&) { return ReplaceClass(db, As<CClassItem>(i)); },
        [&](CPalmListItem& i) { return InsertClass(db, As<CClassItem>(i), 0); },
        [&] { return ReadChangedClasses(db, list); },
    };
    kind.keepsAttributeOnInsert = true;
    return RunPass(m, kind);
}

int MergePayees(MergeContext& m) {
    CPayeesList& list = m.data.Payees();
    CSQLiteDBWrapper& db = m.db;
    ListKind kind{
        Table::kPayees,
        list,
        [&](CPalmListItem& i, const RowFlags&) { return ReadPayeeRow(db, As<CPayeeItem>(i)); },
        [&](CPalmListItem& i, const RowFlags&) { return ReplacePayee(db, As<CPayeeItem>(i)); },
        [&](CPalmListItem& i) { return InsertPayee(db, As<CPayeeItem>(i), 0); },
        [&] { return ReadChangedPayees(db, list); },
    };
    return RunPass(m, kind);
}

int MergePayeeLookups(MergeContext& m) {
    CPayeeLookupList& list = m.data.PayeeLookup();
    CSQLiteDBWrapper& db = m.db;
    ListKind kind{
        Table::kPayeeLookupItems,
        list,
        [&](CPalmListItem& i, const RowFlags&) {
            return ReadPayeeLookupRow(db, As<CPayeeLookupItem>(i));
        },
        [&](CPalmListItem& i, const RowFlags&) {
            return ReplacePayeeLookup(db, As<CPayeeLookupItem>(i));
        },
        [&](CPalmListItem& i) { return InsertPayeeLookup(db, As<CPayeeLookupItem>(i), 0); },
        [&] { return ReadChangedPayeeLookups(db, list); },
    };
    return RunPass(m, kind);
}

int MergeTransactionTypes(MergeContext& m) {
    CTransactionTypesList& list = m.data.TransactionTypes();
    CSQLiteDBWrapper& db = m.db;
    ListKind kind{
        Table::kTransactionTypes,
        list,
        [&](CPalmListItem& i, const RowFlags& h) {
            return ReadTransactionTypeRow(db, h.identifier, As<CTransactionType>(i));
        },
        // By the row's identifier: the row paired through the other flag bit
        // is the one replaced, and it takes the desktop's uid.
        [&](CPalmListItem& i, const RowFlags& h) {
            int rc = DeleteRow(db, h.identifier, Table::kTransactionTypes);
            return rc != 0 ? rc : InsertTransactionType(db, As<CTransactionType>(i), h.identifier);
        },
        [&](CPalmListItem& i) { return InsertTransactionType(db, As<CTransactionType>(i), 0); },
        [&] { return ReadChangedTransactionTypes(db, list); },
    };
    kind.pairsByFlagBit = true;
    return RunPass(m, kind);
}

int MergeScheduled(MergeContext& m) {
    CScheduledList& list = m.data.Scheduled();
    CSQLiteDBWrapper& db = m.db;
    const std::uint32_t offset = m.dateOffset;
    ListKind kind{
        Table::kScheduledTransactions,
        list,
        // The item keeps its enter mode: the handheld's column is not read.
        [&](CPalmListItem& i, const RowFlags&) {
            return ReadScheduledRow(db, offset, As<CScheduledItem>(i));
        },
        [&](CPalmListItem& i, const RowFlags&) {
            return ReplaceScheduled(db, offset, As<CScheduledItem>(i));
        },
        [&](CPalmListItem& i) { return InsertScheduled(db, offset, As<CScheduledItem>(i), 0); },
        [&] { return ReadChangedScheduled(db, offset, list); },
    };
    kind.isScheduled = true;
    return RunPass(m, kind);
}

}  // namespace tallowmere::handheld
