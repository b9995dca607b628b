#include "RemoteDialog.h"

#include "DialogSearch.h"

#include "resource.h"

#include <vector>

namespace {

constexpr int MessageTextId = 0xFFFF;  // the static that holds a message box's text
constexpr DWORD PollMs = 20;
constexpr int MaxText = 1024;  // longer texts are cut, and then do not match

std::string Narrow(const wchar_t* text)
{
    char narrow[MaxText * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
    return narrow;
}

class Deadline {
public:
    explicit Deadline(DWORD ms) : m_end(GetTickCount64() + ms) {}
    bool Passed() const { return GetTickCount64() >= m_end; }
    UINT Left() const { return Passed() ? 1 : static_cast<UINT>(m_end - GetTickCount64()); }

private:
    ULONGLONG m_end;
};

}  // namespace

bool RemoteDialog::Start(const std::string& program, const std::string& caption, DWORD timeoutMs, std::string& error)
{
    m_timeoutMs = timeoutMs;
    std::string commandLine = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        error = "cannot start " + program + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    const UniqueHandle thread(started.hThread);  // of no use here: closed on return
    m_process.Reset(started.hProcess);
    m_processId = started.dwProcessId;
    return WaitForDialog(caption, timeoutMs, error);
}

bool RemoteDialog::Attach(const std::string& caption, DWORD timeoutMs, std::string& error)
{
    m_timeoutMs = timeoutMs;
    return WaitForDialog(caption, timeoutMs, error);
}

bool RemoteDialog::WaitForDialog(const std::string& caption, DWORD timeoutMs, std::string& error)
{
    for (Deadline deadline(timeoutMs); !deadline.Passed(); Sleep(PollMs)) {
        if (HWND found = FindShownDialog({m_processId, nullptr, caption, IDC_PORT})) {
            m_dialog = found;
            m_processId = ProcessOfWindow(m_dialog);
            return true;
        }
        if (m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0) {
            error = "the program ended before its dialog \"" + caption + "\" appeared";
            return false;
        }
    }
    error = "no dialog \"" + caption + "\" appeared within " + std::to_string(timeoutMs) + " ms";
    return false;
}

// A user can only work a control that is there, shown and enabled, in a
// window that is not held by a modal message box (which disables it).
bool RemoteDialog::Usable(int id, std::string& error) const
{
    HWND control = Control(id);
    if (!IsWindowEnabled(m_dialog))
        error = "the window waits for a message box to be answered";
    else if (!control)
        error = "there is no control " + std::to_string(id);
    else if (!IsWindowVisible(control))
        error = "the control is hidden";
    else if (!IsWindowEnabled(control))
        error = "the control is disabled";
    else
        return true;
    return false;
}

// Posted messages reach the program in the order they were posted, and a
// modal message box passes them on too. So once a marker posted after an
// action has taken effect, the program has dealt with the action, or is
// showing a message box about it. The marker is the modify flag of the
// hidden new-name edit: nothing shows it and the program never reads it.
bool RemoteDialog::Settle(std::string& error)
{
    HWND marker = Control(IDC_NEW_NAME);
    if (!IsWindow(m_dialog) || !marker)
        return true;  // the dialog has closed
    DWORD_PTR modified = 0;
    SendMessageTimeoutW(marker, EM_SETMODIFY, FALSE, 0, SMTO_NORMAL, m_timeoutMs, nullptr);
    PostMessageW(marker, EM_SETMODIFY, TRUE, 0);
    for (Deadline deadline(m_timeoutMs); !deadline.Passed(); Sleep(PollMs)) {
        if (!IsWindow(marker))
            return true;
        if (SendMessageTimeoutW(marker, EM_GETMODIFY, 0, 0, SMTO_NORMAL, deadline.Left(), &modified) && modified) {
            SendMessageTimeoutW(marker, EM_SETMODIFY, FALSE, 0, SMTO_NORMAL, m_timeoutMs, nullptr);
            return true;
        }
    }
    error = "the program did not respond within " + std::to_string(m_timeoutMs) + " ms";
    return false;
}

bool RemoteDialog::SelectPortEntry(int index, std::string& error)
{
    if (!Usable(IDC_PORT, error))
        return false;
    HWND list = Control(IDC_PORT);
    DWORD_PTR selected = 0;
    SendMessageTimeoutW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_NORMAL, m_timeoutMs, &selected);
    if (static_cast<int>(selected) != index) {
        error = "the port list has no entry " + std::to_string(index);
        return false;
    }
    // Choosing with the mouse also tells the dialog; setting the selection
    // by message does not, so the notification goes by hand.
    PostMessageW(m_dialog, WM_COMMAND, MAKEWPARAM(IDC_PORT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return Settle(error);
}

bool RemoteDialog::Click(int id, std::string& error)
{
    if (!Usable(id, error))
        return false;
    PostMessageW(Control(id), BM_CLICK, 0, 0);
    return Settle(error);
}

bool RemoteDialog::Type(int id, const std::string& text, std::string& error)
{
    if (!Usable(id, error))
        return false;
    const std::wstring wide = Widen(text);
    SendMessageTimeoutW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_NORMAL, m_timeoutMs,
                        nullptr);
    return Settle(error);
}

// Across processes only the wide-character forms of these messages carry
// whole texts, so every reading goes through them.
std::string RemoteDialog::Text(HWND window) const
{
    wchar_t text[MaxText] = {};
    if (window) {
        SendMessageTimeoutW(window, WM_GETTEXT, MaxText, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, m_timeoutMs,
                            nullptr);
    }
    text[MaxText - 1] = L'\0';
    return Narrow(text);
}

int RemoteDialog::Selection() const
{
    DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR);
    SendMessageTimeoutW(Control(IDC_PORT), CB_GETCURSEL, 0, 0, SMTO_NORMAL, m_timeoutMs, &index);
    return static_cast<int>(index);
}

