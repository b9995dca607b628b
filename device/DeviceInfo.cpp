#include "DeviceInfo.h"

#include <cstring>
#include <iterator>

Firmware ClassifyFirmware(const char* version)
{
    for (std::size_t i = 0; i < std::size(KnownFirmware); ++i)
        if (std::strcmp(version, KnownFirmware[i]) == 0)
            return static_cast<Firmware>(i);
    return Firmware::Unknown;
}
