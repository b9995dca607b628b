// Tolvane.exe as a program: it starts with its main window and ends, with
// exit code 0, when Exit closes that window.
#include "resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

struct FoundWindow {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindProcessDialog(HWND window, LPARAM lParam)
{
    auto* found = reinterpret_cast<FoundWindow*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    char caption[32] = {};
    ::GetWindowTextA(window, caption, static_cast<int>(sizeof caption));
    if (processId == found->processId && ::IsWindowVisible(window) && std::string(caption) == "Tolvane") {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

// The program next to the test programs' build folder.
std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    for (int level = 0; level < 3; ++level)  // tests\dialog\dialog_test.exe
        folder.erase(folder.find_last_of("\\/"));
    return folder + "\\Tolvane.exe";
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + ProgramPath() + "\"";
        ASSERT_TRUE(::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &process))
            << ProgramPath();
        FoundWindow found{ process.dwProcessId, nullptr };
        for (int attempt = 0; attempt < 400 && found.window == nullptr; ++attempt) {
            ::Sleep(25);
            ::EnumWindows(&FindProcessDialog, reinterpret_cast<LPARAM>(&found));
        }
        ASSERT_NE(found.window, nullptr) << "the main window did not show";
        window = found.window;
    }

    void TearDown() override
    {
        if (process.hProcess == nullptr)
            return;
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process.hProcess, 99);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }

    // The program's exit code once it ended, or -1 when it still runs.
    long ExitCodeWithin(DWORD milliseconds)
    {
        if (::WaitForSingleObject(process.hProcess, milliseconds) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(process.hProcess, &code);
        return static_cast<long>(code);
    }

    PROCESS_INFORMATION process{};
    HWND window = nullptr;
};

TEST_F(ProgramTest, ExitEndsTheProgram)
{
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(window, IDC_EXIT)));
    EXPECT_EQ(ExitCodeWithin(10000), 0);
}

}  // namespace
