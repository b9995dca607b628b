#include "PortReason.h"

#include "OutputFormat.h"

std::string PortReason(const std::string& port, const PortResult& result)
{
    if (result.systemText.empty())
        return "";
    return " (" + EscapeForText(port) + ": " + EscapeForText(result.systemText) + PortAccessAdvice(port, result) + ")";
}
