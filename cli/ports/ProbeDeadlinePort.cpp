#include "ProbeDeadlinePort.h"

ProbeDeadlinePort::ProbeDeadlinePort(std::unique_ptr<SerialPort> port, std::chrono::milliseconds byteWait,
                                     std::chrono::milliseconds budget)
    : ForwardingPort(std::move(port)), m_byteWait(byteWait), m_budget(budget), m_deadline(DeadlineAfter(budget))
{}

PortResult ProbeDeadlinePort::Open(const std::string& path, Deadline setUpBy)
{
    m_deadline = DeadlineAfter(m_budget);
    return ForwardingPort::Open(path, Earlier(setUpBy, Earlier(m_deadline, DeadlineAfter(m_byteWait))));
}

PortResult ProbeDeadlinePort::ReadByte(char& byte, Deadline by)
{
    return ForwardingPort::ReadByte(byte, Earlier(by, Earlier(m_deadline, DeadlineAfter(m_byteWait))));
}
