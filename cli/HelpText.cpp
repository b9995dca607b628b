#include "HelpText.h"

namespace {

const char* const Usage =
    "Usage:\n"
    "  tolvane-cli query PORT [--json] [--transcript FILE]\n"
    "  tolvane-cli configure PORT --auth on|off [--pin NEW] [--verify [--verify-wait MS]]\n"
    "                        [--transcript FILE]\n"
    "  tolvane-cli scan [--json] [--probe [PORT...] [--transcript FILE]]\n"
    "  tolvane-cli provision PLAN [--verify [--verify-wait MS]] [--json] [--transcript FILE]\n"
    "  tolvane-cli --help | --version\n"
    "\n"
    "Reads and changes the settings of a Tolvane target device on a serial port.\n"
    "\n";

const char* const PosixPorts =
    "PORT is the path of a serial port: /dev/rfcomm0, /dev/ttyUSB0, a\n"
    "pseudo-terminal or a symlink to one.\n"
    "\n";

const char* const AddressPorts =
    "PORT may also be a serial server or a Bluetooth device:\n"
    "  socket://HOST:PORT                  raw TCP (the server's line settings)\n"
    "  rfc2217://HOST:PORT                 Telnet COM Port Control (RFC 2217)\n"
    "  bt://AA:BB:CC:DD:EE:FF[?channel=N]  Bluetooth RFCOMM, channel 1 to 30\n"
    "HOST is a name, an IPv4 address or an IPv6 address in brackets. TCP and\n"
    "Telnet carry the PIN in clear text: use a trusted network or ssh -L.\n"
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
    "             the checks passed; a PIN that fails them is refused before\n"
    "             the port is opened. Prints \"Configuration is completed.\"\n"
    "             With --verify, waits MS milliseconds (--verify-wait, default\n"
    "             200) and reads the device again: success only if it reports\n"
    "             the requested authentication and PIN (\"The device reports the\n"
    "             requested settings.\"), otherwise what it reports and exit 15.\n"
    "             A mismatch is never retried nor written again: some devices\n"
    "             take new settings only after a reset.\n"
    "  scan       List the serial ports of this machine, one a line, with\n"
    "             tab-separated columns at fixed places (empty ones at the end\n"
    "             left out): the port; with --probe the status (device,\n"
    "             no-answer, cannot-open, setup-failed, write-failed,\n"
    "             incorrect-data, unsupported-firmware), and for a device its\n"
    "             firmware version and name; then the kind (bluetooth, usb,\n"
    "             other), the direction of a Bluetooth port (outgoing reaches\n"
    "             the device, incoming only waits for it to call), the remote\n"
    "             Bluetooth address and the system's description. --probe asks\n"
    "             every port (the named PORTs instead, if given) at the same\n"
    "             time, waiting about a second. With --json, an array of\n"
    "             objects with the keys port, status, firmware, name,\n"
    "             authentication, pin, kind, direction, address and\n"
    "             description, unknown ones left out.\n"
    "  provision  Configure every device of PLAN at the same time, each with\n"
    "             configure's steps and checks (and --verify's). PLAN is a CSV\n"
    "             file, or - for standard input, with the header port,auth,pin\n"
    "             and a row per port: auth on or off, an empty pin keeps the\n"
    "             device's PIN. The whole plan is checked before any port is\n"
    "             opened; a bad row (unknown port, bad auth, a PIN over 12\n"
    "             characters or with spaces, a port named twice) is reported\n"
    "             with its line number and nothing is done. Prints one line per\n"
    "             row, in the plan's order, with tab-separated columns: port,\n"
    "             status (verified, configured, not-verified, refused,\n"
    "             write-failed or a scan status), firmware, name, the\n"
    "             authentication before and after, and the exit code configure\n"
    "             would have given. With --json one object a line with the keys\n"
    "             port, status, firmware, name, authenticationBefore,\n"
    "             authenticationAfter and exitCode. PINs are never printed.\n"
    "\n"
    "--transcript FILE appends to FILE every byte sent to and received from\n"
    "each port, as it crossed the port, one line per chunk: milliseconds since\n"
    "the command started, the port, > (to the device) or < (from it), the bytes\n"
    "in hex, and the same bytes as text with escapes; and each failure to open,\n"
    "set up or hear from a port, with the system's reason. It never changes\n"
    "what is sent, or when. It holds the PINs that were sent: keep it as you\n"
    "keep a plan.\n"
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
    "  14  scan --probe: no port answered as a device\n"
    "  15  configure --verify: the device does not report the requested settings\n"
    "  16  provision: at least one row did not succeed (each row has its code)\n"
    "  17  provision: the plan cannot be read or has a bad row (nothing was done)\n"
    "  18  --transcript: the file cannot be opened for appending\n";

}  // namespace

std::string HelpText(PortStyle style)
{
    const std::string windowsPorts =
        "PORT is a COM port from " + ComPortRangeText() + " (the letters in any case).\n\n";
    return std::string(Usage) + (style == PortStyle::Windows ? windowsPorts : PosixPorts) + AddressPorts + Commands +
           ExitCodes;
}
