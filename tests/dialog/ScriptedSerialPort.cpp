#include "ScriptedSerialPort.h"

void PortScript::SetOpenResult(LinkResult result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openResult = result;
}

void PortScript::SetReply(const std::string& line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reply = line;
}

void PortScript::SetLaterWrites(WriteOutcome outcome)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_laterWrites = outcome;
}

void PortScript::SetQueryWrite(WriteOutcome outcome)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_queryWrite = outcome;
}

std::vector<std::string> PortScript::Events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

std::string PortScript::LastWrite() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto event = m_events.rbegin(); event != m_events.rend(); ++event) {
        if (event->rfind("write ", 0) == 0)
            return event->substr(6);
    }
    return {};
}

LinkResult ScriptedSerialPort::Open(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    m_script->m_events.push_back("open " + path);
    m_script->m_open = m_script->m_openResult != LinkResult::OpenFailed;
    m_script->m_writesSinceOpen = 0;
    m_script->m_pending.clear();
    return m_script->m_openResult;
}

void ScriptedSerialPort::Close()
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    if (m_script->m_open)
        m_script->m_events.push_back("close");
    m_script->m_open = false;
}

bool ScriptedSerialPort::IsOpen() const
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    return m_script->m_open;
}

bool ScriptedSerialPort::Write(const void* data, std::size_t length, std::size_t& written)
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    const std::string bytes(static_cast<const char*>(data), length);
    m_script->m_events.push_back("write " + bytes);
    const bool isQuery = m_script->m_writesSinceOpen++ == 0;
    switch (isQuery ? m_script->m_queryWrite : m_script->m_laterWrites) {
    case PortScript::WriteOutcome::Fails:
        written = 0;
        return false;
    case PortScript::WriteOutcome::Short:
        written = length > 0 ? length - 1 : 0;
        return true;
    case PortScript::WriteOutcome::Whole:
        break;
    }
    written = length;
    if (isQuery)
        m_script->m_pending = m_script->m_reply;
    return true;
}

std::size_t ScriptedSerialPort::ReadByte(char& byte)
{
    std::lock_guard<std::mutex> lock(m_script->m_mutex);
    if (m_script->m_pending.empty())
        return 0;  // a silent device, without the wait
    byte = m_script->m_pending.front();
    m_script->m_pending.erase(0, 1);
    return 1;
}
