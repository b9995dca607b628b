#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    m_masterFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_masterFd < 0 || grantpt(m_masterFd) != 0 || unlockpt(m_masterFd) != 0) {
        ADD_FAILURE() << "no pseudo-terminal";
        return;
    }
    m_slavePath = ptsname(m_masterFd);
    m_slaveFd = open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(m_slaveFd, 0) << m_slavePath;
}

PseudoTerminal::~PseudoTerminal()
{
    HangUp();
    if (m_slaveFd >= 0)
        close(m_slaveFd);
}

void PseudoTerminal::Send(const std::string& bytes)
{
    ASSERT_EQ(write(m_masterFd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

std::string PseudoTerminal::Receive(std::size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd entry = {m_masterFd, POLLIN, 0};
        if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0)
            break;
        char chunk[256];
        const ssize_t n = read(m_masterFd, chunk, std::min(sizeof chunk, count - received.size()));
        if (n <= 0)
            break;
        received.append(chunk, static_cast<std::size_t>(n));
    }
    return received;
}

void PseudoTerminal::HangUp()
{
    if (m_masterFd >= 0)
        close(m_masterFd);
    m_masterFd = -1;
}
