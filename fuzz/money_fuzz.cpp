// Money text: the parser must take any bytes with either separator pair, and
// every value must read back from its full and trimmed text.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "model/money.h"

namespace {

using tallowmere::Cents;

void CheckRoundTrip(Cents value, char decimal, char thousands) {
    char buffer[tallowmere::kMoneyBufferSize];
    for (int mode : {tallowmere::kMoneyFull, tallowmere::kMoneyTrimmed}) {
        std::size_t n = tallowmere::FormatMoneyBuffer(value, buffer, mode, decimal);
        if (n > tallowmere::kMoneyTextMax || buffer[n] != '\0')
            std::abort();
        if (tallowmere::ParseMoneyWith(std::string_view(buffer, n), decimal, thousands) != value) {
            std::abort();
        }
    }
    // Whole units: truncated, a remainder above 50 rounded up.
    std::size_t n = tallowmere::FormatMoneyBuffer(value, buffer, tallowmere::kMoneyWhole, decimal);
    Cents whole = tallowmere::ParseMoneyWith(std::string_view(buffer, n), decimal, thousands);
    Cents diff = value - whole;
    if (whole % 100 != 0 || diff <= -100 || diff > 50)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (auto [decimal, thousands] : {std::pair{'.', ','}, std::pair{',', '.'}}) {
        CheckRoundTrip(tallowmere::ParseMoneyWith(text, decimal, thousands), decimal, thousands);
        (void)tallowmere::IsNumericTextWith(text, decimal, thousands);
    }
    if (size >= sizeof(Cents)) {
        Cents raw;
        std::memcpy(&raw, data, sizeof raw);
        CheckRoundTrip(raw, '.', ',');
        CheckRoundTrip(raw, ',', '.');
    }
    return 0;
}
