// A real pseudo-terminal for the native link tests: the port under test opens
// the slave by its path, the test plays the device on the master.
#pragma once

#include "serial/UniqueFd.h"

#include <string>

class PseudoTerminal {
public:
    PseudoTerminal();  // fails the current test when no pty can be made
    ~PseudoTerminal();

    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    // The device side keeps the slave open: the master then stays usable
    // while the port under test opens and closes.
    int SlaveFd() const { return m_slave.Get(); }

    // Sends bytes to the port, as the device would.
    void Send(const std::string& bytes);

    // What the port wrote: up to `count` bytes, waiting at most `timeoutMs`.
    std::string Receive(std::size_t count, int timeoutMs);

    // The device goes away: the master is closed.
    void HangUp();

private:
    UniqueFd m_master;
    UniqueFd m_slave;
    std::string m_slavePath;
};
