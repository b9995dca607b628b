#include "DialogSearch.h"

namespace {

constexpr char DialogClass[] = "#32770";  // dialogs and message boxes alike
constexpr int MaxCaption = 1024;          // longer captions are cut, and then do not match

struct Match {
    const DialogSearch& search;
    std::wstring caption;
    HWND found = nullptr;
};

bool HasDialogClass(HWND window)
{
    char found[64] = {};
    GetClassNameA(window, found, sizeof found);
    return lstrcmpiA(found, DialogClass) == 0;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM matchAddress)
{
    auto& match = *reinterpret_cast<Match*>(matchAddress);
    const DialogSearch& search = match.search;
    if (window == search.exclude || !IsWindowVisible(window) || !HasDialogClass(window))
        return TRUE;
    if (search.processId != 0 && ProcessOfWindow(window) != search.processId)
        return TRUE;
    if (search.requiredControl != 0 && !GetDlgItem(window, search.requiredControl))
        return TRUE;
    if (!match.caption.empty()) {
        wchar_t caption[MaxCaption] = {};
        GetWindowTextW(window, caption, MaxCaption);
        if (match.caption != caption)
            return TRUE;
    }
    match.found = window;
    return FALSE;
}

}  // namespace

HWND FindShownDialog(const DialogSearch& search)
{
    Match match{search, Widen(search.caption)};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&match));
    return match.found;
}

DWORD ProcessOfWindow(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(n > 0 ? static_cast<std::size_t>(n - 1) : 0);
    return wide;
}
