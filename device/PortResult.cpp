#include "PortResult.h"

#include <utility>

const char* PortOperationName(PortOperation operation)
{
    switch (operation) {
        case PortOperation::None:
            return "";
        case PortOperation::Open:
            return "open";
        case PortOperation::Setup:
            return "set-up";
        case PortOperation::Write:
            return "write";
        case PortOperation::Read:
            return "read";
        case PortOperation::SetReadTimeout:
            return "read time-out";
    }
    return "";
}

PortResult PortSucceeded(PortOperation operation, std::size_t count)
{
    PortResult result;
    result.operation = operation;
    result.count = count;
    return result;
}

PortResult PortFailed(LinkResult outcome, PortOperation operation, long systemError, std::string systemText)
{
    PortResult result;
    result.outcome = outcome;
    result.operation = operation;
    result.systemError = systemError;
    result.systemText = std::move(systemText);
    return result;
}
