#include "PortResult.h"

const char* PortOperationName(PortOperation operation)
{
    switch (operation) {
    case PortOperation::None: return "";
    case PortOperation::Open: return "open";
    case PortOperation::Setup: return "set-up";
    case PortOperation::Write: return "write";
    case PortOperation::Read: return "read";
    case PortOperation::SetReadTimeout: return "read time-out";
    }
    return "";
}
