// The smallest program that shows one dialog from a template: the yardstick
// for how long Tolvane.exe takes to show its window. Built as Tolvane.exe is
// (see CMakeLists.txt), once as tolvane-emptydialog with EmptyDialog.rc, and
// once as tolvane-templateonly with Tolvane's own resources, showing the main
// window's template: the second shows what the window's controls alone cost.
#include <windows.h>

#ifdef SHOW_MAIN_WINDOW_TEMPLATE
#include "resource.h"
#endif

namespace {

#ifdef SHOW_MAIN_WINDOW_TEMPLATE
constexpr int DialogId = IDD_CONFIG;
#else
constexpr int DialogId = 1;  // EmptyDialog.rc's only dialog
#endif

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(DialogId), nullptr, EmptyDialogProc, 0));
}
