// A real pseudo-terminal for the native link tests: the port under test opens
// the slave by its path, the test plays the device on the master.
#pragma once

#include <string>

class PseudoTerminal {
public:
    PseudoTerminal();   // fails the current test when no pty can be made
    ~PseudoTerminal();

    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& SlavePath() const { return m_slavePath; }

    // A descriptor of the slave kept open by the device side, so the master
    // stays usable while the port under test opens and closes.
    int SlaveFd() const { return m_slaveFd; }

    // Sends bytes to the port, as the device would.
    void Send(const std::string& bytes);

    // What the port wrote: up to `count` bytes, waiting at most `timeoutMs`.
    std::string Receive(std::size_t count, int timeoutMs);

    // The device goes away: the master is closed.
    void HangUp();

private:
    int m_masterFd = -1;
    int m_slaveFd = -1;
    std::string m_slavePath;
};
