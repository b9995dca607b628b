#include "ScriptedSerialPort.h"

std::vector<std::string> PortScript::Events() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

void PortScript::Record(std::string event)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back(std::move(event));
}

LinkResult ScriptedSerialPort::Open(const std::string& path)
{
    m_script->Record("open " + path);
    const LinkResult result = m_script->openResult;
    m_open = result != LinkResult::OpenFailed;
    m_writesSinceOpen = 0;
    m_unread.clear();
    return result;
}

void ScriptedSerialPort::Close()
{
    if (m_open)
        m_script->Record("close");
    m_open = false;
}

bool ScriptedSerialPort::Write(const void* data, std::size_t length, std::size_t& written)
{
    m_script->Record("write " + std::string(static_cast<const char*>(data), length));
    const bool isQuery = m_writesSinceOpen++ == 0;
    written = length;
    switch (isQuery ? m_script->queryWrite.load() : m_script->laterWrites.load()) {
    case PortScript::Write::Fails:
        written = 0;
        return false;
    case PortScript::Write::Short:
        written = length > 0 ? length - 1 : 0;
        return true;
    case PortScript::Write::Whole:
        break;
    }
    if (isQuery)
        m_unread = m_script->reply;
    return true;
}

std::size_t ScriptedSerialPort::ReadByte(char& byte)
{
    if (m_unread.empty())
        return 0;  // a silent device, without the wait
    byte = m_unread.front();
    m_unread.erase(0, 1);
    return 1;
}
