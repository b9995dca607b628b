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

    // Reads a device with this state from COM5, and marks what it received
    // so far: the tests look at what OK sends.
    void ReadDevice(const std::string& version, const std::string& auth, const std::string& pin,
                    const std::string& name)
    {
        com5.SetScenario(DeviceScenario(version, auth, pin, name));
        dialog->ChooseEntry(IDC_PORT, Com5);
        ASSERT_THAT(dialog->TakeMessages(), IsEmpty());
        com5.MarkReceived();
        configuresBefore = Configures();
    }

    // The bench counts configure commands over the whole run.
    int Configures() { return std::stoi(com5.State()["configures"]); }

    // Waits until the device has applied one configure command more than
    // when it was read.
    bool DeviceConfigured() { return com5.WaitForState("configures", std::to_string(configuresBefore + 1), 2000); }

    void EnterPins(const std::string& newPin, const std::string& confirmation)
    {
        dialog->SetText(IDC_NEW_PIN, newPin);
        dialog->SetText(IDC_CONFIRM_PIN, confirmation);
    }

    // OK is refused with `message`: nothing at all reaches the device and
    // the controls stay usable for a correction.
    void ExpectRefused(const std::string& message)
    {
        dialog->Click(IDOK);
        EXPECT_THAT(dialog->TakeMessages(), ElementsAre(message));
        EXPECT_EQ(com5.ReceivedSinceMark(), "");
        EXPECT_EQ(Configures(), configuresBefore);
        EXPECT_TRUE(dialog->IsEnabled(IDOK));
    }

    BenchDevice com5{ 5 };
    std::unique_ptr<RunningDialog> dialog;
    int configuresBefore = 0;
};

TEST_F(ConfigureDeviceTest, BlankPinsSendTheDevicesOwnPinBack)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    dialog->Click(IDOK);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    ASSERT_TRUE(DeviceConfigured());
    EXPECT_EQ(com5.ReceivedSinceMark(), "kwd38m4tQZXh7 1 1234 ");
    EXPECT_EQ(com5.State()["auth"], "1");
    EXPECT_EQ(com5.State()["pin"], "1234");
}

TEST_F(ConfigureDeviceTest, DisableSendsFlagZero)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    dialog->Click(IDC_AUTH_DISABLE);
    EXPECT_FALSE(dialog->IsEnabled(IDC_NEW_PIN));
    EXPECT_FALSE(dialog->IsEnabled(IDC_CONFIRM_PIN));
    dialog->Click(IDOK);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    ASSERT_TRUE(DeviceConfigured());
    EXPECT_EQ(com5.ReceivedSinceMark(), "kwd38m4tQZXh7 0 1234 ");
    EXPECT_EQ(com5.State()["auth"], "0");
}

TEST_F(ConfigureDeviceTest, ANewPinTypedTwiceIsSentAndKept)
{
    ReadDevice("1.3", "0", "1234", "Tolvane Demo");
    EnterPins("98765432abcd", "98765432abcd");  // twelve characters: the most allowed
    dialog->Click(IDOK);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    ASSERT_TRUE(DeviceConfigured());
    EXPECT_EQ(com5.ReceivedSinceMark(), "kwd38m4tQZXh7 0 98765432abcd ");
    EXPECT_EQ(com5.State()["pin"], "98765432abcd");
    EXPECT_EQ(com5.State()["auth"], "0");
}

TEST_F(ConfigureDeviceTest, SuccessLeavesOnlyThePortListAndExitAndAReadStartsAfresh)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    dialog->Click(IDC_AUTH_DISABLE);
    dialog->Click(IDOK);
    ASSERT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));

    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), IsEmpty());
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_TRUE(dialog->IsEnabled(IDC_PORT));
    EXPECT_TRUE(dialog->IsEnabled(IDC_EXIT));

    ASSERT_TRUE(DeviceConfigured());
    com5.MarkReceived();
    dialog->ChooseEntry(IDC_PORT, Com5);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
    EXPECT_THAT(InfoTexts(*dialog), ElementsAre("Tolvane Demo\n", "1.3", "Disable", "1234"));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(NamesOf(EditGroup)));
}

