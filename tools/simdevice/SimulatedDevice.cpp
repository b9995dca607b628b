#include "SimulatedDevice.h"

#include "StateFile.h"
#include "StopSignal.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

// The line stays up a while for the host to read the bytes sent before a
// hangup: a pty drops unread bytes when its master closes. The kernel hands
// written bytes to the slave's queue a little later, so an empty queue counts
// only after the shortest linger; the longest bounds a host that never reads.
constexpr auto HangupShortestLinger = std::chrono::milliseconds(100);
constexpr auto HangupLongestLinger = std::chrono::seconds(2);
constexpr auto HangupCheckInterval = std::chrono::milliseconds(5);

void Log(const std::string& message) { std::cerr << "tolvane-simdevice: " << message << std::endl; }

}  // namespace

SimulatedDevice::SimulatedDevice(const Options& options)
    : options_(options), state_(options.state), faults_(options.faults),
      control_(options.controlPath), scanner_(options.quickQueries) {}

// Opens a pty, points the link at it and watches it for the host. Used at
// start and after every hangup.
std::string SimulatedDevice::StartLine() {
    std::string error = pty_.Open();
    if (!error.empty())
        return error;
    if (!options_.linkPath.empty()) {
        error = PointLinkAt(options_.linkPath, pty_.SlavePath());
        if (!error.empty())
            return error;
    }
    const std::string watchError = hostWatch_.Start(pty_.SlavePath());
    if (!watchError.empty())
        Log("cannot watch the host's opens, unread bytes will stay: " + watchError);
    return {};
}

int SimulatedDevice::Run() {
    if (!InstallStopSignals()) {
        Log(std::string("cannot set up signal handling: ") + std::strerror(errno));
        return 1;
    }
    const std::string error = StartLine();
    if (!error.empty()) {
        Log(error);
        return 1;
    }
    if (!options_.transcriptPath.empty()) {
        transcript_.Reset(open(options_.transcriptPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
        if (!transcript_.IsValid()) {
            Log("cannot open transcript " + options_.transcriptPath + ": " + std::strerror(errno));
            return 1;
        }
    }
    control_.ApplyIfChanged(options_.faults, state_, faults_);
    SaveState();
    Log("\"" + state_.name + "\" " + state_.version + " ready on " + pty_.SlavePath() +
        (options_.linkPath.empty() ? "" : " (" + options_.linkPath + ")"));
    // The path last: whoever waits for this line finds everything ready.
    std::cout << pty_.SlavePath() << std::endl;

    while (!StopRequested()) {
        pollfd fds[3] = {
            {pty_.MasterFd(), POLLIN, 0},
            {StopSignalFd(), POLLIN, 0},
            {hostWatch_.Fd(), POLLIN, 0},  // poll skips a negative descriptor
        };
        timespec wait {};
        const int ready = ppoll(fds, 3, WaitTime(wait), nullptr);
        if (ready < 0 && errno != EINTR) {
            Log(std::string("ppoll: ") + std::strerror(errno));
            return 1;
        }
        if (ready > 0 && (fds[2].revents & POLLIN) && hostWatch_.Update())
            OnHostReleasedPort();
        if (ready > 0 && (fds[0].revents & POLLIN))
            ReadFromHost();

        const auto deadline = scanner_.Deadline();
        if (deadline && *deadline <= Clock::now()) {
            std::vector<HostCommand> commands;
            scanner_.Expire(commands);
            Handle(commands);
        }
        SendDueReplyBytes();
        if (HangUpIsDue())
            HangUp();
    }
    Log("stopped");
    return 0;
}

// The host let go of the port: what it did not read is gone, as on a real
// port, and a reply still on its way has no one to reach. A hangup already
// under way happens now, so the next open finds the device answering.
void SimulatedDevice::OnHostReleasedPort() {
    pty_.DiscardUnreadOutput();
    reply_.Cancel();
    const bool hangupUnderWay = hangUpAfterReply_ || hangUpSent_;
    hangUpAfterReply_ = false;
    if (hangupUnderWay)
        HangUp();
}

// How long the loop may sleep: until the scanner's deadline, the next reply
// byte or the next hangup check; null when only the host can wake it. In
// nanoseconds, because baud pacing spaces bytes 87 us apart.
const timespec* SimulatedDevice::WaitTime(timespec& storage) const {
    std::optional<Clock::time_point> wake = scanner_.Deadline();
    if (const auto next = reply_.NextTime())
        wake = wake ? std::min(*wake, *next) : *next;
    if (hangUpSent_) {
        const auto check = Clock::now() + HangupCheckInterval;
        wake = wake ? std::min(*wake, check) : check;
    }
    if (!wake)
        return nullptr;
    const auto remaining = std::max(Clock::duration::zero(), *wake - Clock::now());
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(remaining).count();
    storage.tv_sec = static_cast<time_t>(nanoseconds / 1000000000);
    storage.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
    return &storage;
}

void SimulatedDevice::ReadFromHost() {
    char buffer[4096];
    const ssize_t length = read(pty_.MasterFd(), buffer, sizeof buffer);
    if (length <= 0)
        return;
    Record(buffer, static_cast<std::size_t>(length));
    std::vector<HostCommand> commands;
    const auto now = Clock::now();
    for (ssize_t i = 0; i < length; ++i)
        scanner_.Feed(buffer[i], now, commands);
    Handle(commands);
}

void SimulatedDevice::Handle(const std::vector<HostCommand>& commands) {
    for (const HostCommand& command : commands) {
        if (command.kind == HostCommand::Kind::Query)
            AnswerQuery(command.recognised);
        else
            ApplyConfigure(command);
    }
}

void SimulatedDevice::AnswerQuery(Clock::time_point recognised) {
    // A new query supersedes a reply not yet sent in full.
    reply_.Cancel();
    hangUpAfterReply_ = false;
    hangUpSent_.reset();
    if (control_.ApplyIfChanged(options_.faults, state_, faults_))
        Log("control file applied");
    ++state_.queries;
    SaveState();

    std::string bytes = BuildReply(state_, faults_);
    switch (faults_.mode) {
    case ReplyMode::Silent:
        Log("query " + std::to_string(state_.queries) + ": silent");
        return;
    case ReplyMode::Answer:
        break;
    case ReplyMode::Partial:
        bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(faults_.partial)));
        break;
    case ReplyMode::Hangup:
        bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(faults_.partial)));
        hangUpAfterReply_ = true;
        break;
    }
    Log("query " + std::to_string(state_.queries) + ": " + ReplyModeName(faults_.mode) + ", " +
        std::to_string(bytes.size()) + " bytes");
    reply_.Start(std::move(bytes), faults_, ReplyStartTime(recognised));
}

