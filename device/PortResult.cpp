#include "PortResult.h"

#include <algorithm>
#include <utility>

namespace {

// A server's words are a reason, not a document.
constexpr std::size_t MaxReasonLength = 200;

}  // namespace

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
        case PortOperation::Discard:
            return "discard";
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
    result.fault = systemError != 0 || !result.systemText.empty() ? PortFault::Failed : PortFault::TimedOut;
    return result;
}

PortResult PortTimedOut(LinkResult outcome, PortOperation operation)
{
    return PortFailed(outcome, operation);
}

PortResult PortClosed(LinkResult outcome, PortOperation operation, std::string text)
{
    PortResult result = PortFailed(outcome, operation, 0, std::move(text));
    result.fault = PortFault::Closed;
    return result;
}

std::string FarSideReason(const std::string& text)
{
    const std::size_t start = text.find_first_not_of("\r\n ");
    if (start == std::string::npos)
        return ClosedByFarSide;
    const std::size_t end = std::min(text.find_first_of("\r\n", start), start + MaxReasonLength);
    return text.substr(start, end - start);
}
