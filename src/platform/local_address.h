#pragma once
// The desktop's address on the local network, which the user types into the
// handheld. Taken from the interfaces, not the host name: on Debian the host
// name resolves to 127.0.1.1.
#include <string>
#include <vector>

namespace tallowmere::platform {

struct Ipv4Interface {
    std::string name;
    std::string ipv4;  // dotted form
    bool up = false;
    bool loopback = false;
};

// The IPv4 addresses of the host's interfaces in the system's order; empty
// when they cannot be read.
std::vector<Ipv4Interface> ListInterfaceAddresses();

// The last address of an interface that is up and not loopback; empty when
// there is none.
std::string PickLocalIpAddress(const std::vector<Ipv4Interface>& interfaces);

// PickLocalIpAddress of the host's interfaces.
std::string GetLocalIpAddress();

}  // namespace tallowmere::platform
