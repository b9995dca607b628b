// --transcript on the bench: every byte and every failure of a command, in a file.
#include "CliBench.h"

#include <fstream>
#include <vector>

namespace {

// The hex and text columns of a transcript line for `bytes`.
std::string TranscribedBytes(const std::string& bytes, const std::string& text)
{
    std::string hex;
    for (unsigned char byte : bytes) {
        static const char Digits[] = "0123456789ABCDEF";
        hex += std::string(hex.empty() ? "" : " ") + Digits[byte >> 4] + Digits[byte & 0x0F];
    }
    return hex + "\t" + text;
}

TEST_F(CliOnBench, ATranscriptHoldsEveryByteAndEveryFailureAndChangesNothing)
{
    const std::string transcript = BenchDevice::BenchFolder() + "/support.log";
    const ProcessResult query = Cli({"query", m_port, "--transcript", transcript});
    EXPECT_EQ(query.exitCode, 0);
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes);
    const ProcessResult probe = Cli({"scan", "--probe", CannotOpenPort, "--transcript", transcript});
    EXPECT_EQ(probe.exitCode, 14);

    std::ifstream file(transcript, std::ios::binary);
    std::vector<std::vector<std::string>> lines, headers;
    for (std::string line; std::getline(file, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        (fields[0] == "#" ? headers : lines).push_back(fields);
    }
    // Each run's header: the time, the program, its command line.
    ASSERT_EQ(headers.size(), 2u);
    for (const auto& fields : headers) {
        ASSERT_EQ(fields.size(), 4u);
        EXPECT_EQ(fields[1].size(), 24u) << fields[1];  // 2026-12-08T17:30:00.123Z
        EXPECT_EQ(fields[2].rfind("tolvane-cli ", 0), 0u) << fields[2];
    }
    EXPECT_EQ(headers[0][3], "query " + m_port + " --transcript " + transcript);
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& fields : lines) {
        ASSERT_GE(fields.size(), 4u);
        EXPECT_EQ(fields[0].find_first_not_of("0123456789"), std::string::npos) << fields[0];
    }
    EXPECT_EQ(lines[0][1] + lines[0][2] + "\t" + lines[0][3] + "\t" + lines[0][4],
              m_port + ">\t" + TranscribedBytes(AccessCodeBytes, AccessCodeBytes));
    const std::string reply = AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\n";
    EXPECT_EQ(lines[1][1] + lines[1][2] + "\t" + lines[1][3] + "\t" + lines[1][4],
              m_port + "<\t" + TranscribedBytes(reply, AccessCodeBytes + " 1.3 1 1234 Tolvane Demo\\x0A"));
    EXPECT_LE(std::stoll(lines[0][0]), std::stoll(lines[1][0]));
    EXPECT_EQ(lines[2][1] + lines[2][2], CannotOpenPort + "!");
    EXPECT_EQ(lines[2][3].rfind("open: failed (", 0), 0u) << lines[2][3];

    const ProcessResult directory = Cli({"query", m_port, "--transcript", BenchDevice::BenchFolder()});
    EXPECT_EQ(directory.exitCode, 18);
    EXPECT_EQ(directory.err.rfind("tolvane-cli: Cannot open the transcript " + BenchDevice::BenchFolder() + ": ", 0),
              0u)
        << directory.err;
    EXPECT_EQ(m_device.ReceivedSinceMark(), AccessCodeBytes);
}

}  // namespace
