// Reading a device: the main window's start state and every outcome of
// choosing a port, against the bench's simulated devices.
#include "BenchDevice.h"
#include "DialogTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

class QueryDeviceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        com5.SetScenario(DeviceScenario("1.3", "1", "1234", "Tolvane Demo"));
        com6.SetScenario(DeviceScenario("1.2", "0", "5678", "Bench Six"));
        com5.MarkReceived();
        com6.MarkReceived();
        dialog = StartMainWindow();
    }

    BenchDevice com5{5};
    BenchDevice com6{6};
    std::unique_ptr<RunningDialog> dialog;
};

TEST_F(QueryDeviceTest, StartsWithThePortListAndNothingRead)
{
    std::vector<std::string> entries = {"Select"};
    for (int port = 1; port <= 30; ++port)
        entries.push_back("COM" + std::to_string(port));
    EXPECT_EQ(dialog->ComboEntries(IDC_PORT), entries);
    EXPECT_EQ(dialog->ComboSelection(IDC_PORT), 0);

    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("", "", "", ""));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_TRUE(dialog->IsEnabled(IDC_PORT));
    for (int pinField : {IDC_NEW_PIN, IDC_CONFIRM_PIN}) {
        EXPECT_EQ(::SendMessageA(dialog->Control(pinField), EM_GETLIMITTEXT, 0, 0), 12);
        EXPECT_NE(::SendMessageA(dialog->Control(pinField), EM_GETPASSWORDCHAR, 0, 0), 0);
    }
    EXPECT_EQ(com5.ReceivedSinceMark(), "");
}

TEST_F(QueryDeviceTest, Firmware12And13ShowTheDeviceAndUnlockEverything)
{
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Enable", "1234"));
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(All(InfoGroup)));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));

    // A second port replaces the first.
    dialog->ChooseEntry(IDC_PORT, Com6);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com6.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Bench Six\n", "1.2", "Disable", "5678"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));
}

TEST_F(QueryDeviceTest, Firmware11LeavesTheNameGreyAndUntouched)
{
    com6.SetScenario(DeviceScenario("1.1", "1", "0000", "Old Unit"));
    dialog->ChooseEntry(IDC_PORT, Com6);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("", "1.1", "Enable", "0000"));
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAre("IDC_FIRMWARE_VERSION", "IDC_AUTH_STATUS", "IDC_PIN_CODE"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup),
                ElementsAre("IDC_AUTH_ENABLE", "IDC_AUTH_DISABLE", "IDC_NEW_PIN", "IDC_CONFIRM_PIN", "IDOK"));

    dialog->ChooseEntry(IDC_PORT, Com5);
    dialog->ChooseEntry(IDC_PORT, Com6);
    EXPECT_EQ(dialog->Text(IDC_DEVICE_NAME), "Tolvane Demo\n");
    EXPECT_FALSE(dialog->IsEnabled(IDC_DEVICE_NAME));
}

TEST_F(QueryDeviceTest, ANameWithSpacesIsShownWholeWithItsLineEnd)
{
    com5.SetScenario(DeviceScenario("1.3", "0", "4321", "Front Door Lock 2"));
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_EQ(dialog->Text(IDC_DEVICE_NAME), "Front Door Lock 2\n");

    com5.SetScenario(DeviceScenario("1.3", "0", "4321", "Back Door", "crlf=1\n"));
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_EQ(dialog->Text(IDC_DEVICE_NAME), "Back Door\r\n");
    EXPECT_EQ(dialog->Text(IDC_PIN_CODE), "4321");
}

TEST_F(QueryDeviceTest, SelectOrNoSelectionAsksForAPortAndChangesNothing)
{
    dialog->ChooseEntry(IDC_PORT, Com5);
    dialog->ChooseEntry(IDC_PORT, SelectEntry);
    const std::vector<ShownMessageBox> boxes = dialog->TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Select the COM port first.");
    EXPECT_EQ(boxes[0].caption, "dialog_window_tests");  // the program's file name
    EXPECT_EQ(boxes[0].owner, dialog->Window());
    EXPECT_EQ(boxes[0].icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));  // an MB_OK box's own icon
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Enable", "1234"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));

    dialog->ChooseEntry(IDC_PORT, -1);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Select the COM port first."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
}

// Whatever goes wrong, the edit group locks (nothing may be written to a
// device that was not read) and the last device read stays shown.
TEST_F(QueryDeviceTest, EveryFailureLocksTheEditFieldsAndKeepsTheLastDeviceShown)
{
    struct Failure {
        int port;
        std::string version;  // of the device on COM6
        std::string faults;
        std::vector<std::string> messages;
    };
    const Failure failures[] = {
        {Com8, "1.3", "", {"Cannot open the COM port."}},
        {Com9, "1.3", "", {"Fail to configure the COM port: 8 N 1 N."}},
        {Com6, "1.3", "mode=silent\n", {"Reading COM port timeout."}},
        {Com6, "1.3", "echo=KWD38M4TQZXH7\n", {"Receive incorrect data from COM port."}},
        {Com6, "1.3", "raw=" + AccessCodeBytes + " 1.3\\n\n", {"Receive incorrect data from COM port."}},
        {Com6, "1.4", "", {}},  // another kind of device: ignored silently
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE("COM" + std::to_string(failure.port) + " " + failure.version + " " + failure.faults);
        com6.SetScenario(DeviceScenario(failure.version, "0", "9999", "Stranger", failure.faults));
        dialog->ChooseEntry(IDC_PORT, Com5);
        ASSERT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));

        dialog->ChooseEntry(IDC_PORT, failure.port);
        EXPECT_EQ(dialog->TakeMessages(), failure.messages);
        EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
        EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Enable", "1234"));
    }
}

TEST(QueryDeviceSeamTest, OpensTheEntrysDevicePathAfterClosingThePreviousPort)
{
    auto script = std::make_shared<PortScript>(AccessCodeBytes + " 1.3 1 1234 Seam\n");
    auto dialog = StartMainWindow(script);
    dialog->ChooseEntry(IDC_PORT, 12);
    script->openResult = LinkResult::OpenFailed;
    dialog->ChooseEntry(IDC_PORT, 30);

    EXPECT_THAT(script->Events(),
                ElementsAre("open \\\\.\\COM12", "write " + AccessCodeBytes, "close", "open \\\\.\\COM30"));
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Cannot open the COM port."));
}

TEST(QueryDeviceSeamTest, AFailedQueryWriteLocksTheEditFields)
{
    auto script = std::make_shared<PortScript>(AccessCodeBytes + " 1.3 1 1234 Seam\n");
    auto dialog = StartMainWindow(script);
    dialog->ChooseEntry(IDC_PORT, Com5);
    script->queryWrite = PortScript::Write::Fails;
    dialog->ChooseEntry(IDC_PORT, Com5);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Fail to write to the COM port."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Seam\n", "1.3", "Enable", "1234"));
}

}  // namespace
