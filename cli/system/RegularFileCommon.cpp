#include "RegularFile.h"

#include "common/TextEscape.h"

#include <algorithm>
#include <cstdio>

bool ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& reason,
                     bool* readableByOthers)
{
    bytes.clear();
    const UniqueFile file = OpenRegularFile(path, "rb", reason);
    if (!file.IsValid())
        return false;
    if (readableByOthers != nullptr)
        *readableByOthers = ReadableByOthers(file);
    char buffer[4096];
    while (bytes.size() <= maxBytes) {
        const std::size_t wanted = std::min(sizeof buffer, maxBytes + 1 - bytes.size());
        const std::size_t count = std::fread(buffer, 1, wanted, file.Get());
        bytes.append(buffer, count);
        if (count < wanted)
            break;
    }
    if (std::ferror(file.Get())) {
        reason = "the read failed";
        return false;
    }
    return true;
}

std::string ExposedFileWarning(const UniqueFile& file, const std::string& what, const std::string& path)
{
    const bool read = ReadableByOthers(file), change = WritableByOthers(file);
    if (!read && !change)
        return "";
    return std::string("Warning: other users of this machine can ") +
           (read && change ? "read and change"
            : read         ? "read"
                           : "change") +
           " the " + what + " " + EscapeForText(path) +
           ", which holds PINs; let only its owner read and write it (chmod 600).";
}
