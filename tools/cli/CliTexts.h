// The texts tolvane-cli reports. The first group are the window's own message
// texts, kept word for word (typos included) so that people and scripts see the
// same words in both programs; the rest exist only on the command line.
#pragma once

namespace CliText {

// Reading the device.
inline constexpr char CannotOpen[] = "Cannot open the COM port.";
inline constexpr char SetupFailed[] = "Fail to configure the COM port: 8 N 1 N.";
inline constexpr char QueryWriteFailed[] = "Fail to write to the COM port.";
inline constexpr char Timeout[] = "Reading COM port timeout.";
inline constexpr char IncorrectData[] = "Receive incorrect data from COM port.";

// Checking the new configuration, in the order the checks run.
inline constexpr char NameTooLong[] = "Invalid new device name. The maximum length is 20 characters.";
inline constexpr char PinTooLong[] = "Invalid new pin code. The maximum length is 12 digits.";
inline constexpr char PinHasSpaces[] = "Invalid new pin code. Spaces are not allowed.";

// Writing the configuration.
inline constexpr char ConfigureWriteFailed[] = "Failed to write to remote device.";
inline constexpr char ShortWrite[] = "Writing COM port failed.";
inline constexpr char ConfigurationCompleted[] = "Configuration is completed.";

// The window ignores a device with unknown firmware without a word; a script
// has to be told. The version follows after a space.
inline constexpr char UnsupportedFirmware[] = "Unsupported firmware version:";

// scan --probe found nothing that answers as a device.
inline constexpr char NoDeviceFound[] = "No device answered.";

}  // namespace CliText
