#include "DeviceInfo.h"

#include <cstring>

Firmware ClassifyFirmware(const char* version)
{
    if (std::strcmp(version, "1.1") == 0)
        return Firmware::V1_1;
    if (std::strcmp(version, "1.2") == 0)
        return Firmware::V1_2;
    if (std::strcmp(version, "1.3") == 0)
        return Firmware::V1_3;
    return Firmware::Unknown;
}
