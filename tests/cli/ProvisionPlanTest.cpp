// Plans as people save them from spreadsheets, and plans with many bad rows.
#include "bench/ProvisionPlan.h"

#include <gtest/gtest.h>

namespace {

using Columns = std::vector<std::pair<std::string, std::string>>;

Plan Read(const std::string& text)
{
    // Only /dev/ names a port on this machine.
    return ParsePlan(text, "plan.csv", PortStyle::Posix,
                     [](const std::string& path) { return path.rfind("/dev/", 0) == 0 ? path : ""; });
}

TEST(ProvisionPlan, TakesPlansAsSpreadsheetsSaveThem)
{
    struct Row {
        const char* text;
        std::string port;
        int auth;
        std::string pin;
        Columns columns;
    };
    const Row rows[] = {
        {"Port;Auth;PIN\r\n/dev/a ; ON ; \"0123\" \r\n", "/dev/a", 1, "0123", {}},
        {"port, auth, pin\n /dev/a,Off, 77\n", "/dev/a", 0, "77", {}},
        {"pin\tPORT\tauth\n1234\t/dev/a\t1\n", "/dev/a", 1, "1234", {}},
        {"serial,port,auth,pin,label,\n SN-1 ,/dev/a,0,,\"box 3, left\",\n",
         "/dev/a",
         0,
         "",
         {{"serial", "SN-1"}, {"label", "box 3, left"}}},
    };
    for (const Row& row : rows) {
        const Plan plan = Read(row.text);
        ASSERT_TRUE(plan.ok) << row.text << plan.error;
        ASSERT_EQ(plan.rows.size(), 1u);
        EXPECT_EQ(plan.rows[0].port, row.port) << row.text;
        EXPECT_EQ(plan.rows[0].auth, row.auth) << row.text;
        EXPECT_EQ(plan.rows[0].pin, row.pin) << row.text;
        EXPECT_EQ(plan.rows[0].columns, row.columns) << row.text;
    }
    EXPECT_EQ(Read("serial;port;auth;pin\nx;/dev/a;on;\n").otherColumns, std::vector<std::string>{"serial"});
}

// Every bad row is told with its line, up to 20, then their count; a COM
// name is told that ports are paths here.
TEST(ProvisionPlan, TellsEveryBadRow)
{
    const Plan plan = Read("port,auth,pin\n/dev/a,maybe,\nCOM5,on,\n/dev/a,on,\n/dev/b,on\n");
    EXPECT_FALSE(plan.ok);
    EXPECT_EQ(plan.error,
              "plan.csv, line 2: auth takes on or off (or 1 or 0), not \"maybe\".\n"
              "plan.csv, line 3: there is no port \"COM5\".\n"
              "hint: ports are paths here: /dev/rfcomm0 for a bound RFCOMM device, or bt://ADDRESS "
              "straight over Bluetooth.\n"
              "plan.csv, line 4: the port \"/dev/a\" is named twice.\n"
              "plan.csv, line 5: a row has 3 fields, as the header has, not 2.");

    std::string many = "port,auth,pin\n";
    for (int i = 0; i < 25; ++i)
        many += "/dev/" + std::to_string(i) + ",yes,\n";
    const Plan manyBad = Read(many);
    EXPECT_FALSE(manyBad.ok);
    EXPECT_EQ(std::count(manyBad.error.begin(), manyBad.error.end(), '\n'), 20);
    EXPECT_NE(manyBad.error.find("plan.csv, line 21: auth"), std::string::npos);
    EXPECT_EQ(manyBad.error.substr(manyBad.error.rfind('\n') + 1), "plan.csv: 5 more bad lines.");
}

}  // namespace
