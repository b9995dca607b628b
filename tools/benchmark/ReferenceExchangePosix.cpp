#include "ReferenceExchange.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// VTIME counts tenths of a second: the nearest to the device's 5010 ms.
constexpr cc_t ReadWaitTenths = 50;

}  // namespace

bool ReferenceExchange::Open(const std::string& path)
{
    m_fd.Reset();  // first, as on Windows, where the port opens only once at a time
    m_fd.Reset(open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    return m_fd.IsValid();
}

// A read returns as soon as one byte is there, with all that are. These two
// settings are the tty's, but the device link does not use them: its reads
// do not block, and it waits in poll().
bool ReferenceExchange::SetUpReads()
{
    termios settings{};
    if (!m_fd.IsValid() || tcgetattr(m_fd.Get(), &settings) != 0)
        return false;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = ReadWaitTenths;
    return tcsetattr(m_fd.Get(), TCSANOW, &settings) == 0;
}

bool ReferenceExchange::Write(const char* data, std::size_t length)
{
    return m_fd.IsValid() && write(m_fd.Get(), data, length) == static_cast<ssize_t>(length);
}

std::size_t ReferenceExchange::Read(char* buffer, std::size_t capacity)
{
    if (!m_fd.IsValid())
        return 0;
    const ssize_t count = read(m_fd.Get(), buffer, capacity);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}
