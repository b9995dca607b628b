#include "PortReason.h"

std::string PortReason(const std::string& port, const PortResult& result)
{
    if (result.systemText.empty())
        return "";
    return " (" + port + ": " + result.systemText + PortAccessAdvice(port, result) + ")";
}
