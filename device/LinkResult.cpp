#include "LinkResult.h"

const char* LinkResultName(LinkResult result)
{
    switch (result) {
        case LinkResult::Ok:
            return "Ok";
        case LinkResult::OpenFailed:
            return "OpenFailed";
        case LinkResult::SetupFailed:
            return "SetupFailed";
        case LinkResult::WriteFailed:
            return "WriteFailed";
        case LinkResult::ShortWrite:
            return "ShortWrite";
        case LinkResult::Timeout:
            return "Timeout";
        case LinkResult::BadEcho:
            return "BadEcho";
        case LinkResult::BadReply:
            return "BadReply";
        case LinkResult::UnsupportedVersion:
            return "UnsupportedVersion";
    }
    return "?";
}
