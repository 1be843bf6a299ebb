#include "ui/logic/transaction_dialog_logic.h"

#include <algorithm>
#include <charconv>

#include "model/class_item.h"
#include "model/payee.h"
#include "model/payee_lookup.h"
#include "model/string_table.h"
#include "model/transaction_type.h"
#include "platform/text_1252.h"
#include "ui/logic/amount_range.h"
#include "ui/logic/file_error_message.h"
#include "ui/logic/split_lines.h"

namespace tallowmere::ui {
namespace {

using platform::Cp1252ToUtf8;
using platform::TrimAsciiSpace;
using platform::Utf8ToCp1252;

constexpr int kStatusEntries = 4;

bool IsBlank(const std::string& text) {
    return TrimAsciiSpace(text).empty();
}

std::string SplitText() {
    return Cp1252ToUtf8(LoadString(317));  // "-SPLIT-"
}

// Digits only, 0 to kMaxCheckNumber; blanks at both ends allowed.
bool ParseCheckNumber(std::string_view text, std::uint32_t* out) {
    text = TrimAsciiSpace(text);
    if (text.empty())
        return false;
    std::uint64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value > kMaxCheckNumber)
        return false;
    *out = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

TransactionDialogLogic::TransactionDialogLogic(CAccounts& data, CAccount& target,
                                               const CTransaction* stored, Messages& messages,
                                               TransactionSubDialogs& dialogs,
                                               TransactionViewHost* host)
    : data_(data),
      target_(target),
      stored_(stored),
      messages_(messages),
      dialogs_(dialogs),
      host_(host) {}

void TransactionDialogLogic::FillEntries() {
    types_.clear();
    const CTransactionTypesList& typeList = data_.TransactionTypes();
    auto pos = typeList.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* type = dynamic_cast<const CTransactionType*>(typeList.GetNextLive(pos, false));
        if (type == nullptr)
            continue;
        std::string name = type->GetName();
        // The "#" stands beside the number field.
        if (type->IsNumbered() && !name.empty() && name.back() == '#')
            name.pop_back();
        types_.push_back({type->GetId(), Cp1252ToUtf8(name)});
    }

    payees_.clear();
    const CPayeesList& payeeList = data_.Payees();
    payees_.reserve(payeeList.GetCount(false));
    pos = payeeList.GetHeadPosition(false);
    while (pos != CPalmFileList::kNoPosition) {
        const auto* payee = dynamic_cast<const CPayeeItem*>(payeeList.GetNextLive(pos, false));
        if (payee != nullptr)
            payees_.push_back(Cp1252ToUtf8(payee->GetName()));
    }

