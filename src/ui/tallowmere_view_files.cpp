// Files in and out of the view: files dropped on it, the import commands
// and the export commands. The importers say their own failures; the view
// saves the account an import filled and says a failed save.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "exchange/csv_exporter.h"
#include "exchange/csv_importer.h"
#include "exchange/ofx_importer.h"
#include "exchange/qif_exporter.h"
#include "exchange/qif_importer.h"
#include "model/preferences.h"
#include "model/string_table.h"
#include "ui/export_dlg.h"
#include "ui/logic/export_range_logic.h"
#include "ui/register_list_ctrl.h"
#include "ui/select_import_account_dlg.h"
#include "ui/shell_utils.h"
#include "ui/tallowmere_view.h"
#include "ui/ui_services.h"
#include "ui/ui_text.h"
#include "ui/work_progress_wnd.h"

namespace tallowmere::ui {
namespace {

std::unique_ptr<exchange::CImporter> MakeImporter(ImportKind kind) {
    switch (kind) {
        case ImportKind::kCsv:
            return std::make_unique<exchange::CCSVImporter>();
        case ImportKind::kQif:
            return std::make_unique<exchange::CQIFImporter>();
        case ImportKind::kOfx:
            return std::make_unique<exchange::COFXImporter>();
        case ImportKind::kNone:
            break;
    }
    return nullptr;
}

bool IsRegularFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

}  // namespace

void CTallowmereView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CTallowmereView::dropEvent(QDropEvent* event) {
    // Only files of this machine; their names as the file system has them.
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            continue;
        const QByteArray name = QFile::encodeName(url.toLocalFile());
        paths.emplace_back(name.constData(), static_cast<std::size_t>(name.size()));
    }
    event->acceptProposedAction();
    // The import runs dialogs: not while the drag source waits for the drop.
    if (!paths.empty())
        QTimer::singleShot(0, this, [this, paths] { ImportDroppedFiles(paths); });
}

void CTallowmereView::ImportDroppedFiles(const std::vector<std::string>& paths) {
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    ServiceMessages messages(this);
    for (const std::string& path : paths) {
        const ImportKind kind = IsRegularFile(path) ? ImportKindOfFile(path) : ImportKind::kNone;
        switch (kind) {
            case ImportKind::kCsv:
            case ImportKind::kOfx:
                ImportFile(kind, path, current_);
                break;
            case ImportKind::kQif:
                ImportFile(kind, path, nullptr);
                break;
            case ImportKind::kNone:
                messages.Show(StringMessage(kStringNotTallowmereFile));
                break;
        }
    }
}

void CTallowmereView::ImportFile(ImportKind kind, const std::string& path, CAccount* target) {
    std::unique_ptr<exchange::CImporter> importer = MakeImporter(kind);
    if (!importer)
        return;
    importer->SetAccounts(data_.get());
    importer->SetDateLayout(static_cast<int>(GetPrefImportExportDateFormat()));
    importer->SetNumberFormat(static_cast<int>(GetPrefImportExportNumberFormat()));
    CSelectImportAccountDlg chooser([this] { RefreshAccountsPane(); }, this);
    importer->SetTargetChooser(&chooser);
    if (target == nullptr) {
        if (importer->NamesOwnAccounts(path)) {
            target = current_;
        } else {
            importer->SetDefaultAccountName(path);
            target = chooser.ChooseImportAccount(*data_, importer->GetAccountName());
            if (target == nullptr)
                return;
        }
    }
    importer->SetTargetAccount(target);
    {
        CWorkProgressWnd progress(this, Text(kStringImportTitle), QFile::decodeName(path.c_str()));
        importer->SetProgress(progress.Callback());
        // Failures of the file were said by the importer.
        importer->Import(path);
        importer->SetProgress({});
    }
    if (CAccount* filled = importer->GetTargetAccount()) {
        const int code = filled->Save();
        if (code != 0)
            ShowFileErrorMessage(code);
        if (current_ == nullptr)
            current_ = filled;
    }
    RefreshAccountsPane();
    ShowAccount(current_);
    SelectAccountInPane(current_);
    const int count = list_->GetItemCount();
    if (count > 0)
        list_->EnsureVisible(count - 1);
    RefreshFilterCombo(filter_);
    RefreshTotals();
}

void CTallowmereView::OnImport(ImportKind kind) {
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const QString chosen = Services().OpenFileName(this, Text(kStringImportTitle), QString(),
                                                   QtFileFilter(Text(ImportFilterString(kind))));
    if (chosen.isEmpty())
        return;
    const QByteArray name = QFile::encodeName(chosen);
    ImportFile(kind, std::string(name.constData(), static_cast<std::size_t>(name.size())), nullptr);
}

void CTallowmereView::OnExport(bool qif) {
    if (current_ == nullptr)
        return;
    const CBusyLock lock(*this);
    if (!lock.Held())
        return;
    const QString chosen =
        Services().SaveFileName(this, Text(kStringExportTitle), QString(),
                                QtFileFilter(Text(qif ? kStringQifFilter : kStringCsvFilter)));
    if (chosen.isEmpty())
        return;
    // The selected rows in register order.
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<const CTransaction*> selected;
    for (const int row : rows) {
        if (const CTransaction* t = list_->GetTransactionAt(row))
            selected.push_back(t);
    }
    ExportRange range;
    if (RunExportDialog(this, selected.empty(), range) != 1)
        return;
    const std::vector<const CTransaction*> chosenRows =
        ExportedTransactions(*current_, range, selected);

    std::unique_ptr<exchange::CExporter> exporter;
    if (qif)
        exporter = std::make_unique<exchange::CQIFExporter>();
    else
        exporter = std::make_unique<exchange::CCSVExporter>();
    exporter->SetAccounts(data_.get());
    exporter->SetDateLayout(static_cast<int>(GetPrefImportExportDateFormat()));
    exporter->SetNumberFormat(static_cast<int>(GetPrefImportExportNumberFormat()));
    const QByteArray name = QFile::encodeName(chosen);
    int code = 0;
    {
        CWorkProgressWnd progress(this, Text(kStringExportTitle), chosen);
        exporter->SetProgress(progress.Callback());
        // The file is made anew: an export never adds to an older one.
        code = exporter->ExportTransactions(
            std::string(name.constData(), static_cast<std::size_t>(name.size())), *current_,
            chosenRows);
    }
    ServiceMessages messages(this);
    if (code == 0)
        messages.Show(StringMessage(kStringExported, {}, Buttons::kOk, Icon::kInformation));
    else
        messages.Show(StringMessage(kStringExportFailed, {std::int64_t{code}}));
}

}  // namespace tallowmere::ui
