// The OFX reply walks over bytes from banks and users' statement files. The
// first byte picks the walk (bits 0-1: profile, account list, statement), an
// event whose answer stops the walk (bits 2-4, 0 = never) and a progress call
// that cancels (bits 5-7, 0 = never). Every date text also goes through the
// date reader. A walk must fail with an error set, or succeed without one, and
// must say nothing after it was told to stop.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "exchange/ofx_client.h"
#include "exchange/stream_memory.h"
#include "model/ofx_datetime.h"
#include "walk_stopper.h"

namespace {

namespace ex = tallowmere::exchange;
using tallowmere::fuzz::WalkStopper;

class Checker : public ex::COfxClient::MGetProfileEventHandler,
                public ex::COfxClient::MGetAccountInfoEventHandler,
                public ex::COfxClient::MGetStatementEventHandler {
  public:
    Checker(int stopAt, int cancelAt) : stop_(stopAt, cancelAt) {}

    bool Progress(int) override { return stop_.Progress(); }
    std::int32_t OnProfile(std::string_view) override { return Event(); }
    std::int32_t OnClientUidRequired(int value) override {
        if (value != 1)
            std::abort();
        return Event();
    }
    std::int32_t OnBankAccount(std::string_view, std::string_view, std::string_view) override {
        return Event();
    }
    std::int32_t OnCreditCardAccount(std::string_view) override { return Event(); }
    std::int32_t OnStatementAccount(std::string_view) override { return Event(); }
    std::int32_t OnStatementTransaction(std::string_view date, std::string_view,
                                        std::string_view type,
                                        std::optional<std::string_view> checkNumber,
                                        std::string_view name, std::optional<std::string_view>,
                                        std::string_view) override {
        if (type.size() > 11 || name.size() > 32 || (type == "CHECK" && !checkNumber))
            std::abort();
        (void)tallowmere::ParseOfxDateTime(date);
        return Event();
    }
    std::int32_t OnStatementEnd(std::string_view end) override {
        (void)tallowmere::ParseOfxDateTime(end);
        return Event();
    }
    std::int32_t OnLedgerBalance(std::string_view) override { return Event(); }

  private:
    std::int32_t Event() { return stop_.Event(); }

    WalkStopper stop_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t control = data[0];
    ex::ReadOnlyMemoryStream stream(data + 1, size - 1);
    Checker checker((control >> 2) & 7, (control >> 5) * 5);
    ex::COfxClient client;
    bool ok = false;
    switch (control & 3) {
        case 0:
            ok = client.ParseProfile(stream, checker);
            break;
        case 1:
            ok = client.ParseAccountInfo(stream, checker);
            break;
        default:
            ok = client.ParseStatement(stream, checker);
            break;
    }
    if (ok != (client.GetLastError() == 0))
        std::abort();
    return 0;
}
