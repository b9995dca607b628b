#include "PortClient.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

PortClient::PortClient(const std::string& path) : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY)) {}

bool PortClient::Send(const std::string& bytes)
{
    return write(m_fd.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

int PortClient::ReadByte(char& byte, int waitMs)
{
    pollfd fd{m_fd.Get(), POLLIN, 0};
    const int ready = poll(&fd, 1, waitMs);
    if (ready == 0)
        return 0;
    if (ready < 0)
        return -1;
    return read(m_fd.Get(), &byte, 1) == 1 ? 1 : -1;
}

std::string PortClient::ReadLine(int idleMs)
{
    std::string line;
    char byte;
    while (ReadByte(byte, idleMs) == 1) {
        line += byte;
        if (byte == '\n')
            break;
    }
    return line;
}

std::string PortClient::ReadFor(int idleMs)
{
    std::string bytes;
    char byte;
    while (ReadByte(byte, idleMs) == 1)
        bytes += byte;
    return bytes;
}

bool PortClient::HungUp(int waitMs)
{
    char byte;
    return ReadByte(byte, waitMs) < 0;
}
