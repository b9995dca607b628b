#include "ReadFailureHelp.h"

#include "ComPortNames.h"
#include "DeviceInfo.h"
#include "common/HelpLayout.h"
#include "output/OutputFormat.h"
#include "system/PortFacts.h"

#include <iterator>

namespace {

std::string PortsScanFinds(const std::function<bool(std::vector<std::string>&)>& listPorts)
{
    std::vector<std::string> ports;
    if (!listPorts(ports) || ports.empty())
        return "tolvane-cli scan finds no serial port on this computer.";
    for (std::string& port : ports)
        port = EscapeForText(port);
    return "tolvane-cli scan finds these ports: " + JoinWords(ports) + ".";
}

std::vector<std::string> OpenHints(const ReadFailure& failure, PortStyle style,
                                   const std::function<bool(std::vector<std::string>&)>& listPorts)
{
    switch (failure.address.kind) {
        case AddressKind::Bluetooth:
            if (BluetoothMissing())
                return {
                    "this computer has no Bluetooth to reach the device by: use its COM port, or a serial "
                    "server on a computer that has."};
            return {};
        case AddressKind::Serial:
            break;
        case AddressKind::Socket:
        case AddressKind::Rfc2217:
            return {};
    }
    if (!SerialPortExists(failure.address.target)) {
        std::vector<std::string> hints;
        // A Windows port name (COM5, com12) names no file on Linux.
        if (style == PortStyle::Posix && ComPortNumber(failure.port) != 0)
            hints.push_back(PortsArePathsHint);
        hints.push_back(PortsScanFinds(listPorts));
        return hints;
    }
    std::vector<std::string> holders = ProcessesHolding(failure.address.target);
    for (std::string& holder : holders)
        holder = EscapeForText(holder);  // a process names itself
    if (holders.empty())
        return {};
    return {EscapeForText(failure.port) + " is open in process " + JoinWords(holders, " and ") +
            ": end it, or wait until it lets go of the port."};
}

// A serial port may be the wrong one of a pairing's two; an address names
// the device itself.
std::vector<std::string> TimeoutHints(AddressKind kind)
{
    std::vector<std::string> hints = {"reset the device, check that it is switched on and connected, and try again."};
    if (kind == AddressKind::Serial)
        hints.push_back(
            "a paired Bluetooth device has two serial ports and only the outgoing one reaches it: "
            "tolvane-cli scan tells them apart.");
    return hints;
}

// What the device sent is in no message: a transcript shows it.
std::vector<std::string> IncorrectDataHints()
{
    return {"run the command again with --transcript FILE to see the bytes the device sent."};
}

std::vector<std::string> FirmwareHints()
{
    return {"tolvane-cli knows firmware " +
            JoinWords(std::vector<std::string>(std::begin(KnownFirmware), std::end(KnownFirmware)), " and ") +
            " only."};
}

}  // namespace

Outcome ExplainReadFailure(const ReadFailure& failure, Outcome outcome)
{
    if (failure.result == LinkResult::SetupFailed && failure.address.kind == AddressKind::Serial &&
        IsNotSerialPort(failure.address.target))
        outcome.message = EscapeForText(failure.port) + " is not a serial port.";
    return outcome;
}

std::vector<std::string> ReadFailureHints(const ReadFailure& failure, PortStyle style,
                                          const std::function<bool(std::vector<std::string>&)>& listPorts)
{
    switch (failure.result) {
        case LinkResult::OpenFailed:
            return OpenHints(failure, style, listPorts);
        case LinkResult::Timeout:
            return TimeoutHints(failure.address.kind);
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
            return IncorrectDataHints();
        case LinkResult::UnsupportedVersion:
            return FirmwareHints();
        case LinkResult::Ok:
        case LinkResult::SetupFailed:
        case LinkResult::WriteFailed:
        case LinkResult::ShortWrite:
            break;
    }
    return {};
}
