// CWnd: a window, by its handle. It holds nothing but the HWND, does not own
// the window, and is cheap to copy: GetDlgItem hands one back by value.
#pragma once

#include "CString.h"
#include "Menu.h"
#include "MessageMap.h"

#include <windows.h>

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}

    HWND GetSafeHwnd() const { return m_hWnd; }

    // The child control `id` of this window; its handle is null when there is none.
    CWnd GetDlgItem(int id) const;

    BOOL EnableWindow(BOOL enable = TRUE);

    void SetDlgItemText(int id, LPCSTR text);
    // Copies the whole text of control `id` into `text`; returns its length.
    int GetDlgItemText(int id, CString& text) const;
    // Sets the check state of button `id` (BST_UNCHECKED, BST_CHECKED).
    void CheckDlgButton(int id, UINT check);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    // The window's system menu (revert FALSE: the one to change); its handle
    // is null when the window has none.
    CMenu GetSystemMenu(BOOL revert) const;

    // WM_SETICON: the big icon (title bar with Alt+Tab, task bar) or the
    // small one (caption). Returns the icon set before.
    HICON SetIcon(HICON icon, BOOL bigIcon);

    BOOL IsIconic() const;
    void GetClientRect(LPRECT rect) const;

    // Centres this top-level window over its owner when the owner is shown
    // and not minimised, otherwise on the screen's work area, and keeps it
    // inside the work area.
    void CenterWindow();

    HWND m_hWnd = nullptr;
};
