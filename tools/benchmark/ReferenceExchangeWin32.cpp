#include "ReferenceExchange.h"

#include <windows.h>

namespace {

constexpr DWORD ReadWaitMs = 5010;

}  // namespace

ReferenceExchange::~ReferenceExchange() { Close(); }

void ReferenceExchange::Close() {
    if (m_handle != nullptr)
        CloseHandle(m_handle);
    m_handle = nullptr;
}

bool ReferenceExchange::Open(const std::string& path) {
    Close();
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    m_handle = handle;
    return true;
}

// A byte a read, as the device link reads: the time-outs that would return
// "as soon as some bytes are in" wait out their whole constant under Wine,
// and an interval time-out adds an idle wait at the end of the line, so no
// read of whole lines is quicker here. The time-outs are this handle's own.
bool ReferenceExchange::SetUpReads() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = ReadWaitMs;
    return m_handle != nullptr && SetCommTimeouts(m_handle, &timeouts) != FALSE;
}

bool ReferenceExchange::Write(const char* data, std::size_t length) {
    DWORD written = 0;
    return m_handle != nullptr && WriteFile(m_handle, data, static_cast<DWORD>(length), &written, nullptr) &&
           written == length;
}

std::size_t ReferenceExchange::Read(char* buffer, std::size_t capacity) {
    DWORD count = 0;
    if (m_handle == nullptr || capacity == 0 || !ReadFile(m_handle, buffer, 1, &count, nullptr))
        return 0;
    return count;
}
