#include "ui/one_instance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <memory>
#include <vector>

#include "support/test_env.h"
#include "ui/logic/instance_frames.h"
#include "ui/logic/instance_lock.h"

namespace tallowmere::ui {
namespace {

using Role = COneInstance::Role;

std::string PrivateFolder() {
    std::string folder = test::MakeTempDir("instance");
    chmod(folder.c_str(), 0700);
    return folder;
}

std::string Header(std::uint32_t type, std::uint32_t length) {
    std::string bytes;
    for (std::uint32_t v : {type, length}) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    return bytes;
}

// Lets the event loop run until the condition holds or the wait ends.
bool WaitFor(const std::function<bool()>& condition, int ms = 5000) {
    return QTest::qWaitFor(condition, ms);
}

// A running copy that holds the lock but answers as told (0, 1 or never),
// and listens at once, late or never.
class FakeRunningCopy {
  public:
    static constexpr int kNever = -1;

    FakeRunningCopy(const std::string& folder, std::optional<char> answer, int listenAfterMs)
        : lock_(folder), name_(QString::fromStdString(folder) + "/Tallowmere Class") {
        EXPECT_EQ(lock_.TryAcquire(), InstanceLock::Result::kAcquired);
        QObject::connect(&server_, &QLocalServer::newConnection, [this, answer] {
            while (QLocalSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, answer] {
                    socket->readAll();
                    if (answer)
                        socket->write(&*answer, 1);
                });
            }
        });
        if (listenAfterMs == 0)
            EXPECT_TRUE(server_.listen(name_));
        else if (listenAfterMs > 0)
            QTimer::singleShot(listenAfterMs, &server_, [this] { server_.listen(name_); });
    }

  private:
    InstanceLock lock_;
    QString name_;
    QLocalServer server_;
};

