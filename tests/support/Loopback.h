// This machine's loopback address, 127.0.0.1 or ::1, with a port: where the
// tests' servers listen and their clients connect (POSIX).
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

struct LoopbackAddress {
    sockaddr_storage storage = {};
    socklen_t length = 0;

    sockaddr* Get() { return reinterpret_cast<sockaddr*>(&storage); }
    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&storage); }
    int Family() const { return storage.ss_family; }
    unsigned short Port() const
    {
        return ntohs(Family() == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&storage)->sin6_port
                                          : reinterpret_cast<const sockaddr_in*>(&storage)->sin_port);
    }
};

// 127.0.0.1:port, or [::1]:port with `ipv6`. Port 0 lets bind choose one
// (getsockname into Get() and length then tells which).
inline LoopbackAddress Loopback(unsigned short port, bool ipv6 = false)
{
    LoopbackAddress address;
    if (ipv6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&address.storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_addr = in6addr_loopback;
        in6->sin6_port = htons(port);
        address.length = sizeof *in6;
    } else {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&address.storage);
        in4->sin_family = AF_INET;
        in4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        in4->sin_port = htons(port);
        address.length = sizeof *in4;
    }
    return address;
}
