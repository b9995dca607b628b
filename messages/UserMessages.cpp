#include "UserMessages.h"

// No default arms: a new LinkResult does not compile until the window has
// its words for it.

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
        case LinkResult::ShortWrite:  // a query tests only its write's success, so it never ends so
            return UserMessages::IncorrectReply;
        case LinkResult::UnsupportedVersion:
        case LinkResult::Ok:
            return nullptr;
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
        case LinkResult::WriteFailed:
        // Writing the command has no other outcome; anything else counts as
        // the failed write.
        case LinkResult::OpenFailed:
        case LinkResult::SetupFailed:
        case LinkResult::Timeout:
        case LinkResult::BadEcho:
        case LinkResult::BadReply:
        case LinkResult::UnsupportedVersion:
            return UserMessages::CannotWriteDevice;
    }
    return UserMessages::CannotWriteDevice;
}
