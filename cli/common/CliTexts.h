// The texts only the command line reports. Everything the window says too
// comes from UserMessages.h, so people and scripts see the same words.
#pragma once

namespace CliText {

// The window ignores a device with unknown firmware without a word; a script
// has to be told. The version follows after a space.
inline constexpr char UnsupportedFirmware[] = "Unsupported firmware version:";

// scan --probe found nothing that answers as a device.
inline constexpr char NoDeviceFound[] = "No device answered.";

// configure --verify. What the device reports follows the first.
inline constexpr char NotVerified[] = "Not verified:";
inline constexpr char MayNeedReset[] = "Some devices take new settings only after a reset.";
inline constexpr char Verified[] = "The device reports the requested settings.";

}  // namespace CliText
