// The host's side of a bench port for native tests: the pseudo-terminal's
// slave opened by path with plain POSIX calls, as a serial program would.
#pragma once

#include "serial/UniqueFd.h"

#include <string>

class PortClient {
public:
    explicit PortClient(const std::string& path);

    bool IsOpen() const { return m_fd.IsValid(); }
    void Close() { m_fd.Reset(); }

    bool Send(const std::string& bytes);

    // Reads up to a line feed (included) or until no byte came for idleMs.
    std::string ReadLine(int idleMs);

    // Reads whatever arrives until no byte came for idleMs.
    std::string ReadFor(int idleMs);

    // True when the line was dropped: the next read fails or sees the end.
    bool HungUp(int waitMs);

private:
    // One byte, waiting at most waitMs: 1 read, 0 nothing came, -1 line gone.
    int ReadByte(char& byte, int waitMs);

    UniqueFd m_fd;
};
