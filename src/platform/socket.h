#pragma once
// IPv4 sockets for the local-network sync server. Every descriptor is
// close-on-exec, no send raises SIGPIPE, and every wait is bounded: a
// silent peer costs at most the time-out it was given.
#include <netinet/in.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace tallowmere::platform {

// Owns one descriptor; -1 is none.
class Socket {
  public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket() { Close(); }
    Socket(Socket&& other) noexcept : fd_(other.Release()) {}
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    int Fd() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();
    void Close();

  private:
    int fd_ = -1;
};

// A pipe that wakes a waiting thread: Signal makes the read end readable
// until Drain.
class WakePipe {
  public:
    WakePipe();
    bool Valid() const { return read_.Valid() && write_.Valid(); }
    int ReadFd() const { return read_.Fd(); }
    void Signal();
    void Drain();

  private:
    Socket read_;
    Socket write_;
};

// "a.b.c.d" into an address; false for anything else.
bool ParseIpv4(const std::string& text, in_addr& address);
std::string FormatIpv4(const in_addr& address);

// A TCP socket listening on address:port (port 0: the system picks one),
// with SO_REUSEADDR so a restart can bind while old connections linger.
// Invalid on failure, errno kept.
Socket OpenTcpListener(const std::string& address, std::uint16_t port);
// A UDP socket bound to address:port, without SO_REUSEADDR so that no other
// process can share the port.
Socket OpenUdpSocket(const std::string& address, std::uint16_t port);
// The port a socket is bound to; 0 when unknown.
std::uint16_t LocalPort(const Socket& socket);

enum class WaitResult { kReady, kTimedOut, kWoken, kError };
// Waits until fd is readable (or writable), wakeFd (when >= 0) is readable,
// or the time-out ends.
WaitResult WaitReadable(int fd, int wakeFd, std::chrono::milliseconds timeout);
WaitResult WaitWritable(int fd, std::chrono::milliseconds timeout);

// The next connection of a listener, non-blocking off; invalid on failure.
// The peer's address goes to peer when given.
Socket AcceptConnection(const Socket& listener, sockaddr_in* peer = nullptr);
// A connection to address:port, for peers and tests.
Socket ConnectTcp(const std::string& address, std::uint16_t port,
                  std::chrono::milliseconds timeout);

// One receive of at most size bytes within the time-out: the count, 0 when
// the peer closed, -1 on error, time-out or when wakeFd (if >= 0) is
// readable.
long ReceiveSome(int fd, void* buffer, std::size_t size, std::chrono::milliseconds timeout,
                 int wakeFd = -1);
// Sends every byte, each wait bounded by the time-out; false on error,
// time-out or a closed peer. Bytes that fit at once are sent without a
// wait; a wait ends early, and the send fails, once wakeFd (if >= 0) is
// readable.
bool SendAll(int fd, const void* data, std::size_t size, std::chrono::milliseconds timeout,
             int wakeFd = -1);

// One datagram within the time-out, with its sender; -1 on error or time-out.
long ReceiveDatagram(int fd, void* buffer, std::size_t size, sockaddr_in& from,
                     std::chrono::milliseconds timeout);
bool SendDatagram(int fd, const void* data, std::size_t size, const sockaddr_in& to);

// Ends both directions so a thread blocked on the socket returns.
void ShutdownSocket(int fd);

}  // namespace tallowmere::platform
