#include "PendingReply.h"

void PendingReply::Start(std::string bytes, const ReplyFaults& faults, Clock::time_point now)
{
    m_bytes = std::move(bytes);
    m_sent = 0;
    m_active = true;
    m_first = now + std::chrono::milliseconds(faults.delayMs);
    m_spacing = std::chrono::milliseconds(faults.gapMs);
    if (faults.baudPacing) {
        // A byte is in only once all ten of its bits are: the first one too.
        m_first += LineTime(1);
        m_spacing += LineTime(1);
    }
}

std::optional<PendingReply::Clock::time_point> PendingReply::NextTime() const
{
    if (!m_active)
        return std::nullopt;
    return m_first + m_spacing * static_cast<long>(m_sent);
}
