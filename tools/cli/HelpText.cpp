#include "HelpText.h"

namespace {

const char* const Usage =
    "Usage:\n"
    "  tolvane-cli query PORT [--json]\n"
    "  tolvane-cli configure PORT --auth on|off [--pin NEW]\n"
    "  tolvane-cli scan [--json] [--probe [PORT...]]\n"
    "  tolvane-cli --help | --version\n"
    "\n"
    "Reads and changes the settings of a Tolvane target device on a serial port.\n"
    "\n";

const char* const WindowsPorts =
    "PORT is a COM port from COM1 to COM256 (the letters in any case).\n"
    "\n";

const char* const PosixPorts =
    "PORT is the path of a serial port: /dev/rfcomm0, /dev/ttyUSB0, a\n"
    "pseudo-terminal or a symlink to one.\n"
    "\n";

const char* const Commands =
    "Commands:\n"
    "  query      Read the device and print its name, firmware version,\n"
    "             authentication (Enable or Disable) and PIN, one line each:\n"
    "               name: NAME\n"
    "               firmware: VERSION\n"
    "               authentication: Enable\n"
    "               pin: PIN\n"
    "             With --json, one object with the keys name, firmware,\n"
    "             authentication and pin.\n"
    "  configure  Read the device, then set its authentication (--auth on or\n"
    "             off) and, with --pin, a new PIN of at most 12 characters\n"
    "             without spaces. Without --pin the device keeps its PIN.\n"
    "             Nothing is written unless the device was read correctly and\n"
    "             the checks passed. Prints \"Configuration is completed.\"\n"
    "  scan       List the serial ports of this machine, one a line. With\n"
    "             --probe, ask each one (the named PORTs instead, if given),\n"
    "             waiting about a second, and add tab-separated columns: the\n"
    "             status (device, no-answer, cannot-open, setup-failed,\n"
    "             write-failed, incorrect-data, unsupported-firmware), then for\n"
    "             a device its firmware version and name. With --json, an array\n"
    "             of objects with the keys port, status, firmware, name,\n"
    "             authentication and pin.\n"
    "\n"
    "Results go to standard output, messages to standard error. In lines for\n"
    "people, control characters and the backslash in what the device sent are\n"
    "shown as \\xHH and \\\\; JSON is ASCII, each byte of the device one character.\n"
    "\n";

const char* const ExitCodes =
    "Exit codes:\n"
    "   0  success\n"
    "   1  another failure (the ports could not be listed, output failed)\n"
    "   2  bad command line or port name\n"
    "   3  Cannot open the COM port.\n"
    "   4  Fail to configure the COM port: 8 N 1 N.\n"
    "   5  Fail to write to the COM port.\n"
    "   6  Reading COM port timeout.\n"
    "   7  Receive incorrect data from COM port.\n"
    "   8  unsupported firmware version (the device is not configured)\n"
    "   9  Invalid new device name. The maximum length is 20 characters.\n"
    "  10  Invalid new pin code. The maximum length is 12 digits.\n"
    "  11  Invalid new pin code. Spaces are not allowed.\n"
    "  12  Failed to write to remote device.\n"
    "  13  Writing COM port failed.\n"
    "  14  scan --probe: no port answered as a device\n";

}  // namespace

std::string HelpText(PortStyle style)
{
    return std::string(Usage) + (style == PortStyle::Windows ? WindowsPorts : PosixPorts) + Commands
        + ExitCodes;
}
