// Finding a shown dialog of another process, as a user sees it on the screen:
// a visible window of the dialog class (message boxes are dialogs too), by
// its process, its caption and a control it must hold.
#pragma once

#include <windows.h>

#include <string>

struct DialogSearch {
    DWORD processId = 0;      // 0: any process
    HWND exclude = nullptr;   // a dialog that does not count (the one already found)
    std::string caption;      // empty: any caption
    int requiredControl = 0;  // 0: none
};

// The first visible dialog that matches, or nullptr.
HWND FindShownDialog(const DialogSearch& search);

DWORD ProcessOfWindow(HWND window);

// Text for the wide-character window calls: across processes only those
// carry whole texts (see RemoteDialog).
std::wstring Widen(const std::string& text);
