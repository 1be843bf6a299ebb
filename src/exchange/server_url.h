#pragma once
// Which server addresses online banking may use. The password goes wherever
// an address points, so an address from the institution directory or from a
// bank's profile, and the directory's own address, must be https.
#include <string_view>

namespace tallowmere::exchange {

// True for an https URL with a host. With the loopback test switch on, an
// http URL whose host is 127.0.0.1 is accepted too.
bool IsAcceptedServerUrl(std::string_view url);

// Test-only: lets plain-HTTP fakes on 127.0.0.1 stand in for a bank. Off in
// the program.
void SetLoopbackHttpAllowed(bool allowed);

}  // namespace tallowmere::exchange
