#include "PortDetails.h"

#include "TtyNames.h"

#include <climits>
#include <cstdlib>
#include <fstream>

namespace {

// sysfs attributes are one short line; a longer one is cut, not trusted.
constexpr std::size_t MaxAttributeLength = 256;
// From a tty's device up to the USB device that holds idVendor: the
// interface, and for ttyUSB also the adapter's own port, lie in between.
constexpr int MaxUsbLevels = 4;

std::string RealPath(const std::string& path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : std::string();
}

std::string ReadAttribute(const std::string& path)
{
    std::ifstream file(path);
    std::string line;
    char c;
    while (line.size() < MaxAttributeLength && file.get(c) && c != '\n')
        line += c;
    return line;
}

std::string Parent(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

void DescribeRfcomm(const std::string& ttyDir, PortDetails& details)
{
    details.kind = PortKind::Bluetooth;
    std::string digits;
    for (char c : ReadAttribute(ttyDir + "/address")) {
        if (c != ':')
            digits += c;
    }
    details.address = BluetoothAddressFromDigits(digits);
    // A binding made to listen has no remote device until one calls.
    if (IsZeroBluetoothAddress(details.address))
        details.direction = "incoming";
}

void DescribeUsb(const std::string& ttyDir, PortDetails& details)
{
    details.kind = PortKind::Usb;
    std::string dir = RealPath(ttyDir + "/device");
    for (int level = 0; !dir.empty() && dir != "/" && level <= MaxUsbLevels; ++level, dir = Parent(dir)) {
        const std::string vendor = ReadAttribute(dir + "/idVendor");
        if (vendor.empty())
            continue;
        details.description = vendor + ":" + ReadAttribute(dir + "/idProduct");
        const std::string product = ReadAttribute(dir + "/product");
        if (!product.empty())
            details.description += " " + product;
        return;
    }
}

}  // namespace

PortDetails DescribePortIn(const std::string& path, const std::string& devDir, const std::string& sysTtyDir)
{
    PortDetails details;
    const std::string node = RealPath(path);
    if (node.empty() || Parent(node) != RealPath(devDir))
        return details;
    const std::string name = node.substr(node.find_last_of('/') + 1);
    const std::string ttyDir = sysTtyDir + "/" + name;
    switch (TtyKindOf(name)) {
        case TtyKind::Rfcomm:
            DescribeRfcomm(ttyDir, details);
            break;
        case TtyKind::UsbSerial:
            DescribeUsb(ttyDir, details);
            break;
        case TtyKind::Uart:
        case TtyKind::NotSerial:
            break;
    }
    return details;
}

std::vector<PortDetails> DescribeSystemPorts(const std::vector<std::string>& ports)
{
    std::vector<PortDetails> details;
    for (const std::string& port : ports)
        details.push_back(DescribePortIn(port, SystemDevDir, SystemSysTtyDir));
    return details;
}

std::string PortIdentity(const std::string& path)
{
    return RealPath(path);
}
