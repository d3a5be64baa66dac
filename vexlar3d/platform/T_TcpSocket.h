#pragma once

#include "vexlar3d/core/T_NonCopyable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

// A TCP connection (or a listening socket) over POSIX sockets, always in
// non-blocking mode: nothing here waits except Wait, and only as long as it is
// told. Failures come back as false or -1 with the reason in `why`; a socket
// that failed is closed.
class T_TcpSocket : private T_NonCopyable
{
public:
    // A resolved peer or local address.
    struct Address
    {
        std::array<unsigned char, 128> bytes{}; // the system's address record
        std::uint32_t length = 0;
        std::string text; // "127.0.0.1:1338", "[::1]:1338"
    };

    enum class Status
    {
        Pending,   // the connection is still being made
        Connected, // ready to send and receive
        Failed,    // refused, unreachable, or the socket is closed
    };

    T_TcpSocket() = default;
    ~T_TcpSocket();
    T_TcpSocket(T_TcpSocket&& other) noexcept;
    T_TcpSocket& operator=(T_TcpSocket&& other) noexcept;

    // Turns a host (a numeric IPv4 or IPv6 address, or a name) and a port into
    // an address, preferring IPv4. A name may need the resolver, which can
    // take a while: resolve once, before frames are drawn, and keep it.
    static bool Resolve(const std::string& host, std::uint16_t port, Address& address, std::string& why);

    // Starts connecting to `address`, closing whatever was open. True when the
    // attempt is under way (or already done): ask CheckConnection how it went.
    bool Connect(const Address& address, std::string& why);
    // How the connection started by Connect stands, without waiting.
    Status CheckConnection(std::string& why);

    // Binds to `address` (port 0: any free port) and listens, for servers.
    bool Listen(const Address& address, std::string& why);
    // Takes one waiting connection into `client`; false when none is waiting.
    bool Accept(T_TcpSocket& client);
    // The local port (of a listening or connected socket); 0 when closed.
    std::uint16_t GetLocalPort() const;

    // Reads what has arrived, up to `size` bytes: the count, 0 when nothing is
    // waiting, -1 when the peer closed the connection or it failed.
    std::int64_t Receive(void* buffer, std::size_t size, std::string& why);
    // Hands bytes to the system: how many it took (0 when its buffer is
    // full), -1 when the connection failed.
    std::int64_t Send(const void* data, std::size_t size, std::string& why);

    // Waits at most `milliseconds` until the socket can be read (or, with
    // forWriting, written, or a connection attempt has ended).
    bool Wait(std::int32_t milliseconds, bool forWriting) const;

    void Close();
    bool IsOpen() const { return m_fd >= 0; }

private:
    bool Open(const Address& address, std::string& why);
    void NoDelay();
    // Receive or Send: the count, 0 for "not now", -1 on failure.
    std::int64_t Transfer(bool sending, void* data, std::size_t size, std::string& why);
    void Fail(std::string& why, const char* what, int error);

    int m_fd = -1;
};
