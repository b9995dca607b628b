#include "TtyNames.h"

#include <algorithm>
#include <cstddef>

namespace {

bool StartsWithThenDigits(const std::string& name, const std::string& prefix)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

TtyKind TtyKindOf(const std::string& name)
{
    if (StartsWithThenDigits(name, "ttyS"))
        return TtyKind::Uart;
    if (StartsWithThenDigits(name, "ttyUSB") || StartsWithThenDigits(name, "ttyACM"))
        return TtyKind::UsbSerial;
    if (StartsWithThenDigits(name, "rfcomm"))
        return TtyKind::Rfcomm;
    return TtyKind::NotSerial;
}
