#pragma once
// The column set of one list page: which columns it shows, in which order and
// how wide. Stored as a 96-byte little-endian record:
//   0   i32   count of entries in use (0..15)
//   4+6i u16  entry i: column id
//   6+6i u16  entry i: width in pixels, 0xFFFF = the rest of the list's width
//   8+6i u8   entry i: visible 1 / hidden 0
//   9+6i u8   entry i: reserved
//   94  u16   reserved
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "model/object.h"

namespace tallowmere {

struct ShowColumnEntry {
    std::uint16_t id = 0;
    std::uint16_t width = 0;
    std::uint8_t visible = 0;
    std::uint8_t reserved = 0;
};

inline constexpr std::uint16_t kColumnWidthRest = 0xFFFF;
inline constexpr std::uint16_t kMinColumnWidth = 24;

// The pages' default sets (all visible).
inline constexpr std::array<ShowColumnEntry, 10> kRegisterColumns = {{{0, 26, 1, 0},
                                                                      {1, 26, 1, 0},
                                                                      {2, 60, 1, 0},
                                                                      {3, 60, 1, 0},
                                                                      {4, 200, 1, 0},
                                                                      {5, 100, 1, 0},
                                                                      {6, 80, 1, 0},
                                                                      {7, 100, 1, 0},
                                                                      {8, 85, 1, 0},
                                                                      {9, 85, 1, 0}}};
inline constexpr std::array<ShowColumnEntry, 7> kReconcileColumns = {{{0, 26, 1, 0},
                                                                      {2, 90, 1, 0},
                                                                      {3, 90, 1, 0},
                                                                      {4, kColumnWidthRest, 1, 0},
                                                                      {5, 150, 1, 0},
                                                                      {7, 150, 1, 0},
                                                                      {8, 100, 1, 0}}};
inline constexpr std::array<ShowColumnEntry, 3> kReportColumns = {
    {{20, 26, 1, 0}, {21, kColumnWidthRest, 1, 0}, {23, 100, 1, 0}}};
inline constexpr std::array<ShowColumnEntry, 5> kBudgetColumns = {{{20, 26, 1, 0},
                                                                   {21, kColumnWidthRest, 1, 0},
                                                                   {22, 100, 1, 0},
                                                                   {23, 100, 1, 0},
                                                                   {24, 100, 1, 0}}};

class CShowColumns : public CObject {
  public:
    static constexpr int kMaxColumns = 15;
    static constexpr std::size_t kRecordSize = 96;
    using Record = std::array<std::uint8_t, kRecordSize>;

    // All 15 entries id = index, width 50, visible; count (kept to 0..15) in use.
    explicit CShowColumns(int count);
    // The first entries from defaults (at most 15), as many in use; the rest zero.
    explicit CShowColumns(std::span<const ShowColumnEntry> defaults);

    std::string_view GetClassName() const override { return "CShowColumns"; }
    // Writes or reads the 96-byte record; a read record whose count is not
    // 0..15 throws ArchiveError and leaves the set unchanged.
    void Serialize(CArchive& ar) override;

    int GetCount() const { return count_; }
    // The first index below the count with this id, or -1.
    int IndexOfId(std::uint16_t id) const;
    // Index arguments outside 0..14 read as zero and change nothing.
    std::uint16_t GetId(int index) const;
    std::uint16_t GetWidth(int index) const;
    // Stores the width, raised to kMinColumnWidth when below it.
    void SetWidth(int index, std::uint16_t width);
    bool IsVisible(int index) const;
    void SetVisible(int index, bool visible);

    Record ToRecord() const;
    // Takes a record of exactly 96 bytes whose count is 0..15; false (and the
    // set unchanged) for anything else.
    bool FromRecord(std::span<const std::uint8_t> bytes);

  private:
    static bool InRange(int index) { return index >= 0 && index < kMaxColumns; }

    std::int32_t count_ = 0;
    std::array<ShowColumnEntry, kMaxColumns> entries_{};
    std::uint16_t reserved_ = 0;
};

}  // namespace tallowmere
