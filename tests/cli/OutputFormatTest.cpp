#include "HelpText.h"
#include "common/JsonLine.h"
#include "output/OutputFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <vector>

namespace {

DeviceInfo Device(const std::string& displayName, const char* version = "1.3", int auth = 1, const char* pin = "1234")
{
    DeviceInfo info;
    info.displayName = displayName;
    std::strncpy(info.version, version, sizeof info.version - 1);
    std::strncpy(info.pin, pin, sizeof info.pin - 1);
    info.auth = auth;
    return info;
}

TEST(OutputFormat, QueryShowsTheDisplayNameWithoutItsTerminator)
{
    EXPECT_EQ(FormatQueryText(Device("Tolvane Demo\n")),
              "name: Tolvane Demo\nfirmware: 1.3\nauthentication: Enable\npin: 1234\n");
    EXPECT_EQ(FormatQueryText(Device("Lab\r\n", "1.1", 0, "0000")),
              "name: Lab\nfirmware: 1.1\nauthentication: Disable\npin: 0000\n");
    EXPECT_EQ(FormatQueryJson(Device("Tolvane Demo\r\n")),
              "{\"name\":\"Tolvane Demo\",\"firmware\":\"1.3\",\"authentication\":\"Enable\",\"pin\":\"1234\"}\n");
    EXPECT_EQ(FormatQueryJson(Device("", "1.2", 0)),
              "{\"name\":\"\",\"firmware\":\"1.2\",\"authentication\":\"Disable\",\"pin\":\"1234\"}\n");
}

// A kind of outcome left out of the table's lists would lose its line in
// --help and the manual: --help ends with a worded line for each code
// from 0 to 18, in order, then 130 for an interrupt, and no other (long ones
// wrapped under their words).
TEST(OutcomeTable, EveryExitCodeHasItsHelpLine)
{
    const std::string help = HelpText(PortStyle::Posix);
    const std::size_t start = help.find("\nExit codes:\n");
    ASSERT_NE(start, std::string::npos) << help;
    std::istringstream section(help.substr(start + std::string("\nExit codes:\n").size()));
    std::vector<std::string> lines;
    for (std::string line; std::getline(section, line);) {
        if (line.compare(0, 6, "      ") != 0)  // a long line goes on, indented, under its words
            lines.push_back(line);
    }
    ASSERT_EQ(lines.size(), 20u) << help.substr(start);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int code = i < 19 ? static_cast<int>(i) : 130;
        const std::string number = (code < 10 ? "   " : code < 100 ? "  " : " ") + std::to_string(code) + "  ";
        EXPECT_EQ(lines[i].substr(0, number.size()), number);
        // Words right after the number.
        EXPECT_GT(lines[i].size(), number.size()) << lines[i];
        EXPECT_NE(lines[i].c_str()[number.size()], ' ') << lines[i];
    }
    EXPECT_EQ(help.find("  19  "), std::string::npos);
}

// UTF-8 stays as it is; control bytes are escaped; bytes that are not UTF-8
// are U+FFFD, with their hex beside them where the text is the device's.
TEST(OutputFormat, JsonIsUtf8AndKeepsTheDevicesOtherBytesInHex)
{
    const std::string replacement = "\xEF\xBF\xBD";
    EXPECT_EQ(JsonObjectLine({{"a", std::string("a\"b\\c/d", 7), JsonValue::Text}}), "{\"a\":\"a\\\"b\\\\c/d\"}\n");
    EXPECT_EQ(JsonObjectLine({{"a", std::string("\b\f\n\r\t\x01\x1f\x7f\xC2\x9B", 10), JsonValue::Text}}),
              "{\"a\":\"\\b\\f\\n\\r\\t\\u0001\\u001f\\u007f\\u009b\"}\n");
    EXPECT_EQ(JsonObjectLine({{"a", std::string("\0x", 2), JsonValue::Text}}), "{\"a\":\"\\u0000x\"}\n");
    EXPECT_EQ(JsonObjectLine({{"name", "Ger\xC3\xA4t", JsonValue::DeviceText}}), "{\"name\":\"Ger\xC3\xA4t\"}\n");
    EXPECT_EQ(JsonObjectLine({{"name", "\x80\xE9\xFF", JsonValue::DeviceText}, {"n", "7", JsonValue::Literal}}),
              "{\"name\":\"" + replacement + replacement + replacement + "\",\"nameHex\":\"80e9ff\",\"n\":7}\n");
    EXPECT_EQ(JsonObjectLine({{"port", "COM\xE9", JsonValue::Text}, {"empty", "", JsonValue::Text}}),
              "{\"port\":\"COM" + replacement + "\"}\n");
}

