// QIF files from anywhere: the reader must end on any bytes, keep at most ten
// split lines and name a line of the text when it stops; the whole import,
// into a data set held in memory only, must survive what the reader gives.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "exchange/importer_exporter.h"
#include "exchange/qif_importer.h"
#include "exchange/qif_reader.h"
#include "model/accounts.h"
#include "model/error_sink.h"

namespace {

using namespace tallowmere;
using namespace tallowmere::exchange;

struct QuietSink : ErrorSink {
    void Report(const ErrorReport&) override {}
};

std::size_t CountLines(std::string_view text) {
    std::size_t n = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ++n;
    }
    return n;
}

void CheckReader(std::string_view text) {
    const std::size_t lines = CountLines(text);
    QifReader reader(text);
    // Every item consumes at least one line.
    for (std::size_t items = 0;; ++items) {
        if (items > lines)
            std::abort();
        const QifItem item = reader.Next();
        if (item == QifItem::kEnd)
            break;
        if (item == QifItem::kError) {
            if (reader.Error() > kQifTransactionUnclosed || reader.Error() < kQifAccountUnclosed ||
                reader.ErrorLine() == 0 || reader.ErrorLine() > lines)
                std::abort();
            if (reader.Next() != QifItem::kError)
                std::abort();
            break;
        }
        if (item == QifItem::kTransaction) {
            const QifRecordText& r = reader.Record();
            if (r.splitCount > kSplitLineCount || r.firstLine == 0 || r.firstLine > lines)
                std::abort();
        }
        if ((item == QifItem::kCategory && reader.Name().size() > kQifCategoryNameMax) ||
            (item == QifItem::kClass && reader.Name().size() > kQifClassNameMax))
            std::abort();
    }
}

void CheckImport(std::string_view text) {
    CAccounts accounts;
    CAccount* target = accounts.InsertAccount(std::make_unique<CAccount>());
    CQIFImporter importer(&accounts, target);
    importer.ImportText(text, "fuzz.qif");
    if (importer.GetImportedCount() > target->Transactions().size())
        std::abort();
    for (const auto& t : target->Transactions()) {
        if (t->GetAmount() < 0)
            std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QuietSink sink;
    SetErrorSink(&sink);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckReader(text);
    CheckImport(text);
    return 0;
}
