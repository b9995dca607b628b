#include "ComPortNames.h"

#include <cctype>
#include <cstddef>

namespace {

constexpr char ComPrefix[] = "COM";
constexpr std::size_t ComPrefixLength = sizeof ComPrefix - 1;
// "COM" and at most three digits: 1 to 256.
constexpr std::size_t LongestComPortName = ComPrefixLength + 3;

bool StartsWithComPrefix(const std::string& text)
{
    if (text.size() < ComPrefixLength)
        return false;
    for (std::size_t i = 0; i < ComPrefixLength; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != ComPrefix[i])
            return false;
    }
    return true;
}

}  // namespace

std::string ComPortName(int number)
{
    return ComPrefix + std::to_string(number);
}

int ComPortNumber(const std::string& text)
{
    if (!StartsWithComPrefix(text) || text.size() <= ComPrefixLength || text.size() > LongestComPortName ||
        text[ComPrefixLength] == '0')
        return 0;
    int number = 0;
    for (std::size_t i = ComPrefixLength; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return 0;
        number = number * 10 + (text[i] - '0');
    }
    return number >= FirstComPort && number <= LastComPort ? number : 0;
}

std::string ComPortPath(const std::string& name)
{
    return DeviceNamespacePrefix + name;
}

PortAddress ComPortAddress(const std::string& name)
{
    return SerialPortAddress(ComPortPath(name), name);
}
