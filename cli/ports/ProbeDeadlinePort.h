// A probe's port: a short wait for each byte and one deadline for the whole
// exchange, counted from the open. A device that trickles its answer a byte
// a second would otherwise hold a probe for minutes. It only narrows the
// deadlines it hands down: the open's set-up (a network port's lookup,
// connection and negotiation) ends within the wait for a byte, and each byte
// is waited for until the earlier of that wait and the exchange's deadline.
// query and configure keep the device link's waits, as the window does.
#pragma once

#include "ForwardingPort.h"

#include <chrono>
#include <memory>
#include <string>

class ProbeDeadlinePort : public ForwardingPort {
public:
    ProbeDeadlinePort(std::unique_ptr<SerialPort> port, std::chrono::milliseconds byteWait,
                      std::chrono::milliseconds budget);

    PortResult Open(const std::string& path, Deadline setUpBy) override;
    PortResult ReadByte(char& byte, Deadline by) override;

private:
    std::chrono::milliseconds m_byteWait;
    std::chrono::milliseconds m_budget;
    Deadline m_deadline;
};