TEST(OutputFormat, TextKeepsControlBytesFromTheTerminal)
{
    EXPECT_EQ(EscapeForText(std::string("\x1b[2J\tA\\B\x7f\xE9", 10)), "\\x1B[2J\\x09A\\B\\x7F\xE9");
    EXPECT_EQ(FormatQueryText(Device("Evil\rname: fake\n")).substr(0, 25), "name: Evil\\x0Dname: fake\n");
}

TEST(OutputFormat, ScanListsPortsAndWhatAnswered)
{
    std::vector<ScanEntry> entries(4);
    entries[0].port = "COM3";
    entries[0].details = {PortKind::Bluetooth, "00:00:00:00:00:00", "Link\t(COM3)", "incoming"};
    entries[1].port = "COM5";
    entries[1].details.kind = PortKind::Usb;
    entries[1].probed = true;
    entries[1].info = Device("Desk\tUnit\n", "1.2");
    entries[2].port = "COM6";
    entries[2].probed = true;
    entries[2].result = LinkResult::Timeout;
    entries[3].port = "COM7";
    entries[3].probed = true;
    entries[3].result = LinkResult::UnsupportedVersion;
    entries[3].info = Device("", "1.4");
    EXPECT_EQ(FormatScanText(entries),
              "COM3\tbluetooth\tincoming\t00:00:00:00:00:00\tLink\\x09(COM3)\n"
              "COM5\tdevice\t1.2\tDesk\\x09Unit\tusb\nCOM6\tno-answer\t\t\tother\n"
              "COM7\tunsupported-firmware\t1.4\t\tother\n");
    EXPECT_EQ(FormatScanJson(entries),
              "[\n{\"port\":\"COM3\",\"kind\":\"bluetooth\",\"direction\":\"incoming\","
              "\"address\":\"00:00:00:00:00:00\",\"description\":\"Link\\t(COM3)\"},\n"
              "{\"port\":\"COM5\",\"status\":\"device\",\"name\":\"Desk\\tUnit\",\"firmware\":\"1.2\","
              "\"authentication\":\"Enable\",\"pin\":\"1234\",\"kind\":\"usb\"},\n"
              "{\"port\":\"COM6\",\"status\":\"no-answer\",\"kind\":\"other\"},\n"
              "{\"port\":\"COM7\",\"status\":\"unsupported-firmware\",\"firmware\":\"1.4\",\"kind\":\"other\"}\n]\n");
    EXPECT_EQ(FormatScanJson({}), "[]\n");
    EXPECT_EQ(FormatScanText({}), "");

    // On a terminal each column is as wide as its widest entry, two spaces
    // apart; the empty ones at the end are still left out.
    const std::vector<ScanEntry> probed(entries.begin() + 1, entries.end());
    EXPECT_EQ(FormatScanText(probed, true), "COM5  device" + std::string(16, ' ') + "1.2  Desk\\x09Unit  usb\n" +
                                                "COM6  no-answer" + std::string(32, ' ') + "other\n" +
                                                "COM7  unsupported-firmware  1.4" + std::string(16, ' ') + "other\n");
}

}  // namespace