TEST_F(ConfigureDeviceTest, ANameTokenOfMoreThanTwentyCharactersIsRefused)
{
    ReadDevice("1.3", "1", "1234", "ABCDEFGHIJKLMNOPQRSTU");
    ExpectRefused("Invalid new device name. The maximum length is 20 characters.");
}

TEST_F(ConfigureDeviceTest, ANameTokenOfTwentyCharactersPasses)
{
    ReadDevice("1.3", "1", "1234", "ABCDEFGHIJKLMNOPQRST and more words");
    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    EXPECT_TRUE(DeviceConfigured());
}

TEST_F(ConfigureDeviceTest, PinsThatDifferAreRefused)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    EnterPins("1111", "2222");
    ExpectRefused("Inconsistent new pin code. Confirmation error.");
    EnterPins("1111", "");
    ExpectRefused("Inconsistent new pin code. Confirmation error.");
    EnterPins("", "1111");
    ExpectRefused("Inconsistent new pin code. Confirmation error.");
    EnterPins("abcd", "ABCD");
    ExpectRefused("Inconsistent new pin code. Confirmation error.");
}

TEST_F(ConfigureDeviceTest, ADevicePinLongerThanTwelveIsRefusedWhenKept)
{
    ReadDevice("1.3", "1", "1234567890123", "Tolvane Demo");
    ExpectRefused("Invalid new pin code. The maximum length is 12 digits.");

    ReadDevice("1.3", "1", "123456789012345", "Tolvane Demo");
    ExpectRefused("Invalid new pin code. The maximum length is 12 digits.");
}

TEST_F(ConfigureDeviceTest, APinWithABlankOrControlCharacterIsRefused)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    EnterPins("12 34", "12 34");
    ExpectRefused("Invalid new pin code. Spaces are not allowed.");
    EnterPins("12\t34", "12\t34");
    ExpectRefused("Invalid new pin code. Spaces are not allowed.");
    EnterPins("12\x1f", "12\x1f");
    ExpectRefused("Invalid new pin code. Spaces are not allowed.");
}

TEST_F(ConfigureDeviceTest, AnyOtherCharacterPasses)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    EnterPins("a!~\xe9Z", "a!~\xe9Z");
    dialog->Click(IDOK);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    ASSERT_TRUE(DeviceConfigured());
    EXPECT_EQ(com5.ReceivedSinceMark(), "kwd38m4tQZXh7 1 a!~\xe9Z ");
}

TEST_F(ConfigureDeviceTest, OnlyTheFirstFailedCheckIsReported)
{
    ReadDevice("1.3", "1", "1234", "ABCDEFGHIJKLMNOPQRSTU");
    EnterPins("1234567890123", "1");
    ExpectRefused("Invalid new device name. The maximum length is 20 characters.");

    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    EnterPins("1234567890123", "1");
    ExpectRefused("Inconsistent new pin code. Confirmation error.");

    EnterPins("12 4567890123", "12 4567890123");
    ExpectRefused("Invalid new pin code. The maximum length is 12 digits.");
}

TEST_F(ConfigureDeviceTest, SelectKeepsThePortAndOkStillWritesToIt)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    dialog->ChooseEntry(IDC_PORT, SelectEntry);
    ASSERT_THAT(dialog->TakeMessages(), ElementsAre("Select the COM port first."));

    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    ASSERT_TRUE(DeviceConfigured());
    EXPECT_EQ(com5.ReceivedSinceMark(), "kwd38m4tQZXh7 1 1234 ");
}

