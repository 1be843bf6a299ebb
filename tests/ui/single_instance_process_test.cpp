// Separate programs: the small helper started as a user would start the
// program, twice at once, after a kill, and against a copy that does not
// answer.
#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTest>
#include <memory>

#include "support/test_env.h"
#include "ui/logic/instance_lock.h"

namespace tallowmere::ui {
namespace {

std::string PrivateFolder() {
    std::string folder = test::MakeTempDir("instance");
    chmod(folder.c_str(), 0700);
    return folder;
}

class Start {
  public:
    Start(const std::string& folder, const QStringList& arguments,
          const std::string& workingFolder) {
        process_.setWorkingDirectory(QString::fromStdString(workingFolder));
        process_.start(INSTANCE_HELPER, QStringList{QString::fromStdString(folder)} + arguments);
    }
    ~Start() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // Waits (running the event loop) for a line that starts with prefix.
    bool WaitLine(const QString& prefix, int ms = 10000) {
        return QTest::qWaitFor([&] { return !Line(prefix).isNull(); }, ms);
    }
    QString Line(const QString& prefix) {
        output_ += QString::fromUtf8(process_.readAllStandardOutput());
        for (const QString& line : output_.split('\n')) {
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        return {};
    }
    bool WaitEnd(int ms = 10000) {
        return QTest::qWaitFor([&] { return process_.state() == QProcess::NotRunning; }, ms);
    }
    bool EndedWithZero() const {
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }
    bool Ended() const { return process_.state() == QProcess::NotRunning; }
    qint64 Pid() const { return process_.processId(); }

  private:
    QProcess process_;
    QString output_;
};

// The helper's own measure, from the claim to the end of the hand-over.
int SecondMs(Start& start) {
    return start.Line("second ").toInt();
}

TEST(SingleInstanceProcess, TwoStartsAtOnceGiveOneRunningCopy) {
    const std::string folder = PrivateFolder();
    const std::string work = test::MakeTempDir("work");
    const QString socket = QString::fromStdString(folder) + "/Tallowmere Class";
    Start a(folder, {"notes.vmn"}, work);
    Start b(folder, {"notes.vmn"}, work);
    ASSERT_TRUE(QTest::qWaitFor([&] { return a.Ended() || b.Ended(); }, 10000));
    Start& second = a.Ended() ? a : b;
    Start& first = a.Ended() ? b : a;

    EXPECT_TRUE(second.EndedWithZero());
    EXPECT_FALSE(second.Line("second ").isNull());
    EXPECT_LT(SecondMs(second), 2000);
    ASSERT_TRUE(first.WaitLine("first"));
    // The file argument arrives absolute, in the second start's folder.
    ASSERT_TRUE(first.WaitLine("text "));
    EXPECT_EQ(first.Line("text "), QString::fromStdString(work) + "/notes.vmn");
    EXPECT_FALSE(first.Ended());

    // Closing from outside is the normal shut-down: code 0, socket gone.
    kill(static_cast<pid_t>(first.Pid()), SIGTERM);
    ASSERT_TRUE(first.WaitEnd());
    EXPECT_TRUE(first.EndedWithZero());
    EXPECT_FALSE(QFileInfo::exists(socket));
}

TEST(SingleInstanceProcess, AKilledCopyDoesNotStopTheNextStart) {
    const std::string folder = PrivateFolder();
    const std::string work = test::MakeTempDir("work");
    const QString socket = QString::fromStdString(folder) + "/Tallowmere Class";
    {
        Start killed(folder, {}, work);
        ASSERT_TRUE(killed.WaitLine("first"));
        kill(static_cast<pid_t>(killed.Pid()), SIGKILL);
        ASSERT_TRUE(killed.WaitEnd());
    }
    ASSERT_TRUE(QFileInfo::exists(socket));

    Start next(folder, {}, work);
    ASSERT_TRUE(next.WaitLine("first"));
    Start second(folder, {"/srv/a.vmn"}, work);
    ASSERT_TRUE(second.WaitEnd());
    EXPECT_TRUE(second.EndedWithZero());
    ASSERT_TRUE(next.WaitLine("text "));
    EXPECT_EQ(next.Line("text "), "/srv/a.vmn");

    kill(static_cast<pid_t>(next.Pid()), SIGINT);
    ASSERT_TRUE(next.WaitEnd());
    EXPECT_TRUE(next.EndedWithZero());
}

TEST(SingleInstanceProcess, ASecondStartEndsWithZeroWhenTheFirstDoesNotAnswer) {
    struct Case {
        const char* name;
        bool listen;
        bool answerZero;
    };
    const Case cases[] = {
        {"answers 0", true, true},
        {"never answers", true, false},
        {"not listening", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = PrivateFolder();
        InstanceLock lock(folder);
        ASSERT_EQ(lock.TryAcquire(), InstanceLock::Result::kAcquired);
        QLocalServer server;
        if (c.listen) {
            ASSERT_TRUE(server.listen(QString::fromStdString(folder) + "/Tallowmere Class"));
            QObject::connect(&server, &QLocalServer::newConnection, [&] {
                while (QLocalSocket* peer = server.nextPendingConnection()) {
                    QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, &c] {
                        peer->readAll();
                        if (c.answerZero)
                            peer->write("\0", 1);
                    });
                }
            });
        }
        Start second(folder, {"x"}, test::MakeTempDir("work"));
        ASSERT_TRUE(second.WaitEnd());
        EXPECT_TRUE(second.EndedWithZero());
        EXPECT_FALSE(second.Line("second ").isNull());
        EXPECT_LT(SecondMs(second), 2000);
    }
}

}  // namespace
}  // namespace tallowmere::ui
