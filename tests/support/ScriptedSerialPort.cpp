#include "ScriptedSerialPort.h"

#include <algorithm>

void PortScript::SetSystemError(long error, std::string text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_systemError = error;
    m_systemText = std::move(text);
}

std::vector<std::string> PortScript::Events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::string PortScript::Written() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_written;
}

std::size_t PortScript::BytesRead() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bytesRead;
}

std::vector<long long> PortScript::SetUpWaits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_setUpWaits;
}

std::vector<long long> PortScript::ReadWaits() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_readWaits;
}

void PortScript::SendUnasked(std::string bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unasked += bytes;
}

PortResult PortScript::Fail(LinkResult outcome, PortOperation operation) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return PortFailed(outcome, operation, m_systemError, m_systemText);
}

PortResult ScriptedSerialPort::Open(const std::string& path, Deadline setUpBy)
{
    {
        std::lock_guard<std::mutex> lock(m_script->m_mutex);
        m_script->m_events.push_back("open " + path);
        m_script->m_setUpWaits.push_back(TimeLeft(setUpBy, std::chrono::hours(1)).count());
    }
    const LinkResult outcome = m_script->openResult;
    m_open = outcome != LinkResult::OpenFailed;
    m_writesSinceOpen = 0;
    m_unread.clear();
    m_nextUnread = 0;
    switch (outcome) {
        case LinkResult::OpenFailed:
            return m_script->Fail(outcome, PortOperation::Open);
        case LinkResult::SetupFailed:
            return m_script->Fail(outcome, PortOperation::Setup);
        default:
            break;
    }
    return PortSucceeded(PortOperation::Open);
}

void ScriptedSerialPort::Close()
{
    if (m_open) {
        std::lock_guard<std::mutex> lock(m_script->m_mutex);
        m_script->m_events.push_back("close");
    }
    m_open = false;
}

PortResult ScriptedSerialPort::Write(const void* data, std::size_t length)
{
    const std::string bytes(static_cast<const char*>(data), length);
    const bool isQuery = m_writesSinceOpen++ == 0;
    const PortScript::Write end = isQuery ? m_script->queryWrite.load() : m_script->laterWrites.load();
    PortResult result = PortSucceeded(PortOperation::Write, length);
    if (end == PortScript::Write::Fails) {
        result = m_script->Fail(LinkResult::WriteFailed, PortOperation::Write);
    } else if (end == PortScript::Write::Short) {
        const std::size_t count = m_script->shortWriteCount;
        result.count = count == PortScript::OneFewer ? (length > 0 ? length - 1 : 0) : std::min(count, length);
    }
    {
        std::lock_guard<std::mutex> lock(m_script->m_mutex);
        m_script->m_events.push_back("write " + bytes);
        m_script->m_written.append(bytes, 0, result.count);
    }
    if (end == PortScript::Write::Whole)
        m_unread += isQuery ? m_script->reply : m_script->laterReply;
    return result;
}

// Unasked bytes come first, as bytes that arrived before the query do.
PortResult ScriptedSerialPort::ReadByte(char& byte, Deadline by)
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    m_script->m_readWaits.push_back(TimeLeft(by, PortReadByteWait).count());
    if (!m_script->m_unasked.empty()) {
        byte = m_script->m_unasked.front();
        m_script->m_unasked.erase(0, 1);
        return PortSucceeded(PortOperation::Read, 1);
    }
    if (m_nextUnread >= m_unread.size()) {
        if (m_script->closesAfterReply)
            return PortClosed(LinkResult::Timeout, PortOperation::Read, ClosedByFarSide);
        return PortTimedOut(LinkResult::Timeout, PortOperation::Read);  // a silent device, without the wait
    }
    byte = m_unread[m_nextUnread++];
    ++m_script->m_bytesRead;
    return PortSucceeded(PortOperation::Read, 1);
}

// A reply that came and was not read is input the port holds, as unasked
// bytes are: the discard takes both, in the order a read would.
PortResult ScriptedSerialPort::DiscardInput(std::string& discarded)
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    discarded.swap(m_script->m_unasked);
    m_script->m_unasked.clear();
    discarded.append(m_unread, m_nextUnread, std::string::npos);
    m_nextUnread = m_unread.size();
    m_script->m_events.push_back("discard " + discarded);
    return PortSucceeded(PortOperation::Discard, discarded.size());
}
