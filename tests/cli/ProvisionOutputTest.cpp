// What an interrupted provision tells, through the write gate: the list is
// made with the gate closed, so it cannot be wrong about a row that goes on.
#include "BenchNames.h"
#include "bench/ProvisionOutput.h"
#include "bench/RunRecord.h"
#include "ScriptedSerialPort.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace {

PlanRow Row(int line, const std::string& port)
{
    PlanRow row;
    row.line = line;
    row.port = port;
    return row;
}

// A row past the gate is listed as maybe written, with the PIN drawn for
// it; a row before it as not written, and the gate stays shut to it: once
// the list is made, it does not write its device.
TEST(ProvisionOutput, TheInterruptListShutsTheWriteGateFirst)
{
    std::ostringstream out, err;
    ProvisionOutput output(out, err, false, false, true, 3, nullptr);
    output.Begin(0, Row(2, "COM5"));
    output.Begin(1, Row(3, "COM6"));
    output.Begin(2, Row(4, "COM7"));
    EXPECT_TRUE(output.PassWriteGate(0, "482913"));
    EXPECT_TRUE(output.PassWriteGate(2, ""));
    output.ListInterrupted("finish the plan with: tolvane-cli provision plan.csv --record r.jsonl --resume");
    EXPECT_FALSE(output.PassWriteGate(1, "777777"));
    EXPECT_EQ(err.str(),
              "Interrupted: COM5 (line 2), its configure command may have been written, with the PIN 482913; not "
              "confirmed.\n"
              "Interrupted: COM6 (line 3), nothing was written to it.\n"
              "Interrupted: COM7 (line 4), its configure command may have been written; not confirmed.\n"
              "hint: finish the plan with: tolvane-cli provision plan.csv --record r.jsonl --resume\n");
}

// On a terminal a row's columns start where the header's do, though each
// row is printed as it ends: the widths are fixed, not the widest row's.
TEST(ProvisionOutput, OnATerminalTheRowsLineUpWithTheHeader)
{
    std::ostringstream out, err;
    ProvisionOutput output(out, err, false, false, false, 1, nullptr, true);
    output.Start({"serial"});
    output.Begin(0, Row(2, "/dev/ttyUSB0"));
    ProvisionRowResult result;
    result.port = "/dev/ttyUSB0";
    result.doneEarlier = true;
    result.columns = {{"serial", "SN-0042"}};
    output.End(0, result);
    const std::string text = out.str();
    const std::size_t rowStart = text.find('\n') + 1;
    EXPECT_EQ(text.find(" 0 ", rowStart) + 1 - rowStart, text.find("exitCode")) << text;
    EXPECT_EQ(text.find("SN-0042") - rowStart, text.find("serial")) << text;
    EXPECT_EQ(text.find('\t'), std::string::npos) << text;
}

// A row the shut gate stops has read its device and writes nothing more.
TEST(ProvisionOutput, AShutGateStopsTheRowBeforeItsWrite)
{
    auto script = std::make_shared<PortScript>(AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n");
    ConfigureRequest request;
    request.port = "/dev/x";
    request.auth = 0;
    ProvisionRowResult result;
    ConfigureAndRecord(request, std::make_unique<ScriptedSerialPort>(script), nullptr, RecordRow(), result,
                       [] { return false; });
    EXPECT_EQ(script->Written(), AccessCodeBytes);
    EXPECT_FALSE(result.report.writeTried);
    EXPECT_EQ(result.report.outcome.code, ExitCode::Interrupted);
}

}  // namespace
