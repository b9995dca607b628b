#include "ReferenceExchange.h"

#include <windows.h>

namespace {

constexpr DWORD ReadWaitMs = 5010;

}  // namespace

bool ReferenceExchange::Open(const std::string& path)
{
    m_handle.Reset();  // first: the port opens only once at a time
    m_handle.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return m_handle.IsValid();
}

// A byte a read, as the device link reads: the time-outs that would return
// "as soon as some bytes are in" wait out their whole constant under Wine,
// and an interval time-out adds an idle wait at the end of the line, so no
// read of whole lines is quicker here. The time-outs are this handle's own.
bool ReferenceExchange::SetUpReads()
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = ReadWaitMs;
    return m_handle.IsValid() && SetCommTimeouts(m_handle.Get(), &timeouts) != FALSE;
}

bool ReferenceExchange::Write(const char* data, std::size_t length)
{
    DWORD written = 0;
    return m_handle.IsValid() && WriteFile(m_handle.Get(), data, static_cast<DWORD>(length), &written, nullptr) &&
           written == length;
}

std::size_t ReferenceExchange::Read(char* buffer, std::size_t capacity)
{
    DWORD count = 0;
    if (!m_handle.IsValid() || capacity == 0 || !ReadFile(m_handle.Get(), buffer, 1, &count, nullptr))
        return 0;
    return count;
}
