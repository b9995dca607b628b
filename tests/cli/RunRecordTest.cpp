// Two runs of one plan at once, through the record's own seam: the check
// made under the record's lock before each "written" entry.
#include "bench/RunRecord.h"
#include "system/SystemRandom.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

RecordRow Row(const std::string& device, const std::string& pinAsked)
{
    RecordRow row;
    row.line = 2;
    row.port = device;
    row.device = device;
    row.authAsked = 1;
    row.pinAsked = pinAsked;
    return row;
}

// A device another run set up with the same request after this run read the
// record is not written again, and gets no entry; another device, or the
// same one asked otherwise, is written as before.
TEST(RunRecord, ADeviceDoneByAnotherRunMeanwhileIsNotWrittenAgain)
{
    const std::string path = testing::TempDir() + "tolvane-others.jsonl";
    std::remove(path.c_str());
    EarlierRun earlier;
    std::string error;
    ASSERT_TRUE(FindEarlierRun(path, earlier, error)) << error;
    RunRecord record;
    std::ostringstream err;
    ASSERT_TRUE(record.Open(path, "provision", "plan.csv", "port,auth,pin\n", SystemRandomBytes, err, error)) << error;
    record.FollowOtherRuns(earlier);
    std::ofstream(path, std::ios::binary | std::ios::app)
        << "{\"run\":\"0123456789abcdef\",\"entry\":\"result\",\"command\":\"provision\",\"device\":\"/dev/a\","
           "\"authenticationAsked\":\"Enable\",\"pinAsked\":\"random:6\",\"exitCode\":0}\n";

    const Outcome done = record.Written(Row("/dev/a", "random:6"), DeviceInfo(), "111111");
    EXPECT_EQ(std::string(done.word != nullptr ? done.word : ""), DoneElsewhereStatus);
    EXPECT_EQ(record.Written(Row("/dev/b", "random:6"), DeviceInfo(), "222222").code, ExitCode::Success);
    EXPECT_EQ(record.Written(Row("/dev/a", "random:8"), DeviceInfo(), "33333333").code, ExitCode::Success);
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(lines[1].find("\"pinSet\":\"222222\""), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("\"pinSet\":\"33333333\""), std::string::npos) << lines[2];
    std::remove(path.c_str());
}

}  // namespace
