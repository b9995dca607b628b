#include "PinFile.h"

#include "UniqueHandle.h"

#include <algorithm>

namespace {

std::string ReasonFor(DWORD error)
{
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return "No such file or directory";
    if (error == ERROR_ACCESS_DENIED)
        return "Access is denied";
    return "system error " + std::to_string(error);
}

}  // namespace

// A directory is told apart before the open, which would fail on it with a
// bare "access denied". Whatever is not on a disk (a COM port, CON, NUL, a
// pipe) is closed again unread.
FileProblem ReadRegularFileStart(const std::string& path, std::size_t limit, std::string& bytes, std::string& reason)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return FileProblem::Directory;
    const UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
        reason = ReasonFor(::GetLastError());
        return FileProblem::CannotRead;
    }
    if (::GetFileType(file.Get()) != FILE_TYPE_DISK)
        return FileProblem::NotRegular;
    char buffer[256];
    while (bytes.size() < limit) {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min(sizeof buffer, limit - bytes.size()));
        if (!::ReadFile(file.Get(), buffer, wanted, &count, nullptr)) {
            reason = ReasonFor(::GetLastError());
            return FileProblem::CannotRead;
        }
        if (count == 0)
            break;
        bytes.append(buffer, count);
    }
    return FileProblem::None;
}
