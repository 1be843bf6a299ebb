#include "ui/one_instance.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/named_mutex.h"
#include "ui/logic/hand_over_text.h"

namespace tallowmere::ui {

namespace {

constexpr char kServerFile[] = "Tallowmere Class";
// Enough for a whole command-line frame; the reader keeps less.
constexpr qint64 kReadChunk = 4096;
// Between connect attempts of a second start.
constexpr int kRetryMs = 20;

// The private folder admits only this user; this holds even if it did not.
bool PeerIsThisUser(const QLocalSocket& socket) {
    struct ucred peer {};
    socklen_t size = sizeof peer;
    if (getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                   &size) != 0) {
        return false;
    }
    return peer.uid == geteuid();
}

}  // namespace

COneInstance::COneInstance(std::string folder, QObject* parent)
    : QObject(parent), lock_(folder.empty() ? platform::LockFolder() : std::move(folder)) {
    connect(&server_, &QLocalServer::newConnection, this, &COneInstance::Accept);
}

COneInstance::~COneInstance() {
    for (const auto& [socket, connection] : peers_)
        socket->disconnect(this);
    peers_.clear();
    server_.close();
}

QString COneInstance::ServerName() const {
    return QFile::decodeName(QByteArray::fromStdString(lock_.Folder())) + '/' + kServerFile;
}

COneInstance::Role COneInstance::Claim() {
    switch (lock_.TryAcquire()) {
        case InstanceLock::Result::kHeldElsewhere:
            return Role::kSecond;
        case InstanceLock::Result::kUnavailable:
            std::fprintf(stderr,
                         "tallowmere: %s is not a private folder of this user; "
                         "another copy of the program may be running.\n",
                         lock_.Folder().c_str());
            return Role::kFirst;
        case InstanceLock::Result::kAcquired:
            break;
    }
    if (!server_.isListening())
        Listen();
    return Role::kFirst;
}

void COneInstance::Listen() {
    // Only the lock holder gets here, so a socket file is one a dead copy left.
    QLocalServer::removeServer(ServerName());
    // UserAccessOption would bind elsewhere and rename over the name, taking
    // it from a live server; the private folder does its work.
    server_.setSocketOptions(QLocalServer::NoOptions);
    if (!server_.listen(ServerName())) {
        std::fprintf(stderr, "tallowmere: cannot listen at %s: %s\n", qPrintable(ServerName()),
                     qPrintable(server_.errorString()));
    }
}

void COneInstance::Accept() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        if (peers_.size() >= kMaxConnections || !PeerIsThisUser(*socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        peers_.emplace(socket, InstanceConnection());
        // Bounds what Qt buffers for a peer that writes faster than we read.
        socket->setReadBufferSize(kReadChunk);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { Read(socket); });
        // A peer that sends and hangs up at once is still heard.
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            Read(socket);
            Drop(socket);
        });
        QTimer::singleShot(kConnectionTimeoutMs, socket, [this, socket] { Drop(socket); });
        Read(socket);
    }
}

void COneInstance::Read(QLocalSocket* socket) {
    auto peer = peers_.find(socket);
    if (peer == peers_.end())
        return;
    char buffer[kReadChunk];
    qint64 n;
    while ((n = socket->read(buffer, sizeof buffer)) > 0) {
        InstanceConnection::Result result =
            peer->second.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        if (!result.reply.empty())
            socket->write(result.reply.data(), static_cast<qint64>(result.reply.size()));
        for (InstanceRequest& request : result.requests)
            Post(std::move(request));
        if (result.close) {
            Drop(socket);
            return;
        }
    }
}

void COneInstance::Drop(QLocalSocket* socket) {
    if (peers_.erase(socket) == 0)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void COneInstance::Post(InstanceRequest request) {
    std::optional<InstanceRequest> now = inbox_.Add(std::move(request));
    if (!now)
        return;
    // From the event loop, not from inside the socket's signal: a receiver may
    // open a dialog.
    QMetaObject::invokeMethod(
        this, [this, request = std::move(*now)] { Deliver(request); }, Qt::QueuedConnection);
}

void COneInstance::SetFrameReady(std::function<QWidget*()> raiseTarget) {
    raiseTarget_ = std::move(raiseTarget);
    for (InstanceRequest& request : inbox_.Open()) {
        QMetaObject::invokeMethod(
            this, [this, request = std::move(request)] { Deliver(request); }, Qt::QueuedConnection);
    }
}

void COneInstance::Deliver(const InstanceRequest& request) {
    if (request.kind == InstanceRequest::Kind::kDatabaseNotify) {
        emit databaseNotify(request.wParam, request.lParam);
        return;
    }
    if (raiseTarget_) {
        if (QWidget* window = raiseTarget_())
            RaiseWindow(*window);
    }
    emit raiseRequested();
    if (!request.commandLine.empty())
        emit commandLineReceived(QString::fromUtf8(request.commandLine));
}

std::optional<char> COneInstance::Exchange(FrameType type, std::string_view payload) const {
    const std::string frame = EncodeFrame(type, payload);
    QLocalSocket socket;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QTimer retry;
    retry.setSingleShot(true);
    std::optional<char> answer;
    bool connected = false;
    bool done = false;
    auto finish = [&] {
        done = true;
        loop.quit();
    };
    auto takeAnswer = [&] {
        char byte;
        if (!answer && socket.read(&byte, 1) == 1)
            answer = byte;
        return answer.has_value();
    };
    connect(&socket, &QLocalSocket::connected, &loop, [&] {
        connected = true;
        socket.write(frame.data(), static_cast<qint64>(frame.size()));
        deadline.start(kAnswerTimeoutMs);
    });
    connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
        if (takeAnswer())
            finish();
    });
    connect(&socket, &QLocalSocket::errorOccurred, &loop,
            [&](QLocalSocket::LocalSocketError error) {
                // A copy that has just taken the lock may not listen yet
                // (starts at the same moment): try again while the connect
                // wait lasts.
                const bool notYet = error == QLocalSocket::ServerNotFoundError ||
                                    error == QLocalSocket::ConnectionRefusedError;
                if (!connected && notYet) {
                    retry.start(kRetryMs);
                    return;
                }
                // A peer that answers and hangs up at once has still answered.
                takeAnswer();
                finish();
            });
    connect(&socket, &QLocalSocket::disconnected, &loop, [&] {
        takeAnswer();
        finish();
    });
    connect(&retry, &QTimer::timeout, &loop, [&] { socket.connectToServer(ServerName()); });
    connect(&deadline, &QTimer::timeout, &loop, finish);
    deadline.start(kConnectTimeoutMs);
    socket.connectToServer(ServerName());
    // The exchange may already be over here; otherwise the deadline ends it.
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    socket.abort();
    return answer;
}

bool COneInstance::FindOther() {
    return Exchange(FrameType::kIsMe, {}) == kAnswerYes;
}

bool COneInstance::ActivateOther(const std::string& commandLine) {
    return Exchange(FrameType::kCommandLine,
                    std::string_view(commandLine).substr(0, kMaxCommandLine)) == kAnswerYes;
}

bool COneInstance::HandOver(const QStringList& arguments) {
    std::vector<std::string> bytes;
    for (const QString& argument : arguments)
        bytes.push_back(QFile::encodeName(argument).toStdString());
    return ActivateOther(
        BuildHandOverText(bytes, QFile::encodeName(QDir::currentPath()).toStdString()));
}

void RaiseWindow(QWidget& window) {
    if (window.isHidden())
        return;
    if (window.isMinimized())
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

}  // namespace tallowmere::ui
