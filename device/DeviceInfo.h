// What a device told about itself: its firmware and its answer to the query,
// split into fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The firmware versions this program knows. They decide what the user may
// change: 1.1 has no name display, only 1.3 lets Enable re-open the PIN fields.
enum class Firmware { V1_1, V1_2, V1_3, Unknown };

// Their version texts, in Firmware's order.
inline constexpr const char* KnownFirmware[] = {"1.1", "1.2", "1.3"};

Firmware ClassifyFirmware(const char* version);

// One device's answer to the query, split into its fields. Each query starts
// from a cleared DeviceInfo: nothing of an earlier reply survives into a new one.
struct DeviceInfo {
    static constexpr std::size_t PinSize = 16;     // at most 15 characters
    static constexpr std::size_t VersionSize = 8;  // at most 7 characters
    static constexpr std::size_t EchoSize = 68;    // at most 67 characters

    std::string name;                // fifth token: the first word of the device name, or empty
    char pin[PinSize] = {};          // fourth token: the PIN set in the device
    std::int32_t auth = 0;           // third token; 1 or 0 once a reply is Ok
    char version[VersionSize] = {};  // second token
    char echo[EchoSize] = {};        // first token; must equal AccessCode
    std::string displayName;         // the line after its fourth space, terminator included
};
