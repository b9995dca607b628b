#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    m_master.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!m_master.IsValid() || grantpt(m_master.Get()) != 0 || unlockpt(m_master.Get()) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return;
    }
    m_slavePath = ptsname(m_master.Get());
    m_slave.Reset(open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    EXPECT_TRUE(m_slave.IsValid()) << m_slavePath;
}

// The master goes first, as in a hang-up.
PseudoTerminal::~PseudoTerminal()
{
    HangUp();
}

void PseudoTerminal::Send(const std::string& bytes)
{
    ASSERT_EQ(write(m_master.Get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string PseudoTerminal::Receive(std::size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry = {m_master.Get(), POLLIN, 0};
        if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0)
            break;
        char chunk[256];
        const ssize_t n = read(m_master.Get(), chunk, std::min(sizeof chunk, count - received.size()));
        if (n <= 0)
            break;
        received.append(chunk, static_cast<std::size_t>(n));
    }
    return received;
}

void PseudoTerminal::HangUp()
{
    m_master.Reset();
}
