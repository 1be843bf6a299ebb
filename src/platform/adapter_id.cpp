#include "platform/adapter_id.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netpacket/packet.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

namespace tallowmere::platform {
namespace {

constexpr std::size_t kHardwareAddressSize = 6;

struct IfAddrsDeleter {
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

std::mutex g_source_mutex;
AdapterSource g_source;  // empty: the real interfaces

}  // namespace

std::optional<AdapterStatus> ChooseAdapterStatus(std::vector<HardwareInterface> interfaces) {
    std::erase_if(interfaces, [](const HardwareInterface& item) {
        return item.loopback || item.address.size() != kHardwareAddressSize ||
               std::all_of(item.address.begin(), item.address.end(),
                           [](std::uint8_t b) { return b == 0; });
    });
    if (interfaces.empty())
        return std::nullopt;
    // The system's listing order can change between boots; names are stable,
    // and the machine id must be.
    const auto first = std::min_element(
        interfaces.begin(), interfaces.end(),
        [](const HardwareInterface& a, const HardwareInterface& b) { return a.name < b.name; });
    AdapterStatus status{};
    std::copy(first->address.begin(), first->address.end(), status.begin());
    return status;
}

std::optional<AdapterStatus> ReadAdapterStatus() {
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0)
        return std::nullopt;
    const std::unique_ptr<ifaddrs, IfAddrsDeleter> list(raw);

    std::vector<HardwareInterface> interfaces;
    for (const ifaddrs* item = list.get(); item != nullptr; item = item->ifa_next) {
        if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_PACKET)
            continue;
        const auto* link = reinterpret_cast<const sockaddr_ll*>(item->ifa_addr);
        const std::size_t length = std::min<std::size_t>(link->sll_halen, sizeof link->sll_addr);
        HardwareInterface entry;
        entry.name = item->ifa_name != nullptr ? item->ifa_name : "";
        entry.loopback = (item->ifa_flags & IFF_LOOPBACK) != 0;
        entry.address.assign(link->sll_addr, link->sll_addr + length);
        interfaces.push_back(std::move(entry));
    }
    return ChooseAdapterStatus(std::move(interfaces));
}

void SetAdapterSource(AdapterSource source) {
    const std::lock_guard lock(g_source_mutex);
    g_source = std::move(source);
}

std::optional<AdapterStatus> CurrentAdapterStatus() {
    AdapterSource source;
    {
        const std::lock_guard lock(g_source_mutex);
        source = g_source;
    }
    // Called outside the lock so that a source may itself swap the source.
    return source ? source() : ReadAdapterStatus();
}

}  // namespace tallowmere::platform
