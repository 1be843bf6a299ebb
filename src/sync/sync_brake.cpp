#include "sync/sync_brake.h"

#include <algorithm>
#include <utility>

namespace tallowmere::handheld {
namespace {

std::string FoldAscii(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

}  // namespace

CSyncBrake::CSyncBrake(Now now) : now_(std::move(now)) {
    if (!now_)
        now_ = [] { return Clock::now(); };
}

std::chrono::milliseconds CSyncBrake::WaitAfter(int failures) {
    if (failures <= 0)
        return std::chrono::milliseconds(0);
    auto wait = kFirstWait;
    for (int i = 1; i < failures && wait < kLongestWait; ++i)
        wait *= 2;
    return std::min(wait, kLongestWait);
}

template <class Key>
bool CSyncBrake::Waits(const std::map<Key, Entry>& entries, const Key& key) const {
    const auto it = entries.find(key);
    return it != entries.end() && now_() < it->second.until;
}

template <class Key>
void CSyncBrake::Fail(std::map<Key, Entry>& entries, const Key& key, Clock::time_point now) {
    if (entries.find(key) == entries.end() && entries.size() >= kMaxEntries) {
        auto victim = std::min_element(
            entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.second.until < b.second.until; });
        entries.erase(victim);
    }
    Entry& entry = entries[key];
    ++entry.failures;
    entry.until = now + WaitAfter(entry.failures);
}

bool CSyncBrake::SerialWaits(std::string_view serial) const {
    return Waits(serials_, FoldAscii(serial));
}

bool CSyncBrake::AddressWaits(std::uint32_t address) const {
    return Waits(addresses_, address);
}

void CSyncBrake::Failed(std::string_view serial, std::uint32_t address) {
    const Clock::time_point now = now_();
    Fail(serials_, FoldAscii(serial), now);
    Fail(addresses_, address, now);
}

void CSyncBrake::Succeeded(std::string_view serial, std::uint32_t address) {
    serials_.erase(FoldAscii(serial));
    addresses_.erase(address);
}

}  // namespace tallowmere::handheld
