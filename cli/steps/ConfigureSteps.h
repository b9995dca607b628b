// cli/steps/: the steps a command takes with one device. May include cli/ports/
// and below.
//
// The steps of configuring one device, as configure and every row of a plan
// take them: open, read, check, write, and read again when asked to verify.
// Nothing is written to a device that was not read correctly first, nor
// after a refused check: a script must never configure what it did not see.
#pragma once

#include "common/CliOptions.h"
#include "DeviceInfo.h"
#include "LinkResult.h"
#include "output/LinkOutcome.h"
#include "PortAddress.h"
#include "SerialPort.h"

#include <functional>
#include <memory>
#include <string>

struct ConfigureRequest {
    std::string port;     // as the user named it, for the system's reason in messages
    PortAddress address;  // the port's kind and what SerialPort::Open is given
    int auth = 0;         // 1 on, 0 off, KeepDeviceAuth: the device's own
    bool hasPin = false;
    std::string pin;  // the new PIN when hasPin; otherwise the device keeps its own
    bool verify = false;
    unsigned verifyWaitMs = DefaultVerifyWaitMs;
    // Optional steps of provision and --record. choosePin may replace the PIN
    // once the device was read (a PIN drawn at random must differ from the
    // device's own); beforeWrite learns the PIN just before the configure
    // command goes out. A failure of either ends the row with nothing written.
    std::function<Outcome(const DeviceInfo& before, std::string& pin)> choosePin;
    std::function<Outcome(const DeviceInfo& before, const std::string& pin)> beforeWrite;
    bool readOnly = false;  // provision --check: stop after the checks
};

// How far one device got, and what it reported.
struct ConfigureReport {
    Outcome outcome;  // configure's exit code and message
    LinkResult readResult = LinkResult::OpenFailed;
    DeviceInfo before;  // the first read, when it ended Ok or UnsupportedVersion
    // The configure command was handed to the port: the device may hold its
    // settings even when the write failed.
    bool writeTried = false;
    bool written = false;    // the configure command went out whole
    bool verifying = false;  // a verification read was made
    bool verified = false;   // the device reported the requested settings
    bool readAgain = false;  // the verification read ended Ok
    DeviceInfo after;        // the verification read, when readAgain
};

class DeviceLink;

// Opens the port of `address` and reads the device: the window's steps when
// a port is chosen, after taking what the port received unasked. Success
// only for a device that answered correctly with firmware this program
// knows; a failure's message is the window's text followed by the system's
// reason, naming `port`. `result` is the link's own outcome; `reason`, when
// given, gets the system's reason alone ("" for none, as for a time-out).
Outcome ReadDevice(const std::string& port, const PortAddress& address, DeviceLink& link, DeviceInfo& info,
                   LinkResult& result, std::string* reason = nullptr);

ConfigureReport ConfigureDevice(const ConfigureRequest& request, std::unique_ptr<SerialPort> port);
