#include "PinFile.h"

#include "output/OutputFormat.h"
#include "system/RegularFile.h"

#include <algorithm>

namespace {

// The bytes up to the first LF, without it and a CR before it.
std::string FirstLine(const std::string& bytes)
{
    std::string line = bytes.substr(0, bytes.find('\n'));
    if (line.size() < bytes.size() && !line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

// Reads a line from standard input as a person types it: up to the first
// line end, so a terminal is not kept waiting for more.
bool ReadLineFromStream(std::istream& in, std::string& bytes)
{
    char c = 0;
    while (bytes.size() < MaxPinFileBytes && in.get(c)) {
        bytes += c;
        if (c == '\n')
            break;
    }
    return !in.bad();
}

// Up to MaxPinFileBytes from the start of the regular file `name`.
bool ReadFileStart(const std::string& name, std::string& bytes, std::string& reason)
{
    if (!ReadRegularFile(name, MaxPinFileBytes, bytes, reason))
        return false;
    bytes.resize(std::min(bytes.size(), MaxPinFileBytes));
    return true;
}

}  // namespace

bool ReadPinFile(const std::string& name, std::istream& in, std::string& pin, std::string& error)
{
    const bool standardInput = name == "-";
    const std::string refusal = standardInput ? "Cannot read the PIN from standard input: "
                                              : "Cannot read the PIN file " + EscapeForText(name) + ": ";
    std::string bytes, reason;
    const bool read = standardInput ? ReadLineFromStream(in, bytes) : ReadFileStart(name, bytes, reason);
    if (!read) {
        error = refusal + (reason.empty() ? "the read failed" : reason) + ".";
        return false;
    }
    pin = FirstLine(bytes);
    // As with --pin "", an empty PIN would mean "keep the device's"; that
    // is said by leaving the option out.
    if (pin.empty()) {
        error = refusal + (bytes.empty() ? "it is empty." : "its first line is empty.");
        return false;
    }
    return true;
}
