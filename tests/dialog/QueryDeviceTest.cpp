// Reading a device: the main window's start state and every outcome of
// choosing a port, against the bench's simulated devices behind COM5 and
// COM6 (COM8 cannot be opened, COM9 cannot be set up).
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

    // Reads the device on COM5 successfully, so that a failure afterwards
    // can show what it keeps.
    void ReadCom5First()
    {
        dialog->ChooseEntry(IDC_PORT, Com5);
        ASSERT_THAT(dialog->TakeMessages(), IsEmpty());
        ASSERT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(NamesOf(EditGroup)));
    }

    void ExpectCom5DeviceStillShown()
    {
        EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Enable", "1234"));
    }

    BenchDevice com5{ 5 };
    BenchDevice com6{ 6 };
    std::unique_ptr<RunningDialog> dialog;
};

TEST_F(QueryDeviceTest, StartsWithThePortListAndNothingRead)
{
    std::vector<std::string> entries = { "Select" };
    for (int port = 1; port <= 30; ++port)
        entries.push_back("COM" + std::to_string(port));
    EXPECT_EQ(dialog->ComboEntries(IDC_PORT), entries);
    EXPECT_EQ(dialog->ComboSelection(IDC_PORT), 0);
    EXPECT_EQ(dialog->ComboText(IDC_PORT), "Select");

    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("", "", "", ""));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_TRUE(dialog->IsEnabled(IDC_PORT));
    EXPECT_TRUE(dialog->IsEnabled(IDC_EXIT));

    for (int pinField : { IDC_NEW_PIN, IDC_CONFIRM_PIN }) {
        EXPECT_EQ(::SendMessageA(dialog->Control(pinField), EM_GETLIMITTEXT, 0, 0), 12);
        EXPECT_NE(::SendMessageA(dialog->Control(pinField), EM_GETPASSWORDCHAR, 0, 0), 0);
    }
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), "");
}

TEST_F(QueryDeviceTest, Firmware13ShowsTheDeviceAndUnlocksEverything)
{
    dialog->ChooseEntry(IDC_PORT, Com5);

    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Enable", "1234"));
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(NamesOf(InfoGroup)));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(NamesOf(EditGroup)));
    EXPECT_EQ(dialog->ComboSelection(IDC_PORT), Com5);
}

TEST_F(QueryDeviceTest, Firmware12ShowsTheDeviceAndUnlocksEverything)
{
    dialog->ChooseEntry(IDC_PORT, Com6);

    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Bench Six\n", "1.2", "Disable", "5678"));
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(NamesOf(InfoGroup)));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(NamesOf(EditGroup)));
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

    // After a 1.3 device, the name of that device stays in the grey field.
    dialog->ChooseEntry(IDC_PORT, Com5);
    dialog->ChooseEntry(IDC_PORT, Com6);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.1", "Enable", "0000"));
    EXPECT_FALSE(dialog->IsEnabled(IDC_DEVICE_NAME));
}

TEST_F(QueryDeviceTest, ANameWithSpacesIsShownWhole)
{
    com5.SetScenario(DeviceScenario("1.3", "0", "4321", "Front Door Lock 2"));
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_EQ(dialog->Text(IDC_DEVICE_NAME), "Front Door Lock 2\n");

    com5.SetScenario(DeviceScenario("1.3", "0", "4321", "Back Door", "crlf=1\n"));
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_EQ(dialog->Text(IDC_DEVICE_NAME), "Back Door\r\n");
    EXPECT_EQ(dialog->Text(IDC_PIN_CODE), "4321");
}

TEST_F(QueryDeviceTest, ASecondPortReplacesTheFirst)
{
    dialog->ChooseEntry(IDC_PORT, Com5);
    dialog->ChooseEntry(IDC_PORT, Com6);

    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_EQ(com6.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Bench Six\n", "1.2", "Disable", "5678"));
}

TEST_F(QueryDeviceTest, SelectAsksForAPortAndChangesNothing)
{
    ReadCom5First();
    dialog->ChooseEntry(IDC_PORT, SelectEntry);

    const std::vector<ShownMessageBox> boxes = dialog->TakeMessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Select the COM port first.");
    EXPECT_EQ(boxes[0].caption, "dialog_test");  // the program's file name
    EXPECT_EQ(boxes[0].owner, dialog->Window());
    ExpectCom5DeviceStillShown();
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(NamesOf(EditGroup)));
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
}

