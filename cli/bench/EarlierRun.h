// provision --resume: what the record says of the earlier runs of a plan,
// so that the rows that succeeded in them are not worked again.
#pragma once

#include <map>
#include <string>

struct EarlierRun {
    bool found = false;  // the record holds an entry of a run of the plan
    // The plan's lines whose rows are done, each with the run in which its
    // row succeeded.
    std::map<int, std::string> doneLines;
};

// Reads the record `path` (RegularFile.h) for the runs of provision with the
// plan `plan` whose contents hash to `planHash` (PlanHash in RunRecord.h).
// A row is done when the last entry of its line, in whichever of those runs,
// is a result with exit code 0: its success, or a row a resumed run skipped
// as done earlier (with the run named there). A run that worked the row
// again afterwards, and was cut short after its "written" entry or failed,
// leaves it to be worked. So a resumed run that was itself interrupted
// before it reached a row keeps what the runs before it did. Lines that are
// no entry of this program's are passed over. A record that does not exist
// yet holds no run. False with a message when it cannot be read.
bool FindEarlierRun(const std::string& path, const std::string& plan, const std::string& planHash, EarlierRun& earlier,
                    std::string& error);
