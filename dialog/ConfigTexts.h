// The texts the main window writes into its controls, exactly as the user
// sees them. Its messages are the device link's (UserMessages.h).
#pragma once

namespace ConfigTexts {

// Control texts.
inline constexpr char SelectEntry[] = "Select";      // entry 0 of the port list
inline constexpr char PortEntryFormat[] = "COM%d";  // entries 1 to 30
inline constexpr char AuthRequired[] = "Enable";
inline constexpr char AuthNotRequired[] = "Disable";

}  // namespace ConfigTexts
