#include "RegularFile.h"

#include "OwnerOnlyWin32.h"
#include "serial/UniqueHandle.h"
#include "serial/Win32Errors.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <io.h>
#include <windows.h>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// \\.\COM6, \\?\GLOBALROOT\..., with either slash: the system's device
// namespaces.
bool InDeviceNamespace(const std::string& path)
{
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '.' || path[2] == '?') &&
           IsSeparator(path[3]);
}

// CON, PRN, AUX, NUL, COMn and LPTn (any number, for the ports Wine and
// drivers add) open the device in any folder, whatever extension or colon
// follows and in any case: "com6.csv" and "C:\logs\nul.txt" are devices.
bool IsReservedDeviceName(const std::string& path)
{
    std::size_t start = path.find_last_of("\\/");
    start = start == std::string::npos ? 0 : start + 1;
    if (start == 0 && path.size() >= 2 && path[1] == ':')
        start = 2;  // a drive, as in C:NUL
    std::string base = path.substr(start, path.find_first_of(".:", start) - start);
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char& c : base)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"}) {
        if (base == name)
            return true;
    }
    const bool numbered = base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0;
    return numbered && base.size() > 3 && base.find_first_not_of("0123456789\xB9\xB2\xB3", 3) == std::string::npos;
}

// For appending: a file created here holds PINs, so only its creator may
// open it; one that exists keeps the security its owner gave it. Appending
// is the system's: a handle that may append but not write elsewhere has
// every write land at the end, also between another program's. Reading is
// asked for as LockFileEx needs it (LockedAppend.h), and the C library
// takes the handle as it is (no flags: binary).
UniqueFile OpenForAppending(const std::string& path, std::string& reason)
{
    OwnerOnlySecurity security;
    if (!security.Make(reason))
        return UniqueFile();
    constexpr DWORD AppendOnly = FILE_READ_DATA | FILE_READ_ATTRIBUTES | FILE_APPEND_DATA | SYNCHRONIZE;
    UniqueHandle handle(CreateFileA(path.c_str(), AppendOnly, FILE_SHARE_READ | FILE_SHARE_WRITE, security.Attributes(),
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.IsValid()) {
        const DWORD error = GetLastError();
        reason = SystemText(error);
        if (reason.empty())
            reason = "error " + std::to_string(error);
        return UniqueFile();
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle.Get()), 0);
    if (fd < 0) {
        reason = std::strerror(errno);
        return UniqueFile();
    }
    handle.Release();  // the descriptor owns it now
    UniqueFile file(_fdopen(fd, "ab"));
    if (!file.IsValid()) {
        reason = std::strerror(errno);
        _close(fd);
    }
    return file;
}

}  // namespace

bool SeekFromStart(std::FILE* file, std::uint64_t offset)
{
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
}

// The name decides first, so that a port is never opened; what the system
// reports of the opened handle decides for a name that leads elsewhere (a
// link, a mapped drive of Wine's onto a Linux device).
UniqueFile OpenRegularFile(const std::string& path, const char* mode, std::string& reason, bool* missing)
{
    if (InDeviceNamespace(path) || IsReservedDeviceName(path)) {
        reason = "it is a device, not a file";
        return UniqueFile();
    }
    errno = 0;
    UniqueFile file = mode[0] == 'a' ? OpenForAppending(path, reason) : UniqueFile(std::fopen(path.c_str(), mode));
    if (!file.IsValid()) {
        if (mode[0] != 'a') {
            if (missing != nullptr)
                *missing = errno == ENOENT;
            reason = std::strerror(errno);
        }
        return UniqueFile();
    }
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.Get())));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        reason = "it is a device or a pipe, not a file";
        return UniqueFile();
    }
    return file;
}

bool ReadableByOthers(const UniqueFile& /*file*/)
{
    return false;
}

bool WritableByOthers(const UniqueFile& /*file*/)
{
    return false;
}
