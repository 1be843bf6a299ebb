#pragma once
// "Edit Scheduled Transaction" (dialog 1589) apart from its widgets: the
// repeat details of one scheduled item (next date, frequency, repeat count,
// how it is entered) and the transaction it stands for. The form is a copy:
// OK checks every field, the category and class texts included, before it
// creates the item or changes one byte of it, so Cancel and a refused OK
// leave the item exactly as it was. Only what changed is written, so an
// untouched field keeps its bytes.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/palm_time.h"
#include "model/record_id.h"
#include "ui/logic/dialog_step.h"
#include "ui/logic/messages.h"
#include "ui/logic/splits_dialog_logic.h"

namespace tallowmere {
class CAccount;
class CAccounts;
class CScheduledItem;
}  // namespace tallowmere

namespace tallowmere::ui {

inline constexpr int kScheduledNextDate = 1001;
inline constexpr int kScheduledPayee = 1003;
inline constexpr int kScheduledType = 1004;
inline constexpr int kScheduledAmount = 1006;
inline constexpr int kScheduledCategory = 1007;
inline constexpr int kScheduledRepeatCount = 1008;
inline constexpr int kScheduledAccount = 1009;
inline constexpr int kScheduledMemo = 1010;
inline constexpr int kScheduledFrequency = 1074;
inline constexpr int kScheduledRepeat = 1075;
inline constexpr int kScheduledEnter = 1076;
inline constexpr int kScheduledRepeatLabel = 1077;
inline constexpr int kScheduledDays = 1079;
inline constexpr int kScheduledDaysLabel = 1080;
inline constexpr int kScheduledPayeeList = 1136;
inline constexpr int kScheduledCategoryList = 1137;
inline constexpr int kScheduledClassList = 1139;
inline constexpr int kScheduledClass = 1151;
inline constexpr int kScheduledSplit = 3;

inline constexpr int kStringScheduleNeedsAmount = 171;
inline constexpr int kStringRepeatCountRange = 3723;
inline constexpr int kStringDaysInAdvanceRange = 3724;
inline constexpr int kStringNoScheduleAccount = 3725;
inline constexpr int kStringNoScheduleType = 3726;

inline constexpr int kMaxRepeatCount = 100;
inline constexpr int kMaxDaysInAdvance = 500;
inline constexpr int kRepeatIndefinitelyIndex = 0;
inline constexpr int kRepeatTimesIndex = 1;
inline constexpr int kEnterDaysInAdvanceIndex = 2;
inline constexpr int kFrequencyCount = 10;
inline constexpr int kEnterModeCount = 3;

// The list dialogs the three buttons open.
enum class ListEditorKind { kPayees, kCategories, kClasses };

// The dialogs the editor opens; tests script them.
class ScheduledItemSubDialogs {
  public:
    virtual ~ScheduledItemSubDialogs() = default;
    // The splits dialog for a transaction of target; true on OK with io
    // replaced.
    virtual bool RunSplits(const CAccount* target, SplitsData& io) = 0;
    // A list editor; the name chosen there (UTF-8), or nothing.
    virtual std::optional<std::string> RunListEditor(ListEditorKind kind,
                                                     const std::string& current) = 0;
};

// The DDX members and the combos' entries. Texts are UTF-8.
struct ScheduledItemForm {
    PalmTime nextDate = 0;  // day and time of day
    int frequencyIndex = -1;
    int repeatIndex = kRepeatIndefinitelyIndex;
    std::string repeatCountText = "0";
    int enterIndex = -1;
    std::string daysText = "0";

    std::vector<std::string> accountNames;
    std::vector<RecordId> accountIds;
    int accountIndex = -1;
    std::vector<std::string> payeeEntries;
    std::string payee;
    std::vector<std::string> typeNames;
    std::vector<RecordId> typeIds;
    int typeIndex = -1;
    std::string amountText;
    std::vector<std::string> categoryEntries;
    std::string category;
    std::vector<std::string> classEntries;
    std::string classText;
    std::string memo;

    bool hasSplits = false;
    SplitLines splitLines{};

    // Visibility of the repeat and days controls.
    bool RepeatShown() const { return frequencyIndex != 0; }
    bool CountShown() const { return RepeatShown() && repeatIndex == kRepeatTimesIndex; }
    bool DaysShown() const { return enterIndex == kEnterDaysInAdvanceIndex; }
    // With split lines the category and class are the splits'.
    bool CategoryEditable() const { return !hasSplits; }
};

class ScheduledItemLogic {
  public:
    // item: null for a new one; current: the view's account (null with no
    // accounts).
    ScheduledItemLogic(CAccounts& data, const CAccount* current, CScheduledItem* item,
                       Messages& messages, ScheduledItemSubDialogs& dialogs);
    ~ScheduledItemLogic();
    ScheduledItemLogic(const ScheduledItemLogic&) = delete;
    ScheduledItemLogic& operator=(const ScheduledItemLogic&) = delete;

    ScheduledItemForm Open();

    // Another account was chosen: the transfer entries leave that one out.
    void OnAccountChosen(ScheduledItemForm& form) const;
    // "Spl&it...".
    void OnSplit(ScheduledItemForm& form);
    // One of the three list buttons; the combos are filled again.
    void OnListButton(ScheduledItemForm& form, ListEditorKind kind);

    // The checks of OK, in order; nothing is written. Stay with the focus,
    // or Close(1).
    DialogStep Validate(const ScheduledItemForm& form);
    // OK: Validate, then the item is created (when new) and written.
    DialogStep Save(const ScheduledItemForm& form);

    // After Save of a new item: the item, for the caller to insert.
    std::unique_ptr<CScheduledItem> TakeNewItem() { return std::move(newItem_); }

  private:
    DialogStep Refuse(int stringId, int focusId);
    const CAccount* ChosenAccount(const ScheduledItemForm& form) const;
    void FillLists(ScheduledItemForm& form) const;
    void Write(const ScheduledItemForm& form, CScheduledItem& item);

    CAccounts& data_;
    const CAccount* current_;
    CScheduledItem* item_;
    Messages& messages_;
    ScheduledItemSubDialogs& dialogs_;
    PalmTime shownDate_ = 0;  // what the picker showed at opening
    std::unique_ptr<CScheduledItem> newItem_;
};

// An integer text within [0, max]: optional blanks around digits.
std::optional<int> ParseBoundedInteger(const std::string& text, int max);

}  // namespace tallowmere::ui
