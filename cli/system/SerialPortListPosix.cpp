#include "SerialPortList.h"

#include "TtyNames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace {

bool Exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// The type file holds the UART type as a number; 0 means no UART was found.
// When the file cannot be read the port is kept: better listed than missed.
bool UartTypeKnown(const std::string& ttyDir)
{
    std::ifstream typeFile(ttyDir + "/type");
    int type = 0;
    if (!(typeFile >> type))
        return true;
    return type != 0;
}

bool IsSerialPort(const std::string& name, const std::string& sysTtyDir)
{
    const std::string ttyDir = sysTtyDir + "/" + name;
    switch (TtyKindOf(name)) {
        case TtyKind::Uart:
            return Exists(ttyDir + "/device") && UartTypeKnown(ttyDir);
        case TtyKind::UsbSerial:
            return Exists(ttyDir + "/device");
        case TtyKind::Rfcomm:
            return true;
        case TtyKind::NotSerial:
            return false;
    }
    return false;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

std::vector<std::string> ListSerialPortsIn(const std::string& devDir, const std::string& sysTtyDir)
{
    std::vector<std::string> names;
    std::unique_ptr<DIR, DirCloser> dir(opendir(devDir.c_str()));
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (IsSerialPort(name, sysTtyDir))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), TtyNameLess);
    std::vector<std::string> ports;
    for (const std::string& name : names)
        ports.push_back(devDir + "/" + name);
    return ports;
}

bool ListSystemSerialPorts(std::vector<std::string>& ports)
{
    if (!Exists(SystemDevDir))
        return false;
    ports = ListSerialPortsIn(SystemDevDir, SystemSysTtyDir);
    return true;
}
