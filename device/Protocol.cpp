#include "Protocol.h"

// Placeholder until the parser lands.
LinkResult ParseReply(const ReplyLine&, DeviceInfo& info)
{
    info = DeviceInfo{};
    return LinkResult::BadReply;
}

std::string BuildConfigureCommand(int auth, const std::string& pin)
{
    return std::string(AccessCode) + " " + std::to_string(auth) + " " + pin + " ";
}
