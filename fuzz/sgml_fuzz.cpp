// The SGML reader over bytes from banks, the directory and users' files. The
// first byte picks the tag table (bit 0), the text encoding (bit 1), whether
// the bytes come through a compound stream split in the middle (bit 2) and a
// progress call that cancels (bits 4-7). Parsing must fail cleanly or give a
// tree that the writer turns back into the same tree.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "exchange/ofx_tags.h"
#include "exchange/sgml_document.h"
#include "exchange/stream_compound.h"
#include "exchange/stream_memory.h"

namespace {

namespace ex = tallowmere::exchange;
using ex::CSgmlDocument;
using ex::CSgmlElement;
using ex::CSgmlTagTable;

class CancelAt : public CSgmlElement::MParseEventHandler {
  public:
    explicit CancelAt(int call) : call_(call) {}
    bool Progress(int) override { return ++calls_ != call_; }

  private:
    int call_;
    int calls_ = 0;
};

// The writer gives an aggregate without children no end tag, so only trees
// without one read back.
bool Writable(const CSgmlElement& element, const CSgmlTagTable& table) {
    if (element.GetFirstChild() == nullptr)
        return table.Lookup(element.GetName()) != ex::kSgmlAggregate;
    for (const CSgmlElement* c = element.GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
        if (!Writable(*c, table))
            return false;
    }
    return true;
}

bool SameTree(const CSgmlElement& a, const CSgmlElement& b) {
    if (a.GetName() != b.GetName() || (a.Text() == nullptr) != (b.Text() == nullptr) ||
        (a.Text() != nullptr && *a.Text() != *b.Text()))
        return false;
    const CSgmlElement* x = a.GetFirstChild();
    const CSgmlElement* y = b.GetFirstChild();
    for (; x != nullptr && y != nullptr; x = x->GetNextSibling(), y = y->GetNextSibling()) {
        if (!SameTree(*x, *y))
            return false;
    }
    return x == nullptr && y == nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const ex::COfxSgmlTagTable kOfx;
    static const ex::CFidbSgmlTagTable kFidb;
    const std::uint8_t control = data[0];
    const CSgmlTagTable& table = (control & 1) ? static_cast<const CSgmlTagTable&>(kFidb) : kOfx;
    const std::uint8_t* body = data + 1;
    const std::size_t length = size - 1;

    std::unique_ptr<ex::Stream> stream;
    if (control & 4) {
        const std::size_t half = length / 2;
        stream = std::make_unique<ex::CompoundStream>(
            std::make_unique<ex::ReadOnlyMemoryStream>(body, half),
            std::make_unique<ex::ReadOnlyMemoryStream>(body + half, length - half));
    } else {
        stream = std::make_unique<ex::ReadOnlyMemoryStream>(body, length);
    }
    CancelAt handler((control >> 4) == 0 ? -1 : (control >> 4) * 3);

    CSgmlDocument document;
    document.SetTextEncoding((control & 2) ? ex::SgmlTextEncoding::kUtf8
                                           : ex::SgmlTextEncoding::kCp1252);
    if (!document.Parse(*stream, table, &handler)) {
        const int code = document.GetErrorCode();
        if (code < ex::kSgmlErrorNoMemory || code > ex::kSgmlErrorMalformed)
            std::abort();
        return 0;
    }
    if (!Writable(document, table))
        return 0;
    std::string text;
    if (!document.Generate(text, nullptr))
        std::abort();
    ex::ReadOnlyMemoryStream again(text.data(), text.size());
    CSgmlDocument back;
    if (!back.Parse(again, table, nullptr) || !SameTree(document, back))
        std::abort();
    return 0;
}
