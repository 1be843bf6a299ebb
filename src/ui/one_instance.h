#pragma once
// One running copy of the program per user. The copy that takes the instance
// lock listens on a local socket in the user's private lock folder, from the
// first moments of start-up; a later start hands its command line over that
// socket, bounded in time, and ends. The running copy answers at once, keeps
// what arrives before its main window exists, and then brings the window
// forward. Nothing handed over is ever opened or run.
//
// At start-up, right after the application object:
//   COneInstance instance;
//   if (instance.Claim() == COneInstance::Role::kSecond) {
//       instance.HandOver(QCoreApplication::arguments().mid(1));
//       return 0;
//   }
//   ... password prompt, main window shown ...
//   instance.SetFrameReady([&] { return wizard ? wizard : frame; });
// The object lives until the program ends: it holds the lock.
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "ui/logic/hand_over_inbox.h"
#include "ui/logic/instance_frames.h"
#include "ui/logic/instance_lock.h"

class QLocalSocket;
class QWidget;

namespace tallowmere::ui {

class COneInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COneInstance)

  public:
    enum class Role {
        kFirst,   // this start is the running copy (listening when it could)
        kSecond,  // another copy runs: hand over and end with code 0
    };

    // A second start's waits.
    static constexpr int kConnectTimeoutMs = 500;
    static constexpr int kAnswerTimeoutMs = 1000;
    // A connection to the running copy lives at most this long.
    static constexpr int kConnectionTimeoutMs = 2000;
    // More connections at once are closed as they come.
    static constexpr std::size_t kMaxConnections = 8;

    // folder: the lock folder; empty means platform::LockFolder().
    explicit COneInstance(std::string folder = {}, QObject* parent = nullptr);
    // Stops listening before the lock goes, so a copy that starts next
    // never loses its socket to this one.
    ~COneInstance() override;

    // Takes the instance lock; the first copy removes a socket file left by a
    // copy that died and listens at once. A failed listen leaves a first copy
    // that others cannot reach, but start-up goes on.
    Role Claim();
    bool Listening() const { return server_.isListening(); }
    // The socket's full path.
    QString ServerName() const;

    // A second start: whether a running copy answers the IsMe query.
    bool FindOther();
    // A second start: hands text over (cut to 1023 bytes); true when the
    // running copy answered 1. Returns within the connect and answer waits.
    // Both need the application object.
    bool ActivateOther(const std::string& commandLine);
    // ActivateOther with the arguments after the program's name, file
    // arguments made absolute against the current folder.
    bool HandOver(const QStringList& arguments);

    // The running copy's window exists: what waited is delivered, then each
    // hand-over as it comes (always from the event loop). raiseTarget names
    // the window to bring forward (the wizard while it runs, else the main
    // window); it may return nullptr.
    void SetFrameReady(std::function<QWidget*()> raiseTarget);

  signals:
    // A second start asked the running copy to come forward.
    void raiseRequested();
    // The text it handed over, when not empty (at most 1023 bytes, as UTF-8).
    void commandLineReceived(const QString& text);
    void databaseNotify(quint32 wParam, quint32 lParam);

  private:
    void Listen();
    void Accept();
    void Read(QLocalSocket* socket);
    void Drop(QLocalSocket* socket);
    void Post(InstanceRequest request);
    void Deliver(const InstanceRequest& request);
    std::optional<char> Exchange(FrameType type, std::string_view payload) const;

    InstanceLock lock_;
    // After the lock, so it is closed first.
    QLocalServer server_;
    std::map<QLocalSocket*, InstanceConnection> peers_;
    HandOverInbox inbox_;
    std::function<QWidget*()> raiseTarget_;
};

// Brings a window forward as far as the window manager lets us: restores it
// when minimised, keeps a hidden window hidden (it is hidden on purpose).
void RaiseWindow(QWidget& window);

}  // namespace tallowmere::ui