    categories_ = CategoryComboEntries(data_, &target_);
    classes_ = ClassComboEntries(data_);
}

int TransactionDialogLogic::TypeIndexOf(const RecordId& id) const {
    for (std::size_t i = 0; i < types_.size(); ++i) {
        if (types_[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

RecordId TransactionDialogLogic::SelectedTypeId() const {
    if (form_.typeIndex < 0 || static_cast<std::size_t>(form_.typeIndex) >= types_.size())
        return working_.GetTypeId();
    return types_[static_cast<std::size_t>(form_.typeIndex)].id;
}

void TransactionDialogLogic::UpdateCheckShown() {
    // Only the built-in check type has a number, whatever flags others carry.
    form_.checkShown = SelectedTypeId() == CheckTypeId;
}

void TransactionDialogLogic::Open() {
    const bool numberAsNew = stored_ == nullptr || recordMode_;
    if (stored_ != nullptr) {
        working_.CopyFrom(*stored_);
    } else {
        const PalmTime remembered = data_.GetEntryDate();
        working_.SetDate(remembered != 0 ? remembered : PalmTimeNow());
        working_.SetTypeId(target_.GetDefaultTransactionTypeId());
        working_.SetSourceCurrency(target_.Header().GetCurrencyId());
    }
    FillEntries();

    form_ = {};
    form_.typeIndex = TypeIndexOf(working_.GetTypeId());
    if (form_.typeIndex < 0 && !types_.empty()) {
        // Entry 1 for an outflow, else entry 2, within the list there is.
        const int wanted = IsOutflowTypeId(working_.GetTypeId()) ? 1 : 2;
        form_.typeIndex = std::min(wanted, static_cast<int>(types_.size()) - 1);
    }
    form_.day = PalmTimeDayBound(working_.GetDate(), 1);
    form_.payee = Cp1252ToUtf8(working_.GetPayeeName());
    // A new check takes the next number, also when the type is changed to
    // Check only later; other types never show or store it.
    std::uint32_t check = working_.GetCheckNumber();
    if (numberAsNew) {
        const std::uint32_t last = target_.Header().GetLastCheckNumber();
        check = last < kMaxCheckNumber ? last + 1 : kMaxCheckNumber;
    }
    form_.checkNumber = std::to_string(check);
    if (stored_ != nullptr)
        form_.amount = FormatMoney(working_.GetAmount(), kMoneyFull);
    split_ = working_.GetCategoryId() == SplitMarkerId;
    form_.category = Cp1252ToUtf8(data_.GetCategoryDisplayText(working_.GetCategoryId()));
    form_.classText = Cp1252ToUtf8(data_.Classes().GetNameById(working_.GetClassId()));
    form_.status = working_.GetStatus() >> 6;
    form_.memo = Cp1252ToUtf8(working_.GetMemo());
    form_.categoryEnabled = !split_;
    // A copy in record mode is in no account: nothing to delete.
    form_.deleteShown = stored_ != nullptr && !recordMode_;
    form_.okText = Cp1252ToUtf8(LoadString(recordMode_ ? kStringRecord : kStringOk));
    UpdateCheckShown();
}

std::uint16_t TransactionDialogLogic::CategoryIcon() const {
    if (split_)
        return kSplitIcon;
    return data_.GetIconForCategoryText(Utf8ToCp1252(form_.category));
}

TransactionEvent TransactionDialogLogic::OnTypeChanged() {
    UpdateCheckShown();
    return {true, false, 0};
}

void TransactionDialogLogic::FillCategoryFrom(const CPayeeItem& payee) {
    if (payee.GetCategoryId() == SplitMarkerId) {
        payee.GetMemorizedSplits(working_);
        working_.SetCategoryId(SplitMarkerId);
        form_.category = SplitText();
        split_ = true;
        form_.categoryEnabled = false;
        return;
    }
    form_.category = Cp1252ToUtf8(data_.GetCategoryDisplayText(payee.GetCategoryId()));
    form_.classText = Cp1252ToUtf8(data_.Classes().GetNameById(payee.GetClassId()));
}

bool TransactionDialogLogic::FillFromPayee(const std::string& text) {
    if (!IsBlank(form_.amount))
        return false;
    const CPayeeItem* payee = data_.Payees().FindByName(Utf8ToCp1252(text));
    if (payee == nullptr)
        return false;
    // A memorised type that is gone leaves the chosen one.
    const int type = TypeIndexOf(payee->GetTypeId());
    if (type >= 0)
        form_.typeIndex = type;
    form_.amount = FormatMoney(payee->GetAmount(), kMoneyFull);
    FillCategoryFrom(*payee);
    UpdateCheckShown();
    return true;
}

bool TransactionDialogLogic::OnPayeeTab(TransactionEvent* event) {
    if (event != nullptr)
        *event = {};
    if (form_.payee.empty() || !FillFromPayee(form_.payee))
        return false;
    if (event != nullptr)
        *event = {true, false, kTransAmount};
    return true;
}

TransactionEvent TransactionDialogLogic::OnPayeeChosen(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= payees_.size())
        return {};
    const std::string& text = payees_[static_cast<std::size_t>(index)];
    form_.payee = text;
    if (IsBlank(form_.amount)) {
        if (FillFromPayee(text))
            return {true, false, kTransAmount};
        return {true, false, 0};
    }
    if (!IsBlank(form_.category) || split_)
        return {true, false, 0};
    if (const CPayeeItem* payee = data_.Payees().FindByName(Utf8ToCp1252(text)))
        FillCategoryFrom(*payee);
    return {true, false, 0};
}

TransactionEvent TransactionDialogLogic::OnEditPayees() {
    std::string text = dialogs_.EditPayees();
    if (text.empty())
        text = form_.payee;
    FillEntries();
    if (!text.empty())
        form_.payee = text;
    return {true, true, text.empty() ? 0 : kTransPayee};
}

TransactionEvent TransactionDialogLogic::OnEditCategories() {
    std::string text = dialogs_.EditCategories();
    if (text.empty())
        text = form_.category;
    FillEntries();
    if (split_)
        form_.category = SplitText();
    else if (!text.empty())
        form_.category = text;
    return {true, true, 0};
}

TransactionEvent TransactionDialogLogic::OnEditClasses() {
    std::string text = dialogs_.EditClasses();
    if (text.empty())
        text = form_.classText;
    FillEntries();
    if (!split_ && !text.empty())
        form_.classText = text;
    return {true, true, 0};
}

TransactionEvent TransactionDialogLogic::OnConvertCurrency() {
    // The converted amount is the amount as it stands; the source is the
    // amount entered before conversion when there was one.
    ConvertCurrencyData io;
    io.sourceCurrency = working_.GetSourceCurrency();
    io.convertedText = form_.amount;
    io.sourceText = working_.GetBaseAmount() != 0
                        ? FormatMoney(working_.GetBaseAmount(), kMoneyFull)
                        : form_.amount;
    if (dialogs_.RunConvertCurrency(target_.Header().GetCurrencyId(), IsNew(), io) != 1)
        return {};
    form_.amount = io.convertedText;
    working_.SetSourceCurrency(io.sourceCurrency);
    const Cents base = ParseMoney(io.sourceText);
    working_.SetBaseAmount(InAmountRange(base) ? base : 0);
    return {true, false, 0};
}

TransactionEvent TransactionDialogLogic::OnSplits() {
    SplitsData io;
    io.hasSplits = split_;
    if (split_)
        io.lines = ReadSplitLines(working_);
    else
        io.firstCategoryText = form_.category;
    const Cents amount = ParseMoney(form_.amount);
    io.transactionTotal = InAmountRange(amount) ? amount : 0;
    const Cents before = io.transactionTotal;
    if (dialogs_.RunSplits(target_, io) != 1)
        return {};
    if (io.hasSplits) {
        WriteSplitLines(io.lines, working_);
        working_.SetCategoryId(SplitMarkerId);
        form_.category = SplitText();
    } else {
        working_.SetCategoryId(kNoneId);
        if (split_) {
            // "-SPLIT-" would not name a category, and the old lines' links
            // point at mirrors the account removes.
            WriteSplitLines(SplitLines{}, working_);
            form_.category.clear();
        }
    }
    split_ = io.hasSplits;
    if (io.transactionTotal != before)
        form_.amount = FormatMoney(io.transactionTotal, kMoneyFull);
    form_.categoryEnabled = !split_;
    return {true, false, 0};
}

DialogStep TransactionDialogLogic::Refuse(int stringId, int focusId) {
    messages_.Show(StringMessage(stringId));
    return DialogStep::Stay(focusId, true);
}

void TransactionDialogLogic::ShowSaveFailure(int result) {
    // A failed write is shown by the file's saver with its cause; a lock
    // that timed out, or memory that ran out, says nothing by itself.
    if (result == -1 || result == 8)
        ShowFileErrorMessage(messages_, result);
}

DialogStep TransactionDialogLogic::Ok() {
    // The field's own check comes first, as the framework's would.
    const RecordId typeId = SelectedTypeId();
    const bool isCheck = typeId == CheckTypeId;
    std::uint32_t checkNumber = 0;
    if (isCheck && !ParseCheckNumber(form_.checkNumber, &checkNumber))
        return Refuse(kStringEnterInteger, kTransCheckNumber);

    if (IsBlank(form_.amount))
        return Refuse(kStringNeedAmount, kTransAmount);
    const Cents amount = ParseMoney(form_.amount);
    if (!InAmountRange(amount))
        return Refuse(kStringBadAmount, kTransAmount);

    // Everything is resolved before anything is made.
    const std::string categoryText(TrimAsciiSpace(Utf8ToCp1252(form_.category)));
    const std::string classText(TrimAsciiSpace(Utf8ToCp1252(form_.classText)));
    CategoryText category;
    RecordId classId;
    bool newClass = false;
    if (!split_) {
        category = ResolveCategoryText(data_, categoryText, &target_);
        if (category.refusal == kStringBadCategoryName)
            return Refuse(kStringBadCategoryName, kTransCategory);
        if (!IsValidClassName(classText))
            return Refuse(kStringBadClassName, kTransClass);
        if (category.refusal != 0)
            return Refuse(category.refusal, kTransCategory);
        newClass = !classText.empty() && !data_.Classes().FindIdByName(classText, classId);
    } else {
        // The class field is off while split and keeps what the record had.
        classId = working_.GetClassId();
    }
    const bool makesSomething = newClass || category.kind == CategoryTextKind::kNewCategory;

    CTransaction w(working_);
    PalmTime date = CombineDateWithNow(form_.day);
    if (stored_ == nullptr || !IsSameDay(stored_->GetDate(), date))
        w.SetDate(date);
    else
        date = stored_->GetDate();
    std::string payee = Utf8ToCp1252(form_.payee);
    data_.Payees().NormalizeName(payee);
    w.SetPayeeName(payee);
    w.SetTypeId(typeId);
    w.SetCheckNumber(isCheck ? checkNumber : 0);
    w.SetAmount(amount);
    if (split_)
        w.SetCategoryId(SplitMarkerId);
    else if (category.kind != CategoryTextKind::kNewCategory)
        w.SetCategoryId(category.id);
    w.SetClassId(classId);
    const std::uint8_t oldStatus = w.GetStatus();
    std::uint8_t status =
        static_cast<std::uint8_t>((oldStatus & ~kStatusMask) | ((form_.status & 3) << 6));
    // The reconcile mark goes with a change of status only.
    if ((status & kStatusMask) != (oldStatus & kStatusMask))
        status &= static_cast<std::uint8_t>(~kStatusMarked);
    w.SetStatus(status);
    w.SetMemo(Utf8ToCp1252(form_.memo));

    if (stored_ != nullptr && !recordMode_) {
        if (!makesSomething && w.IsSameRecord(*stored_))
            return DialogStep::Close(1);
        if (stored_->IsSplitTransferCopy())
            return Refuse(kStringChangeAtSource, kTransAmount);
    }

    // Now the missing category and class; their lists show their own save
    // failures.
    if (!split_) {
        if (category.kind == CategoryTextKind::kNewCategory)
            w.SetCategoryId(ApplyCategoryText(data_, categoryText, category));
        if (newClass)
            w.SetClassId(data_.Classes().FindOrCreateByName(classText, true));
    }

    const bool adds = stored_ == nullptr || recordMode_;
    const std::uint32_t lastCheck = target_.Header().GetLastCheckNumber();
    // Only a later number moves the account's last check number on, so an
    // old check edited or recorded again does not set it back.
    const bool newLastCheck = isCheck && checkNumber > lastCheck;
    if (adds) {
        auto added = std::make_unique<CTransaction>();
        added->CopyFrom(w);
        const int r = target_.AddTransactionWithTransfer(std::move(added));
        if (r != 0) {
            // Nothing was added: the dialog stays with what was entered.
            ShowSaveFailure(r);
            return DialogStep::Stay(kTransAmount, false);
        }
        if (newLastCheck)
            target_.Header().SetLastCheckNumber(checkNumber);
        ShowSaveFailure(target_.Save());
    } else {
        CTransaction* row = target_.FindTransactionById(stored_->GetId());
        if (row == nullptr) {
            ShowFileErrorMessage(messages_, -1);
            return DialogStep::Stay(kTransAmount, false);
        }
        ShowSaveFailure(target_.ModifyTransaction(w, *row));
        if (newLastCheck) {
            target_.Header().SetLastCheckNumber(checkNumber);
            ShowSaveFailure(target_.Save());
        }
    }

    if (stored_ == nullptr && date < kPalmTimeMax)
        data_.SetEntryDate(date + 1);
    // A transaction without a payee names nobody to remember.
    if (!payee.empty())
        data_.MemorizePayee(w);
    const RecordId lookupId = w.GetPayeeLookupId();
    if (!lookupId.IsNull()) {
        CPayeeLookupList& lookups = data_.PayeeLookup();
        CPayeeLookupItem* item = lookups.FindById(lookupId);
        if (item != nullptr && item->GetPayee() != w.GetPayeeName()) {
            item->SetPayee(w.GetPayeeName());  // marks the item modified
            lookups.Save();
        }
    }
    if (host_ != nullptr)
        host_->RefreshPanes();
    return DialogStep::Close(1);
}

DialogStep TransactionDialogLogic::RemoveStored(bool purge) {
    if (stored_ == nullptr || recordMode_)
        return DialogStep::Stay(0, false);
    // A copy made from a split line goes with its line: removing it here
    // would take the source transaction's mirror walk with it.
    if (stored_->IsSplitTransferCopy()) {
        messages_.Show(StringMessage(kStringDeleteAtSource));
        return DialogStep::Stay(0, false);
    }
    const int question = purge ? kStringAskPurge : kStringAskDelete;
    if (messages_.Show(StringMessage(question, {}, Buttons::kYesNo, Icon::kQuestion,
                                     Answer::kNo)) != Answer::kYes)
        return DialogStep::Stay(0, false);
    const int r = data_.DeleteTransaction(target_, *stored_, purge);
    stored_ = nullptr;  // gone, or no longer to be trusted
    ShowSaveFailure(r);
    if (host_ != nullptr)
        host_->RefreshPanes();
    return DialogStep::Close(kTransactionGone);
}

DialogStep TransactionDialogLogic::Delete() {
    return RemoveStored(false);
}

DialogStep TransactionDialogLogic::Purge() {
    return RemoveStored(true);
}

}  // namespace tallowmere::ui
