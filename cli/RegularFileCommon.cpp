#include "RegularFile.h"

#include "OutputFormat.h"

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
