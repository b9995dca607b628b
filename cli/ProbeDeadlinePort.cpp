#include "ProbeDeadlinePort.h"

ProbeDeadlinePort::ProbeDeadlinePort(std::unique_ptr<SerialPort> port, std::chrono::milliseconds byteWait,
                                     std::chrono::milliseconds budget)
    : m_port(std::move(port)), m_byteWait(byteWait), m_budget(budget), m_deadline(DeadlineAfter(budget))
{}

PortResult ProbeDeadlinePort::Open(const std::string& path, Deadline setUpBy)
{
    m_deadline = DeadlineAfter(m_budget);
    return m_port->Open(path, Earlier(setUpBy, Earlier(m_deadline, DeadlineAfter(m_byteWait))));
}

void ProbeDeadlinePort::Close()
{
    m_port->Close();
}

bool ProbeDeadlinePort::IsOpen() const
{
    return m_port->IsOpen();
}

PortResult ProbeDeadlinePort::Write(const void* data, std::size_t length)
{
    return m_port->Write(data, length);
}

PortResult ProbeDeadlinePort::ReadByte(char& byte, Deadline by)
{
    return m_port->ReadByte(byte, Earlier(by, Earlier(m_deadline, DeadlineAfter(m_byteWait))));
}

PortResult ProbeDeadlinePort::DiscardInput(std::string& discarded)
{
    return m_port->DiscardInput(discarded);
}
