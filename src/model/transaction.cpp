#include "model/transaction.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "model/archive.h"
#include "model/byte_order.h"
#include "platform/record_pool.h"

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

bool AllZero(const std::uint8_t* p, std::size_t n) {
    return std::all_of(p, p + n, [](std::uint8_t b) { return b == 0; });
}

}  // namespace

void* CTransaction::Tail::operator new(std::size_t size) {
    return platform::RecordPool::AllocateRecord(size);
}

void CTransaction::Tail::operator delete(void* p) noexcept {
    platform::RecordPool::Free(p);
}

CTransaction::CTransaction(ForLoad) : head_{} {
    head_[65] = kNoSplitIndex;
}

CTransaction::CTransaction() : CTransaction(ForLoad{}) {
    RecordId id;
    NewRecordId(id);
    SetIdAt(0, id);
}

CTransaction::CTransaction(const TransactionRecord& templateRecord, PalmTime date) {
    std::memcpy(head_.data(), templateRecord.data(), kHeadSize);
    SetTail(templateRecord.data() + kHeadSize);
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
    : CObject(), recordNumber_(other.recordNumber_), head_(other.head_) {
    CopyTailFrom(other);
    attributes_ = static_cast<std::uint8_t>(other.attributes_ | kAttrModified);
}

void* CTransaction::operator new(std::size_t size) {
    return platform::RecordPool::AllocateRecord(size);
}

void CTransaction::operator delete(void* p) noexcept {
    platform::RecordPool::Free(p);
}

std::unique_ptr<CObject> CTransaction::CreateForRead() {
    return std::unique_ptr<CObject>(new CTransaction(ForRead{}));
}

CTransaction& CTransaction::operator=(const CTransaction& other) {
    CopyFrom(other);
    return *this;
}

void CTransaction::CopyFrom(const CTransaction& other) {
    if (&other != this) {
        head_ = other.head_;
        CopyTailFrom(other);
    }
    attributes_ |= kAttrModified;
}

void CTransaction::CopyTailFrom(const CTransaction& other) {
    SetTail(other.tail_ ? other.tail_->bytes.data() : nullptr);
}

// A tail only for bytes that are not all zero (nullptr reads as zero).
void CTransaction::SetTail(const std::uint8_t* bytes) {
    if (bytes == nullptr || AllZero(bytes, kTailSize)) {
        tail_.reset();
        return;
    }
    if (!tail_)
        tail_.reset(new Tail);
    std::memcpy(tail_->bytes.data(), bytes, kTailSize);
}

std::uint8_t* CTransaction::MutableLine(std::size_t line) {
    if (!tail_) {
        tail_.reset(new Tail);
        tail_->bytes.fill(0);
    }
    return &tail_->bytes[LineOffset(line)];
}

void CTransaction::SetRecord(const TransactionRecord& raw) {
    std::memcpy(head_.data(), raw.data(), kHeadSize);
    SetTail(raw.data() + kHeadSize);
    attributes_ |= kAttrModified;
}

void CTransaction::GetRecord(TransactionRecord& raw) const {
    std::memcpy(raw.data(), head_.data(), kHeadSize);
    if (tail_)
        std::memcpy(raw.data() + kHeadSize, tail_->bytes.data(), kTailSize);
    else
        std::memset(raw.data() + kHeadSize, 0, kTailSize);
}

TransactionRecord CTransaction::Record() const {
    TransactionRecord raw;
    GetRecord(raw);
    return raw;
}

bool CTransaction::IsSameRecord(const CTransaction& other) const {
    if (head_ != other.head_)
        return false;
    if (tail_ && other.tail_)
        return tail_->bytes == other.tail_->bytes;
    // A tail of zeros is the same as none.
    const Tail* one = tail_ ? tail_.get() : other.tail_.get();
    return one == nullptr || AllZero(one->bytes.data(), kTailSize);
}

void CTransaction::SetIdAt(std::size_t offset, const RecordId& id) {
    id.ToBytes(&head_[offset]);
    attributes_ |= kAttrModified;
}

std::string CTransaction::TextAt(std::size_t offset, std::size_t fieldSize) const {
    // Bounded by the field: a raw record need not hold a NUL.
    return std::string(TextViewAt(offset, fieldSize));
}

void CTransaction::SetTextAt(std::size_t offset, std::size_t fieldSize, std::string_view text) {
    // The whole field is cleared so no tail of an older, longer text survives.
    std::memset(&head_[offset], 0, fieldSize);
    text = text.substr(0, std::min(text.find('\0'), fieldSize - 1));
    if (!text.empty())
        std::memcpy(&head_[offset], text.data(), text.size());
    attributes_ |= kAttrModified;
}

PalmTime CTransaction::GetDate() const {
    return LoadLE32(&head_[8]);
}
void CTransaction::SetDate(PalmTime t) {
    StoreLE32(&head_[8], t);
    attributes_ |= kAttrModified;
}

Cents CTransaction::GetAmount() const {
    return static_cast<Cents>(LoadLE64(&head_[12]));
}
void CTransaction::SetAmount(Cents amount) {
    StoreLE64(&head_[12], static_cast<std::uint64_t>(amount));
    attributes_ |= kAttrModified;
}
Cents CTransaction::GetSignedAmount() const {
    Cents a = GetAmount();
    return IsOutflow() ? Negate(a) : a;
}

std::uint32_t CTransaction::GetCheckNumber() const {
    return LoadLE32(&head_[20]);
}
void CTransaction::SetCheckNumber(std::uint32_t n) {
    StoreLE32(&head_[20], n);
    attributes_ |= kAttrModified;
}

Cents CTransaction::GetBaseAmount() const {
    return static_cast<Cents>(LoadLE64(&head_[56]));
}
void CTransaction::SetBaseAmount(Cents amount) {
    StoreLE64(&head_[56], static_cast<std::uint64_t>(amount));
    attributes_ |= kAttrModified;
}

void CTransaction::SetStatus(std::uint8_t status) {
    head_[64] = status;
    attributes_ |= kAttrModified;
}
void CTransaction::SetSplitIndex(std::uint8_t index) {
    head_[65] = index;
    attributes_ |= kAttrModified;
}
void CTransaction::SetSourceCurrency(std::uint8_t currency) {
    head_[66] = currency;
    attributes_ |= kAttrModified;
}
void CTransaction::SetReviewState(std::uint8_t state) {
    head_[67] = state;
    attributes_ |= kAttrModified;
}

RecordId CTransaction::GetSplitCategoryId(std::size_t line) const {
    return line < kSplitLineCount && tail_ ? RecordId::FromBytes(LineBytes(line)) : kNoneId;
}
void CTransaction::SetSplitCategoryId(std::size_t line, const RecordId& id) {
    if (line < kSplitLineCount)
        SetLineId(line, 0, id);
}
RecordId CTransaction::GetSplitClassId(std::size_t line) const {
    return line < kSplitLineCount && tail_ ? RecordId::FromBytes(LineBytes(line) + 8) : kNoneId;
}
void CTransaction::SetSplitClassId(std::size_t line, const RecordId& id) {
    if (line < kSplitLineCount)
        SetLineId(line, 8, id);
}
Cents CTransaction::GetSplitAmount(std::size_t line) const {
    return line < kSplitLineCount && tail_ ? static_cast<Cents>(LoadLE64(LineBytes(line) + 16)) : 0;
}
void CTransaction::SetSplitAmount(std::size_t line, Cents amount) {
    if (line >= kSplitLineCount)
        return;
    attributes_ |= kAttrModified;
    if (amount != 0 || tail_)
        StoreLE64(MutableLine(line) + 16, static_cast<std::uint64_t>(amount));
}
RecordId CTransaction::GetSplitLinkedId(std::size_t line) const {
    return line < kSplitLineCount && tail_ ? RecordId::FromBytes(LineBytes(line) + 24) : kNoneId;
}
void CTransaction::SetSplitLinkedId(std::size_t line, const RecordId& id) {
    if (line < kSplitLineCount)
        SetLineId(line, 24, id);
}
std::string CTransaction::GetSplitMemo(std::size_t line) const {
    return std::string(SplitMemoView(line));
}
std::string_view CTransaction::SplitMemoView(std::size_t line) const {
    if (line >= kSplitLineCount || !tail_)
        return {};
    const char* p = reinterpret_cast<const char*>(LineBytes(line) + kSplitMemoOffset);
    return std::string_view(p, strnlen(p, kMemoFieldSize - 1));
}
void CTransaction::SetSplitMemo(std::size_t line, std::string_view text) {
    if (line >= kSplitLineCount)
        return;
    attributes_ |= kAttrModified;
    text = text.substr(0, std::min(text.find('\0'), kMemoFieldSize - 1));
    if (text.empty() && !tail_)
        return;
    // The whole field is cleared so no tail of an older, longer text survives.
    std::uint8_t* field = MutableLine(line) + kSplitMemoOffset;
    std::memset(field, 0, kMemoFieldSize);
    if (!text.empty())
        std::memcpy(field, text.data(), text.size());
}
void CTransaction::ClearSplitLine(std::size_t line) {
    if (line >= kSplitLineCount)
        return;
    if (tail_)
        std::memset(&tail_->bytes[LineOffset(line)], 0, kSplitLineSize);
    attributes_ |= kAttrModified;
}

// Writing zeros into a line needs no tail: without one, every line is zero.
void CTransaction::SetLineId(std::size_t line, std::size_t offset, const RecordId& id) {
    attributes_ |= kAttrModified;
    if (!id.IsNull() || tail_)
        id.ToBytes(MutableLine(line) + offset);
}

bool CTransaction::MatchesStatus(int kind) const {
    const std::uint8_t s = head_[64];
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
            return head_[67] == 1;
        default:
            return false;
    }
}

