#include "PortFacts.h"

#include "ComPortNames.h"
#include "network/UniqueSocketWin32.h"

// winsock2 first: ws2bth needs its types.
#include <winsock2.h>
#include <ws2bth.h>

#include <windows.h>

namespace {

// "COM5" of "\\.\COM5".
std::string DeviceName(const std::string& target)
{
    const std::string prefix = DeviceNamespacePrefix;
    return target.compare(0, prefix.size(), prefix) == 0 ? target.substr(prefix.size()) : target;
}

}  // namespace

bool SerialPortExists(const std::string& target)
{
    char mapping[1024];
    return ::QueryDosDeviceA(DeviceName(target).c_str(), mapping, sizeof mapping) != 0;
}

// Windows answers a held port with "Access is denied." and names no holder.
std::vector<std::string> ProcessesHolding(const std::string& /*target*/)
{
    return {};
}

// A COM name is a device by the system's own mapping; what lies behind it
// shows only in the set-up's failure.
bool IsNotSerialPort(const std::string& /*target*/)
{
    return false;
}

bool BluetoothMissing()
{
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    bool missing = false;
    {
        const UniqueSocket probe(::socket(AF_BTH, SOCK_STREAM, BTHPROTO_RFCOMM));
        missing = !probe.IsValid() && ::WSAGetLastError() == WSAEAFNOSUPPORT;
    }
    ::WSACleanup();
    return missing;
}