int RemoteDialog::EntryCount() const
{
    DWORD_PTR count = 0;
    SendMessageTimeoutW(Control(IDC_PORT), CB_GETCOUNT, 0, 0, SMTO_NORMAL, m_timeoutMs, &count);
    return static_cast<int>(count);
}

std::string RemoteDialog::Entry(int index) const
{
    HWND list = Control(IDC_PORT);
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_NORMAL, m_timeoutMs, &length) ||
        static_cast<LRESULT>(length) == CB_ERR || length >= MaxText) {
        return "(no entry)";
    }
    wchar_t text[MaxText] = {};
    SendMessageTimeoutW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                        m_timeoutMs, nullptr);
    text[MaxText - 1] = L'\0';
    return Narrow(text);
}

HWND RemoteDialog::FindMessageBox() const
{
    return FindShownDialog({m_processId, m_dialog, "", 0});
}

std::string RemoteDialog::MessageText(HWND box) const
{
    return Text(GetDlgItem(box, MessageTextId));
}

bool RemoteDialog::DismissMessageBox(HWND box, std::string& error)
{
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    for (Deadline deadline(m_timeoutMs); IsWindow(box); Sleep(PollMs)) {
        if (deadline.Passed()) {
            error = "the message box did not close";
            return false;
        }
    }
    return Settle(error);
}

bool RemoteDialog::WaitForExit(DWORD timeoutMs)
{
    UniqueHandle attached;
    if (!m_process.IsValid())
        attached.Reset(OpenProcess(SYNCHRONIZE, FALSE, m_processId));
    const HANDLE process = m_process.IsValid() ? m_process.Get() : attached.Get();
    return !process || WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
}

void RemoteDialog::EndStartedProgram()
{
    if (m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.Get(), 1);
        WaitForSingleObject(m_process.Get(), m_timeoutMs);
    }
}
