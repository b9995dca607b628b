// The scenario file a test rewrites to change the device while it runs:
// key=value lines with the keys of DeviceSettings.h, e.g.
//     version=1.1
//     mode=partial
//     partial=5
// The device re-reads it before it handles each query or configure command.
// When it changed since it was last applied (other content, or the file was
// written again), its state keys replace the device's state and the reply
// faults start again from the command line's, then take the file's fault keys.
#pragma once

#include "DeviceSettings.h"

#include <ctime>
#include <string>
#include <sys/types.h>
#include <utility>

class ControlFile {
public:
    explicit ControlFile(std::string path) : m_path(std::move(path)) {}

    // Re-reads the file and applies it when it changed. Lines it cannot use
    // are reported on stderr and skipped. Returns true when anything was applied.
    bool ApplyIfChanged(const ReplyFaults& baseline, DeviceState& state, ReplyFaults& faults);

private:
    struct Version {
        bool exists = false;
        ino_t inode = 0;
        timespec modified{};
        off_t size = 0;
        std::string content;
        bool operator==(const Version& other) const;
    };

    bool ReadVersion(Version& version) const;

    std::string m_path;
    Version m_applied;
};

// Applies the lines of a control file's text (exposed for the command line's
// sake: a person may test a scenario without a file).
void ApplyControlText(const std::string& text, const ReplyFaults& baseline, DeviceState& state, ReplyFaults& faults);
