#pragma once
// A simulated handheld for the sync server tests: it connects over
// loopback, speaks the protocol as the phone app does (reading each word up
// to its expected length, every read with a deadline) and keeps a
// transcript of what the desktop said.
#include <arpa/inet.h>
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/password_crib.h"
#include "platform/socket.h"

namespace tallowmere::test {

// The crib a handheld sends for a password: computed as the desktop computes
// it, and kept as a text, so it ends at its first zero byte.
inline std::string DeviceCrib(std::string_view password1252) {
    const PasswordCrib crib = ComputePasswordCrib(password1252);
    std::string text(crib.begin(), crib.end());
    return text.substr(0, text.find('\0'));
}

struct HandheldScript {
    // The answer to "SendiPhoneDatabase"; empty: say nothing and wait.
    std::string firstWord = "FileSend";
    std::string database;
    // The size text; empty: the database's size.
    std::string sizeText;
    // Send nothing after the first "OK" (a stalled peer).
    bool stallBeforeSize = false;
    // The database goes in pieces of this many bytes (0: whole).
    std::size_t piece = 0;
    // Close the connection after this many database bytes.
    std::size_t closeAfter = static_cast<std::size_t>(-1);
    // The answer to "RecieveSyncedDatabase"; empty: close the connection.
    std::string afterMerge = "FileSend";
    // Take the send-back's size, then acknowledge nothing more.
    bool stallSendBack = false;
};

struct HandheldResult {
    // The desktop's words in order; an unexpected tail last, as it came.
    std::vector<std::string> words;
    std::string returned;
    bool endOfStream = false;
    bool connected = false;
};

// A connection to 127.0.0.1:port from the given loopback address (any of
// 127/8), so that one test can speak from several sources.
inline platform::Socket ConnectFrom(const std::string& source, std::uint16_t port) {
    platform::Socket s(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in from{}, to{};
    from.sin_family = to.sin_family = AF_INET;
    to.sin_port = htons(port);
    if (!s.Valid() || !platform::ParseIpv4(source, from.sin_addr) ||
        !platform::ParseIpv4("127.0.0.1", to.sin_addr) ||
        bind(s.Fd(), reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0 ||
        connect(s.Fd(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0)
        return platform::Socket();
    return s;
}

class FakeHandheld {
  public:
    explicit FakeHandheld(std::chrono::milliseconds readDeadline = std::chrono::seconds(10),
                          std::string source = "127.0.0.1")
        : deadline_(readDeadline), source_(std::move(source)) {}

    HandheldResult Run(std::uint16_t port, const HandheldScript& script) {
        return RunOn(ConnectFrom(source_, port), script);
    }
    // The same over a connection made elsewhere (one end of a socket pair).
    HandheldResult RunOn(platform::Socket connection, const HandheldScript& script) {
        HandheldResult result;
        socket_ = std::move(connection);
        result.connected = socket_.Valid();
        if (!result.connected)
            return result;
        Converse(script, result);
        socket_.Close();
        return result;
    }

  private:
    void Converse(const HandheldScript& s, HandheldResult& r) {
        if (!Expect(r, {"SendiPhoneDatabase"}))
            return;
        if (s.firstWord.empty()) {
            ReadToEnd(r);
            return;
        }
        Send(s.firstWord);
        if (s.firstWord != "FileSend" || !Expect(r, {"OK", "EndConnection", "SyncFailed"}) ||
            r.words.back() != "OK") {
            if (!r.words.empty() && r.words.back() == "SyncFailed")
                TakeFailure(r);
            ReadToEnd(r);
            return;
        }
        if (s.stallBeforeSize) {
            ReadToEnd(r);
            return;
        }
        Send(s.sizeText.empty() ? std::to_string(s.database.size()) : s.sizeText);
        if (!Expect(r, {"OK", "EndConnection"}) || r.words.back() != "OK") {
            ReadToEnd(r);
            return;
        }
        const std::size_t total = std::min(s.database.size(), s.closeAfter);
        const std::size_t piece = s.piece == 0 ? std::max<std::size_t>(total, 1) : s.piece;
        for (std::size_t at = 0; at < total; at += piece)
            Send(s.database.substr(at, std::min(piece, total - at)));
        if (s.closeAfter != static_cast<std::size_t>(-1)) {
            shutdown(socket_.Fd(), SHUT_WR);
            ReadToEnd(r);
            return;
        }
        if (!Expect(r, {"OK"}))
            return;
        Send(std::string("OK\0", 3));
        if (!Expect(r, {"SyncFailed", "RecieveSyncedDatabase", "EndConnection"}))
            return;
        if (r.words.back() == "SyncFailed") {
            if (!TakeFailure(r))
                return;
        } else if (r.words.back() == "RecieveSyncedDatabase") {
            if (s.afterMerge.empty()) {
                socket_.Close();
                return;
            }
            Send(s.afterMerge);
            if (s.afterMerge == "FileSend")
                ReceiveFile(r, s.stallSendBack);
        }
        ReadToEnd(r);
    }

    // The code word after "SyncFailed", each acknowledged.
    bool TakeFailure(HandheldResult& r) {
        Send(std::string("OK\0", 3));
        if (!Expect(r, {"00000001", "00000005", "00000007"}))
            return false;
        Send(std::string("OK\0", 3));
        return true;
    }

    void ReceiveFile(HandheldResult& r, bool stall) {
        char text[49];
        const long n = platform::ReceiveSome(socket_.Fd(), text, sizeof text, deadline_);
        if (n <= 0 || stall)
            return;
        const std::string sizeText(text, static_cast<std::size_t>(n));
        std::size_t size = 0;
        const auto [end, ec] =
            std::from_chars(sizeText.data(), sizeText.data() + sizeText.size(), size);
        // No size (the desktop gave up): what came is a word of the transcript.
        if (ec != std::errc() || end != sizeText.data() + sizeText.size()) {
            r.words.push_back(sizeText);
            return;
        }
        Send("OK");
        std::string bytes;
        char block[4096];
        while (bytes.size() < size) {
            const long got = platform::ReceiveSome(
                socket_.Fd(), block, std::min(sizeof block, size - bytes.size()), deadline_);
            if (got <= 0)
                return;
            bytes.append(block, static_cast<std::size_t>(got));
        }
        r.returned = bytes;
        Send("OK");
    }

    // Reads byte by byte until one of the words has come; anything else is
    // kept as the transcript's tail.
    bool Expect(HandheldResult& r, const std::vector<std::string>& words) {
        std::string got;
        for (;;) {
            char c = 0;
            const long n = platform::ReceiveSome(socket_.Fd(), &c, 1, deadline_);
            if (n <= 0) {
                r.endOfStream = n == 0;
                if (!got.empty())
                    r.words.push_back(got);
                return false;
            }
            got.push_back(c);
            if (std::find(words.begin(), words.end(), got) != words.end()) {
                r.words.push_back(got);
                return true;
            }
            const bool prefix = std::any_of(words.begin(), words.end(), [&](const std::string& w) {
                return w.compare(0, got.size(), got) == 0;
            });
            if (!prefix) {
                got += ReadRest(r);
                r.words.push_back(got);
                return false;
            }
        }
    }

    std::string ReadRest(HandheldResult& r) {
        std::string tail;
        char block[256];
        for (;;) {
            const long n = platform::ReceiveSome(socket_.Fd(), block, sizeof block, deadline_);
            if (n <= 0) {
                r.endOfStream = n == 0;
                return tail;
            }
            tail.append(block, static_cast<std::size_t>(n));
        }
    }

    void ReadToEnd(HandheldResult& r) {
        const std::string tail = ReadRest(r);
        if (!tail.empty())
            r.words.push_back(tail);
    }

    void Send(const std::string& bytes) {
        platform::SendAll(socket_.Fd(), bytes.data(), bytes.size(), deadline_);
    }

    std::chrono::milliseconds deadline_;
    std::string source_;
    platform::Socket socket_;
};

}  // namespace tallowmere::test
