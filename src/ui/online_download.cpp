#include "ui/online_download.h"

#include "exchange/fi_list.h"
#include "ui/online_progress_dlg.h"

namespace tallowmere::ui {

int RunDownloadStatement(QWidget* owner, CFiItem& bank, CAccount& account,
                         const std::string& password, std::vector<CTransaction*>* collection) {
    const std::unique_ptr<MOnlineProgressWindow> progress =
        OpenOnlineProgress(owner, kStrDownloadingTransactions);
    const int result = bank.DownloadStatement(progress.get(), account, password, collection);
    bank.SetProgressWindow(nullptr);
    return result;
}

}  // namespace tallowmere::ui
