#include "CommandScanner.h"

#include "DeviceSettings.h"

#include <cstring>

void CommandScanner::Restart()
{
    m_stage = Stage::Scanning;
    m_recent.clear();
    m_flag.clear();
    m_pin.clear();
}

void CommandScanner::Feed(char byte, Clock::time_point now, std::vector<HostCommand>& found)
{
    switch (m_stage) {
        case Stage::Scanning:
            m_recent += byte;
            if (m_recent.size() > DeviceAccessCodeLength)
                m_recent.erase(0, m_recent.size() - DeviceAccessCodeLength);
            if (m_recent == DeviceAccessCode) {
                m_recent.clear();
                if (m_quickQueries) {
                    found.push_back(HostCommand{HostCommand::Kind::Query, {}, {}, now});
                    return;
                }
                m_stage = Stage::AfterCode;
                m_deadline = now + ConfigureWindow;
            }
            return;
        case Stage::AfterCode:
            if (byte == ' ') {
                m_stage = Stage::Flag;
                m_deadline = now + BodyByteTimeout;
                return;
            }
            found.push_back(HostCommand{HostCommand::Kind::Query, {}, {}, now});
            Restart();
            Feed(byte, now, found);
            return;
        case Stage::Flag:
        case Stage::Pin: {
            std::string& token = m_stage == Stage::Flag ? m_flag : m_pin;
            m_deadline = now + BodyByteTimeout;
            if (byte != ' ') {
                token += byte;
                if (token.size() > MaxTokenLength)
                    Restart();
                return;
            }
            if (m_stage == Stage::Flag) {
                m_stage = Stage::Pin;
                return;
            }
            found.push_back(HostCommand{HostCommand::Kind::Configure, m_flag, m_pin, now});
            Restart();
            return;
        }
    }
}

void CommandScanner::Expire(std::vector<HostCommand>& found)
{
    if (m_stage == Stage::AfterCode)
        found.push_back(HostCommand{HostCommand::Kind::Query, {}, {}, m_deadline});
    Restart();
}

std::optional<CommandScanner::Clock::time_point> CommandScanner::Deadline() const
{
    if (m_stage == Stage::Scanning)
        return std::nullopt;
    return m_deadline;
}