TEST_F(ConfigureDeviceTest, EnableReopensThePinFieldsOnFirmware13Only)
{
    ReadDevice("1.3", "0", "1234", "Tolvane Demo");
    dialog->Click(IDC_AUTH_DISABLE);
    dialog->Click(IDC_AUTH_ENABLE);
    EXPECT_TRUE(dialog->IsEnabled(IDC_NEW_PIN));
    EXPECT_TRUE(dialog->IsEnabled(IDC_CONFIRM_PIN));

    com5.SetScenario(DeviceScenario("1.2", "0", "1234", "Tolvane Demo"));
    dialog->ChooseEntry(IDC_PORT, Com5);
    EnterPins("5555", "5555");
    dialog->Click(IDC_AUTH_DISABLE);
    dialog->Click(IDC_AUTH_ENABLE);
    EXPECT_FALSE(dialog->IsEnabled(IDC_NEW_PIN));
    EXPECT_FALSE(dialog->IsEnabled(IDC_CONFIRM_PIN));

    // The grey fields still hold their text, and OK sends it.
    com5.MarkReceived();
    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
    ASSERT_TRUE(DeviceConfigured());
    EXPECT_EQ(com5.ReceivedSinceMark(), "kwd38m4tQZXh7 1 5555 ");
}

TEST_F(ConfigureDeviceTest, TypingIntoThePortListIsUndoneAndOpensNothing)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    dialog->TypeIntoCombo(IDC_PORT, '7');

    EXPECT_EQ(dialog->ComboText(IDC_PORT), "COM5");
    EXPECT_EQ(dialog->ComboSelection(IDC_PORT), Com5);
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
    EXPECT_EQ(com5.ReceivedSinceMark(), "");
}

TEST_F(ConfigureDeviceTest, ExitEndsTheDialog)
{
    ReadDevice("1.3", "1", "1234", "Tolvane Demo");
    dialog->Click(IDC_EXIT);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
    EXPECT_THAT(dialog->TakeMessages(), IsEmpty());
}

TEST_F(ConfigureDeviceTest, EscapeEndsTheDialog)
{
    dialog->Post(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
}

TEST_F(ConfigureDeviceTest, TheCloseBoxEndsTheDialog)
{
    dialog->Post(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
}

// Through the serial-port seam: writes that fail in ways a port under Wine does not.

class ConfigureSeamTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        script->SetReply("kwd38m4tQZXh7 1.3 1 1234 Seam\n");
        dialog = StartMainWindow(script);
        dialog->ChooseEntry(IDC_PORT, Com5);
        ASSERT_THAT(dialog->TakeMessages(), IsEmpty());
    }

    std::shared_ptr<PortScript> script = std::make_shared<PortScript>();
    std::unique_ptr<RunningDialog> dialog;
};

TEST_F(ConfigureSeamTest, AFailedWriteLocksTheEditFields)
{
    script->SetLaterWrites(PortScript::WriteOutcome::Fails);
    dialog->Click(IDOK);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Failed to write to remote device."));
    EXPECT_EQ(script->LastWrite(), "kwd38m4tQZXh7 1 1234 ");
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), IsEmpty());
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(NamesOf(InfoGroup)));
}

TEST_F(ConfigureSeamTest, AShortWriteChangesNothingSoOkCanBePressedAgain)
{
    script->SetLaterWrites(PortScript::WriteOutcome::Short);
    dialog->Click(IDOK);

    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Writing COM port failed."));
    EXPECT_THAT(EnabledIn(*dialog, InfoGroup), ElementsAreArray(NamesOf(InfoGroup)));
    EXPECT_THAT(EnabledIn(*dialog, EditGroup), ElementsAreArray(NamesOf(EditGroup)));

    script->SetLaterWrites(PortScript::WriteOutcome::Whole);
    dialog->Click(IDOK);
    EXPECT_THAT(dialog->TakeMessages(), ElementsAre("Configuration is completed."));
}

TEST_F(ConfigureSeamTest, ExitClosesThePortBeforeTheDialogEnds)
{
    dialog->Click(IDC_EXIT);
    EXPECT_THAT(dialog->WaitForEnd(), Optional(IDCANCEL));
    EXPECT_EQ(script->Events().back(), "close");
}

}  // namespace
