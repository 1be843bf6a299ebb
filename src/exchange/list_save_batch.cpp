#include "exchange/list_save_batch.h"

namespace tallowmere::exchange {
namespace {

void Hold(CPalmFileList* list, std::size_t& count, bool& wasHeld) {
    count = list->GetCount(true);
    wasHeld = list->SavesHeld();
    list->HoldSaves(true);
}

}  // namespace

ListSaveBatch::ListSaveBatch(CAccounts* accounts) {
    if (!accounts)
        return;
    categories_.list = &accounts->Categories();
    classes_.list = &accounts->Classes();
    for (Held* h : {&categories_, &classes_})
        Hold(h->list, h->count, h->wasHeld);
}

ListSaveBatch::~ListSaveBatch() {
    Finish();
}

int ListSaveBatch::Finish() {
    if (finished_)
        return 0;
    finished_ = true;
    int first = 0;
    for (Held* h : {&categories_, &classes_}) {
        if (!h->list)
            continue;
        h->list->HoldSaves(h->wasHeld);
        // Made items are the only changes an import makes to these lists.
        if (h->list->GetCount(true) != h->count) {
            const int r = h->list->Save();
            if (r != 0 && first == 0)
                first = r;
        }
    }
    return first;
}

}  // namespace tallowmere::exchange
