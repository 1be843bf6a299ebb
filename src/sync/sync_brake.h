#pragma once
// The brake on password guessing: after a wrong password, a device serial
// and, apart from it, a source address are refused until a wait has passed.
// The wait is 1 s after the first failure and doubles with each further
// one, up to 60 s; a successful sync forgets both. Nothing sleeps: a
// refused session ends at once. The waits live in memory only.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tallowmere::handheld {

class CSyncBrake {
  public:
    using Clock = std::chrono::steady_clock;
    // The monotonic time; empty: the steady clock.
    using Now = std::function<Clock::time_point()>;

    static constexpr std::chrono::milliseconds kFirstWait{1000};
    static constexpr std::chrono::milliseconds kLongestWait{60000};

    explicit CSyncBrake(Now now = {});

    // True while the serial (compared without ASCII case, as user look-ups
    // are) or the address is inside its wait.
    bool SerialWaits(std::string_view serial) const;
    bool AddressWaits(std::uint32_t address) const;
    // A wrong password from this device and address: both waits grow.
    void Failed(std::string_view serial, std::uint32_t address);
    // A completed sync: both start afresh.
    void Succeeded(std::string_view serial, std::uint32_t address);

    // The wait after this many failures in a row.
    static std::chrono::milliseconds WaitAfter(int failures);

  private:
    struct Entry {
        int failures = 0;
        Clock::time_point until;
    };
    template <class Key>
    void Fail(std::map<Key, Entry>& entries, const Key& key, Clock::time_point now);
    template <class Key>
    bool Waits(const std::map<Key, Entry>& entries, const Key& key) const;

    // Beyond this many serials or addresses the one whose wait ends first
    // is forgotten, so a flood of sources cannot fill the memory.
    static constexpr std::size_t kMaxEntries = 4096;
    Now now_;
    std::map<std::string, Entry> serials_;
    std::map<std::uint32_t, Entry> addresses_;
};

}  // namespace tallowmere::handheld