// A peer that writes raw bytes to the running copy.
class RawPeer {
  public:
    explicit RawPeer(const QString& name) {
        socket_.connectToServer(name);
        EXPECT_TRUE(socket_.waitForConnected(1000));
    }
    void Send(const std::string& bytes) {
        socket_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    // What the running copy answered within the wait.
    QByteArray Answer(int bytes = 1) {
        WaitFor([&] { return socket_.bytesAvailable() >= bytes; }, 2000);
        return socket_.readAll();
    }
    bool WaitDropped(int ms) {
        return WaitFor([&] { return socket_.state() == QLocalSocket::UnconnectedState; }, ms);
    }

  private:
    QLocalSocket socket_;
};

// The running copy with its window ready, and what it delivered.
struct RunningCopy {
    explicit RunningCopy(std::string lockFolder) : folder(std::move(lockFolder)), instance(folder) {
        EXPECT_EQ(instance.Claim(), Role::kFirst);
        EXPECT_TRUE(instance.Listening());
        QObject::connect(&instance, &COneInstance::raiseRequested, [this] { ++raised; });
        QObject::connect(&instance, &COneInstance::commandLineReceived,
                         [this](const QString& text) { texts.push_back(text); });
        QObject::connect(&instance, &COneInstance::databaseNotify,
                         [this](quint32 w, quint32 l) { notified.emplace_back(w, l); });
    }
    std::string folder;
    COneInstance instance;
    int raised = 0;
    std::vector<QString> texts;
    std::vector<std::pair<quint32, quint32>> notified;
};

TEST(OneInstance, SecondStartEndsWithinTwoSecondsWhateverTheFirstAnswers) {
    struct Case {
        const char* name;
        bool real;
        std::optional<char> answer;
        int listenAfterMs;
        bool accepted;
    };
    const Case cases[] = {
        {"answers 1", true, {}, 0, true},
        {"answers 0", false, '\0', 0, false},
        {"never answers", false, std::nullopt, 0, false},
        {"not listening", false, std::nullopt, FakeRunningCopy::kNever, false},
        // It took the lock at the same moment and is about to listen.
        {"listens a little late", false, kAnswerYes, 100, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = PrivateFolder();
        std::unique_ptr<RunningCopy> real;
        std::unique_ptr<FakeRunningCopy> fake;
        if (c.real)
            real = std::make_unique<RunningCopy>(folder);
        else
            fake = std::make_unique<FakeRunningCopy>(folder, c.answer, c.listenAfterMs);

        COneInstance second(folder);
        ASSERT_EQ(second.Claim(), Role::kSecond);
        EXPECT_FALSE(second.Listening());
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(second.HandOver({"notes.vmn"}), c.accepted);
        EXPECT_LT(clock.elapsed(), 2000);
    }
}

TEST(OneInstance, StartsAtOnceGiveOneServer) {
    const std::string folder = PrivateFolder();
    std::vector<std::unique_ptr<COneInstance>> starts;
    int first = -1;
    for (int i = 0; i < 4; ++i) {
        starts.push_back(std::make_unique<COneInstance>(folder));
        if (starts.back()->Claim() == Role::kFirst) {
            EXPECT_EQ(first, -1) << "a second running copy";
            first = i;
        }
    }
    ASSERT_EQ(first, 0);
    EXPECT_TRUE(starts[0]->Listening());
    for (int i = 1; i < 4; ++i) {
        EXPECT_FALSE(starts[i]->Listening());
        EXPECT_TRUE(starts[i]->FindOther());
    }

    // The running copy ends: its socket goes with it, and the next start runs.
    const QString name = starts[0]->ServerName();
    starts.clear();
    EXPECT_FALSE(QFileInfo::exists(name));
    COneInstance next(folder);
    EXPECT_EQ(next.Claim(), Role::kFirst);
    EXPECT_TRUE(next.Listening());
}

TEST(OneInstance, ALeftoverSocketFileDoesNotStopTheNextStart) {
    struct Case {
        const char* name;
        bool socket;
    };
    for (const Case& c : {Case{"socket of a killed copy", true}, Case{"plain file", false}}) {
        SCOPED_TRACE(c.name);
        const std::string folder = PrivateFolder();
        const std::string path = folder + "/Tallowmere Class";
        if (c.socket) {
            // Bound, then closed without unlinking: what a killed copy leaves.
            const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
            ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ASSERT_EQ(listen(fd, 1), 0);
            close(fd);
        } else {
            test::WriteFileBytes(path, "left over");
        }
        ASSERT_TRUE(QFileInfo::exists(QString::fromStdString(path)));

        COneInstance first(folder);
        EXPECT_EQ(first.Claim(), Role::kFirst);
        EXPECT_TRUE(first.Listening());
        COneInstance second(folder);
        EXPECT_EQ(second.Claim(), Role::kSecond);
        EXPECT_TRUE(second.FindOther());
    }
}

TEST(OneInstance, HandOversWaitForTheWindowThenRaiseIt) {
    RunningCopy first(PrivateFolder());
    COneInstance second(first.folder);
    ASSERT_EQ(second.Claim(), Role::kSecond);

    // During the password prompt: answered at once, delivered later.
    EXPECT_TRUE(second.ActivateOther("/home/ann/a.vmn"));
    EXPECT_TRUE(second.ActivateOther(""));
    EXPECT_TRUE(second.FindOther());
    QCoreApplication::processEvents();
    EXPECT_EQ(first.raised, 0);
    EXPECT_TRUE(first.texts.empty());

    first.instance.SetFrameReady({});
    EXPECT_TRUE(WaitFor([&] { return first.raised == 2; }));
    EXPECT_EQ(first.texts, std::vector<QString>{"/home/ann/a.vmn"});

    // Once ready, each hand-over raises; an empty one carries no text.
    EXPECT_TRUE(second.ActivateOther(""));
    EXPECT_TRUE(WaitFor([&] { return first.raised == 3; }));
    EXPECT_EQ(first.texts.size(), 1u);
}

TEST(OneInstance, TheRunningCopyKeeps1023BytesOfTheText) {
    RunningCopy first(PrivateFolder());
    first.instance.SetFrameReady({});
    COneInstance second(first.folder);
    ASSERT_EQ(second.Claim(), Role::kSecond);

    // Our own sender cuts 1100 bytes; a foreign one sends 2000.
    EXPECT_TRUE(second.ActivateOther(std::string(1100, 'a')));
    RawPeer raw(first.instance.ServerName());
    raw.Send(EncodeFrame(FrameType::kCommandLine, std::string(2000, 'b')));
    EXPECT_EQ(raw.Answer(), QByteArray(1, kAnswerYes));

    ASSERT_TRUE(WaitFor([&] { return first.texts.size() == 2; }));
    EXPECT_EQ(first.texts[0], QString(1023, 'a'));
    EXPECT_EQ(first.texts[1], QString(1023, 'b'));
}

TEST(OneInstance, OtherTypesAreIgnoredAndNotifyReachesItsReceiver) {
    RunningCopy first(PrivateFolder());
    first.instance.SetFrameReady({});
    RawPeer raw(first.instance.ServerName());
    raw.Send(Header(7, 3) + "abc" + EncodeDatabaseNotify(1, 42) +
             EncodeFrame(FrameType::kIsMe, ""));
    EXPECT_EQ(raw.Answer(), QByteArray(1, kAnswerYes));
    ASSERT_TRUE(WaitFor([&] { return !first.notified.empty(); }));
    EXPECT_EQ(first.notified, (std::vector<std::pair<quint32, quint32>>{{1, 42}}));
    EXPECT_EQ(first.raised, 0);
    EXPECT_TRUE(first.texts.empty());
}

TEST(OneInstance, ASilentPeerIsDroppedWhileOthersAreServed) {
    RunningCopy first(PrivateFolder());
    first.instance.SetFrameReady({});
    RawPeer silent(first.instance.ServerName());
    int ticks = 0;
    QTimer ui;
    QObject::connect(&ui, &QTimer::timeout, [&] { ++ticks; });
    ui.start(20);

    COneInstance second(first.folder);
    ASSERT_EQ(second.Claim(), Role::kSecond);
    EXPECT_TRUE(second.ActivateOther("while one waits"));
    EXPECT_TRUE(WaitFor([&] { return first.texts.size() == 1; }));

    EXPECT_TRUE(silent.WaitDropped(COneInstance::kConnectionTimeoutMs + 5000));
    EXPECT_GT(ticks, 0);
}

TEST(OneInstance, AHostileLengthDropsOnlyThatPeer) {
    RunningCopy first(PrivateFolder());
    first.instance.SetFrameReady({});
    for (std::uint32_t length : {kMaxFrameLength + 1, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        RawPeer hostile(first.instance.ServerName());
        hostile.Send(Header(100, length) + std::string(100, 'z'));
        // Dropped for what it sent, well before its time runs out.
        EXPECT_TRUE(hostile.WaitDropped(COneInstance::kConnectionTimeoutMs / 2));
    }
    RawPeer next(first.instance.ServerName());
    next.Send(EncodeFrame(FrameType::kCommandLine, "after"));
    EXPECT_EQ(next.Answer(), QByteArray(1, kAnswerYes));
    EXPECT_TRUE(WaitFor([&] { return first.texts.size() == 1; }));
    EXPECT_EQ(first.raised, 1);
}

TEST(OneInstance, RaisesTheWizardWhileItRunsAndNeverShowsAHiddenFrame) {
    RunningCopy first(PrivateFolder());
    QWidget frame;
    QWidget wizard;
    bool wizardRuns = true;
    first.instance.SetFrameReady([&]() -> QWidget* { return wizardRuns ? &wizard : &frame; });
    COneInstance second(first.folder);
    ASSERT_EQ(second.Claim(), Role::kSecond);

    // First run: the frame stays hidden behind the wizard.
    wizard.showMinimized();
    EXPECT_TRUE(second.ActivateOther(""));
    ASSERT_TRUE(WaitFor([&] { return first.raised == 1; }));
    EXPECT_FALSE(wizard.isMinimized());
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_TRUE(frame.isHidden());

    // The wizard is done; the frame is shown and minimised.
    wizard.hide();
    wizardRuns = false;
    frame.showMinimized();
    EXPECT_TRUE(second.ActivateOther(""));
    ASSERT_TRUE(WaitFor([&] { return first.raised == 2; }));
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(wizard.isHidden());
}

}  // namespace
}  // namespace tallowmere::ui
