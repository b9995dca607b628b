#include "RecordedPort.h"

std::string BluetoothAddressOf(const std::string& port, const PortAddress& address, const PortDescriber& describe)
{
    if (address.kind == AddressKind::Bluetooth)
        return address.bluetooth;
    if (address.kind != AddressKind::Serial)
        return "";
    const std::vector<PortDetails> details = describe({port});
    if (details.empty() || details.front().kind != PortKind::Bluetooth ||
        IsZeroBluetoothAddress(details.front().address))
        return "";
    return details.front().address;
}
