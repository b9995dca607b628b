// The device itself: reads the host's bytes from the pty, records them,
// answers queries from its state (through its faults) and applies configure
// commands, until a stop signal arrives.
#pragma once

#include "CommandScanner.h"
#include "ControlFile.h"
#include "DeviceSettings.h"
#include "HostWatch.h"
#include "Options.h"
#include "PendingReply.h"
#include "Pty.h"
#include "serial/UniqueFd.h"

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

class SimulatedDevice {
public:
    explicit SimulatedDevice(const Options& options);

    // Runs until SIGTERM/SIGINT/SIGHUP. Returns the process exit status.
    int Run();

private:
    std::string StartLine();
    bool MasterHasInput() const;
    void ServeHost();
    bool ReadFromHost();  // false when nothing was there
    void OnHostReleasedPort();
    void Handle(const std::vector<HostCommand>& commands);
    void AnswerQuery(std::chrono::steady_clock::time_point recognised);
    std::chrono::steady_clock::time_point ReplyStartTime(std::chrono::steady_clock::time_point recognised) const;
    void ApplyConfigure(const HostCommand& command);
    void SendDueReplyBytes();
    bool HangUpIsDue() const;
    void HangUp();
    void SaveState();
    void Record(const char* bytes, std::size_t length);
    const timespec* WaitTime(timespec& storage) const;

    Options m_options;
    DeviceState m_state;
    ReplyFaults m_faults;
    ControlFile m_control;
    CommandScanner m_scanner;
    PendingReply m_reply;
    bool m_hangUpAfterReply = false;
    // Set when the bytes before a hangup have been sent: the line drops once
    // the host has read them, or when the linger is over.
    std::optional<std::chrono::steady_clock::time_point> m_hangUpSent;
    Pty m_pty;
    HostWatch m_hostWatch;
    UniqueFd m_transcript;
};
