#include "PortName.h"

#include <cctype>

namespace {

bool IsComPrefix(const std::string& text)
{
    return text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C'
        && std::toupper(static_cast<unsigned char>(text[1])) == 'O'
        && std::toupper(static_cast<unsigned char>(text[2])) == 'M';
}

ResolvedPort ResolveWindowsPort(const std::string& text)
{
    ResolvedPort port;
    const int number = ComPortNumber(text);
    if (number == 0) {
        port.error = "Invalid port \"" + text + "\": give a COM port from COM1 to COM256.";
        return port;
    }
    port.ok = true;
    port.path = DeviceNamespacePrefix + ComPortName(number);
    return port;
}

// Any path is taken as it stands: a symlink or a pseudo-terminal is as good a
// port as /dev/ttyUSB0, and opening it tells whether it is one.
ResolvedPort ResolvePosixPort(const std::string& text)
{
    ResolvedPort port;
    if (text.empty()) {
        port.error = "Invalid port \"\": give the path of a serial port, e.g. /dev/rfcomm0.";
        return port;
    }
    port.ok = true;
    port.path = text;
    return port;
}

}  // namespace

ResolvedPort ResolvePortName(const std::string& text, PortStyle style)
{
    return style == PortStyle::Windows ? ResolveWindowsPort(text) : ResolvePosixPort(text);
}

int ComPortNumber(const std::string& text)
{
    // At most three digits: "COM" + 1 to 256.
    if (!IsComPrefix(text) || text.size() < 4 || text.size() > 6 || text[3] == '0')
        return 0;
    int number = 0;
    for (std::size_t i = 3; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        number = number * 10 + (text[i] - '0');
    }
    return number >= FirstComPort && number <= LastComPort ? number : 0;
}

std::string ComPortName(int number)
{
    return "COM" + std::to_string(number);
}
