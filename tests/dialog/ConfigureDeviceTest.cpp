// Writing a configuration: OK's checks and the bytes the device receives,
// Enable and Disable, the port list guard and Exit.
#include "BenchDevice.h"
#include "DialogTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::Optional;

namespace {

class ConfigureDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { dialog = StartMainWindow(); }

    // Reads a device with this state from COM5 and marks what it received
    // so far: the tests look at what OK sends.
    void ReadDevice(const std::string& version, const std::string& auth, const std::string& pin,
                    const std::string& name = "Tolvane Demo")
    {
        com5.SetScenario(DeviceScenario(version, auth, pin, name));
        dialog->ChooseEntry(IDC_PORT, Com5);
        ASSERT_THAT(dialog->TakeMessages(), IsEmpty());
        com5.MarkReceived();
        configuresBefore = Configures();
    }

    void EnterPins(const std::string& newPin, const std::string& confirmation)
    {
        dialog->SetText(IDC_NEW_PIN, newPin);
        dialog->SetText(IDC_CONFIRM_PIN, confirmation);
    }

    // Presses OK, expects success, and returns what the device received.
    std::string ConfigureSuccessfully()
    {
        dialog->Click(IDOK);
        EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
        EXPECT_TRUE(com5.WaitForState("configures", std::to_string(configuresBefore + 1), 2000));
        return com5.ReceivedSinceMark();
    }

    int Configures() { return std::stoi(com5.State()["configures"]); }  // counted over the whole run

    BenchDevice com5{5};
    std::unique_ptr<RunningDialog> dialog;
    int configuresBefore = 0;
};

TEST_F(ConfigureDeviceTest, BlankPinsSendTheDevicesOwnPinWithTheFlag)
{
    ReadDevice("1.3", "1", "1234");
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 1 1234 ");

    ReadDevice("1.3", "1", "1234");
    dialog->Click(IDC_AUTH_DISABLE);
    EXPECT_THAT(EnabledIn(*dialog, EditGroup),
                ElementsAre("IDC_NEW_NAME", "IDC_AUTH_ENABLE", "IDC_AUTH_DISABLE", "IDOK"));
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 0 1234 ");
    EXPECT_EQ(com5.State()["auth"], "0");
    EXPECT_EQ(com5.State()["pin"], "1234");

    // A choice left from the device read before is cleared with the next
    // read: the window shows no choice, and OK keeps what the status shows.
    ReadDevice("1.3", "0", "1234");
    dialog->Click(IDC_AUTH_DISABLE);
    ASSERT_THAT(CheckedIn(*dialog, EditGroup), ElementsAre("IDC_AUTH_DISABLE"));
    ReadDevice("1.3", "1", "1234");
    EXPECT_THAT(CheckedIn(*dialog, EditGroup), IsEmpty());
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 1 1234 ");
}

TEST_F(ConfigureDeviceTest, ANewPinTypedTwiceIsSentAndKept)
{
    ReadDevice("1.3", "0", "1234");
    EnterPins("98765432abcd", "98765432abcd");  // twelve characters: the most allowed
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 0 98765432abcd ");
    EXPECT_EQ(com5.State()["pin"], "98765432abcd");
    EXPECT_EQ(com5.State()["auth"], "0");

    ReadDevice("1.3", "0", "1234", "ABCDEFGHIJKLMNOPQRST and more");  // a 20-character name token passes
    EnterPins("a!~\xe9Z", "a!~\xe9Z");                                // any character above the space passes
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 0 a!~\xe9Z ");
}

TEST_F(ConfigureDeviceTest, SuccessLeavesOnlyThePortListAndExitAndTheNextReadStartsAfresh)
{
    ReadDevice("1.3", "1", "1234");
    dialog->Click(IDC_AUTH_DISABLE);
    ConfigureSuccessfully();
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), IsEmpty());
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_TRUE(dialog->IsEnabled(IDC_PORT));
    EXPECT_TRUE(dialog->IsEnabled(IDC_EXIT));

    com5.MarkReceived();
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Disable", "1234"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));
}

