// Runs a dialog as the program does, modally on a user-interface thread of
// its own, while the test drives it from the test's thread as a user would:
// choosing list entries, clicking, typing, and reading what the window shows.
//
// A thread-local WH_CBT hook on the UI thread watches every dialog that
// becomes active there. A message box (class #32770 with its text in the
// only static control 0xFFFF) is recorded, caption and text, and dismissed with
// its OK button; so is any other dialog the running one opens (the About
// box), recorded with its caption, the texts of its controls and its place.
//
// Actions are sent, not posted: each returns once the dialog has handled it,
// message boxes included, so the test reads the outcome right afterwards.
#pragma once

#include "Framework.h"

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct ShownMessageBox {
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    HICON icon = nullptr;  // the icon beside the text, if it shows one
};

struct ShownDialog {
    std::string caption;
    std::vector<std::string> controlTexts;  // in template order
    HWND owner = nullptr;
    RECT rect{};  // its window on the screen as it becomes active
};

class RunningDialog {
public:
    using Factory = std::function<std::unique_ptr<CDialog>()>;

    // Constructs the dialog with `makeDialog` on a new UI thread, runs it,
    // and returns once it shows.
    explicit RunningDialog(Factory makeDialog);
    // Cancels the dialog if it still runs, and waits for its thread.
    ~RunningDialog();

    RunningDialog(const RunningDialog&) = delete;
    RunningDialog& operator=(const RunningDialog&) = delete;

    HWND Window() const { return m_window; }
    HWND Control(int id) const;

    // --- What a user does --------------------------------------------------
    // Picks entry `index` of a combo box's list (CBN_SELCHANGE follows).
    void ChooseEntry(int comboId, int index);
    // Clicks a button; fails the test when the button is disabled.
    void Click(int id);
    // Types one character into the edit part of a combo box.
    void TypeIntoCombo(int comboId, char character);
    // Replaces an edit's text (not limited by EM_LIMITTEXT, as typing is).
    void SetText(int id, const std::string& text);
    // Sends any message to the dialog and returns its result.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Posts a message to the dialog's queue (keys, system commands that end it).
    void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // --- What a user sees --------------------------------------------------
    std::string Text(int id) const;
    bool IsEnabled(int id) const;
    bool IsChecked(int id) const;  // a button's check mark
    std::vector<std::string> ComboEntries(int comboId) const;
    int ComboSelection(int comboId) const;

    // Message boxes and other dialogs shown since the last call.
    std::vector<ShownMessageBox> TakeMessageBoxes();
    std::vector<std::string> TakeMessages();  // the message boxes' texts only
    std::vector<ShownDialog> TakeDialogs();

    // Waits for the dialog to end; DoModal's result, or nothing on time-out.
    std::optional<INT_PTR> WaitForEnd(int timeoutMs = 5000);

private:
    void RunUiThread(const Factory& makeDialog);
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    void OnDialogActivated(HWND window);
    void OnWindowDestroyed(HWND window);

    std::thread m_uiThread;
    HWND m_window = nullptr;  // set once, before the constructor returns

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_shown = false;
    bool m_ended = false;
    INT_PTR m_result = 0;
    std::vector<ShownMessageBox> m_messageBoxes;
    std::vector<ShownDialog> m_dialogs;
    std::vector<HWND> m_handled;  // windows already recorded (activation repeats)
};
