// Arbitrary bytes as an array of transactions, as an account file holds them:
// the reader must refuse or accept without fault, and what it accepts must
// write back to a stream that reads as the same records.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "model/archive.h"
#include "model/transaction.h"

namespace tallowmere {
namespace {

bool ReadArray(std::span<const std::uint8_t> data,
               std::vector<std::unique_ptr<CTransaction>>& out) {
    try {
        CArchive ar(data);
        out = ReadOwnedObjectList<CTransaction>(ar, nullptr);
        return true;
    } catch (const ArchiveError&) {
        return false;
    }
}

}  // namespace
}  // namespace tallowmere

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    std::vector<std::unique_ptr<CTransaction>> first;
    if (!ReadArray({data, size}, first))
        return 0;
    CArchive out;
    WriteObjectList(out, first);
    std::vector<std::unique_ptr<CTransaction>> second;
    if (!ReadArray(out.Data(), second) || second.size() != first.size())
        std::abort();
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (!first[i]->IsSameRecord(*second[i]) ||
            first[i]->GetAttributes() != second[i]->GetAttributes() ||
            first[i]->GetRecordNumber() != second[i]->GetRecordNumber()) {
            std::abort();
        }
    }
    return 0;
}
