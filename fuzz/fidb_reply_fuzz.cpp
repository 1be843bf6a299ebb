// The institution directory's replies: the bank list and one bank's details.
// The first byte picks the reply (bit 0: details), an event whose answer
// stops the walk (bits 1-3, 0 = never), a progress call that cancels (bits
// 4-6, 0 = never), and (bit 7) the program's own handlers, the institution
// list and an institution, in place of the checker. A walk must fail with an
// error set, or succeed without one, and must say nothing after it was told
// to stop.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "exchange/fi_list.h"
#include "exchange/fidb_client.h"
#include "exchange/stream_memory.h"
#include "exchange/win32_http.h"
#include "walk_stopper.h"

namespace {

namespace ex = tallowmere::exchange;
using tallowmere::fuzz::WalkStopper;

class Checker : public ex::CFidbClient::MUpdateFiListEventHandler,
                public ex::CFidbClient::MUpdateFiItemEventHandler {
  public:
    Checker(int stopAt, int cancelAt) : stop_(stopAt, cancelAt) {}

    bool Progress(int) override { return stop_.Progress(); }
    std::int32_t OnInstitution(std::int32_t, std::string_view) override { return Event(); }
    std::int32_t OnInstitutionRemoved(std::int32_t) override { std::abort(); }
    // The last report of a list that was read whole; its answer is not asked.
    std::int32_t OnListVersion(std::int32_t version) override {
        if (stop_.Stopped() || version != ex::kFiDirectoryListVersion)
            std::abort();
        return 0;
    }
    std::int32_t OnInstitutionDetails(std::int32_t, std::uint32_t stamp, const std::string*,
                                      const std::string*, const std::string*, const std::string*,
                                      const std::string*) override {
        if (stamp != 1)
            std::abort();
        return Event();
    }

    bool Stopped() const { return stop_.Stopped(); }

  private:
    std::int32_t Event() { return stop_.Event(); }

    WalkStopper stop_;
};

// Never asked: the replies come from memory.
ex::Http& UnusedHttp() {
    static ex::Win32Http http;
    return http;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    const bool details = (control & 1) != 0;
    const int stopAt = (control >> 1) & 7;
    const int cancelAt = (control >> 4) & 7;
    ex::ReadOnlyMemoryStream stream(data + 1, size - 1);
    ex::CFidbClient client(UnusedHttp(), "https://127.0.0.1");

    bool ok = false;
    if (control & 0x80) {
        if (details) {
            tallowmere::CFiItem item(1, "Bank");
            ok = client.ParseFiItemReply(stream, item);
        } else {
            tallowmere::CFiList list;
            ok = client.ParseFiListReply(stream, list);
            for (std::size_t i = 1; i < list.GetCount(); ++i) {
                if (list.GetAt(i - 1)->GetName() > list.GetAt(i)->GetName())
                    std::abort();
            }
        }
    } else {
        Checker checker(stopAt, cancelAt);
        ok = details ? client.ParseFiItemReply(stream, checker)
                     : client.ParseFiListReply(stream, checker);
        if (checker.Stopped() && ok)
            std::abort();
    }
    if (ok != (client.GetLastError() == 0))
        std::abort();
    return 0;
}
