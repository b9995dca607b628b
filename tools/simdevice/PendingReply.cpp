#include "PendingReply.h"

void PendingReply::Start(std::string bytes, const ReplyFaults& faults, Clock::time_point now) {
    bytes_ = std::move(bytes);
    sent_ = 0;
    active_ = true;
    first_ = now + std::chrono::milliseconds(faults.delayMs);
    spacing_ = std::chrono::milliseconds(faults.gapMs);
    if (faults.baudPacing) {
        // A byte is in only once all ten of its bits are: the first one too.
        first_ += LineTime(1);
        spacing_ += LineTime(1);
    }
}

std::optional<PendingReply::Clock::time_point> PendingReply::NextTime() const {
    if (!active_)
        return std::nullopt;
    return first_ + spacing_ * static_cast<long>(sent_);
}
