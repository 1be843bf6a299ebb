#pragma once
// One register entry: a fixed 2516-byte record with every field of the entry,
// ten split lines inline, so whole records copy and compare as bytes. The
// layout (padding and reserved bytes included) is a file format.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "model/money.h"
#include "model/object.h"
#include "model/palm_time.h"
#include "model/record_id.h"

namespace tallowmere {

inline constexpr std::size_t kTransactionRecordSize = 2516;
inline constexpr std::size_t kSplitLineCount = 10;
inline constexpr std::size_t kSplitLineSize = 194;
inline constexpr std::uint8_t kNoSplitIndex = 0xFF;

// Field widths, terminating NUL included.
inline constexpr std::size_t kPayeeFieldSize = 33;
inline constexpr std::size_t kMemoFieldSize = 161;
inline constexpr std::size_t kOnlineIdFieldSize = 256;

// Attribute bits shared by every record.
inline constexpr std::uint8_t kAttrDeleted = 0x80;
inline constexpr std::uint8_t kAttrModified = 0x40;

// Status byte, bits 6-7.
inline constexpr std::uint8_t kStatusMask = 0xC0;
inline constexpr std::uint8_t kStatusOpen = 0x00;
inline constexpr std::uint8_t kStatusCleared = 0x40;
inline constexpr std::uint8_t kStatusReconciled = 0x80;
inline constexpr std::uint8_t kStatusVoid = 0xC0;
inline constexpr std::uint8_t kStatusMarked = 0x01;

// Flag bits of byte 6 of a transaction type id.
inline constexpr std::uint8_t kTypeOutflowBit = 0x80;
inline constexpr std::uint8_t kTypeNumberedBit = 0x40;

using TransactionRecord = std::array<std::uint8_t, kTransactionRecordSize>;

class CTransaction : public CObject {
  public:
    struct ForLoad {};

    // Record all zero, split index none, a new own id, attribute modified.
    CTransaction();
    // For the class factory while reading a file: makes no id.
    explicit CTransaction(ForLoad);
    // An occurrence of a scheduled template record on date: a new own id, the
    // date with the current time of day, and nothing that ties it to another
    // record (links, split index, match, online id, review state cleared).
    CTransaction(const TransactionRecord& templateRecord, PalmTime date);

    CTransaction(const CTransaction& other);
    CTransaction& operator=(const CTransaction& other);

    // Records come from the record pool current on this thread (a data
    // set's, while it loads), otherwise from the heap; either goes back
    // where it came from, whichever register holds it by then.
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;

    // For the class factory of the object stream: the record is left unset,
    // for Serialize to fill every byte of it once.
    static std::unique_ptr<CObject> CreateForRead();

    // Copies the other's record (own id included) and sets modified.
    void CopyFrom(const CTransaction& other);

    std::string_view GetClassName() const override { return "CTransaction"; }
    void Serialize(CArchive& ar) override;

    std::int32_t GetRecordNumber() const { return recordNumber_; }
    void SetRecordNumber(std::int32_t n) { recordNumber_ = n; }
    std::uint8_t GetAttributes() const { return attributes_; }
    void SetAttributes(std::uint8_t a) { attributes_ = a; }
    bool IsDeleted() const { return (attributes_ & kAttrDeleted) != 0; }
    bool IsModified() const { return (attributes_ & kAttrModified) != 0; }

    void SetRecord(const TransactionRecord& raw);
    void GetRecord(TransactionRecord& raw) const;
    // A copy of the whole record (the split lines are kept apart in memory).
    TransactionRecord Record() const;
    // The record's first kHeadSize bytes in place: every field but the split
    // lines and the reserved bytes after them.
    const std::uint8_t* HeadBytes() const { return head_.data(); }
    bool IsSameRecord(const CTransaction& other) const;

    // Fields.
    RecordId GetId() const { return IdAt(0); }
    void SetId(const RecordId& id) { SetIdAt(0, id); }
    PalmTime GetDate() const;
    void SetDate(PalmTime t);
    // The stored magnitude; its direction comes from the transaction type.
    Cents GetAmount() const;
    void SetAmount(Cents amount);
    // The amount as it counts toward a balance: negated for an outflow type.
    Cents GetSignedAmount() const;
    std::uint32_t GetCheckNumber() const;
    void SetCheckNumber(std::uint32_t n);
    RecordId GetCategoryId() const { return IdAt(24); }
    void SetCategoryId(const RecordId& id) { SetIdAt(24, id); }
    RecordId GetClassId() const { return IdAt(32); }
    void SetClassId(const RecordId& id) { SetIdAt(32, id); }
    RecordId GetLinkedId() const { return IdAt(40); }
    void SetLinkedId(const RecordId& id) { SetIdAt(40, id); }
    RecordId GetTypeId() const { return IdAt(48); }
    void SetTypeId(const RecordId& id) { SetIdAt(48, id); }
    bool IsOutflow() const { return (head_[54] & kTypeOutflowBit) != 0; }
    Cents GetBaseAmount() const;
    void SetBaseAmount(Cents amount);
    std::uint8_t GetStatus() const { return head_[64]; }
    void SetStatus(std::uint8_t status);
    std::uint8_t GetSplitIndex() const { return head_[65]; }
    void SetSplitIndex(std::uint8_t index);
    // Only 0-9 address a split line; anything else read from a file does not.
    bool HasValidSplitIndex() const { return head_[65] < kSplitLineCount; }
    std::uint8_t GetSourceCurrency() const { return head_[66]; }
    void SetSourceCurrency(std::uint8_t currency);
    std::uint8_t GetReviewState() const { return head_[67]; }
    void SetReviewState(std::uint8_t state);
    RecordId GetMatchId() const { return IdAt(68); }
    void SetMatchId(const RecordId& id) { SetIdAt(68, id); }
    RecordId GetPayeeLookupId() const { return IdAt(76); }
    void SetPayeeLookupId(const RecordId& id) { SetIdAt(76, id); }
    std::string GetPayeeName() const { return TextAt(84, kPayeeFieldSize); }
    void SetPayeeName(std::string_view text) { SetTextAt(84, kPayeeFieldSize, text); }
    std::string GetMemo() const { return TextAt(118, kMemoFieldSize); }
    void SetMemo(std::string_view text) { SetTextAt(118, kMemoFieldSize, text); }
    std::string GetOnlineId() const { return TextAt(279, kOnlineIdFieldSize); }
    // True when the online id is exactly text (compared in place, no scan of
    // the whole field).
    bool OnlineIdEquals(std::string_view text) const {
        if (text.size() >= kOnlineIdFieldSize)
            return false;
        return std::memcmp(&head_[279], text.data(), text.size()) == 0 &&
               head_[279 + text.size()] == 0;
    }
    // The same text in place, for look-ups that must not allocate.
    std::string_view OnlineIdView() const {
        const char* p = reinterpret_cast<const char*>(&head_[279]);
        return std::string_view(p, strnlen(p, kOnlineIdFieldSize - 1));
    }
    void SetOnlineId(std::string_view text) { SetTextAt(279, kOnlineIdFieldSize, text); }

