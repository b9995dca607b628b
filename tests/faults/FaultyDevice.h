// What the fault tests under Wine share: the main window on the bench's
// COM5, a device that answers properly (the last one verified), and the
// checks every refused device must pass.
#pragma once

#include "BenchDevice.h"
#include "DialogTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// The device every test reads first, and what the window then shows of it.
inline const std::string VerifiedDevice = DeviceScenario("1.3", "1", "1234", "Verified Unit");
inline const std::vector<std::string> VerifiedTexts = {"Verified Unit\n", "1.3", "Enable", "1234"};
inline const std::vector<std::string> NothingShown = {"", "", "", ""};

inline constexpr char IncorrectData[] = "Receive incorrect data from COM port.";
inline constexpr char ReadTimedOut[] = "Reading COM port timeout.";

class FaultyDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { dialog = StartMainWindow(); }

    // Reads the verified device on COM5.
    void ReadVerifiedDevice()
    {
        com5.SetScenario(VerifiedDevice);
        dialog->ChooseEntry(IDC_PORT, Com5);
        ASSERT_THAT(dialog->TakeMessages(), ::testing::IsEmpty());
        ASSERT_EQ(InfoTexts(*dialog), VerifiedTexts);
    }

    // Chooses COM5 with the device set up by `scenario`, and returns how long
    // the window was busy with it.
    std::chrono::duration<double> QueryCom5(const std::string& scenario)
    {
        com5.SetScenario(scenario);
        com5.MarkReceived();
        configuresBefore = com5.State()["configures"];
        const auto start = std::chrono::steady_clock::now();
        dialog->ChooseEntry(IDC_PORT, Com5);
        return std::chrono::steady_clock::now() - start;
    }

    // After a query the window refused: exactly `messages`, the edit group
    // locked, the information as `shown`, and nothing but the access code
    // reached the device, also when OK is asked for from the keyboard.
    void ExpectRefused(const std::vector<std::string>& messages, const std::vector<std::string>& shown)
    {
        EXPECT_EQ(dialog->TakeMessages(), messages);
        EXPECT_THAT(EnabledIn(*dialog, EditGroup), ::testing::IsEmpty());
        EXPECT_EQ(InfoTexts(*dialog), shown);
        ExpectNothingConfigured();
    }

    // Neither Enter (the default button) nor a click that reaches the
    // disabled OK button (Wine delivers BM_CLICK to a disabled button, as
    // another program's click could) may write to the device.
    void ExpectNothingConfigured()
    {
        dialog->Post(WM_KEYDOWN, VK_RETURN, 1);
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(dialog->Control(IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 15000, &ignored);
        ::Sleep(100);  // for the key, which was posted
        EXPECT_THAT(dialog->TakeMessages(), ::testing::IsEmpty());
        EXPECT_EQ(com5.ReceivedSinceMark(), AccessCodeBytes);
        EXPECT_EQ(com5.State()["configures"], configuresBefore);
    }

    BenchDevice com5{5};
    std::unique_ptr<RunningDialog> dialog;
    std::string configuresBefore;
};
