// The framework's rule for placing a modal dialog it did not place itself:
// a dialog that its set-up (WM_INITDIALOG) left hidden and where the dialog
// manager put it, and that is modal over its owner (which is then disabled)
// or has none, is centred (CWnd::CenterWindow). CDialog applies it to the
// program's dialogs; a message box places itself.
#pragma once

#include <windows.h>

class InitialPlacement {
public:
    // Notes the window's state; take it just before WM_INITDIALOG.
    explicit InitialPlacement(HWND window);

    // After WM_INITDIALOG: whether the set-up left the placement open.
    bool LeftToFramework() const;

private:
    HWND m_hWnd;
    bool m_hidden;
    RECT m_rect{};
};
