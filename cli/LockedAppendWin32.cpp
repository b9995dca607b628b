#include "LockedAppend.h"

#include "Win32Errors.h"

#include <io.h>
#include <windows.h>

namespace {

std::string Reason(const char* operation)
{
    const DWORD error = GetLastError();
    const std::string text = SystemText(error);
    return std::string(operation) + ": " + (text.empty() ? "error " + std::to_string(error) : text);
}

bool WriteAtEnd(HANDLE handle, const std::string& text, std::string& reason)
{
    LARGE_INTEGER none = {};
    if (!SetFilePointerEx(handle, none, nullptr, FILE_END)) {
        reason = Reason("SetFilePointerEx");
        return false;
    }
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size()) {
        reason = Reason("WriteFile");
        return false;
    }
    return true;
}

HANDLE HandleOf(std::FILE* file)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

// The C library's append mode is its own (a seek before each of its writes);
// the handle underneath is not opened for appending. So the whole file is
// locked, the end found, and the entry written, in that order.
bool AppendLocked(std::FILE* file, const std::string& text, std::string& reason)
{
    const HANDLE handle = HandleOf(file);
    OVERLAPPED whole = {};
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        reason = Reason("LockFileEx");
        return false;
    }
    const bool written = WriteAtEnd(handle, text, reason);
    UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &whole);
    return written;
}

bool SyncToDisk(std::FILE* file, std::string& reason)
{
    if (FlushFileBuffers(HandleOf(file)))
        return true;
    reason = Reason("FlushFileBuffers");
    return false;
}