bool CTransaction::IsSplitTransferCopy() const {
    return !GetLinkedId().IsNull() && head_[65] != kNoSplitIndex;
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
        ar.WriteBytes(head_.data(), kHeadBytes);
        // The texts straight from their fields, no strings built.
        ar.WriteString(TextViewAt(84, kPayeeFieldSize));
        ar.WriteString(TextViewAt(118, kMemoFieldSize));
        ar.WriteString(TextViewAt(279, kOnlineIdFieldSize));
        if (!tail_) {
            // Ten empty lines: the raw bytes and an empty memo, all zero.
            static constexpr std::array<std::uint8_t, kSplitLineCount*(kSplitHeadBytes + 1)>
                kEmptyLines{};
            ar.WriteBytes(kEmptyLines.data(), kEmptyLines.size());
        } else {
            for (std::size_t line = 0; line < kSplitLineCount; ++line) {
                ar.WriteBytes(LineBytes(line), kSplitHeadBytes);
                ar.WriteString(SplitMemoView(line));
            }
        }
        ar.WriteInt32(0);
        return;
    }
    // Padding and reserved bytes are not in the file: they read as zero even
    // when this object held another record before, or none (the factory's).
    // Every other byte is written below (the texts zero-fill their whole
    // fields), so each byte of the record is set exactly once.
    head_[117] = 0;
    head_[535] = 0;
    recordNumber_ = ar.ReadInt32();
    attributes_ = ar.ReadByte();
    ar.ReadBytes(head_.data(), kHeadBytes);
    ar.ReadStringInto(reinterpret_cast<char*>(&head_[84]), kPayeeFieldSize);
    ar.ReadStringInto(reinterpret_cast<char*>(&head_[118]), kMemoFieldSize);
    ar.ReadStringInto(reinterpret_cast<char*>(&head_[279]), kOnlineIdFieldSize);
    // Most transactions have no split line: a tail is made at the first line
    // that holds anything.
    Tail* tail = nullptr;
    for (std::size_t line = 0; line < kSplitLineCount; ++line) {
        std::uint8_t raw[kSplitHeadBytes];
        ar.ReadBytes(raw, sizeof raw);
        const bool noMemo = ar.SkipEmptyString();
        if (tail == nullptr) {
            if (noMemo && AllZero(raw, sizeof raw))
                continue;
            if (!tail_)
                tail_.reset(new Tail);
            tail = tail_.get();
            std::memset(tail->bytes.data(), 0, LineOffset(line));
        }
        std::uint8_t* p = &tail->bytes[LineOffset(line)];
        std::memcpy(p, raw, sizeof raw);
        char* memo = reinterpret_cast<char*>(p + kSplitMemoOffset);
        if (noMemo)
            std::memset(memo, 0, kMemoFieldSize);
        else
            ar.ReadStringInto(memo, kMemoFieldSize);
        p[kSplitLineSize - 1] = 0;
    }
    if (tail == nullptr) {
        tail_.reset();
    } else {
        std::memset(&tail->bytes[LineOffset(kSplitLineCount)], 0,
                    kTailSize - LineOffset(kSplitLineCount));
    }
    ar.ReadInt32();
}

static_assert(kSplitLineCount * kSplitLineSize + CTransaction::kHeadSize + 40 ==
              kTransactionRecordSize);

}  // namespace tallowmere
