// Arbitrary bytes as a CSV file imported into an account: no fault, every
// stored amount a magnitude, and no file of the data folder ever changes
// (all writes fail here, so each input starts from the same folder).
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "exchange/csv_importer.h"
#include "model/accounts.h"
#include "model/error_sink.h"
#include "platform/atomic_file.h"

namespace {

using namespace tallowmere;

struct QuietSink : ErrorSink {
    void Report(const ErrorReport&) override {}
};

std::string g_folder;

void RemoveFolder() {
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
}

// A data folder with the default accounts and lists, made once.
const std::string& Folder() {
    if (!g_folder.empty())
        return g_folder;
    std::string pattern = (std::filesystem::temp_directory_path() / "csv-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    g_folder = pattern;
    std::atexit(RemoveFolder);
    std::unique_ptr<CAccounts> set;
    if (CAccounts::LoadInto(set, g_folder, AccountsLoadOptions{}) != 0)
        std::abort();
    return g_folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QuietSink sink;
    SetErrorSink(&sink);
    const std::string& folder = Folder();
    std::unique_ptr<CAccounts> set;
    if (CAccounts::LoadInto(set, folder, AccountsLoadOptions{}) != 0)
        std::abort();
    CAccount* target = set->FindAccountByName("Checking");
    if (!target)
        std::abort();

    platform::SetWriteFault([](std::size_t, int& err) {
        err = 28;  // ENOSPC
        return false;
    });
    exchange::CCSVImporter importer(set.get(), target);
    importer.SetDateLayout(size > 0 ? data[0] % 7 : 1);
    importer.SetNumberFormat(size > 1 ? data[1] % 2 : 0);
    const std::string text =
        exchange::DecodeImportText(std::string(reinterpret_cast<const char*>(data), size));
    importer.ImportText(text, "fuzz.csv");
    platform::SetWriteFault(nullptr);

    for (std::size_t i = 0; i < set->GetAccountCount(); ++i) {
        for (const auto& t : set->GetAccountAt(i)->Transactions()) {
            if (t->GetAmount() < 0)
                std::abort();
        }
    }
    if (importer.GetImportedCount() > target->Transactions().size())
        std::abort();
    SetErrorSink(nullptr);
    return 0;
}
