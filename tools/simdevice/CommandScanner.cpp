#include "CommandScanner.h"

#include "DeviceSettings.h"

#include <cstring>

void CommandScanner::Restart() {
    stage_ = Stage::Scanning;
    recent_.clear();
    flag_.clear();
    pin_.clear();
}

void CommandScanner::Feed(char byte, Clock::time_point now, std::vector<HostCommand>& found) {
    switch (stage_) {
    case Stage::Scanning:
        recent_ += byte;
        if (recent_.size() > DeviceAccessCodeLength)
            recent_.erase(0, recent_.size() - DeviceAccessCodeLength);
        if (recent_ == DeviceAccessCode) {
            recent_.clear();
            if (quickQueries_) {
                found.push_back(HostCommand{HostCommand::Kind::Query, {}, {}, now});
                return;
            }
            stage_ = Stage::AfterCode;
            deadline_ = now + ConfigureWindow;
        }
        return;
    case Stage::AfterCode:
        if (byte == ' ') {
            stage_ = Stage::Flag;
            deadline_ = now + BodyByteTimeout;
            return;
        }
        found.push_back(HostCommand{HostCommand::Kind::Query, {}, {}, now});
        Restart();
        Feed(byte, now, found);
        return;
    case Stage::Flag:
    case Stage::Pin: {
        std::string& token = stage_ == Stage::Flag ? flag_ : pin_;
        deadline_ = now + BodyByteTimeout;
        if (byte != ' ') {
            token += byte;
            if (token.size() > MaxTokenLength)
                Restart();
            return;
        }
        if (stage_ == Stage::Flag) {
            stage_ = Stage::Pin;
            return;
        }
        found.push_back(HostCommand{HostCommand::Kind::Configure, flag_, pin_, now});
        Restart();
        return;
    }
    }
}

void CommandScanner::Expire(std::vector<HostCommand>& found) {
    if (stage_ == Stage::AfterCode)
        found.push_back(HostCommand{HostCommand::Kind::Query, {}, {}, deadline_});
    Restart();
}

std::optional<CommandScanner::Clock::time_point> CommandScanner::Deadline() const {
    if (stage_ == Stage::Scanning)
        return std::nullopt;
    return deadline_;
}
