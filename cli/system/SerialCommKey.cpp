#include "SerialCommKey.h"

#include "serial/UniqueHandle.h"

#include <windows.h>

namespace {

inline constexpr char SerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

}  // namespace

std::vector<SerialCommEntry> ReadSerialCommEntries()
{
    std::vector<SerialCommEntry> entries;
    HKEY opened = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SerialCommKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return entries;
    const UniqueRegistryKey key(opened);
    for (DWORD index = 0;; ++index) {
        char valueName[256];
        DWORD valueNameLength = sizeof valueName;
        BYTE data[256];
        DWORD dataLength = sizeof data - 1;  // room for a NUL the data may lack
        DWORD type = 0;
        const LONG status =
            RegEnumValueA(key.Get(), index, valueName, &valueNameLength, NULL, &type, data, &dataLength);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;  // a value too long for the buffers is no COM name either
        data[dataLength] = 0;
        entries.push_back({std::string(valueName, valueNameLength), reinterpret_cast<const char*>(data)});
    }
    return entries;
}
