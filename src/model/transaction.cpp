#include "model/transaction.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "model/archive.h"
#include "model/byte_order.h"

namespace tallowmere {
namespace {

// Bytes of the record written raw before the three texts, and of each split
// line before its memo.
constexpr std::size_t kHeadBytes = 84;
constexpr std::size_t kSplitHeadBytes = 32;
constexpr std::size_t kSplitMemoOffset = 32;

// Negation that stays defined for the most negative value (a magnitude read
// from a file is not trusted to be in range).
Cents Negate(Cents v) {
    return static_cast<Cents>(0 - static_cast<std::uint64_t>(v));
}

}  // namespace

CTransaction::CTransaction(ForLoad) {
    record_[65] = kNoSplitIndex;
}

CTransaction::CTransaction() : CTransaction(ForLoad{}) {
    RecordId id;
    NewRecordId(id);
    SetIdAt(0, id);
}

CTransaction::CTransaction(const TransactionRecord& templateRecord, PalmTime date)
    : record_(templateRecord) {
    RecordId id;
    NewRecordId(id);
    SetIdAt(0, id);
    SetDate(CombineDateWithNow(date));
    // A template made elsewhere may carry another record's links or a bank's
    // id; an occurrence must not inherit them.
    SetLinkedId(kNoneId);
    SetSplitIndex(kNoSplitIndex);
    SetMatchId(kNoneId);
    SetOnlineId({});
    SetReviewState(0);
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        SetSplitLinkedId(line, kNoneId);
    }
    attributes_ = kAttrModified;
}

CTransaction::CTransaction(const CTransaction& other)
    : CObject(), recordNumber_(other.recordNumber_), record_(other.record_) {
    attributes_ = static_cast<std::uint8_t>(other.attributes_ | kAttrModified);
}

CTransaction& CTransaction::operator=(const CTransaction& other) {
    CopyFrom(other);
    return *this;
}

void CTransaction::CopyFrom(const CTransaction& other) {
    record_ = other.record_;
    attributes_ |= kAttrModified;
}

void CTransaction::SetRecord(const TransactionRecord& raw) {
    record_ = raw;
    attributes_ |= kAttrModified;
}

void CTransaction::SetIdAt(std::size_t offset, const RecordId& id) {
    id.ToBytes(&record_[offset]);
    attributes_ |= kAttrModified;
}

std::string CTransaction::TextAt(std::size_t offset, std::size_t fieldSize) const {
    // Bounded by the field: a raw record need not hold a NUL.
    const char* p = reinterpret_cast<const char*>(&record_[offset]);
    return std::string(p, strnlen(p, fieldSize - 1));
}

void CTransaction::SetTextAt(std::size_t offset, std::size_t fieldSize, std::string_view text) {
    // The whole field is cleared so no tail of an older, longer text survives.
    std::memset(&record_[offset], 0, fieldSize);
    text = text.substr(0, std::min(text.find('\0'), fieldSize - 1));
    if (!text.empty())
        std::memcpy(&record_[offset], text.data(), text.size());
    attributes_ |= kAttrModified;
}

PalmTime CTransaction::GetDate() const {
    return LoadLE32(&record_[8]);
}
void CTransaction::SetDate(PalmTime t) {
    StoreLE32(&record_[8], t);
    attributes_ |= kAttrModified;
}

Cents CTransaction::GetAmount() const {
    return static_cast<Cents>(LoadLE64(&record_[12]));
}
void CTransaction::SetAmount(Cents amount) {
    StoreLE64(&record_[12], static_cast<std::uint64_t>(amount));
    attributes_ |= kAttrModified;
}
Cents CTransaction::GetSignedAmount() const {
    Cents a = GetAmount();
    return IsOutflow() ? Negate(a) : a;
}

std::uint32_t CTransaction::GetCheckNumber() const {
    return LoadLE32(&record_[20]);
}
void CTransaction::SetCheckNumber(std::uint32_t n) {
    StoreLE32(&record_[20], n);
    attributes_ |= kAttrModified;
}

Cents CTransaction::GetBaseAmount() const {
    return static_cast<Cents>(LoadLE64(&record_[56]));
}
void CTransaction::SetBaseAmount(Cents amount) {
    StoreLE64(&record_[56], static_cast<std::uint64_t>(amount));
    attributes_ |= kAttrModified;
}

void CTransaction::SetStatus(std::uint8_t status) {
    record_[64] = status;
    attributes_ |= kAttrModified;
}
void CTransaction::SetSplitIndex(std::uint8_t index) {
    record_[65] = index;
    attributes_ |= kAttrModified;
}
void CTransaction::SetSourceCurrency(std::uint8_t currency) {
    record_[66] = currency;
    attributes_ |= kAttrModified;
}
void CTransaction::SetReviewState(std::uint8_t state) {
    record_[67] = state;
    attributes_ |= kAttrModified;
}

