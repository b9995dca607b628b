#include "SimulatedDevice.h"

#include "StateFile.h"
#include "Log.h"
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

}  // namespace

SimulatedDevice::SimulatedDevice(const Options& options)
    : m_options(options),
      m_state(options.state),
      m_faults(options.faults),
      m_control(options.controlPath),
      m_scanner(options.quickQueries)
{}

// Opens a pty, points the link at it and watches it for the host. Used at
// start and after every hangup.
std::string SimulatedDevice::StartLine()
{
    std::string error = m_pty.Open();
    if (!error.empty())
        return error;
    if (!m_options.linkPath.empty()) {
        error = PointLinkAt(m_options.linkPath, m_pty.SlavePath());
        if (!error.empty())
            return error;
    }
    const std::string watchError = m_hostWatch.Start(m_pty.MasterFd());
    if (!watchError.empty())
        Log("cannot watch for the host, unread bytes will stay: " + watchError);
    return {};
}

int SimulatedDevice::Run()
{
    if (!InstallStopSignals()) {
        Log(std::string("cannot set up signal handling: ") + std::strerror(errno));
        return 1;
    }
    const std::string error = StartLine();
    if (!error.empty()) {
        Log(error);
        return 1;
    }
    if (!m_options.transcriptPath.empty()) {
        m_transcript.Reset(open(m_options.transcriptPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
        if (!m_transcript.IsValid()) {
            Log("cannot open transcript " + m_options.transcriptPath + ": " + std::strerror(errno));
            return 1;
        }
    }
    m_control.ApplyIfChanged(m_options.faults, m_state, m_faults);
    SaveState();
    Log("\"" + m_state.name + "\" " + m_state.version + " ready on " + m_pty.SlavePath() +
        (m_options.linkPath.empty() ? "" : " (" + m_options.linkPath + ")"));
    // The path last: whoever waits for this line finds everything ready.
    std::cout << m_pty.SlavePath() << std::endl;

    while (!StopRequested()) {
        // The master is polled through the watch; only without one directly.
        pollfd fds[3] = {
            {m_hostWatch.Fd() < 0 ? m_pty.MasterFd() : -1, POLLIN, 0},  // poll skips a negative descriptor
            {StopSignalFd(), POLLIN, 0},
            {m_hostWatch.Fd(), POLLIN, 0},
        };
        timespec wait{};
        const int ready = ppoll(fds, 3, WaitTime(wait), nullptr);
        if (ready < 0 && errno != EINTR) {
            Log(std::string("ppoll: ") + std::strerror(errno));
            return 1;
        }
        if (ready > 0)
            ServeHost();

        const auto deadline = m_scanner.Deadline();
        if (deadline && *deadline <= Clock::now()) {
            std::vector<HostCommand> commands;
            m_scanner.Expire(commands);
            Handle(commands);
        }
        SendDueReplyBytes();
        if (HangUpIsDue())
            HangUp();
    }
    Log("stopped");
    return 0;
}

// Takes the watch's wake-ups, then everything the host sent, then the
// host's release, in that order. The watch's wake-ups are edges: once taken
// they do not come again, so the master is read every time they are taken,
// or bytes that came with them would wait for some later wake-up (after a
// reply that is due later, it goes to whoever holds the port then). And what
// a host sent before it let go is handled before its release is reported: a
// test that sees the release finds the host's last command recorded and
// applied.
void SimulatedDevice::ServeHost()
{
    const bool released = m_hostWatch.Update();
    // Everything the host sent, also when it has closed since.
    while (MasterHasInput() && ReadFromHost()) {
    }
    if (released)
        OnHostReleasedPort();
}

// The host let go of the port: it sends nothing more, so a query still in
// its configure window is a query now; what the host did not read is gone,
// as on a real port, and a reply still on its way has no one to reach. A
// hangup already under way happens now, so the next open finds the device
// answering. The count in the state file comes last: a test that waits for
// it to reopen the port finds nothing of the last exchange there.
void SimulatedDevice::OnHostReleasedPort()
{
    std::vector<HostCommand> commands;
    m_scanner.Expire(commands);
    Handle(commands);
    m_pty.DiscardUnreadOutput();
    m_reply.Cancel();
    ++m_state.releases;
    Log("host let go of the port");
    const bool hangupUnderWay = m_hangUpAfterReply || m_hangUpSent;
    m_hangUpAfterReply = false;
    if (hangupUnderWay)
        HangUp();
    SaveState();
}

// How long the loop may sleep: until the scanner's deadline, the next reply
// byte or the next hangup check; null when only the host can wake it. In
// nanoseconds, because baud pacing spaces bytes 87 us apart.
const timespec* SimulatedDevice::WaitTime(timespec& storage) const
{
    std::optional<Clock::time_point> wake = m_scanner.Deadline();
    if (const auto next = m_reply.NextTime())
        wake = wake ? std::min(*wake, *next) : *next;
    if (m_hangUpSent) {
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

bool SimulatedDevice::MasterHasInput() const
{
    pollfd master = {m_pty.MasterFd(), POLLIN, 0};
    return poll(&master, 1, 0) > 0 && (master.revents & POLLIN);
}

bool SimulatedDevice::ReadFromHost()
{
    char buffer[4096];
    const ssize_t length = read(m_pty.MasterFd(), buffer, sizeof buffer);
    if (length <= 0)
        return false;
    Record(buffer, static_cast<std::size_t>(length));
    m_hostWatch.HostSentBytes();
    std::vector<HostCommand> commands;
    const auto now = Clock::now();
    for (ssize_t i = 0; i < length; ++i)
        m_scanner.Feed(buffer[i], now, commands);
    Handle(commands);
    return true;
}

void SimulatedDevice::Handle(const std::vector<HostCommand>& commands)
{
    for (const HostCommand& command : commands) {
        if (command.kind == HostCommand::Kind::Query)
            AnswerQuery(command.recognised);
        else
            ApplyConfigure(command);
    }
}

void SimulatedDevice::AnswerQuery(Clock::time_point recognised)
{
    // A new query supersedes a reply not yet sent in full.
    m_reply.Cancel();
    m_hangUpAfterReply = false;
    m_hangUpSent.reset();
    if (m_control.ApplyIfChanged(m_options.faults, m_state, m_faults))
        Log("control file applied");
    ++m_state.queries;
    m_state.queryLine = m_pty.LineSettingsText();
    SaveState();

    std::string bytes = BuildReply(m_state, m_faults);
    switch (m_faults.mode) {
        case ReplyMode::Silent:
            Log("query " + std::to_string(m_state.queries) + ": silent");
            return;
        case ReplyMode::Answer:
            break;
        case ReplyMode::Partial:
            bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(m_faults.partial)));
            break;
        case ReplyMode::Hangup:
            bytes.resize(std::min(bytes.size(), static_cast<std::size_t>(m_faults.partial)));
            m_hangUpAfterReply = true;
            break;
    }
    Log("query " + std::to_string(m_state.queries) + ": " + ReplyModeName(m_faults.mode) + ", " +
        std::to_string(bytes.size()) + " bytes");
    m_reply.Start(std::move(bytes), m_faults, ReplyStartTime(recognised));
}

// Timed from the moment the query was recognised, so that the device's own
// bookkeeping (state file, log) does not delay a paced reply. A pty hands the
// host's bytes over at once; a paced line carries the access code for 13 byte
// times before the device has it all, so the reply starts that much later
// and a timed round trip covers the whole exchange.
Clock::time_point SimulatedDevice::ReplyStartTime(Clock::time_point recognised) const
{
    return m_faults.baudPacing ? recognised + PendingReply::LineTime(DeviceAccessCodeLength) : recognised;
}

void SimulatedDevice::ApplyConfigure(const HostCommand& command)
{
    // A scenario written before this command is older than it: apply it
    // first, so the command's tokens are what the state keeps.
    if (m_control.ApplyIfChanged(m_options.faults, m_state, m_faults))
        Log("control file applied");
    m_state.auth = command.flag;
    m_state.pin = command.pin;
    ++m_state.configures;
    SaveState();
    Log("configure " + std::to_string(m_state.configures) + ": auth=" + command.flag + " pin=" + command.pin);
}

void SimulatedDevice::SendDueReplyBytes()
{
    // The host may have let go of the port, and opened it again, since the
    // poll returned: bytes of the old reply sent now would turn up in the new
    // open's first read.
    if (m_reply.Active())
        ServeHost();
    const bool complete = m_reply.SendDue(Clock::now(), [this](const char* bytes, std::size_t length) {
        // Bytes sent while no host holds the port would be lost on a real
        // line; here they would wait for the next open, so they are dropped.
        if (!m_hostWatch.HostHasPort())
            return;
        while (length > 0) {
            const ssize_t written = write(m_pty.MasterFd(), bytes, length);
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
    if (complete && m_hangUpAfterReply) {
        m_hangUpAfterReply = false;
        m_hangUpSent = Clock::now();
    }
}

bool SimulatedDevice::HangUpIsDue() const
{
    if (!m_hangUpSent)
        return false;
    const auto lingered = Clock::now() - *m_hangUpSent;
    return lingered >= HangupLongestLinger || (lingered >= HangupShortestLinger && m_pty.UnreadByHost() == 0);
}

// Drops the line the way a device that loses its connection does: the host's
// open port goes dead. The device comes back on a new pty behind the same
// link, so the next open of the port reaches it again. Once only: afterwards
// the device answers until the control file asks for another hangup.
//
// A host that held the old line has lost it: that counts as letting go, since
// nothing of the old line can reach the next open.
void SimulatedDevice::HangUp()
{
    m_hangUpSent.reset();
    m_faults.mode = ReplyMode::Answer;
    const bool hostHeldLine = m_hostWatch.HostHasPort();
    std::string error;
    {
        // The new line is up and linked before the old one drops (here, at
        // the end of the block), so a host that reopens the port as soon as
        // it sees the hangup finds the device.
        const Pty old = std::move(m_pty);
        m_hostWatch.Stop();
        m_scanner = CommandScanner(m_options.quickQueries);
        error = StartLine();
    }
    if (!error.empty()) {
        Log("cannot come back after the hangup: " + error);
        return;
    }
    ++m_state.hangups;
    if (hostHeldLine)
        ++m_state.releases;
    SaveState();
    Log("hung up, now on " + m_pty.SlavePath());
    std::cout << m_pty.SlavePath() << std::endl;
}

void SimulatedDevice::SaveState()
{
    if (!WriteStateFile(m_options.statePath, m_state))
        Log("cannot write the state file " + m_options.statePath);
}

void SimulatedDevice::Record(const char* bytes, std::size_t length)
{
    while (m_transcript.IsValid() && length > 0) {
        const ssize_t written = write(m_transcript.Get(), bytes, length);
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