    // Split lines 0-9 (index checked by the caller; out of range is ignored
    // by setters and reads as an empty line).
    RecordId GetSplitCategoryId(std::size_t line) const;
    void SetSplitCategoryId(std::size_t line, const RecordId& id);
    RecordId GetSplitClassId(std::size_t line) const;
    void SetSplitClassId(std::size_t line, const RecordId& id);
    Cents GetSplitAmount(std::size_t line) const;
    void SetSplitAmount(std::size_t line, Cents amount);
    RecordId GetSplitLinkedId(std::size_t line) const;
    void SetSplitLinkedId(std::size_t line, const RecordId& id);
    std::string GetSplitMemo(std::size_t line) const;
    // The same text in place.
    std::string_view SplitMemoView(std::size_t line) const;
    void SetSplitMemo(std::size_t line, std::string_view text);
    // Clears every field of one line.
    void ClearSplitLine(std::size_t line);

    // Status filter: 0 all, 1 reconciled, 2 open or cleared, 3 cleared or
    // reconciled, 4 open or void, 5 waiting for review; other kinds never match.
    bool MatchesStatus(int kind) const;
    // Made from a split line of another transaction (the register refuses to
    // edit such a copy on its own).
    bool IsSplitTransferCopy() const;
    // Sum of the split line amounts whose category (class) is id, each negated
    // for an outflow type.
    Cents SumSplitsByCategory(const RecordId& id) const;
    Cents SumSplitsByClass(const RecordId& id) const;

    // Bytes of the record kept inline; the rest (split lines, then the
    // reserved bytes) lives apart, and only when any of it is set: it is
    // three quarters of the record and used by one transaction in ten.
    static constexpr std::size_t kHeadSize = 536;
    static constexpr std::size_t kTailSize = kTransactionRecordSize - kHeadSize;

  private:
    struct ForRead {};
    explicit CTransaction(ForRead) {}

    struct Tail {
        std::array<std::uint8_t, kTailSize> bytes;
        static void* operator new(std::size_t size);
        static void operator delete(void* p) noexcept;
    };

    static std::size_t LineOffset(std::size_t line) { return kSplitLineSize * line; }
    // The line's bytes in the tail; nullptr when there is no tail (the line
    // is all zero).
    const std::uint8_t* LineBytes(std::size_t line) const {
        return tail_ ? &tail_->bytes[LineOffset(line)] : nullptr;
    }
    // The line's bytes, making a zeroed tail first when there is none.
    std::uint8_t* MutableLine(std::size_t line);
    void SetTail(const std::uint8_t* bytes);
    void SetLineId(std::size_t line, std::size_t offset, const RecordId& id);
    void CopyTailFrom(const CTransaction& other);

    RecordId IdAt(std::size_t offset) const { return RecordId::FromBytes(&head_[offset]); }
    void SetIdAt(std::size_t offset, const RecordId& id);
    std::string TextAt(std::size_t offset, std::size_t fieldSize) const;
    void SetTextAt(std::size_t offset, std::size_t fieldSize, std::string_view text);
    // A text field of the head in place, up to its NUL or its last byte.
    std::string_view TextViewAt(std::size_t offset, std::size_t fieldSize) const {
        const char* p = reinterpret_cast<const char*>(&head_[offset]);
        return std::string_view(p, strnlen(p, fieldSize - 1));
    }

    std::int32_t recordNumber_ = 0;
    std::uint8_t attributes_ = kAttrModified;
    // Set by every constructor but the factory's, whose Serialize fills it.
    std::array<std::uint8_t, kHeadSize> head_;
    std::unique_ptr<Tail> tail_;
};

// The sizes a pool of transactions serves: the records and their split lines.
inline constexpr std::array<std::size_t, 2> kTransactionPoolSizes = {sizeof(CTransaction),
                                                                     CTransaction::kTailSize};

}  // namespace tallowmere
