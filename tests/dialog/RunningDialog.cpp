#include "RunningDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

// Long enough for a query that waits out the device link's read time-out.
constexpr UINT SendTimeoutMs = 15000;
constexpr int MessageBoxTextId = 0xFFFF;

thread_local RunningDialog* t_running = nullptr;

std::string WindowText(HWND window)
{
    std::vector<char> text(static_cast<std::size_t>(::GetWindowTextLengthA(window)) + 1, '\0');
    ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return text.data();
}

// A message box's text is the one control with identifier 0xFFFF. A dialog
// of the program may have several such controls too (its unnamed labels, -1
// in the template), which is how the two are told apart. Null when the
// window is no message box.
HWND MessageBoxText(HWND dialog)
{
    HWND text = nullptr;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetDlgCtrlID(child) & 0xFFFF) != MessageBoxTextId)  // -1 in an extended template
            continue;
        if (text != nullptr)
            return nullptr;
        text = child;
    }
    return text;
}

// The icon a message box shows: that of its icon control (a static with
// SS_ICON), which is there, without an icon, in a box without one too.
HICON MessageBoxIcon(HWND box)
{
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        ::GetClassNameA(child, className, static_cast<int>(sizeof className));
        if (lstrcmpiA(className, "Static") == 0 && (::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            return reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

bool IsDialogClass(HWND window)
{
    char className[16] = {};
    ::GetClassNameA(window, className, static_cast<int>(sizeof className));
    return std::string(className) == "#32770";
}

}  // namespace

RunningDialog::RunningDialog(Factory makeDialog)
{
    m_uiThread = std::thread([this, makeDialog] { RunUiThread(makeDialog); });
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool shown = m_changed.wait_for(lock, std::chrono::seconds(20), [this] { return m_shown || m_ended; });
    if (!shown || m_window == nullptr)
        ADD_FAILURE() << "the dialog did not show";
}

RunningDialog::~RunningDialog()
{
    if (!WaitForEnd(0).has_value() && m_window != nullptr)
        ::PostMessageA(m_window, WM_COMMAND, IDCANCEL, 0);
    if (!WaitForEnd(10000).has_value())
        ADD_FAILURE() << "the dialog did not end";
    m_uiThread.join();
}

void RunningDialog::RunUiThread(const Factory& makeDialog)
{
    t_running = this;
    const HHOOK hook = ::SetWindowsHookExA(WH_CBT, &RunningDialog::CbtHook, nullptr, ::GetCurrentThreadId());

    std::unique_ptr<CDialog> dialog = makeDialog();
    CWinApp* app = AfxGetApp();
    if (app != nullptr)
        app->m_pMainWnd = dialog.get();
    const INT_PTR result = dialog->DoModal();
    if (app != nullptr)
        app->m_pMainWnd = nullptr;
    dialog.reset();

    ::UnhookWindowsHookEx(hook);
    t_running = nullptr;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_result = result;
    m_ended = true;
    m_changed.notify_all();
}

LRESULT CALLBACK RunningDialog::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (t_running != nullptr) {
        if (code == HCBT_ACTIVATE)
            t_running->OnDialogActivated(reinterpret_cast<HWND>(wParam));
        else if (code == HCBT_DESTROYWND)
            t_running->OnWindowDestroyed(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void RunningDialog::OnDialogActivated(HWND window)
{
    // The hook is this thread's; a window of another running dialog's thread
    // can still activate through it and is that harness's business.
    if (!IsDialogClass(window) || ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (std::find(m_handled.begin(), m_handled.end(), window) != m_handled.end())
        return;
    m_handled.push_back(window);

    if (!m_shown && owner == nullptr) {
        // The dialog under test: the first, and the only one that belongs to no other window.
        m_window = window;
        m_shown = true;
        m_changed.notify_all();
        return;
    }
    if (const HWND text = MessageBoxText(window); text != nullptr) {
        m_messageBoxes.push_back({WindowText(window), WindowText(text), owner, MessageBoxIcon(window)});
    } else {
        ShownDialog shown{WindowText(window), {}, owner, {}};
        ::GetWindowRect(window, &shown.rect);
        for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
            shown.controlTexts.push_back(WindowText(child));
        m_dialogs.push_back(shown);
    }
    // Dismiss it as a user would, once its modal loop runs.
    ::PostMessageA(::GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
}

void RunningDialog::OnWindowDestroyed(HWND window)
{
    // A later window may get the same handle and must be recorded afresh.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handled.erase(std::remove(m_handled.begin(), m_handled.end(), window), m_handled.end());
}

HWND RunningDialog::Control(int id) const
{
    return ::GetDlgItem(m_window, id);
}

LRESULT RunningDialog::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutA(m_window, message, wParam, lParam, SMTO_NORMAL, SendTimeoutMs, &result) == 0)
        ADD_FAILURE() << "the dialog did not handle message " << message << " in time";
    return static_cast<LRESULT>(result);
}

void RunningDialog::Post(UINT message, WPARAM wParam, LPARAM lParam)
{
    ::PostMessageA(m_window, message, wParam, lParam);
}

void RunningDialog::ChooseEntry(int comboId, int index)
{
    const HWND combo = Control(comboId);
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Send(WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void RunningDialog::Click(int id)
{
    if (!IsEnabled(id)) {
        ADD_FAILURE() << "control " << id << " is disabled and cannot be clicked";
        return;
    }
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutA(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, SendTimeoutMs, &result) == 0)
        ADD_FAILURE() << "clicking control " << id << " did not finish in time";
}

void RunningDialog::TypeIntoCombo(int comboId, char character)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetComboBoxInfo(Control(comboId), &info));
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(info.hwndItem, WM_CHAR, static_cast<unsigned char>(character), 1, SMTO_NORMAL, SendTimeoutMs,
                          &result);
}

void RunningDialog::SetText(int id, const std::string& text)
{
    ::SendMessageA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string RunningDialog::Text(int id) const
{
    return WindowText(Control(id));
}

bool RunningDialog::IsEnabled(int id) const
{
    return ::IsWindowEnabled(Control(id)) != FALSE;
}

bool RunningDialog::IsChecked(int id) const
{
    return ::SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<std::string> RunningDialog::ComboEntries(int comboId) const
{
    const HWND combo = Control(comboId);
    std::vector<std::string> entries;
    const LRESULT count = ::SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = {};
        if (::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < static_cast<LRESULT>(sizeof text))
            ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

int RunningDialog::ComboSelection(int comboId) const
{
    return static_cast<int>(::SendMessageA(Control(comboId), CB_GETCURSEL, 0, 0));
}

std::vector<ShownMessageBox> RunningDialog::TakeMessageBoxes()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_messageBoxes, {});
}

std::vector<std::string> RunningDialog::TakeMessages()
{
    std::vector<std::string> texts;
    for (const ShownMessageBox& box : TakeMessageBoxes())
        texts.push_back(box.text);
    return texts;
}

std::vector<ShownDialog> RunningDialog::TakeDialogs()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_dialogs, {});
}

std::optional<INT_PTR> RunningDialog::WaitForEnd(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_ended; }))
        return std::nullopt;
    return m_result;
}
