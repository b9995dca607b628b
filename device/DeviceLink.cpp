#include "DeviceLink.h"

#include "Protocol.h"
#include "ReplyLineReader.h"

DeviceLink::DeviceLink(std::unique_ptr<SerialPort> port) : m_port(std::move(port)) {}

void DeviceLink::Close()
{
    m_port->Close();
}

// Closes nothing itself: choosing a new port closes the old one first, even
// when the new one then fails to open. The port's outcomes of an open are
// the link's.
LinkResult DeviceLink::Open(const std::string& path)
{
    m_lastPortResult = m_port->Open(path, DeadlineAfter(PortSetUpWait));
    return m_lastPortResult.outcome;
}

const PortResult& DeviceLink::DiscardInput(std::string& discarded)
{
    m_lastPortResult = m_port->DiscardInput(discarded);
    return m_lastPortResult;
}

bool DeviceLink::IsOpen() const
{
    return m_port->IsOpen();
}

// Only the write's outcome is tested, not its count: a short write of the
// access code shows itself as a time-out or a bad reply.
LinkResult DeviceLink::Query(DeviceInfo& info)
{
    info = DeviceInfo{};
    m_lastPortResult = m_port->Write(AccessCode, AccessCodeLength);
    if (!m_lastPortResult.Ok())
        return LinkResult::WriteFailed;

    ReplyLine line;
    const LinkResult read = ReadReplyLine(*m_port, line, &m_lastPortResult);
    if (read != LinkResult::Ok)
        return read;
    return ParseReply(line, info);
}

LinkResult DeviceLink::Configure(int auth, const std::string& pin)
{
    const std::string command = BuildConfigureCommand(auth, pin);
    m_lastPortResult = m_port->Write(command.data(), command.size());
    if (!m_lastPortResult.Ok())
        return LinkResult::WriteFailed;
    if (m_lastPortResult.count != command.size())
        return LinkResult::ShortWrite;
    return LinkResult::Ok;
}
