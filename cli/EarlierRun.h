// provision --resume: what the record says of the last run of a plan, so
// that the rows that succeeded in it are not worked again.
#pragma once

#include <set>
#include <string>

struct EarlierRun {
    bool found = false;
    std::string run;          // its id
    std::set<int> doneLines;  // the plan's lines whose rows succeeded in it
};

// Reads the record `path` (RegularFile.h) for the last run of provision
// with the plan `plan` whose contents hash to `planHash` (PlanHash in
// RunRecord.h): the run of the last such entry. Lines that are no entry of
// this program's are passed over. A record that does not exist yet holds
// no run. False with a message when it cannot be read.
bool FindEarlierRun(const std::string& path, const std::string& plan, const std::string& planHash, EarlierRun& earlier,
                    std::string& error);
