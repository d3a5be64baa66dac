#include "vexlar3d/platform/T_TcpSocket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace
{
// The numeric text of an address record: "1.2.3.4:5" or "[::1]:5".
std::string AddressText(const sockaddr* address, socklen_t length)
{
    char host[NI_MAXHOST] = {};
    char port[NI_MAXSERV] = {};
    if (getnameinfo(address, length, host, sizeof host, port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return "?";
    if (address->sa_family == AF_INET6)
        return std::string("[") + host + "]:" + port;
    return std::string(host) + ":" + port;
}
} // namespace

T_TcpSocket::~T_TcpSocket()
{
    Close();
}

T_TcpSocket::T_TcpSocket(T_TcpSocket&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

T_TcpSocket& T_TcpSocket::operator=(T_TcpSocket&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool T_TcpSocket::Resolve(const std::string& host, std::uint16_t port, Address& address, std::string& why)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    const int result = getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (result != 0 || found == nullptr)
    {
        why = "cannot resolve \"" + host + "\": " + (result != 0 ? gai_strerror(result) : "no address");
        return false;
    }
    const addrinfo* chosen = found;
    for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next)
        if (entry->ai_family == AF_INET)
        {
            chosen = entry;
            break;
        }
    bool fits = chosen->ai_addrlen <= address.bytes.size();
    if (fits)
    {
        address.bytes.fill(0);
        std::memcpy(address.bytes.data(), chosen->ai_addr, chosen->ai_addrlen);
        address.length = static_cast<std::uint32_t>(chosen->ai_addrlen);
        address.text = AddressText(chosen->ai_addr, chosen->ai_addrlen);
    }
    else
        why = "cannot resolve \"" + host + "\": unusable address";
    freeaddrinfo(found);
    return fits;
}

void T_TcpSocket::Fail(std::string& why, const char* what, int error)
{
    why = std::string(what) + ": " + std::strerror(error);
    Close();
}

bool T_TcpSocket::Open(const Address& address, std::string& why)
{
    Close();
    if (address.length == 0 || address.length > address.bytes.size())
    {
        why = "no address";
        return false;
    }
    const auto* record = reinterpret_cast<const sockaddr*>(address.bytes.data());
    m_fd = ::socket(record->sa_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
    {
        Fail(why, "cannot make a socket", errno);
        return false;
    }
    return true;
}

bool T_TcpSocket::Connect(const Address& address, std::string& why)
{
    if (!Open(address, why))
        return false;
    const auto* record = reinterpret_cast<const sockaddr*>(address.bytes.data());
    if (::connect(m_fd, record, address.length) != 0 && errno != EINPROGRESS)
    {
        Fail(why, "cannot connect", errno);
        return false;
    }
    NoDelay();
    return true;
}

void T_TcpSocket::NoDelay()
{
    // Small messages go out at once rather than waiting to be joined.
    int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

T_TcpSocket::Status T_TcpSocket::CheckConnection(std::string& why)
{
    if (m_fd < 0)
    {
        why = "not connected";
        return Status::Failed;
    }
    if (!Wait(0, true))
        return Status::Pending;
    int error = 0;
    socklen_t length = sizeof error;
    if (::getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
        error = errno;
    if (error != 0)
    {
        Fail(why, "cannot connect", error);
        return Status::Failed;
    }
    return Status::Connected;
}

bool T_TcpSocket::Listen(const Address& address, std::string& why)
{
    if (!Open(address, why))
        return false;
    int on = 1;
    ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const auto* record = reinterpret_cast<const sockaddr*>(address.bytes.data());
    if (::bind(m_fd, record, address.length) != 0)
    {
        Fail(why, "cannot bind", errno);
        return false;
    }
    if (::listen(m_fd, 4) != 0)
    {
        Fail(why, "cannot listen", errno);
        return false;
    }
    return true;
}

bool T_TcpSocket::Accept(T_TcpSocket& client)
{
    if (m_fd < 0)
        return false;
    const int fd = ::accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return false;
    client.Close();
    client.m_fd = fd;
    client.NoDelay();
    return true;
}

std::uint16_t T_TcpSocket::GetLocalPort() const
{
    if (m_fd < 0)
        return 0;
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &length) != 0)
        return 0;
    if (local.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in*>(&local)->sin_port);
    if (local.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6*>(&local)->sin6_port);
    return 0;
}

std::int64_t T_TcpSocket::Transfer(bool sending, void* data, std::size_t size, std::string& why)
{
    if (m_fd < 0)
    {
        why = "not connected";
        return -1;
    }
    if (size == 0)
        return 0;
    for (;;)
    {
        // MSG_NOSIGNAL: a closed peer is an error here, not a signal.
        const ssize_t done = sending ? ::send(m_fd, data, size, MSG_NOSIGNAL) : ::recv(m_fd, data, size, 0);
        if (done > 0 || (done == 0 && sending))
            return done;
        if (done == 0)
        {
            why = "the peer closed the connection";
            Close();
            return -1;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        Fail(why, sending ? "cannot send" : "cannot receive", errno);
        return -1;
    }
}

std::int64_t T_TcpSocket::Receive(void* buffer, std::size_t size, std::string& why)
{
    return Transfer(false, buffer, size, why);
}

std::int64_t T_TcpSocket::Send(const void* data, std::size_t size, std::string& why)
{
    // send() only reads the bytes.
    return Transfer(true, const_cast<void*>(data), size, why);
}

bool T_TcpSocket::Wait(std::int32_t milliseconds, bool forWriting) const
{
    if (m_fd < 0)
        return false;
    pollfd entry{m_fd, static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    const int ready = ::poll(&entry, 1, milliseconds < 0 ? 0 : milliseconds);
    return ready > 0 && entry.revents != 0;
}

void T_TcpSocket::Close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}
