#include "UserMessages.h"

const char* QueryFailureMessage(LinkResult result)
{
    switch (result) {
        case LinkResult::OpenFailed:
            return UserMessages::CannotOpenPort;
        case LinkResult::SetupFailed:
            return UserMessages::CannotSetUpPort;
        case LinkResult::WriteFailed:
            return UserMessages::CannotWriteQuery;
        case LinkResult::Timeout:
            return UserMessages::ReplyTimedOut;
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
            return UserMessages::IncorrectReply;
        case LinkResult::UnsupportedVersion:
        case LinkResult::Ok:
            return nullptr;
        default:
            break;  // ShortWrite: the query tests only its write's success, so it never ends so
    }
    return UserMessages::IncorrectReply;
}

const char* ConfigureFailureMessage(LinkResult result)
{
    switch (result) {
        case LinkResult::Ok:
            return nullptr;
        case LinkResult::ShortWrite:
            return UserMessages::ShortWrite;
        default:
            return UserMessages::CannotWriteDevice;  // the command has no other outcome
    }
}
