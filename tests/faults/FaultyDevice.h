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
#include <optional>
#include <string>
#include <vector>

// The device every test reads first, and what the window then shows of it.
inline const std::string VerifiedDevice = DeviceScenario("1.3", "1", "1234", "Verified Unit");
inline const std::vector<std::string> VerifiedTexts = {"Verified Unit\n", "1.3", "Enable", "1234"};
inline const std::vector<std::string> NothingShown = {"", "", "", ""};

inline constexpr char IncorrectData[] = "Receive incorrect data from COM port.";
inline constexpr char ReadTimedOut[] = "Reading COM port timeout.";
inline constexpr char CannotOpen[] = "Cannot open the COM port.";

// COM5 is opened afresh for every query, after the window has let go of it
// the way a user makes it: by choosing another port (COM8, which cannot be
// opened) or by closing the window. The window itself closes a port and at
// once opens the one chosen, and a port that holds bytes it left unread would
// show them to that open; so before COM5 is opened again the device must have
// seen the release and dropped them (BenchDevice::WaitForRelease).
class FaultyDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { dialog = StartMainWindow(); }

    // The device lives for the whole program: the next test opens COM5
    // afresh too.
    void TearDown() override
    {
        dialog.reset();
        windowHoldsCom5 = false;
        LetGoOfCom5();
    }

    // One main window at a time: a closing window hands activation to the
    // next, and its thread's message-box hook would click that window's OK
    // as if it were a box.
    void RestartWindow()
    {
        dialog.reset();
        windowHoldsCom5 = false;
        dialog = StartMainWindow();
    }

    // Chooses COM5, which the window then opens and queries.
    void ChooseCom5()
    {
        LetGoOfCom5();
        com5Use = com5.BeginPortUse();
        windowHoldsCom5 = true;
        dialog->ChooseEntry(IDC_PORT, Com5);
    }

    void LetGoOfCom5()
    {
        if (!com5Use)
            return;
        if (windowHoldsCom5) {
            dialog->ChooseEntry(IDC_PORT, Com8);
            EXPECT_EQ(dialog->TakeMessages(), std::vector<std::string>{CannotOpen});
            windowHoldsCom5 = false;
        }
        EXPECT_TRUE(com5.WaitForRelease(*com5Use, 10000)) << "the device never saw the window let go of COM5";
        com5Use.reset();
    }

    // Reads the verified device on COM5.
    void ReadVerifiedDevice()
    {
        com5.SetScenario(VerifiedDevice);
        ChooseCom5();
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
        LetGoOfCom5();
        const auto start = std::chrono::steady_clock::now();
        ChooseCom5();
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
    std::optional<BenchDevice::PortUse> com5Use;  // since COM5 was last chosen
    bool windowHoldsCom5 = false;
};
