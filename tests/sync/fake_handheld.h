#pragma once
// A simulated handheld for the sync server tests: it connects over
// loopback, speaks the protocol as the phone app does (reading each word up
// to its expected length, every read with a deadline) and keeps a
// transcript of what the desktop said.
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/socket.h"

namespace tallowmere::test {

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
};

struct HandheldResult {
    // The desktop's words in order; an unexpected tail last, as it came.
    std::vector<std::string> words;
    std::string returned;
    bool endOfStream = false;
    bool connected = false;
};

class FakeHandheld {
  public:
    explicit FakeHandheld(std::chrono::milliseconds readDeadline = std::chrono::seconds(10))
        : deadline_(readDeadline) {}

    HandheldResult Run(std::uint16_t port, const HandheldScript& script) {
        HandheldResult result;
        socket_ = platform::ConnectTcp("127.0.0.1", port, deadline_);
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
        if (s.firstWord != "FileSend" || !Expect(r, {"OK", "EndConnection"}) ||
            r.words.back() != "OK") {
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
            Send(std::string("OK\0", 3));
            if (!Expect(r, {"00000001", "00000005", "00000007"}))
                return;
            Send(std::string("OK\0", 3));
        } else if (r.words.back() == "RecieveSyncedDatabase") {
            if (s.afterMerge.empty()) {
                socket_.Close();
                return;
            }
            Send(s.afterMerge);
            if (s.afterMerge == "FileSend")
                ReceiveFile(r);
        }
        ReadToEnd(r);
    }

    void ReceiveFile(HandheldResult& r) {
        char text[49];
        const long n = platform::ReceiveSome(socket_.Fd(), text, sizeof text, deadline_);
        if (n <= 0)
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
    platform::Socket socket_;
};

}  // namespace tallowmere::test
