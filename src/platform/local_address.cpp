#include "platform/local_address.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include "platform/socket.h"

namespace tallowmere::platform {

std::vector<Ipv4Interface> ListInterfaceAddresses() {
    std::vector<Ipv4Interface> out;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return out;
    for (const ifaddrs* p = list; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET)
            continue;
        Ipv4Interface a;
        a.name = p->ifa_name != nullptr ? p->ifa_name : "";
        a.ipv4 = FormatIpv4(reinterpret_cast<const sockaddr_in*>(p->ifa_addr)->sin_addr);
        a.up = (p->ifa_flags & IFF_UP) != 0;
        a.loopback = (p->ifa_flags & IFF_LOOPBACK) != 0;
        out.push_back(std::move(a));
    }
    freeifaddrs(list);
    return out;
}

std::string PickLocalIpAddress(const std::vector<Ipv4Interface>& interfaces) {
    std::string picked;
    for (const auto& a : interfaces)
        if (a.up && !a.loopback && !a.ipv4.empty())
            picked = a.ipv4;
    return picked;
}

std::string GetLocalIpAddress() {
    return PickLocalIpAddress(ListInterfaceAddresses());
}

}  // namespace tallowmere::platform
