#include "PortDetails.h"

#include "ComPortNames.h"
#include "SerialCommKey.h"
#include "serial/UniqueHandle.h"
#include "UniqueResource.h"

#include <windows.h>

#include <setupapi.h>

#include <cctype>

namespace {

// The device setup class of COM and LPT ports, {4D36E978-E325-11CE-BFC1-08002BE10318}.
const GUID PortsClass = {0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// The Bluetooth stack's serial ports are device objects \Device\BthModem<n>.
inline constexpr char BluetoothModemDevice[] = "BTHMODEM";
// Device instance IDs of Bluetooth services begin with their enumerator.
inline constexpr char BluetoothEnumerator[] = "BTHENUM\\";

struct DeviceInfoSetTraits {
    using Value = HDEVINFO;
    static Value None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Value set) { return set != INVALID_HANDLE_VALUE && set != nullptr; }
    static void Close(Value set) { ::SetupDiDestroyDeviceInfoList(set); }
};
using UniqueDeviceInfoSet = UniqueResource<DeviceInfoSetTraits>;

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// Where in `ports` the port `name` is (any spelling of COMn, named once or more).
std::vector<std::size_t> PlacesOfPort(const std::vector<std::string>& ports, const std::string& name)
{
    std::vector<std::size_t> places;
    const int number = ComPortNumber(name);
    for (std::size_t i = 0; number != 0 && i < ports.size(); ++i) {
        if (ComPortNumber(ports[i]) == number)
            places.push_back(i);
    }
    return places;
}

// A registry string of at most a short line; empty when there is none.
std::string QueryString(HKEY key, const char* valueName)
{
    char data[256];
    DWORD length = sizeof data - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key, valueName, NULL, &type, reinterpret_cast<BYTE*>(data), &length) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    data[length] = 0;
    return data;
}

std::string PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    HKEY opened = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (opened == INVALID_HANDLE_VALUE)
        return "";
    const UniqueRegistryKey key(opened);
    return QueryString(key.Get(), "PortName");
}

std::string FriendlyNameOf(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    char name[256];
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_FRIENDLYNAME, &type, reinterpret_cast<BYTE*>(name),
                                           sizeof name - 1, NULL) ||
        type != REG_SZ)
        return "";
    name[sizeof name - 1] = 0;
    return name;
}

std::string InstanceIdOf(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    char id[512];
    if (!SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof id, NULL))
        return "";
    return id;
}

// A Bluetooth serial service's instance ID ends in the remote device's
// address: BTHENUM\{service}_...\<n>&<bus>&<n>&001122334455_C00000000.
std::string AddressOfInstance(const std::string& instanceId)
{
    const std::size_t lastPart = instanceId.find_last_of('\\');
    const std::size_t ampersand = instanceId.find_last_of('&');
    if (lastPart == std::string::npos || ampersand == std::string::npos || ampersand < lastPart)
        return "";
    const std::string tail = instanceId.substr(ampersand + 1);
    return BluetoothAddressFromDigits(tail.substr(0, tail.find('_')));
}

void AddSetupDetails(HDEVINFO set, SP_DEVINFO_DATA& device, PortDetails& details)
{
    details.description = FriendlyNameOf(set, device);
    const std::string instanceId = Upper(InstanceIdOf(set, device));
    if (StartsWith(instanceId, BluetoothEnumerator))
        details.kind = PortKind::Bluetooth;
    if (details.kind != PortKind::Bluetooth)
        return;
    details.address = AddressOfInstance(instanceId);
    if (!details.address.empty())
        details.direction = IsZeroBluetoothAddress(details.address) ? "incoming" : "outgoing";
}

// What SetupAPI knows of the ports: the friendly name and, for Bluetooth, the
// device instance ID with the remote address. Only present devices: a port
// of a device removed long ago keeps its entry and may share a COM name.
void AddSetupApiDetails(const std::vector<std::string>& ports, std::vector<PortDetails>& details)
{
    const UniqueDeviceInfoSet set(SetupDiGetClassDevsA(&PortsClass, NULL, NULL, DIGCF_PRESENT));
    if (!set.IsValid())
        return;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device = {};
        device.cbSize = sizeof device;
        if (!SetupDiEnumDeviceInfo(set.Get(), index, &device))
            break;
        for (std::size_t place : PlacesOfPort(ports, PortNameOf(set.Get(), device)))
            AddSetupDetails(set.Get(), device, details[place]);
    }
}

}  // namespace

std::vector<PortDetails> DescribeSystemPorts(const std::vector<std::string>& ports)
{
    std::vector<PortDetails> details(ports.size());
    for (const SerialCommEntry& entry : ReadSerialCommEntries()) {
        if (Upper(entry.device).find(BluetoothModemDevice) == std::string::npos)
            continue;
        for (std::size_t place : PlacesOfPort(ports, entry.port))
            details[place].kind = PortKind::Bluetooth;
    }
    AddSetupApiDetails(ports, details);
    return details;
}

std::string PortIdentity(const std::string& path)
{
    return path;
}
