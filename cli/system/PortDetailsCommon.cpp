#include "PortDetails.h"

#include <cctype>

const char* PortKindWord(PortKind kind)
{
    switch (kind) {
        case PortKind::Bluetooth:
            return "bluetooth";
        case PortKind::Usb:
            return "usb";
        case PortKind::Network:
            return "network";
        case PortKind::Other:
            break;
    }
    return "other";
}

std::string BluetoothAddressFromDigits(const std::string& digits)
{
    constexpr std::size_t AddressDigits = 12;
    if (digits.size() != AddressDigits)
        return "";
    std::string address;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const unsigned char digit = static_cast<unsigned char>(digits[i]);
        if (!std::isxdigit(digit))
            return "";
        if (i > 0 && i % 2 == 0)
            address += ':';
        address += static_cast<char>(std::toupper(digit));
    }
    return address;
}

bool IsZeroBluetoothAddress(const std::string& address)
{
    if (address.empty())
        return false;
    for (char c : address) {
        if (c != '0' && c != ':')
            return false;
    }
    return true;
}
