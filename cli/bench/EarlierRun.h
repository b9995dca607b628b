// provision --resume: what the record says of the devices that earlier runs
// of provision set up, so that a row whose device is done with the same
// request is not worked again, whatever the plan is called now or however
// its other rows changed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

// The last success the record holds for one device.
struct EarlierSuccess {
    std::string request;  // RequestKey of what the row asked
    std::string run;      // the run in which it succeeded
};

struct EarlierRun {
    bool found = false;  // the record holds an entry of provision naming a device
    // By DeviceKey (RunRecord.h).
    std::unordered_map<std::string, EarlierSuccess> doneDevices;
    // Every PIN the record holds as set (pinSet), by provision or
    // configure: a PIN drawn now differs from them all.
    std::unordered_set<std::string> pinsSet;
    // Lines that are not one JSON object: a record cut by a full disk, or
    // edited by hand.
    std::size_t unreadLines = 0;
    // How far the record was read: to the end of its last whole line.
    std::uint64_t readUpTo = 0;
    // The run whose entries ReadRecordOn passes over: this one's.
    std::string ownRun;
};

// What a row asked, as --resume compares it: the authentication and the PIN
// rule ("random:6", a literal PIN, or "" to keep the device's), as the
// record's authenticationAsked and pinAsked hold them.
std::string RequestKey(const std::string& authenticationAsked, const std::string& pinAsked);

// Reads the record `path` (RegularFile.h) for provision's entries. A device
// is done when its last entry is a result with exit code 0: its success, or
// a row a resumed run skipped as done earlier (with the run named there).
// A run that worked the device again afterwards, and was cut short after
// its "written" entry or failed, leaves it to be worked. Keys a line does
// not need, nested values among them, are passed over. A record that does
// not exist yet holds no run. False with a message when it cannot be read.
bool FindEarlierRun(const std::string& path, EarlierRun& earlier, std::string& error);

// Reads on in the record from `earlier.readUpTo`, adding what it finds to
// `earlier`: the entries other runs appended since (a second run of the
// plan at once). False with a message when the record cannot be read.
bool ReadRecordOn(const std::string& path, EarlierRun& earlier, std::string& error);
