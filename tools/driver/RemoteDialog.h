// The running program's main dialog and its message boxes, seen and worked
// from another process the way a user works them: every action is a
// message any other program could send, every reading a control's state.
#pragma once

#include "serial/UniqueHandle.h"

#include <windows.h>

#include <string>

class RemoteDialog {
public:
    // Starts `program` as its own process and waits for its dialog.
    bool Start(const std::string& program, const std::string& caption, DWORD timeoutMs, std::string& error);
    // Waits for a dialog with this caption in any process.
    bool Attach(const std::string& caption, DWORD timeoutMs, std::string& error);

    HWND Control(int id) const { return GetDlgItem(m_dialog, id); }

    // Actions. Each returns once the program has dealt with it (or opened a
    // message box while dealing with it).
    bool SelectPortEntry(int index, std::string& error);
    bool Click(int id, std::string& error);
    bool Type(int id, const std::string& text, std::string& error);

    // Readings.
    std::string Text(HWND window) const;
    int Selection() const;
    int EntryCount() const;
    std::string Entry(int index) const;

    // Message boxes: the first one the program shows, if any.
    HWND FindMessageBox() const;
    std::string MessageText(HWND box) const;
    bool DismissMessageBox(HWND box, std::string& error);

    bool WaitForExit(DWORD timeoutMs);
    // Ends a program this driver started, if it still runs.
    void EndStartedProgram();

private:
    bool WaitForDialog(const std::string& caption, DWORD timeoutMs, std::string& error);
    bool Settle(std::string& error);
    bool Usable(int id, std::string& error) const;

    HWND m_dialog = nullptr;
    DWORD m_processId = 0;
    UniqueHandle m_process;  // only for a program started here
    DWORD m_timeoutMs = 10000;
};
