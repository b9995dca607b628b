#include "ReferenceExchange.h"

#include "Protocol.h"

bool ReferenceExchange::Query(std::size_t& replyLength)
{
    if (!Write(AccessCode, AccessCodeLength))
        return false;
    char line[ReplyLine::Capacity];
    std::size_t length = 0;
    while (length < sizeof line - 1) {
        const std::size_t count = Read(line + length, sizeof line - 1 - length);
        if (count == 0)
            return false;
        length += count;
        if (line[length - 1] == '\n') {
            replyLength = length;
            return true;
        }
    }
    return false;
}
