// A reply on its way to the host, sent byte by byte on a schedule: the first
// byte after the delay, each later one after the gap, and, with baud pacing,
// no faster than a 115200 baud 8N1 line (10 bits a byte, ~86.8 us, the
// first byte too: it arrives when its last bit does). Without
// gap or pacing all bytes go in one write. The main loop keeps reading the
// host while a reply waits, so a new query can cancel a reply still pending.
#pragma once

#include "DeviceSettings.h"

#include <chrono>
#include <optional>
#include <string>

class PendingReply {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::nanoseconds ByteTimeAt115200{86806};

    // How long `bytes` bytes take on a 115200 baud 8N1 line.
    static Clock::duration LineTime(std::size_t bytes)
    {
        return std::chrono::duration_cast<Clock::duration>(ByteTimeAt115200 * static_cast<long>(bytes));
    }

    void Start(std::string bytes, const ReplyFaults& faults, Clock::time_point now);
    void Cancel()
    {
        m_bytes.clear();
        m_sent = 0;
        m_active = false;
    }

    // True from Start until the last byte has been handed over.
    bool Active() const { return m_active; }

    // When the next byte is due, if any is waiting.
    std::optional<Clock::time_point> NextTime() const;

    // Hands every byte due by `now` to `send` (a callable taking
    // (const char*, size_t)). Returns true when the reply is complete.
    template <typename Send>
    bool SendDue(Clock::time_point now, Send&& send);

private:
    std::string m_bytes;
    std::size_t m_sent = 0;
    bool m_active = false;
    Clock::time_point m_first{};
    Clock::duration m_spacing{};  // zero: everything at once
};

template <typename Send>
bool PendingReply::SendDue(Clock::time_point now, Send&& send)
{
    if (!m_active || now < m_first)
        return false;
    if (m_spacing == Clock::duration::zero()) {
        send(m_bytes.data() + m_sent, m_bytes.size() - m_sent);
        m_sent = m_bytes.size();
    } else {
        while (m_sent < m_bytes.size() && m_first + m_spacing * static_cast<long>(m_sent) <= now) {
            send(m_bytes.data() + m_sent, 1);
            ++m_sent;
        }
    }
    if (m_sent < m_bytes.size())
        return false;
    m_active = false;
    return true;
}
