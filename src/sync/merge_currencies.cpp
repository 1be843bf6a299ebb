// The currencies pass: paired by the one-byte currency id, the rate the only
// value that travels, and the home currency through the handheld setting.
#include <cstdlib>
#include <string>
#include <vector>

#include "sync/handheld_read.h"
#include "sync/handheld_statement.h"
#include "sync/handheld_write.h"
#include "sync/merge_passes.h"
#include "sync/sqlite_wrapper.h"

namespace tallowmere::handheld {

namespace {

constexpr char kDeleteCurrency[] = "DELETE FROM CURRENCIES where currency_id = %d;";
constexpr char kClearCurrencyModified[] =
    "update CURRENCIES set modified = 0 where currency_id = %d";
// A row the desktop writes over lives on, whatever the handheld did to it.
constexpr char kUndeleteCurrency[] = "update CURRENCIES set deleted = 0 where currency_id = %d";

std::vector<CCurrencyItem*> Snapshot(const CCurrencyList& list) {
    std::vector<CCurrencyItem*> items;
    for (std::size_t i = 0; i < list.GetCount(true); ++i)
        items.push_back(static_cast<CCurrencyItem*>(list.GetAt(i, true)));
    return items;
}

int ExecFor(CSQLiteDBWrapper& db, const char* format, const CCurrencyItem& c) {
    return db.ExecSql(FormatSql(format, int{c.GetCurrencyId()}).c_str());
}

void Drop(CCurrencyList& list, CCurrencyItem& item) {
    (void)list.RemoveItem(&item);
}

bool IsModified(const CCurrencyItem& c) {
    return (c.GetAttribute() & CPalmListItem::kModified) != 0;
}

// The handheld's home currency id; -1 when the setting is empty.
int HandheldHomeId(CSQLiteDBWrapper& db, long& home) {
    std::string text;
    int rc = GetSetting(db, kSettingBaseCurrency, text);
    home = text.empty() ? -1 : std::strtol(text.c_str(), nullptr, 10);
    return rc;
}

// The handheld's home currency becomes the desktop's; that is no desktop
// change to pass back.
void TakeHandheldHome(CCurrencyList& list, const CCurrencyItem& c) {
    list.SetHomeCurrency(&c);
    list.ClearHomeChanged();
}

int WriteHome(CSQLiteDBWrapper& db, CurrencyId id) {
    return SetSetting(db, kSettingBaseCurrency, std::to_string(int{id}));
}

// No currency row is left marked modified or deleted.
int SettleRows(CSQLiteDBWrapper& db) {
    const int rc = ClearModified(db, Table::kCurrencies, 0);
    return rc != 0 ? rc : PurgeDeletedRows(db, Table::kCurrencies);
}

int TableEnd(MergeContext& m) {
    const int rc = ReadChangedCurrencies(m.db, m.data.Currencies());
    return rc != 0 ? rc : SettleRows(m.db);
}

int TwoWay(MergeContext& m) {
    CCurrencyList& list = m.data.Currencies();
    long home = -1;
    int rc = HandheldHomeId(m.db, home);
    if (rc == 0 && list.IsHomeChanged()) {
        rc = WriteHome(m.db, list.GetHomeCurrencyId());
        home = list.GetHomeCurrencyId();
        list.ClearHomeChanged();
    }
    for (CCurrencyItem* c : Snapshot(list)) {
        if (rc != 0)
            return rc;
        RowFlags h;
        rc = GetCurrencyRowFlags(m.db, c->GetCurrencyId(), h);
        if (rc == 0 && h.found && (h.deleted || c->IsDeleted())) {
            rc = ExecFor(m.db, kDeleteCurrency, *c);
            Drop(list, *c);
        } else if (rc == 0 && h.found && h.modified) {
            if (c->GetCurrencyId() == home)
                TakeHandheldHome(list, *c);
            rc = ExecFor(m.db, kClearCurrencyModified, *c);
            if (rc == 0)
                rc = ReadCurrencyRow(m.db, *c);
        } else if (rc == 0 && h.found && IsModified(*c)) {
            c->SetAttribute(0);
            rc = UpdateCurrencyRate(m.db, *c);
        } else if (rc == 0 && !h.found && c->IsDeleted()) {
            Drop(list, *c);
        } else if (rc == 0 && !h.found) {
            // An update by id: the desktop never adds a currency row.
            c->SetAttribute(0);
            rc = UpdateCurrencyRate(m.db, *c);
        }
    }
    return rc != 0 ? rc : TableEnd(m);
}

int DesktopOverwrites(MergeContext& m) {
    CCurrencyList& list = m.data.Currencies();
    int rc = 0;
    for (CCurrencyItem* c : Snapshot(list)) {
        if (rc != 0)
            return rc;
        RowFlags h;
        rc = GetCurrencyRowFlags(m.db, c->GetCurrencyId(), h);
        if (rc == 0 && h.found && !c->IsDeleted()) {
            if (h.modified || IsModified(*c) || h.deleted) {
                c->SetAttribute(0);
                if (list.IsHomeCurrency(c))
                    rc = WriteHome(m.db, c->GetCurrencyId());
                if (rc == 0 && h.deleted)
                    rc = ExecFor(m.db, kUndeleteCurrency, *c);
                if (rc == 0)
                    rc = UpdateCurrencyRate(m.db, *c);
            }
        } else if (rc == 0 && h.found) {
            rc = ExecFor(m.db, kDeleteCurrency, *c);
            Drop(list, *c);
        } else if (rc == 0 && !c->IsDeleted()) {
            rc = UpdateCurrencyRate(m.db, *c);
            c->SetAttribute(0);
        } else if (rc == 0) {
            Drop(list, *c);
        }
    }
    if (rc == 0)
        rc = DeleteModifiedRows(m.db, Table::kCurrencies);
    return rc != 0 ? rc : SettleRows(m.db);
}

int HandheldOverwrites(MergeContext& m) {
    CCurrencyList& list = m.data.Currencies();
    long home = -1;
    int rc = HandheldHomeId(m.db, home);
    for (CCurrencyItem* c : Snapshot(list)) {
        if (rc != 0)
            return rc;
        if (c->GetCurrencyId() == home)
            TakeHandheldHome(list, *c);
        RowFlags h;
        rc = GetCurrencyRowFlags(m.db, c->GetCurrencyId(), h);
        if (rc == 0 && (!h.found || h.deleted)) {
            Drop(list, *c);
        } else if (rc == 0 && (h.modified || IsModified(*c))) {
            const bool wasDeleted = c->IsDeleted();
            rc = ReadCurrencyRow(m.db, *c);
            if (rc == 0)
                rc = ExecFor(m.db, kClearCurrencyModified, *c);
            // Live again: filed among the live items.
            if (rc == 0 && wasDeleted)
                (void)list.ReplaceItem(c);
        }
    }
    return rc != 0 ? rc : TableEnd(m);
}

}  // namespace

int MergeCurrencies(MergeContext& m) {
    switch (m.mode) {
        case MergeMode::kTwoWay:
            return TwoWay(m);
        case MergeMode::kDesktopOverwrites:
            return DesktopOverwrites(m);
        case MergeMode::kHandheldOverwrites:
            return HandheldOverwrites(m);
    }
    return TwoWay(m);
}

}  // namespace tallowmere::handheld
