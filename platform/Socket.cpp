#include "Socket.h"

#include <arpa/inet.h>
#include <algorithm>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

Socket::~Socket()
{
    Close();
}

Socket::Socket(Socket&& other) noexcept : fd_(other.fd_.exchange(-1)) {}

Socket& Socket::operator=(Socket&& other) noexcept
{
    if (this != &other) {
        Close();
        fd_.store(other.fd_.exchange(-1));
    }
    return *this;
}

namespace {
bool ParseAddress(const std::string& address, in_addr& out)
{
    if (address.empty()) {
        out.s_addr = htonl(INADDR_ANY);
        return true;
    }
    return inet_pton(AF_INET, address.c_str(), &out) == 1;
}
} // namespace

Socket Socket::Listen(const std::string& address, uint16_t port, int backlog, SocketError* error)
{
    auto fail = [error](SocketError::Step step, int code) {
        if (error != nullptr) {
            error->step = step;
            error->code = code;
        }
        return Socket();
    };
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (!ParseAddress(address, sa.sin_addr))
        return fail(SocketError::kBind, EINVAL);
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail(SocketError::kSocket, errno);
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(SocketError::kBind, code);
    }
    if (::listen(fd, backlog) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(SocketError::kListen, code);
    }
    if (error != nullptr)
        *error = SocketError();
    return Socket(fd);
}

Socket Socket::Connect(const std::string& address, uint16_t port)
{
    sockaddr_in sa {};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    if (!ParseAddress(address, sa.sin_addr))
        return Socket();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Socket();
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return Socket();
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return Socket(fd);
}

uint16_t Socket::LocalPort() const
{
    sockaddr_in sa {};
    socklen_t len = sizeof sa;
    if (getsockname(fd_.load(), reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return 0;
    return ntohs(sa.sin_port);
}

Socket Socket::Accept(uint32_t* peerAddress)
{
    for (;;) {
        sockaddr_in peer {};
        socklen_t peerSize = sizeof peer;
        int fd = ::accept4(fd_.load(), reinterpret_cast<sockaddr*>(&peer), &peerSize, SOCK_CLOEXEC);
        if (fd >= 0) {
            int one = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            if (peerAddress != nullptr)
                *peerAddress = peer.sin_family == AF_INET ? ntohl(peer.sin_addr.s_addr) : 0;
            return Socket(fd);
        }
        if (errno != EINTR)
            return Socket();
    }
}

long Socket::Recv(void* buffer, size_t size)
{
    for (;;) {
        ssize_t n = ::recv(fd_.load(), buffer, size, 0);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR)
            return -1;
    }
}

bool Socket::RecvAll(void* buffer, size_t size)
{
    auto* p = static_cast<char*>(buffer);
    while (size > 0) {
        long n = Recv(p, size);
        if (n <= 0)
            return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

long Socket::RecvFor(void* buffer, size_t size, int timeoutMs)
{
    pollfd pfd {fd_.load(), POLLIN, 0};
    int r;
    do {
        r = ::poll(&pfd, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r == 0)
        return -2;
    if (r < 0)
        return -1;
    return Recv(buffer, size);
}

bool Socket::SendAll(const void* data, size_t size)
{
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::send(fd_.load(), p, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool Socket::SendAll(const void* first, size_t firstSize, const void* second, size_t secondSize)
{
    iovec parts[2] = {{const_cast<void*>(first), firstSize}, {const_cast<void*>(second), secondSize}};
    msghdr message {};
    message.msg_iov = parts;
    message.msg_iovlen = 2;
    while (parts[0].iov_len > 0) {
        ssize_t n = ::sendmsg(fd_.load(), &message, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        const size_t fromFirst = std::min(static_cast<size_t>(n), parts[0].iov_len);
        parts[0].iov_base = static_cast<char*>(parts[0].iov_base) + fromFirst;
        parts[0].iov_len -= fromFirst;
        const size_t fromSecond = static_cast<size_t>(n) - fromFirst;
        parts[1].iov_base = static_cast<char*>(parts[1].iov_base) + fromSecond;
        parts[1].iov_len -= fromSecond;
    }
    return SendAll(parts[1].iov_base, parts[1].iov_len);
}

bool Socket::PeerGone() const
{
    const int fd = fd_.load();
    if (fd < 0)
        return false;
    // While a send or receive is working on the socket, the kernel holds
    // back what arrives for it (a reset among it) until that call is done.
    // Reading the connection's state waits for that moment, never for a call
    // that is itself waiting, so a reset that had arrived is seen below.
    tcp_info info {};
    socklen_t infoSize = sizeof info;
    (void)::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &infoSize);
    pollfd pfd {fd, POLLRDHUP, 0};
    if (::poll(&pfd, 1, 0) <= 0)
        return false;
    if ((pfd.revents & (POLLERR | POLLHUP)) != 0)
        return true;
    int unread = 0;
    return (pfd.revents & POLLRDHUP) != 0 && ::ioctl(fd, FIONREAD, &unread) == 0 && unread == 0;
}

void Socket::Shutdown()
{
    int fd = fd_.load();
    if (fd >= 0)
        ::shutdown(fd, SHUT_RDWR);
}

void Socket::Close()
{
    int fd = fd_.exchange(-1);
    if (fd >= 0) {
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
}