// Timed from the moment the query was recognised, so that the device's own
// bookkeeping (state file, log) does not delay a paced reply. A pty hands the
// host's bytes over at once; a paced line carries the access code for 13 byte
// times before the device has it all, so the reply starts that much later
// and a timed round trip covers the whole exchange.
Clock::time_point SimulatedDevice::ReplyStartTime(Clock::time_point recognised) const {
    return faults_.baudPacing ? recognised + PendingReply::LineTime(DeviceAccessCodeLength) : recognised;
}

void SimulatedDevice::ApplyConfigure(const HostCommand& command) {
    // A scenario written before this command is older than it: apply it
    // first, so the command's tokens are what the state keeps.
    if (control_.ApplyIfChanged(options_.faults, state_, faults_))
        Log("control file applied");
    state_.auth = command.flag;
    state_.pin = command.pin;
    ++state_.configures;
    SaveState();
    Log("configure " + std::to_string(state_.configures) + ": auth=" + command.flag +
        " pin=" + command.pin);
}

void SimulatedDevice::SendDueReplyBytes() {
    // The host may have let go of the port, and opened it again, since the
    // poll returned: bytes of the old reply sent now would turn up in the new
    // open's first read.
    if (reply_.Active() && hostWatch_.Update())
        OnHostReleasedPort();
    const bool complete = reply_.SendDue(Clock::now(), [this](const char* bytes, std::size_t length) {
        // Bytes sent while no host holds the port would be lost on a real
        // line; here they would wait for the next open, so they are dropped.
        if (!hostWatch_.HostHasPort())
            return;
        while (length > 0) {
            const ssize_t written = write(pty_.MasterFd(), bytes, length);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                Log(std::string("write to the host: ") + std::strerror(errno));
                return;
            }
            bytes += written;
            length -= static_cast<std::size_t>(written);
        }
    });
    if (complete && hangUpAfterReply_) {
        hangUpAfterReply_ = false;
        hangUpSent_ = Clock::now();
    }
}

bool SimulatedDevice::HangUpIsDue() const {
    if (!hangUpSent_)
        return false;
    const auto lingered = Clock::now() - *hangUpSent_;
    return lingered >= HangupLongestLinger ||
           (lingered >= HangupShortestLinger && pty_.UnreadByHost() == 0);
}

// Drops the line the way a device that loses its connection does: the host's
// open port goes dead. The device comes back on a new pty behind the same
// link, so the next open of the port reaches it again. Once only: afterwards
// the device answers until the control file asks for another hangup.
void SimulatedDevice::HangUp() {
    hangUpSent_.reset();
    faults_.mode = ReplyMode::Answer;
    std::string error;
    {
        // The new line is up and linked before the old one drops (here, at
        // the end of the block), so a host that reopens the port as soon as
        // it sees the hangup finds the device.
        const Pty old = std::move(pty_);
        hostWatch_.Stop();
        scanner_ = CommandScanner(options_.quickQueries);
        error = StartLine();
    }
    if (!error.empty()) {
        Log("cannot come back after the hangup: " + error);
        return;
    }
    Log("hung up, now on " + pty_.SlavePath());
    std::cout << pty_.SlavePath() << std::endl;
}

void SimulatedDevice::SaveState() {
    if (!WriteStateFile(options_.statePath, state_))
        Log("cannot write the state file " + options_.statePath);
}

void SimulatedDevice::Record(const char* bytes, std::size_t length) {
    while (transcript_.IsValid() && length > 0) {
        const ssize_t written = write(transcript_.Get(), bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            Log("cannot write the transcript: " + std::string(std::strerror(errno)));
            return;
        }
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}
