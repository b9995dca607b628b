#include "LockedAppend.h"

#include "serial/Win32Errors.h"

#include <io.h>
#include <windows.h>

namespace {

std::string Reason(const char* operation)
{
    const DWORD error = GetLastError();
    const std::string text = SystemText(error);
    return std::string(operation) + ": " + (text.empty() ? "error " + std::to_string(error) : text);
}

// The system puts the write at the file's end: the handle may append and
// not write elsewhere.
bool WriteAtEnd(HANDLE handle, const std::string& text, std::string& reason)
{
    DWORD written = 0;
    if (!WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size()) {
        reason = Reason("WriteFile");
        return false;
    }
    return true;
}

// Whether the file is empty or ends a line: its last byte, read through the
// handle that holds the lock.
bool EndsALine(HANDLE handle, bool& ends, std::string& reason)
{
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle, &size)) {
        reason = Reason("GetFileSizeEx");
        return false;
    }
    ends = true;
    if (size.QuadPart == 0)
        return true;
    const ULONGLONG lastAt = static_cast<ULONGLONG>(size.QuadPart) - 1;
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(lastAt);
    at.OffsetHigh = static_cast<DWORD>(lastAt >> 32);
    char last = 0;
    DWORD read = 0;
    if (!ReadFile(handle, &last, 1, &read, &at) || read != 1) {
        reason = Reason("ReadFile");
        return false;
    }
    ends = last == '\n';
    return true;
}

// The high half of the locked byte's offset: 2^63 - 2^32, where no file's
// bytes reach.
constexpr DWORD AppendLockOffsetHigh = 0x7FFFFFFF;

HANDLE HandleOf(std::FILE* file)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

}  // namespace

// The handle underneath the stream is opened to append only (RegularFileWin32.cpp:
// FILE_APPEND_DATA without FILE_WRITE_DATA), so every write lands at the end of
// the file. Windows' locks are mandatory: a lock over the file's bytes would fail
// the reads of --resume while another program appends. So the writers lock one
// byte far beyond any real record's size, which only they ask for, and another
// program's entry still never lands between the parts of one.
bool AppendLocked(std::FILE* file, const std::string& text, std::string& reason,
                  const std::function<bool()>& stillWanted, bool* skipped)
{
    const HANDLE handle = HandleOf(file);
    OVERLAPPED lockByte = {};
    lockByte.OffsetHigh = AppendLockOffsetHigh;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockByte)) {
        reason = Reason("LockFileEx");
        return false;
    }
    if (stillWanted && !stillWanted()) {
        *skipped = true;
        UnlockFileEx(handle, 0, 1, 0, &lockByte);
        return true;
    }
    // A line left unended before (a power cut in the middle of a write) is
    // ended first, so that the entry is a line of its own.
    bool endsLine = true;
    const bool written =
        EndsALine(handle, endsLine, reason) && WriteAtEnd(handle, endsLine ? text : '\n' + text, reason);
    UnlockFileEx(handle, 0, 1, 0, &lockByte);
    return written;
}

bool SyncToDisk(std::FILE* file, std::string& reason)
{
    if (FlushFileBuffers(HandleOf(file)))
        return true;
    reason = Reason("FlushFileBuffers");
    return false;
}
