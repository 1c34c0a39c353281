// TCP socket of the host, in place of the instrument's Winsock calls. Sends
// never raise SIGPIPE; listening sockets reuse their address; Shutdown() from
// any thread wakes a thread blocked in Accept or Recv on the same socket.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>

// Where making a listening socket failed, and the error number.
struct SocketError {
    enum Step { kNone, kSocket, kBind, kListen };
    Step step = kNone;
    int code = 0;
};

class Socket {
public:
    Socket() = default;
    explicit Socket(int fd) : fd_(fd) {}
    ~Socket();
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;

    // Binds and listens on address (dotted IPv4, "" or "0.0.0.0" for every
    // interface) and port (0 lets the kernel pick). Invalid socket on failure,
    // with the failed step and its error number in error when given.
    static Socket Listen(const std::string& address, uint16_t port, int backlog = 8, SocketError* error = nullptr);
    // Connects to a dotted IPv4 address and port. Invalid socket on failure.
    static Socket Connect(const std::string& address, uint16_t port);

    bool IsValid() const { return fd_.load() >= 0; }
    int Fd() const { return fd_.load(); }
    // Port the socket is bound to (0 when unknown).
    uint16_t LocalPort() const;

    // Waits for a client; invalid socket when the listener was shut down or
    // failed (errno tells why). The client's IPv4 address, first octet in the
    // top byte, goes to peerAddress when given.
    Socket Accept(uint32_t* peerAddress = nullptr);

    // Reads up to size bytes: the count, 0 at end of stream, -1 on error.
    long Recv(void* buffer, size_t size);
    // Reads exactly size bytes; false at end of stream or on error.
    bool RecvAll(void* buffer, size_t size);
    // As Recv, giving up after timeoutMs (returns -2 on time-out).
    long RecvFor(void* buffer, size_t size, int timeoutMs);
    // Sends every byte; false on error.
    bool SendAll(const void* data, size_t size);
    // Sends every byte of first, then of second, in one write where the
    // socket takes both; false on error.
    bool SendAll(const void* first, size_t firstSize, const void* second, size_t secondSize);

    // True when the peer reset the connection, or closed its sending side
    // and every byte it sent has been read. What arrived while another
    // thread's send or receive was working on the socket counts too: the
    // look first lets that call finish its work (microseconds; a call that
    // waits for the peer or for room is not waited for).
    bool PeerGone() const;

    // Stops both directions; blocked Accept/Recv return. The descriptor stays
    // open until Close() or destruction.
    void Shutdown();
    void Close();

private:
    std::atomic<int> fd_{-1};
};