TEST_F(QueryDeviceTest, NoSelectionCountsAsSelect)
{
    dialog->ChooseEntry(IDC_PORT, -1);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Select the COM port first."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), "");
}

TEST_F(QueryDeviceTest, APortThatCannotBeOpenedLocksTheEditFields)
{
    ReadCom5First();
    dialog->ChooseEntry(IDC_PORT, Com8);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Cannot open the COM port."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    ExpectCom5DeviceStillShown();
}

TEST_F(QueryDeviceTest, APortThatCannotBeSetUpLocksTheEditFields)
{
    ReadCom5First();
    dialog->ChooseEntry(IDC_PORT, Com9);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Fail to configure the COM port: 8 N 1 N."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    ExpectCom5DeviceStillShown();
}

TEST_F(QueryDeviceTest, ASilentDeviceTimesOutAndLocksTheEditFields)
{
    ReadCom5First();
    com6.SetScenario(DeviceScenario("1.3", "1", "1111", "Mute", "mode=silent\n"));
    dialog->ChooseEntry(IDC_PORT, Com6);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Reading COM port timeout."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    ExpectCom5DeviceStillShown();
}

TEST_F(QueryDeviceTest, AWrongEchoLocksTheEditFields)
{
    ReadCom5First();
    com6.SetScenario(DeviceScenario("1.3", "1", "9999", "Stranger", "echo=KWD38M4TQZXH7\n"));
    dialog->ChooseEntry(IDC_PORT, Com6);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Receive incorrect data from COM port."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    ExpectCom5DeviceStillShown();
}

TEST_F(QueryDeviceTest, AReplyMissingFieldsIsReportedAsIncorrectData)
{
    ReadCom5First();
    com6.SetScenario(DeviceScenario("1.3", "1", "9999", "Stranger", "raw=kwd38m4tQZXh7 1.3\\n\n"));
    dialog->ChooseEntry(IDC_PORT, Com6);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Receive incorrect data from COM port."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    ExpectCom5DeviceStillShown();
}

TEST_F(QueryDeviceTest, AnUnsupportedVersionIsIgnoredSilentlyAndLocksTheEditFields)
{
    ReadCom5First();
    com6.SetScenario(DeviceScenario("1.4", "0", "9999", "Future"));
    dialog->ChooseEntry(IDC_PORT, Com6);

    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    ExpectCom5DeviceStillShown();
}

// Through the serial-port seam: what a real port rarely does.

TEST(QueryDeviceSeamTest, OpensTheChosenEntryByItsDevicePathAfterClosingThePrevious)
{
    auto script = std::make_shared<PortScript>();
    script->SetReply("kwd38m4tQZXh7 1.3 1 1234 Seam\n");
    auto dialog = StartMainWindow(script);

    dialog->ChooseEntry(IDC_PORT, 12);
    script->SetOpenResult(LinkResult::OpenFailed);
    dialog->ChooseEntry(IDC_PORT, 30);

    EXPECT_THAT(script->Events(), ElementsAre("open \\\\.\\COM12", "write kwd38m4tQZXh7", "close",
                                              "open \\\\.\\COM30"));
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Cannot open the COM port."));
}

TEST(QueryDeviceSeamTest, AFailedQueryWriteLocksTheEditFields)
{
    auto script = std::make_shared<PortScript>();
    script->SetReply("kwd38m4tQZXh7 1.3 1 1234 Seam\n");
    auto dialog = StartMainWindow(script);
    dialog->ChooseEntry(IDC_PORT, Com5);
    ASSERT_THAT(dialog->TakeMessages(), IsEmpty());

    script->SetQueryWrite(PortScript::WriteOutcome::Fails);
    dialog->ChooseEntry(IDC_PORT, Com5);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Fail to write to the COM port."));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Seam\n", "1.3", "Enable", "1234"));
}

}  // namespace
