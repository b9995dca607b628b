#include "ProbeDeadlinePort.h"

#include <algorithm>

ProbeDeadlinePort::ProbeDeadlinePort(std::unique_ptr<SerialPort> port, std::chrono::milliseconds byteWait,
                                     std::chrono::milliseconds budget)
    : m_port(std::move(port)),
      m_byteWait(byteWait),
      m_budget(budget),
      m_deadline(std::chrono::steady_clock::now() + budget)
{}

PortResult ProbeDeadlinePort::Open(const std::string& path)
{
    m_deadline = std::chrono::steady_clock::now() + m_budget;
    const PortResult wait = m_port->SetReadTimeout(static_cast<unsigned>(m_byteWait.count()));
    if (!wait.Ok())
        return wait;
    return m_port->Open(path);
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

PortResult ProbeDeadlinePort::ReadByte(char& byte)
{
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(m_deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0)
        return PortFailed(LinkResult::Timeout, PortOperation::Read);
    const PortResult wait =
        m_port->SetReadTimeout(static_cast<unsigned>(std::min<long long>(left, m_byteWait.count())));
    if (!wait.Ok())
        return wait;
    return m_port->ReadByte(byte);
}

PortResult ProbeDeadlinePort::SetReadTimeout(unsigned)
{
    return PortSucceeded(PortOperation::SetReadTimeout, 0);
}
