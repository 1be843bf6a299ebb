#pragma once
// The transfer mirrors that one import has made. Files that hold several
// accounts list each transfer in both: the second account's copy finds the
// mirror that the first one made, so the transfer is booked once.
#include <cstddef>
#include <deque>
#include <functional>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "model/money.h"
#include "model/palm_time.h"

namespace tallowmere {

class CAccount;
class CTransaction;

class ImportMirrors {
  public:
    // The pointers are valid for the one import: the registers are not
    // touched in between but by the import.
    struct Made {
        CAccount* account;  // holds the mirror
        CTransaction* mirror;
        CAccount* origin;  // holds the transaction it mirrors
        CTransaction* original;
        bool used = false;
    };

    // In the order made.
    void Add(const Made& made);
    // The oldest unused mirror in account made from other's records for a
    // copy of the same transfer: on date's day, with that effect (signed
    // amount) on account. wholeOnly leaves out mirrors of split lines.
    // Stays valid while this object lives.
    Made* Find(const CAccount& account, const CAccount& other, PalmTime date, Cents effect,
               bool wholeOnly);

    // Records that found their mirror and so added nothing.
    std::size_t Matched() const { return matched_; }
    void NoteMatched() { ++matched_; }

  private:
    using Key = std::tuple<const CAccount*, const CAccount*, PalmTime>;
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            const std::hash<const void*> pointer;
            return pointer(std::get<0>(k)) ^ (pointer(std::get<1>(k)) << 1) ^
                   (std::hash<PalmTime>()(std::get<2>(k)) << 2);
        }
    };

    std::deque<Made> made_;
    // Indices into made_ by account, origin and day.
    std::unordered_map<Key, std::vector<std::size_t>, KeyHash> byDay_;
    std::size_t matched_ = 0;
};

}  // namespace tallowmere
