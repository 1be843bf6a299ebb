#pragma once
// The view's statement download: the bank's details, profile and the
// account's statement under a progress window ("Downloading transaction
// data...") that is closed on every path; Cancel ends the exchange.
#include <string>
#include <vector>

class QWidget;

namespace tallowmere {
class CAccount;
class CFiItem;
class CTransaction;
}  // namespace tallowmere

namespace tallowmere::ui {

// CFiItem::DownloadStatement's result (failures were shown). The bank
// keeps no pointer to the window afterwards.
int RunDownloadStatement(QWidget* owner, CFiItem& bank, CAccount& account,
                         const std::string& password, std::vector<CTransaction*>* collection);

}  // namespace tallowmere::ui
