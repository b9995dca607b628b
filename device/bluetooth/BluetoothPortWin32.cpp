// Bluetooth for bt:// on Windows: a Winsock RFCOMM socket straight to the
// device, with no COM port in between. Without a channel the system looks up
// the device's Serial Port service by its class.
#include "BluetoothPort.h"

#include "network/SocketPort.h"

#include <winsock2.h>
// winsock2 first: ws2bth needs its types.
#include <initguid.h>
#include <ws2bth.h>
#include <bthdef.h>

#include <string>

namespace {

// "AA:BB:CC:DD:EE:FF" (checked when the address was parsed) as a number.
BTH_ADDR BluetoothAddressValue(const std::string& address)
{
    BTH_ADDR value = 0;
    for (char c : address) {
        if (c == ':')
            continue;
        const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = (value << 4) | static_cast<BTH_ADDR>(digit);
    }
    return value;
}

// The socket comes first: a system without Bluetooth says so at once.
PortResult ConnectRfcomm(const std::string& address, int channel, UniqueSocket& socket, Deadline deadline)
{
    const PortResult started = StartSockets();
    if (!started.Ok())
        return started;
    UniqueSocket candidate(::socket(AF_BTH, SOCK_STREAM, BTHPROTO_RFCOMM));
    if (!candidate.IsValid())
        return SocketFailure(LinkResult::OpenFailed, PortOperation::Open, WSAGetLastError());
    SOCKADDR_BTH remote = {};
    remote.addressFamily = AF_BTH;
    remote.btAddr = BluetoothAddressValue(address);
    if (channel == 0)
        remote.serviceClassId = SerialPortServiceClass_UUID;
    remote.port = channel == 0 ? 0 : static_cast<ULONG>(channel);
    const PortResult connected = ConnectBefore(candidate.Get(), reinterpret_cast<const sockaddr*>(&remote),
                                               static_cast<int>(sizeof remote), deadline);
    if (connected.Ok())
        socket = std::move(candidate);
    return connected;
}

}  // namespace

std::unique_ptr<SerialPort> CreateBluetoothSerialPort(const std::string& address, int channel)
{
    return CreateSocketPort([address, channel](UniqueSocket& socket, Deadline deadline) {
        return ConnectRfcomm(address, channel, socket, deadline);
    });
}
