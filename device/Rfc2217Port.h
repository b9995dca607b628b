// A serial port on a Telnet server with the COM Port Control option (RFC
// 2217), over a connection such as a TCP socket port. Opening connects, then
// asks for BINARY both ways, SUPPRESS-GO-AHEAD and COM-PORT-OPTION, and sets
// the server's port to the device's line (115200 baud, 8 data bits, no
// parity, 1 stop bit, no flow control), waiting for each acknowledgement.
// The data then goes through with Telnet's escaping: 0xFF doubled on the way
// out, IAC IAC as one 0xFF on the way in, commands taken out.
#pragma once

#include "SerialPort.h"
#include "TelnetDecoder.h"

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

class Rfc2217Port : public SerialPort {
public:
    // `connection` carries the bytes as they are (a socket port).
    explicit Rfc2217Port(std::unique_ptr<SerialPort> connection);

    PortResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override;
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte) override;
    PortResult SetReadTimeout(unsigned milliseconds) override;

private:
    using Clock = std::chrono::steady_clock;

    PortResult Negotiate();
    // The next event of the stream before `deadline`, answering the
    // server's requests on the way. Not Ok when the connection failed or the
    // time ran out.
    PortResult NextEvent(Clock::time_point deadline, TelnetEvent& event);
    PortResult Answer(const TelnetEvent& event);
    PortResult SendCommand(const std::string& bytes);

    std::unique_ptr<SerialPort> m_connection;
    TelnetDecoder m_decoder;
    std::chrono::milliseconds m_readByteWait;
    // Data bytes that came during the negotiation, handed out first;
    // bounded, as a device speaks only when spoken to.
    std::string m_early;
    std::size_t m_earlyNext = 0;
};