TEST_F(ConfigureDeviceTest, EachRefusalShowsOnlyTheFirstFailedCheckAndSendsNothing)
{
    struct Refusal {
        std::string deviceName, devicePin, newPin, confirmation, message;
    };
    const std::string nameTooLong = "Invalid new device name. The maximum length is 20 characters.";
    const std::string pinsDiffer = "Inconsistent new pin code. Confirmation error.";
    const std::string pinTooLong = "Invalid new pin code. The maximum length is 12 digits.";
    const std::string pinHasSpace = "Invalid new pin code. Spaces are not allowed.";
    const Refusal refusals[] = {
        {"ABCDEFGHIJKLMNOPQRSTU", "1234", "", "", nameTooLong},
        {"ABCDEFGHIJKLMNOPQRSTU", "1234", "1234567890123", "1", nameTooLong},
        {"Unit", "1234", "1111", "2222", pinsDiffer},
        {"Unit", "1234", "1111", "", pinsDiffer},
        {"Unit", "1234", "", "1111", pinsDiffer},
        {"Unit", "1234", "abcd", "ABCD", pinsDiffer},
        {"Unit", "1234", "1234567890123", "1", pinsDiffer},
        {"Unit", "1234567890123", "", "", pinTooLong},
        {"Unit", "123456789012345", "", "", pinTooLong},
        {"Unit", "1234", "12 4567890123", "12 4567890123", pinTooLong},
        {"Unit", "1234", "12 34", "12 34", pinHasSpace},
        {"Unit", "1234", "12\t34", "12\t34", pinHasSpace},
        {"Unit", "1234", "12\x1f", "12\x1f", pinHasSpace},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.deviceName + " / " + refusal.devicePin + " / " + refusal.newPin + " / " +
                     refusal.confirmation);
        ReadDevice("1.3", "1", refusal.devicePin, refusal.deviceName);
        EnterPins(refusal.newPin, refusal.confirmation);
        dialog->Click(IDOK);
        EXPECT_THAT(dialog->TakeMessages(), ElementsAre(refusal.message));
        EXPECT_EQ(com5.ReceivedSinceMark(), "");
        EXPECT_EQ(Configures(), configuresBefore);
        EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));
    }
}

TEST_F(ConfigureDeviceTest, SelectKeepsThePortAndOkStillWritesToIt)
{
    ReadDevice("1.3", "1", "1234");
    dialog->ChooseEntry(IDC_PORT, SelectEntry);
    ASSERT_THAT(dialog->TakeMessages(), ElementsAre("Select the COM port first."));
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 1 1234 ");
}

TEST_F(ConfigureDeviceTest, EnableReopensThePinFieldsOnFirmware13Only)
{
    ReadDevice("1.3", "0", "1234");
    dialog->Click(IDC_AUTH_DISABLE);
    dialog->Click(IDC_AUTH_ENABLE);
    EXPECT_TRUE(dialog->IsEnabled(IDC_NEW_PIN));
    EXPECT_TRUE(dialog->IsEnabled(IDC_CONFIRM_PIN));

    ReadDevice("1.2", "0", "1234");
    EnterPins("5555", "5555");
    dialog->Click(IDC_AUTH_DISABLE);
    dialog->Click(IDC_AUTH_ENABLE);
    EXPECT_FALSE(dialog->IsEnabled(IDC_NEW_PIN));
    EXPECT_FALSE(dialog->IsEnabled(IDC_CONFIRM_PIN));
    EXPECT_EQ(ConfigureSuccessfully(), AccessCodeBytes + " 1 5555 ");  // the grey fields' text still counts
}

TEST_F(ConfigureDeviceTest, TypingIntoThePortListIsUndoneAndOpensNothing)
{
    ReadDevice("1.3", "1", "1234");
    dialog->TypeIntoCombo(IDC_PORT, '7');
    EXPECT_EQ(dialog->Text(IDC_PORT), "COM5");
    EXPECT_EQ(dialog->ComboSelection(IDC_PORT), Com5);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), "");
}

TEST_F(ConfigureDeviceTest, ExitEscapeAndTheCloseBoxEndTheDialog)
{
    dialog->Click(IDC_EXIT);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));

    dialog = StartMainWindow();
    dialog->Post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));

    dialog = StartMainWindow();
    dialog->Post(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
}

// Through the seam: writes that fail in ways a port under Wine does not.
class ConfigureSeamTest : public ::testing::Test {
protected:
    void SetUp() override { dialog->ChooseEntry(IDC_PORT, Com5); }

    std::shared_ptr<PortScript> script = std::make_shared<PortScript>(AccessCodeBytes + " 1.3 1 1234 Seam\n");
    std::unique_ptr<RunningDialog> dialog = StartMainWindow(script);
};

TEST_F(ConfigureSeamTest, AFailedWriteLocksTheEditFields)
{
    script->laterWrites = PortScript::Write::Fails;
    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Failed to write to remote device."));
    EXPECT_EQ(script->Events().back(), "write " + AccessCodeBytes + " 1 1234 ");
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(All(InfoGroup)));
}

TEST_F(ConfigureSeamTest, AShortWriteChangesNothingSoOkCanBePressedAgain)
{
    script->laterWrites = PortScript::Write::Short;
    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Writing COM port failed."));
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(All(InfoGroup)));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(All(EditGroup)));

    script->laterWrites = PortScript::Write::Whole;
    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
}

TEST_F(ConfigureSeamTest, ExitClosesThePort)
{
    dialog->Click(IDC_EXIT);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
    EXPECT_EQ(script->Events().back(), "close");
}

}  // namespace
