// A probe's port: a short wait for each byte and one deadline for the whole
// exchange, counted from the open. A device that trickles its answer a byte
// a second would otherwise hold a probe for minutes. Before the open the
// wrapped port is given the wait for a byte (a network port also bounds its
// connection and set-up with it); before each byte, that wait or the time
// left, whichever is shorter (SerialPort::SetReadTimeout). Once the time is
// gone a read ends as a time-out without asking the port.
// query and configure keep the device link's waits, as the window does.
#pragma once

#include "SerialPort.h"

#include <chrono>
#include <memory>
#include <string>

class ProbeDeadlinePort : public SerialPort {
public:
    ProbeDeadlinePort(std::unique_ptr<SerialPort> port, std::chrono::milliseconds byteWait,
                      std::chrono::milliseconds budget);

    PortResult Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override;
    PortResult Write(const void* data, std::size_t length) override;
    PortResult ReadByte(char& byte) override;
    // The deadline sets the read waits; a wait asked for from outside is
    // taken and ignored.
    PortResult SetReadTimeout(unsigned milliseconds) override;

private:
    std::unique_ptr<SerialPort> m_port;
    std::chrono::milliseconds m_byteWait;
    std::chrono::milliseconds m_budget;
    std::chrono::steady_clock::time_point m_deadline;
};
