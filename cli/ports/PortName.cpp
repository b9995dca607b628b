#include "PortName.h"

#include "output/OutputFormat.h"

namespace {

ResolvedPort ResolveWindowsPort(const std::string& text)
{
    ResolvedPort port;
    const int number = ComPortNumber(text);
    if (number == 0) {
        port.error = "Invalid port \"" + EscapeForText(text) + "\": give a COM port from " + ComPortRangeText() + ".";
        return port;
    }
    port.ok = true;
    port.address = ComPortAddress(ComPortName(number));
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
    port.address = SerialPortAddress(text, text);
    return port;
}

}  // namespace

std::string ComPortRangeText()
{
    return ComPortName(FirstComPort) + " to " + ComPortName(LastComPort);
}

ResolvedPort ResolvePortName(const std::string& text, PortStyle style)
{
    ResolvedPort port;
    if (HasAddressScheme(text)) {
        std::string reason;
        port.ok = ParseSchemeAddress(text, port.address, reason);
        if (!port.ok)
            port.error = "Invalid port \"" + EscapeForText(text) + "\": " + EscapeForText(reason) + ".";
    } else {
        port = style == PortStyle::Windows ? ResolveWindowsPort(text) : ResolvePosixPort(text);
    }
    port.path = port.address.target;
    return port;
}
