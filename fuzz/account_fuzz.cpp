// Arbitrary bytes as an account file: the reader must refuse or accept without
// fault, and an accepted account must write back to bytes that read the same.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "model/account_root.h"
#include "model/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tallowmere;
    CAccountRoot first;
    first.SetCipher(HeaderCipher::PassThrough());
    if (LoadObjectData({data, size}, first) != 0)
        return 0;
    CArchive out;
    first.Serialize(out);
    CAccountRoot second;
    second.SetCipher(HeaderCipher::PassThrough());
    if (LoadObjectData(out.Data(), second) != 0)
        std::abort();
    CArchive again;
    second.Serialize(again);
    if (again.Data() != out.Data())
        std::abort();
    return 0;
}
