// What the user is told about the device link and about a new configuration,
// word for word as the window shows it (the command line uses the same words,
// so people and scripts see one wording).
#pragma once

#include "LinkResult.h"

namespace UserMessages {

// Reading a device (choosing a port).
inline constexpr char SelectPortFirst[] = "Select the COM port first.";
inline constexpr char CannotOpenPort[] = "Cannot open the COM port.";
inline constexpr char CannotSetUpPort[] = "Fail to configure the COM port: 8 N 1 N.";
inline constexpr char CannotWriteQuery[] = "Fail to write to the COM port.";
inline constexpr char ReplyTimedOut[] = "Reading COM port timeout.";
inline constexpr char IncorrectReply[] = "Receive incorrect data from COM port.";

// Checking a new configuration.
inline constexpr char NameTooLong[] = "Invalid new device name. The maximum length is 20 characters.";
inline constexpr char PinsDiffer[] = "Inconsistent new pin code. Confirmation error.";
inline constexpr char PinTooLong[] = "Invalid new pin code. The maximum length is 12 digits.";
inline constexpr char PinHasSpace[] = "Invalid new pin code. Spaces are not allowed.";

// Writing the configuration.
inline constexpr char CannotWriteDevice[] = "Failed to write to remote device.";
inline constexpr char ShortWrite[] = "Writing COM port failed.";
inline constexpr char Configured[] = "Configuration is completed.";

}  // namespace UserMessages

// The message for a query that did not end Ok, or null where there is none:
// Ok, and a firmware version this program does not know (the window passes
// over such a device without a word).
const char* QueryFailureMessage(LinkResult result);

// The message for a configure command that did not end Ok, or null for Ok.
const char* ConfigureFailureMessage(LinkResult result);
