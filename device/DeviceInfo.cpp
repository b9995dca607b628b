#include "DeviceInfo.h"

#include <cstring>

const char* LinkResultName(LinkResult result)
{
    switch (result) {
    case LinkResult::Ok: return "Ok";
    case LinkResult::OpenFailed: return "OpenFailed";
    case LinkResult::SetupFailed: return "SetupFailed";
    case LinkResult::WriteFailed: return "WriteFailed";
    case LinkResult::ShortWrite: return "ShortWrite";
    case LinkResult::Timeout: return "Timeout";
    case LinkResult::BadEcho: return "BadEcho";
    case LinkResult::BadReply: return "BadReply";
    case LinkResult::UnsupportedVersion: return "UnsupportedVersion";
    }
    return "?";
}

Firmware ClassifyFirmware(const char* version)
{
    if (std::strcmp(version, "1.1") == 0) return Firmware::V1_1;
    if (std::strcmp(version, "1.2") == 0) return Firmware::V1_2;
    if (std::strcmp(version, "1.3") == 0) return Firmware::V1_3;
    return Firmware::Unknown;
}
