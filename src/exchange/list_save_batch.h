#pragma once
// An import may make hundreds of categories and classes; each would save its
// whole list file (with a sync to disk) at once. While a batch lives the two
// lists hold their saves, and Finish writes each changed list once.
#include <cstddef>

#include "model/accounts.h"

namespace tallowmere::exchange {

class ListSaveBatch {
  public:
    // accounts may be null (nothing to hold).
    explicit ListSaveBatch(CAccounts* accounts);
    ~ListSaveBatch();
    ListSaveBatch(const ListSaveBatch&) = delete;
    ListSaveBatch& operator=(const ListSaveBatch&) = delete;

    // Releases the lists and saves those that gained items: 0 or the first
    // error (the list reports it itself). Later calls do nothing.
    int Finish();

  private:
    struct Held {
        CPalmFileList* list = nullptr;
        std::size_t count = 0;
        bool wasHeld = false;
    };
    Held categories_;
    Held classes_;
    bool finished_ = false;
};

}  // namespace tallowmere::exchange
