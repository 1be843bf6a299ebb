#include "model/account_sort.h"

#include <array>
#include <cstring>

#include "platform/text_1252.h"

namespace tallowmere {
namespace {

enum class Key { kStatus, kDate, kTypeNumber, kPayee, kAmount, kCategory, kClass, kMemo };

constexpr std::size_t kMaxKeys = 7;

struct KeySequence {
    std::size_t count;
    std::array<Key, kMaxKeys> keys;
};

using enum Key;
constexpr std::array<KeySequence, kSortModeCount> kSequences = {{
    {5, {kStatus, kDate, kTypeNumber, kPayee, kAmount}},
    {6, {kCategory, kPayee, kAmount, kStatus, kDate, kTypeNumber}},
    {5, {kDate, kTypeNumber, kPayee, kAmount, kStatus}},
    {5, {kTypeNumber, kPayee, kAmount, kStatus, kDate}},
    {5, {kPayee, kAmount, kStatus, kDate, kTypeNumber}},
    {6, {kCategory, kPayee, kAmount, kStatus, kDate, kTypeNumber}},
    {7, {kClass, kPayee, kAmount, kStatus, kDate, kTypeNumber, kCategory}},
    {5, {kMemo, kDate, kTypeNumber, kPayee, kAmount}},
    {5, {kAmount, kStatus, kDate, kTypeNumber, kPayee}},
}};

const KeySequence& SequenceOf(int mode) {
    if (mode < 0 || mode >= kSortModeCount)
        mode = 2;
    return kSequences[static_cast<std::size_t>(mode)];
}

template <class T>
int Order(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Ignoring case first; texts equal but for case are ordered by their bytes.
int CompareTexts(std::string_view a, std::string_view b) {
    // Registers repeat the same few payees; equal bytes need no folding.
    if (a == b)
        return 0;
    int r = platform::CompareNoCase1252(a, b);
    if (r == 0)
        r = platform::CompareBytes(a, b);
    return Order(r, 0);
}

int CompareTypeNumber(const TransactionSortKey& a, const TransactionSortKey& b) {
    if ((a.type.bytes[6] & kTypeNumberedBit) != 0 && (b.type.bytes[6] & kTypeNumberedBit) != 0)
        return Order(a.checkNumber, b.checkNumber);
    return RecordId::Compare(a.type, b.type);
}

int CompareCategory(const TransactionSortKey& a, const TransactionSortKey& b) {
    if (a.category == b.category)
        return 0;
    // Categorised first, then uncategorised, split transactions last.
    const auto group = [](const RecordId& id) {
        if (id == SplitMarkerId)
            return 2;
        return id.IsNull() ? 1 : 0;
    };
    const int ga = group(a.category);
    const int gb = group(b.category);
    if (ga != gb)
        return Order(ga, gb);
    if (ga != 0)
        return 0;
    return CompareTexts(a.categoryText, b.categoryText);
}

int CompareClass(const TransactionSortKey& a, const TransactionSortKey& b) {
    if (a.classId == b.classId)
        return 0;
    if (a.classId.IsNull() != b.classId.IsNull())
        return a.classId.IsNull() ? 1 : -1;
    return CompareTexts(a.classText, b.classText);
}

int CompareKey(Key key, const TransactionSortKey& a, const TransactionSortKey& b) {
    switch (key) {
        case kStatus:
            return Order(a.statusRank, b.statusRank);
        case kDate:
            return Order(a.date, b.date);
        case kTypeNumber:
            return CompareTypeNumber(a, b);
        case kPayee:
            return CompareTexts(a.payee, b.payee);
        case kAmount:
            return Order(a.amount, b.amount);
        case kCategory:
            return CompareCategory(a, b);
        case kClass:
            return CompareClass(a, b);
        case kMemo:
            return Order(platform::CompareNoCase1252(a.memo, b.memo), 0);
    }
    return 0;
}

// A text field of the record, up to its NUL or its last byte.
std::string_view FieldView(const CTransaction& t, std::size_t offset, std::size_t fieldSize) {
    const char* p = reinterpret_cast<const char*>(t.HeadBytes() + offset);
    return std::string_view(p, strnlen(p, fieldSize - 1));
}

// Offsets of the texts in the record layout.
constexpr std::size_t kPayeeOffset = 84;
constexpr std::size_t kMemoOffset = 118;

}  // namespace

bool SortModeUsesCategory(int mode) {
    const KeySequence& s = SequenceOf(mode);
    for (std::size_t i = 0; i < s.count; ++i) {
        if (s.keys[i] == kCategory)
            return true;
    }
    return false;
}

bool SortModeUsesClass(int mode) {
    const KeySequence& s = SequenceOf(mode);
    for (std::size_t i = 0; i < s.count; ++i) {
        if (s.keys[i] == kClass)
            return true;
    }
    return false;
}

int StatusRank(std::uint8_t status) {
    switch (status & kStatusMask) {
        case kStatusReconciled:
            return 0;
        case kStatusCleared:
            return 1;
        case kStatusOpen:
            return 2;
        default:
            return 3;
    }
}

TransactionSortKey MakeSortKey(const CTransaction& t) {
    TransactionSortKey k;
    k.statusRank = StatusRank(t.GetStatus());
    k.date = t.GetDate();
    k.type = t.GetTypeId();
    k.checkNumber = t.GetCheckNumber();
    k.amount = t.GetSignedAmount();
    k.category = t.GetCategoryId();
    k.classId = t.GetClassId();
    k.payee = FieldView(t, kPayeeOffset, kPayeeFieldSize);
    k.memo = FieldView(t, kMemoOffset, kMemoFieldSize);
    return k;
}

int CompareForSort(const TransactionSortKey& a, const TransactionSortKey& b, int mode,
                   bool ascending) {
    const KeySequence& s = SequenceOf(mode);
    for (std::size_t i = 0; i < s.count; ++i) {
        const int r = CompareKey(s.keys[i], a, b);
        if (r != 0)
            return ascending ? r : -r;
    }
    return 0;
}

}  // namespace tallowmere
