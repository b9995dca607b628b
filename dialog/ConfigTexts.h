// Every text the main window shows: the messages of its message boxes and
// the texts it writes into its controls, exactly as the user sees them.
#pragma once

namespace ConfigTexts {

// Reading a device (choosing a port).
inline constexpr char SelectPortFirst[] = "Select the COM port first.";
inline constexpr char CannotOpenPort[] = "Cannot open the COM port.";
inline constexpr char CannotSetUpPort[] = "Fail to configure the COM port: 8 N 1 N.";
inline constexpr char CannotWriteQuery[] = "Fail to write to the COM port.";
inline constexpr char ReplyTimedOut[] = "Reading COM port timeout.";
inline constexpr char IncorrectReply[] = "Receive incorrect data from COM port.";

// Writing the configuration (OK).
inline constexpr char NameTooLong[] = "Invalid new device name. The maximum length is 20 characters.";
inline constexpr char PinsDiffer[] = "Inconsistent new pin code. Confirmation error.";
inline constexpr char PinTooLong[] = "Invalid new pin code. The maximum length is 12 digits.";
inline constexpr char PinHasSpace[] = "Invalid new pin code. Spaces are not allowed.";
inline constexpr char CannotWriteDevice[] = "Failed to write to remote device.";
inline constexpr char ShortWrite[] = "Writing COM port failed.";
inline constexpr char Configured[] = "Configuration is completed.";

// Control texts.
inline constexpr char SelectEntry[] = "Select";      // entry 0 of the port list
inline constexpr char PortEntryFormat[] = "COM%d";  // entries 1 to 30
inline constexpr char AuthRequired[] = "Enable";
inline constexpr char AuthNotRequired[] = "Disable";

}  // namespace ConfigTexts
