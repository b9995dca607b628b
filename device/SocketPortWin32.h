// A serial port over a connected stream socket (TCP, Bluetooth RFCOMM)
// through Winsock: the waits and outcomes of the COM port back end.
#pragma once

#include "SerialPort.h"
#include "UniqueSocketWin32.h"

#include <chrono>
#include <cstddef>
#include <functional>

using SocketClock = std::chrono::steady_clock;

// Makes and connects the socket for an open, before the deadline: Ok, or
// OpenFailed with the system's reason.
using SocketConnector = std::function<PortResult(UniqueSocket& socket, SocketClock::time_point deadline)>;

// Winsock is started once, on first use, for the life of the program. Ok,
// or OpenFailed with the reason it could not start.
PortResult StartWinsock();

// Connects `socket` (non-blocking) to `address`, waiting until `deadline`.
PortResult ConnectBefore(SOCKET socket, const sockaddr* address, int length, SocketClock::time_point deadline);

class Win32SocketPort : public SerialPort {
public:
    explicit Win32SocketPort(SocketConnector connect);

    PortResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_socket.IsValid(); }
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte) override;
    PortResult SetReadTimeout(unsigned milliseconds) override;

private:
    static constexpr std::size_t ReadAheadSize = 256;

    SocketConnector m_connect;
    UniqueSocket m_socket;
    std::chrono::milliseconds m_readByteWait;
    char m_readAhead[ReadAheadSize] = {};
    std::size_t m_readAheadNext = 0;
    std::size_t m_readAheadEnd = 0;
};
