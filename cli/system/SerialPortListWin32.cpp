#include "SerialPortList.h"

#include "ComPortNames.h"
#include "SerialCommKey.h"
#include "serial/UniqueHandle.h"

#include <windows.h>

#include <algorithm>

namespace {

void AddSerialCommNames(std::vector<std::string>& names)
{
    for (const SerialCommEntry& entry : ReadSerialCommEntries())
        names.push_back(entry.port);
}

// Ports that programs such as Bluetooth stacks or Wine map without listing
// them in the registry still have a DOS device name.
void AddDosDeviceNames(std::vector<std::string>& names)
{
    for (int number = FirstComPort; number <= LastComPort; ++number) {
        const std::string name = ComPortName(number);
        char target[1024];
        if (QueryDosDeviceA(name.c_str(), target, sizeof target) != 0 || GetLastError() == ERROR_INSUFFICIENT_BUFFER)
            names.push_back(name);
    }
}

// Wine maps a COM port by a link in its dosdevices folder, which neither the
// registry nor the DOS device names show; only opening the port finds it. The
// open asks for no access (a query open), and the ports already found are
// left alone. A port held by another program refuses the open but exists.
void AddOpenableNames(std::vector<std::string>& names)
{
    const std::vector<std::string> known = SortComPortNames(names);
    for (int number = FirstComPort; number <= LastComPort; ++number) {
        const std::string name = ComPortName(number);
        if (std::find(known.begin(), known.end(), name) != known.end())
            continue;
        const std::string path = ComPortPath(name);
        const UniqueHandle handle(CreateFileA(path.c_str(), 0, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL));
        if (handle.IsValid()) {
            names.push_back(name);
            continue;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            names.push_back(name);
    }
}

}  // namespace

bool ListSystemSerialPorts(std::vector<std::string>& ports)
{
    std::vector<std::string> names;
    AddSerialCommNames(names);
    AddDosDeviceNames(names);
    AddOpenableNames(names);
    ports = SortComPortNames(names);
    return true;
}
