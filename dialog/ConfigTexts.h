// The texts the main window writes into its controls, exactly as the user
// sees them. Its messages are shared with the command line (UserMessages.h).
#pragma once

namespace ConfigTexts {

// Control texts.
inline constexpr char SelectEntry[] = "Select";  // entry 0 of the port list; COMn follow (ComPortNames.h)
inline constexpr char AuthRequired[] = "Enable";
inline constexpr char AuthNotRequired[] = "Disable";

}  // namespace ConfigTexts
