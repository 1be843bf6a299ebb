#pragma once
// The payee look-up list: maps the payee text a bank sends in a downloaded
// statement to the payee name the user wants to see. Kept in
// "PayeeLookupList.lst", live items in name order.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/palm_list_item.h"
#include "model/payee.h"
#include "model/record_id.h"

namespace tallowmere {

class CTransaction;

inline constexpr std::size_t kPayeeLookupRecordSize = 74;
inline constexpr std::size_t kPayeeLookupTextSize = 33;

using PayeeLookupRecord = std::array<std::uint8_t, kPayeeLookupRecordSize>;

class CPayeeLookupItem : public CCommonListItem {
  public:
    // Both texts at most 32 bytes, a new id, modified set.
    CPayeeLookupItem(std::string_view text, std::string_view payee);
    // For the class factory: all zero.
    explicit CPayeeLookupItem(ForLoad tag);

    std::string_view GetClassName() const override { return "CPayeeLookupItem"; }
    // Base part, the record raw, an int32 0; an id-first record converts on
    // load when the archive says so.
    void Serialize(CArchive& ar) override;

    RecordId GetId() const override;
    void SetId(const RecordId& id) override;
    // The downloaded text, the look-up key.
    std::string GetName() const override;
    void SetName(std::string_view text) override;
    // The payee name to use instead; empty keeps the downloaded text.
    std::string GetPayee() const;
    void SetPayee(std::string_view payee);

    // The form in which a text is stored: what the setters would keep.
    static std::string_view StoredText(std::string_view text);

    const PayeeLookupRecord& Record() const { return record_; }

  private:
    PayeeLookupRecord record_{};
};

class CPayeeLookupList : public CNameIdIndexedList {
  public:
    // First live item whose downloaded text equals the text (cut as stored)
    // ignoring case; nullptr when none.
    CPayeeLookupItem* FindByText(std::string_view text) const;
    // First live item with that id (all: deleted ones too).
    CPayeeLookupItem* FindById(const RecordId& id, bool all = false) const;

    // A new item added in name order, which saves; *saveResult gets the
    // save's result.
    CPayeeLookupItem* AddMapping(std::string_view text, std::string_view payee,
                                 int* saveResult = nullptr);

    // Gives a downloaded transaction its payee: the mapped name when the text
    // has an item with one, else the text itself, adding an item for a text
    // never seen. Links t to the item. Check-type downloads keep their text
    // and are not passed here. Returns the save result (0 when nothing was
    // added).
    int ApplyToDownload(CTransaction& t, std::string_view downloadedText);

  protected:
    bool AcceptsItem(const CObject& obj) const override;
};

}  // namespace tallowmere
