// What the dialog tests share: the main window on its UI thread, the groups
// of controls it switches, and the simulated devices' scenarios.
#pragma once

#include "BenchNames.h"
#include "ConfigDialog.h"
#include "ControlNames.h"
#include "RunningDialog.h"
#include "ScriptedSerialPort.h"
#include "resource.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

inline const std::vector<int> InfoGroup = {
    IDC_DEVICE_NAME,
    IDC_FIRMWARE_VERSION,
    IDC_AUTH_STATUS,
    IDC_PIN_CODE,
};

inline const std::vector<int> EditGroup = {
    IDC_NEW_NAME, IDC_AUTH_ENABLE, IDC_AUTH_DISABLE, IDC_NEW_PIN, IDC_CONFIRM_PIN, IDOK,
};

// The names of the controls of `group` that are enabled (or checked): a
// failed expectation then says which control is off.
inline std::vector<std::string> NamesWhere(const std::vector<int>& group, const std::function<bool(int)>& holds)
{
    std::vector<std::string> names;
    for (int id : group) {
        if (holds(id))
            names.emplace_back(ControlNameOf(id));
    }
    return names;
}

inline std::vector<std::string> EnabledIn(const RunningDialog& dialog, const std::vector<int>& group)
{
    return NamesWhere(group, [&dialog](int id) { return dialog.IsEnabled(id); });
}

inline std::vector<std::string> CheckedIn(const RunningDialog& dialog, const std::vector<int>& group)
{
    return NamesWhere(group, [&dialog](int id) { return dialog.IsChecked(id); });
}

inline std::vector<std::string> All(const std::vector<int>& group)
{
    std::vector<std::string> names;
    for (int id : group)
        names.emplace_back(ControlNameOf(id));
    return names;
}

inline std::vector<std::string> InfoTexts(const RunningDialog& dialog)
{
    std::vector<std::string> texts;
    for (int id : InfoGroup)
        texts.push_back(dialog.Text(id));
    return texts;
}

// The main window on the system's serial ports (the bench's devices).
inline std::unique_ptr<RunningDialog> StartMainWindow()
{
    return std::make_unique<RunningDialog>([] { return std::make_unique<CConfigDialog>(); });
}

// The main window on a scripted port (the seam).
inline std::unique_ptr<RunningDialog> StartMainWindow(std::shared_ptr<PortScript> script)
{
    return std::make_unique<RunningDialog>(
        [script] { return std::make_unique<CConfigDialog>(std::make_unique<ScriptedSerialPort>(script)); });
}

// A simulated device's state, and faults, as a bench scenario: every test
// names the whole state it starts from.
inline std::string DeviceScenario(const std::string& version, const std::string& auth, const std::string& pin,
                                  const std::string& name, const std::string& faults = "")
{
    return "version=" + version + "\nauth=" + auth + "\npin=" + pin + "\nname=" + name + "\n" + faults;
}

// Port list entries: "Select", then COMn at index n.
inline constexpr int SelectEntry = 0;
inline constexpr int Com5 = 5;
inline constexpr int Com6 = 6;
inline constexpr int Com8 = UnopenableComNumber;
inline constexpr int Com9 = NullDeviceComNumber;
