// --record FILE: the bench's memory. One JSON object a line (JSON Lines),
// appended, so that jq, a spreadsheet's import or the plant's own systems
// can read it. A device gets two entries: "written" just before its
// configure command goes out, and "result" once its row ended, each on the
// disk before the program goes on. A record that ends with a device's
// "written" entry and no "result" names a device that may have been changed
// and was not confirmed.
//
// Keys, in this order, left out where unknown or empty:
//   time        UTC, ISO 8601 with milliseconds, when the entry was written
//   run         the id shared by the entries of one run (16 hex digits)
//   entry       "written" or "result"
//   version     tolvane-cli's
//   command     "provision" or "configure"
//   plan        the plan's name as given, planHash its contents' FNV-1a hash
//   line        the row's line in the plan
//   port        as the plan or the command line names it
//   bluetooth   the device's Bluetooth address, where the port tells it
//   device      provision: the device as --resume knows it (DeviceKey in
//               ProvisionPlan.h)
//   nameBefore, firmwareBefore, authenticationBefore, pinBefore
//               what the device reported when read
//   authenticationAsked, pinAsked   the row's settings ("random:6" for a PIN
//               to draw; no pinAsked: keep the device's)
//   pinSet      the PIN sent in the configure command
// and in a result also written (true or false), verified (true or false),
// status and exitCode as provision reports them, reason, and for a row
// skipped by --resume earlierRun, the run in which it succeeded.
#pragma once

#include "EarlierRun.h"
#include "output/LinkOutcome.h"
#include "ProvisionReport.h"
#include "system/SystemRandom.h"
#include "system/UniqueFile.h"

#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

// What the entries of one row share.
struct RecordRow {
    int line = 0;  // 0 for configure
    std::string port;
    std::string bluetooth;
    std::string device;  // provision's DeviceKey
    int authAsked = 0;
    std::string pinAsked;
    std::vector<std::pair<std::string, std::string>> columns;  // the plan's other columns
};

class RunRecord {
public:
    // Opens `path` for appending (RegularFile.h) and draws the run's id.
    // `plan` and `planText` are empty for configure. A record that others
    // may read or change is used, with a warning on `err`.
    bool Open(const std::string& path, const char* command, const std::string& plan, const std::string& planText,
              const RandomSource& random, std::ostream& err, std::string& error);

    // provision: from now on, a device that another run sets up with the
    // same request after `earlier` was read (two runs of one plan at once)
    // is not written again (DoneElsewhereStatus).
    void FollowOtherRuns(const EarlierRun& earlier);

    // The "written" entry: a failure is the row's, and nothing may be
    // written to the device then. With FollowOtherRuns, the record is read
    // on under its lock first: a device done elsewhere gets no entry, and an
    // outcome with DoneElsewhereStatus.
    Outcome Written(const RecordRow& row, const DeviceInfo& before, const std::string& pinSet);

    // The "result" entry. `pinSet` is the PIN of the row's "written" entry,
    // empty when the row ended before it.
    void Result(const RecordRow& row, const ProvisionRowResult& result, const std::string& pinSet);

    // A row --resume skipped, having succeeded in the run `earlierRun`.
    void DoneEarlier(const RecordRow& row, const std::string& earlierRun);

    // Why an entry could not be written, or "" when every one was.
    std::string WriteError();

private:
    bool Append(const std::string& entry, std::string& reason, const std::function<bool()>& stillWanted = nullptr,
                bool* skipped = nullptr);
    bool NotDoneElsewhere(const RecordRow& row);  // with m_mutex held

    std::string m_path;
    std::string m_run, m_command, m_plan, m_planHash;
    std::mutex m_mutex;
    UniqueFile m_file;
    std::string m_writeError;
    bool m_followOthers = false;
    EarlierRun m_others;  // what other runs appended since the record was read
};

// configure's steps for `request` on `port` (ConfigureDevice), with the
// row's entries around the write when `record` is not null: "written" as
// the last step before the configure command goes out (should it fail,
// nothing is written), "result" once the last step ended. `gate` is asked
// before either: when it says no (an interrupt), nothing is written. `result`
// holds the row's port and the authentication asked; its report is filled here.
void ConfigureAndRecord(ConfigureRequest request, std::unique_ptr<SerialPort> port, RunRecord* record,
                        const RecordRow& row, ProvisionRowResult& result, const std::function<bool()>& gate = nullptr);

// The record's paragraph in --help, and so in the manual page.
extern const char* const RecordHelpText;

// The hash of a plan's text, kept in the record for people: --resume knows
// a row by its device and its request, not by its plan.
std::string PlanHash(const std::string& planText);
