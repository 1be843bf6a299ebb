#pragma once
// The one message for a failed online exchange or OFX file, by the
// client's error code and text, shown through the error sink.
#include <cstdint>
#include <string_view>

namespace tallowmere::exchange {

// String ids of the online-banking messages.
inline constexpr int kStrOnlineNoMemory = 9200;
inline constexpr int kStrOnlineUnparsedWithText = 9201;
inline constexpr int kStrOnlineUnparsed = 9202;
inline constexpr int kStrOnlineBadAccount = 9203;
inline constexpr int kStrOnlineTimeout = 9204;
inline constexpr int kStrOnlineNoConnection = 9205;
inline constexpr int kStrOnlineBadLogin = 9206;
inline constexpr int kStrOnlineErrorWithText = 9207;
inline constexpr int kStrOnlineUnexpected = 9208;
inline constexpr int kStrOnlineInsecureUrl = 9209;

// Nothing for 0 (no error, or one already reported) and for a cancel (2,
// or 1223 from the HTTP client); otherwise one report.
void ShowOnlineBankingError(std::int32_t code, std::string_view text);

}  // namespace tallowmere::exchange
