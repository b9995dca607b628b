// A serial port over a connected stream socket (TCP, Bluetooth RFCOMM) on
// POSIX: the waits and outcomes of the tty back end.
#pragma once

#include "PosixIo.h"
#include "SerialPort.h"
#include "UniqueFd.h"

#include <cstddef>
#include <functional>

#include <sys/socket.h>

// Makes and connects the socket for an open, before the deadline: Ok, or
// OpenFailed with the system's reason.
using SocketConnector = std::function<PortResult(UniqueFd& socket, PosixClock::time_point deadline)>;

// Connects `fd` (non-blocking) to `address`, waiting until `deadline`.
PortResult ConnectBefore(int fd, const sockaddr* address, socklen_t length, PosixClock::time_point deadline);

class PosixSocketPort : public SerialPort {
public:
    explicit PosixSocketPort(SocketConnector connect);
    ~PosixSocketPort() override;

    PortResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return m_socket.IsValid(); }
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte) override;
    PortResult SetReadTimeout(unsigned milliseconds) override;

private:
    static constexpr std::size_t ReadAheadSize = 256;

    SocketConnector m_connect;
    UniqueFd m_socket;
    std::chrono::milliseconds m_readByteWait;
    char m_readAhead[ReadAheadSize] = {};
    std::size_t m_readAheadNext = 0;
    std::size_t m_readAheadEnd = 0;
};
