// The smallest program that shows one dialog from a template: the yardstick
// for how long Tolvane.exe takes to show its window. scripts/benchmark
// builds it with the compiler and link options of Tolvane.exe, once with
// EmptyDialog.rc and once with Tolvane's own resources (DIALOG_ID set to the
// main window's template): the second shows what the window's controls
// alone cost.
#include <windows.h>

namespace {

#ifndef DIALOG_ID
#define DIALOG_ID 1
#endif
constexpr int DialogId = DIALOG_ID;

INT_PTR CALLBACK EmptyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(DialogId), nullptr, EmptyDialogProc, 0));
}
