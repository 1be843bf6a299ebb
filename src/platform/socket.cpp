#include "platform/socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace tallowmere::platform {
namespace {

int PollMillis(std::chrono::milliseconds timeout) {
    if (timeout.count() <= 0)
        return 0;
    return timeout.count() > INT_MAX ? INT_MAX : static_cast<int>(timeout.count());
}

bool MakeAddress(const std::string& address, std::uint16_t port, sockaddr_in& out) {
    out = sockaddr_in{};
    out.sin_family = AF_INET;
    out.sin_port = htons(port);
    return ParseIpv4(address, out.sin_addr);
}

Socket BoundSocket(int type, const std::string& address, std::uint16_t port, bool reuse) {
    sockaddr_in addr{};
    if (!MakeAddress(address, port, addr)) {
        errno = EINVAL;
        return Socket();
    }
    Socket s(socket(AF_INET, type | SOCK_CLOEXEC, 0));
    if (!s.Valid())
        return s;
    if (reuse) {
        const int one = 1;
        if (setsockopt(s.Fd(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0)
            return Socket();
    }
    if (bind(s.Fd(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
        return Socket();
    return s;
}

WaitResult Wait(int fd, short events, int wakeFd, std::chrono::milliseconds timeout) {
    pollfd fds[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
    const nfds_t count = wakeFd >= 0 ? 2 : 1;
    for (;;) {
        const int rc = poll(fds, count, PollMillis(timeout));
        if (rc < 0 && errno == EINTR)
            continue;
        if (rc < 0)
            return WaitResult::kError;
        if (rc == 0)
            return WaitResult::kTimedOut;
        if (count == 2 && (fds[1].revents & POLLIN) != 0)
            return WaitResult::kWoken;
        // Errors and hang-ups count as ready: the next call reports them.
        return WaitResult::kReady;
    }
}

}  // namespace

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.Release();
    }
    return *this;
}

int Socket::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Socket::Close() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

WakePipe::WakePipe() {
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        read_ = Socket(fds[0]);
        write_ = Socket(fds[1]);
    }
}

void WakePipe::Signal() {
    const char byte = 1;
    if (write_.Valid())
        (void)!write(write_.Fd(), &byte, 1);
}

void WakePipe::Drain() {
    char buffer[64];
    while (read_.Valid() && read(read_.Fd(), buffer, sizeof buffer) > 0) {
    }
}

bool ParseIpv4(const std::string& text, in_addr& address) {
    return inet_pton(AF_INET, text.c_str(), &address) == 1;
}

std::string FormatIpv4(const in_addr& address) {
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &address, text, sizeof text) == nullptr)
        return std::string();
    return text;
}

Socket OpenTcpListener(const std::string& address, std::uint16_t port) {
    Socket s = BoundSocket(SOCK_STREAM, address, port, true);
    if (s.Valid() && listen(s.Fd(), SOMAXCONN) != 0)
        return Socket();
    return s;
}

Socket OpenUdpSocket(const std::string& address, std::uint16_t port) {
    return BoundSocket(SOCK_DGRAM, address, port, false);
}

std::uint16_t LocalPort(const Socket& socket) {
    sockaddr_in addr{};
    socklen_t size = sizeof addr;
    if (!socket.Valid() || getsockname(socket.Fd(), reinterpret_cast<sockaddr*>(&addr), &size) != 0)
        return 0;
    return ntohs(addr.sin_port);
}

WaitResult WaitReadable(int fd, int wakeFd, std::chrono::milliseconds timeout) {
    return Wait(fd, POLLIN, wakeFd, timeout);
}

WaitResult WaitWritable(int fd, std::chrono::milliseconds timeout) {
    return Wait(fd, POLLOUT, -1, timeout);
}

Socket AcceptConnection(const Socket& listener, sockaddr_in* peer) {
    for (;;) {
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const int fd =
            accept4(listener.Fd(), reinterpret_cast<sockaddr*>(&from), &size, SOCK_CLOEXEC);
        if (fd >= 0 && peer != nullptr)
            *peer = from;
        if (fd < 0 && errno == EINTR)
            continue;
        return Socket(fd);
    }
}

Socket ConnectTcp(const std::string& address, std::uint16_t port,
                  std::chrono::milliseconds timeout) {
    sockaddr_in addr{};
    if (!MakeAddress(address, port, addr))
        return Socket();
    Socket s(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!s.Valid())
        return s;
    if (connect(s.Fd(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        if (errno != EINPROGRESS || WaitWritable(s.Fd(), timeout) != WaitResult::kReady)
            return Socket();
        int error = 0;
        socklen_t size = sizeof error;
        if (getsockopt(s.Fd(), SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
            return Socket();
    }
    const int flags = fcntl(s.Fd(), F_GETFL);
    if (flags < 0 || fcntl(s.Fd(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return Socket();
    return s;
}

long ReceiveSome(int fd, void* buffer, std::size_t size, std::chrono::milliseconds timeout,
                 int wakeFd) {
    if (fd < 0)
        return -1;
    for (;;) {
        if (WaitReadable(fd, wakeFd, timeout) != WaitResult::kReady)
            return -1;
        const ssize_t n = recv(fd, buffer, size, MSG_DONTWAIT);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
    }
}

bool SendAll(int fd, const void* data, std::size_t size, std::chrono::milliseconds timeout,
             int wakeFd) {
    if (fd < 0)
        return false;
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = send(fd, p, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return false;
            if (Wait(fd, POLLOUT, wakeFd, timeout) != WaitResult::kReady)
                return false;
            continue;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

long ReceiveDatagram(int fd, void* buffer, std::size_t size, sockaddr_in& from,
                     std::chrono::milliseconds timeout) {
    for (;;) {
        if (WaitReadable(fd, -1, timeout) != WaitResult::kReady)
            return -1;
        socklen_t fromSize = sizeof from;
        from = sockaddr_in{};
        const ssize_t n =
            recvfrom(fd, buffer, size, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (n >= 0)
            return from.sin_family == AF_INET ? static_cast<long>(n) : -1;
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
    }
}

bool SendDatagram(int fd, const void* data, std::size_t size, const sockaddr_in& to) {
    const ssize_t n = sendto(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT,
                             reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return n == static_cast<ssize_t>(size);
}

void ShutdownSocket(int fd) {
    if (fd >= 0)
        shutdown(fd, SHUT_RDWR);
}

}  // namespace tallowmere::platform
