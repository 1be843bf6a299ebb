#include "model/import_mirrors.h"

#include "model/transaction.h"

namespace tallowmere {

void ImportMirrors::Add(const Made& made) {
    const Key key{made.account, made.origin, made.mirror->GetDate() / kSecondsPerDay};
    byDay_[key].push_back(made_.size());
    made_.push_back(made);
}

ImportMirrors::Made* ImportMirrors::Find(const CAccount& account, const CAccount& other,
                                         PalmTime date, Cents effect, bool wholeOnly) {
    const auto found = byDay_.find(Key{&account, &other, date / kSecondsPerDay});
    if (found == byDay_.end())
        return nullptr;
    for (const std::size_t i : found->second) {
        Made& m = made_[i];
        if (!m.used && m.mirror->GetSignedAmount() == effect &&
            (!wholeOnly || !m.mirror->IsSplitTransferCopy()))
            return &m;
    }
    return nullptr;
}

}  // namespace tallowmere
