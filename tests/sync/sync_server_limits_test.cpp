// What keeps one peer from holding the sync server: the brake on password
// guessing, per serial and per source address, and the limits on waiting
// connections, silent first words and trickling transfers. Peers speak
// from several loopback addresses.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/named_mutex.h"
#include "sync_server_fixture.h"

namespace tallowmere {
namespace {

namespace hh = handheld;
using test::Failed;
using test::FakeHandheld;
using test::HandheldDatabase;
using test::HandheldResult;
using test::HandheldScript;
using test::kSuccessWords;
using test::SyncServerTest;
using Words = std::vector<std::string>;
using namespace std::chrono_literals;

// Refused by the address before the file came.
const Words kRefusedAtOnce = {"SendiPhoneDatabase", "SyncFailed", "00000001", "EndConnection"};

TEST_F(SyncServerTest, AWrongPasswordHoldsTheSerialAndTheAddressOffForAGrowingWait) {
    users_.AddPhoneUser("Second phone", "SECOND-1");
    SetPrefPasswordCrib("SECOND-1", hh::CribFromText("second crib"));
    Start();
    const HandheldScript wrong = test::KnownScript("guess"), right = Known();
    HandheldScript second;
    second.database = HandheldDatabase("Second phone", "SECOND-1", "second crib");
    const struct {
        const char* what;
        std::chrono::milliseconds after;  // on the brake's clock, since the step before
        const HandheldScript* script;
        const char* from;
        Words words;
    } steps[] = {
        {"a wrong password", 0ms, &wrong, "127.0.0.2", Failed("00000001")},
        {"the right one inside the serial's wait", 500ms, &right, "127.0.0.3", Failed("00000001")},
        {"another serial inside the address's wait", 0ms, &second, "127.0.0.2", kRefusedAtOnce},
        {"another serial from elsewhere", 0ms, &second, "127.0.0.4", kSuccessWords},
        {"a second wrong password once the wait is over", 500ms, &wrong, "127.0.0.2",
         Failed("00000001")},
        {"the right one inside the doubled wait", 1900ms, &right, "127.0.0.3", Failed("00000001")},
        {"the right one after it", 100ms, &right, "127.0.0.3", kSuccessWords},
        {"a wrong password after the success", 0ms, &wrong, "127.0.0.3", Failed("00000001")},
        {"the right one a second later: the wait started afresh", 1s, &right, "127.0.0.3",
         kSuccessWords},
    };
    std::size_t synced = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        AdvanceBrakeClock(step.after);
        EXPECT_EQ(step.words, Sync(*step.script, step.from).words);
        synced += step.words == kSuccessWords ? 1 : 0;
        EXPECT_EQ(synced, merge_.calls.size());
    }
}

// Reads what the server says on a connection until it closes it.
std::string Transcript(int fd) {
    std::string text;
    char block[256];
    for (long n; (n = platform::ReceiveSome(fd, block, sizeof block, 30s)) > 0;)
        text.append(block, static_cast<std::size_t>(n));
    return text;
}

constexpr char kServedSilent[] = "SendiPhoneDatabaseEndConnection";

// While a session runs, one connection per address waits, the newest, and
// eight in all; the rest are closed unheard. Every one that waits is served
// in turn.
TEST_F(SyncServerTest, ConnectionsWaitOnePerAddressAndEightInAll) {
    const struct {
        const char* name;
        std::vector<std::string> from;
        std::vector<bool> served;
    } cases[] = {
        {"the running session's address", {"127.0.0.2"}, {false}},
        {"a newer connection replaces the waiting one", {"127.0.0.3", "127.0.0.3"}, {false, true}},
        {"eight wait in all",
         {"127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6", "127.0.0.7", "127.0.0.8", "127.0.0.9",
          "127.0.0.10", "127.0.0.11", "127.0.0.12"},
         {true, true, true, true, true, true, true, true, false, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        hh::SyncServerOptions o = Options();
        o.idleTimeout = 2s;
        o.firstWordTimeout = 300ms;
        Start(o);
        // Holds the session thread until its idle time-out.
        HandheldScript stalled = Known();
        stalled.stallBeforeSize = true;
        std::thread running(
            [&] { FakeHandheld(10s, "127.0.0.2").Run(server_->SyncPort(), stalled); });
        ASSERT_TRUE(events_.WaitFor("status:Receiving data from handheld..."));
        std::vector<platform::Socket> peers;
        for (const std::string& from : c.from) {
            peers.push_back(test::ConnectFrom(from, server_->SyncPort()));
            ASSERT_TRUE(peers.back().Valid());
        }
        for (std::size_t i = 0; i < peers.size(); ++i)
            EXPECT_EQ(c.served[i] ? kServedSilent : "", Transcript(peers[i].Fd())) << i;
        running.join();
        server_.reset();
        events_.Take();
    }
}

// Sends "FileSend", a size, then a byte now and then, until the server
// closes the connection (at most 30 s).
void Trickle(platform::Socket socket) {
    char buffer[64];
    const auto read = [&] {
        return platform::ReceiveSome(socket.Fd(), buffer, sizeof buffer, 10s);
    };
    if (read() <= 0 || !platform::SendAll(socket.Fd(), "FileSend", 8, 1s) || read() <= 0 ||
        !platform::SendAll(socket.Fd(), "100000", 6, 1s) || read() <= 0)
        return;
    for (int i = 0; i < 150; ++i) {
        if (!platform::SendAll(socket.Fd(), "x", 1, 1s) ||
            platform::ReceiveSome(socket.Fd(), buffer, sizeof buffer, 200ms) >= 0)
            return;
    }
}

// 20 silent peers from one address, 5 from five others and one trickling
// its file hold a good client for one first-word wait per address (and the
// trickle's grace), not for their idle time-outs.
TEST_F(SyncServerTest, AGoodClientIsServedBehindSilentAndTricklingPeers) {
    hh::SyncServerOptions o = Options();
    o.idleTimeout = 10s;
    o.firstWordTimeout = 500ms;
    o.transfer.rateGrace = 1s;
    Start(o);
    std::vector<platform::Socket> silent;
    for (int i = 0; i < 20; ++i)
        silent.push_back(test::ConnectFrom("127.0.0.2", server_->SyncPort()));
    for (int a = 3; a <= 7; ++a)
        silent.push_back(test::ConnectFrom("127.0.0." + std::to_string(a), server_->SyncPort()));
    std::thread trickler(Trickle, test::ConnectFrom("127.0.0.8", server_->SyncPort()));

    const auto start = std::chrono::steady_clock::now();
    const HandheldResult good = FakeHandheld(60s, "127.0.0.9").Run(server_->SyncPort(), Known());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(kSuccessWords, good.words);
    // Seven addresses ahead of it, each a fraction of a second here; the
    // margin is for a loaded machine.
    EXPECT_LT(took, 7 * 2s + 10s);
    trickler.join();
    // One session for the whole first address.
    int served = 0;
    for (int i = 0; i < 20; ++i)
        served += Transcript(silent[static_cast<std::size_t>(i)].Fd()) == kServedSilent ? 1 : 0;
    EXPECT_EQ(1, served);
}

// Only the current user's sync holds the desktop's edits off: a new
// device that is slow to take its merged file back leaves them free.
TEST_F(SyncServerTest, ANewDeviceSlowToTakeItsFileBackLeavesDesktopEditsFree) {
    hh::SyncServerOptions o = Options();
    o.idleTimeout = 4s;
    o.transfer.rateGrace = 4s;
    Start(o);
    HandheldScript s;
    s.database = HandheldDatabase("New phone", "NEW-SERIAL", "");
    s.stallSendBack = true;
    HandheldResult r;
    std::thread peer([&] { r = FakeHandheld(30s, "127.0.0.2").Run(server_->SyncPort(), s); });
    ASSERT_TRUE(events_.WaitFor("status:Sending updated data to handheld"));
    {
        platform::NamedMutex busy(hh::kDesktopBusyMutexName);
        platform::NamedMutexLock edit(busy, 2s);
        EXPECT_TRUE(edit.Held());
    }
    peer.join();
    EXPECT_EQ(
        (Words{"SendiPhoneDatabase", "OK", "OK", "OK", "RecieveSyncedDatabase", "EndConnection"}),
        r.words);
    ASSERT_TRUE(events_.WaitFinished(1));
}

}  // namespace
}  // namespace tallowmere