RecordId CTransaction::GetSplitCategoryId(std::size_t line) const {
    return line < kSplitLineCount ? IdAt(SplitOffset(line)) : kNoneId;
}
void CTransaction::SetSplitCategoryId(std::size_t line, const RecordId& id) {
    if (line < kSplitLineCount)
        SetIdAt(SplitOffset(line), id);
}
RecordId CTransaction::GetSplitClassId(std::size_t line) const {
    return line < kSplitLineCount ? IdAt(SplitOffset(line) + 8) : kNoneId;
}
void CTransaction::SetSplitClassId(std::size_t line, const RecordId& id) {
    if (line < kSplitLineCount)
        SetIdAt(SplitOffset(line) + 8, id);
}
Cents CTransaction::GetSplitAmount(std::size_t line) const {
    return line < kSplitLineCount ? static_cast<Cents>(LoadLE64(&record_[SplitOffset(line) + 16]))
                                  : 0;
}
void CTransaction::SetSplitAmount(std::size_t line, Cents amount) {
    if (line >= kSplitLineCount)
        return;
    StoreLE64(&record_[SplitOffset(line) + 16], static_cast<std::uint64_t>(amount));
    attributes_ |= kAttrModified;
}
RecordId CTransaction::GetSplitLinkedId(std::size_t line) const {
    return line < kSplitLineCount ? IdAt(SplitOffset(line) + 24) : kNoneId;
}
void CTransaction::SetSplitLinkedId(std::size_t line, const RecordId& id) {
    if (line < kSplitLineCount)
        SetIdAt(SplitOffset(line) + 24, id);
}
std::string CTransaction::GetSplitMemo(std::size_t line) const {
    return line < kSplitLineCount ? TextAt(SplitOffset(line) + kSplitMemoOffset, kMemoFieldSize)
                                  : std::string{};
}
void CTransaction::SetSplitMemo(std::size_t line, std::string_view text) {
    if (line < kSplitLineCount)
        SetTextAt(SplitOffset(line) + kSplitMemoOffset, kMemoFieldSize, text);
}
void CTransaction::ClearSplitLine(std::size_t line) {
    if (line >= kSplitLineCount)
        return;
    std::memset(&record_[SplitOffset(line)], 0, kSplitLineSize);
    attributes_ |= kAttrModified;
}

bool CTransaction::MatchesStatus(int kind) const {
    const std::uint8_t s = record_[64];
    switch (kind) {
        case 0:
            return true;
        case 1:
            return s >= 0x80 && s <= 0xBF;
        case 2:
            return s <= 0x7F;
        case 3:
            return s >= 0x40 && s <= 0xBF;
        case 4:
            return s <= 0x3F || s >= 0xC0;
        case 5:
            return record_[67] == 1;
        default:
            return false;
    }
}

bool CTransaction::IsSplitTransferCopy() const {
    return !GetLinkedId().IsNull() && record_[65] != kNoSplitIndex;
}

Cents CTransaction::SumSplitsByCategory(const RecordId& id) const {
    Cents sum = 0;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        if (GetSplitCategoryId(line) == id) {
            sum = SaturatingAdd(sum,
                                IsOutflow() ? Negate(GetSplitAmount(line)) : GetSplitAmount(line));
        }
    }
    return sum;
}

Cents CTransaction::SumSplitsByClass(const RecordId& id) const {
    Cents sum = 0;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        if (GetSplitClassId(line) == id) {
            sum = SaturatingAdd(sum,
                                IsOutflow() ? Negate(GetSplitAmount(line)) : GetSplitAmount(line));
        }
    }
    return sum;
}

void CTransaction::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteInt32(recordNumber_);
        ar.WriteByte(attributes_);
        ar.WriteBytes(record_.data(), kHeadBytes);
        ar.WriteString(GetPayeeName());
        ar.WriteString(GetMemo());
        ar.WriteString(GetOnlineId());
        for (std::size_t line = 0; line < kSplitLineCount; ++line) {
            ar.WriteBytes(&record_[SplitOffset(line)], kSplitHeadBytes);
            ar.WriteString(GetSplitMemo(line));
        }
        ar.WriteInt32(0);
        return;
    }
    // Padding and reserved bytes are not in the file: they read as zero even
    // when this object held another record before. Every other byte is
    // overwritten below (the texts zero-fill their whole fields).
    record_[117] = 0;
    record_[535] = 0;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        record_[SplitOffset(line) + kSplitLineSize - 1] = 0;
    }
    std::memset(&record_[kSplitBase + kSplitLineCount * kSplitLineSize], 0,
                kTransactionRecordSize - (kSplitBase + kSplitLineCount * kSplitLineSize));
    recordNumber_ = ar.ReadInt32();
    attributes_ = ar.ReadByte();
    ar.ReadBytes(record_.data(), kHeadBytes);
    ar.ReadStringInto(reinterpret_cast<char*>(&record_[84]), kPayeeFieldSize);
    ar.ReadStringInto(reinterpret_cast<char*>(&record_[118]), kMemoFieldSize);
    ar.ReadStringInto(reinterpret_cast<char*>(&record_[279]), kOnlineIdFieldSize);
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        ar.ReadBytes(&record_[SplitOffset(line)], kSplitHeadBytes);
        ar.ReadStringInto(reinterpret_cast<char*>(&record_[SplitOffset(line) + kSplitMemoOffset]),
                          kMemoFieldSize);
    }
    ar.ReadInt32();
}

static_assert(kSplitLineCount * kSplitLineSize + 536 + 40 == kTransactionRecordSize);

}  // namespace tallowmere
