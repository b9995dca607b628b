// The application: one global object of a class derived from CWinApp, and
// AfxWinMain, which the program's WinMain calls to run it.
//
//     class CMyApp : public CWinApp { BOOL InitInstance() override; };
//     CMyApp theApp;
//     int WINAPI WinMain(HINSTANCE i, HINSTANCE p, LPSTR c, int s) { return AfxWinMain(i, p, c, s); }
#pragma once

#include "MessageMap.h"
#include "Wnd.h"

#include <windows.h>

// The standard Help command.
#define ID_HELP 0xE146

class CWinApp : public CCmdTarget {
public:
    // Makes this object the program's application (AfxGetApp).
    CWinApp();
    ~CWinApp() override;

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Override this: set the program up and run it. Return FALSE to end the
    // program at once (a dialog-based program runs its dialog modally in
    // here); TRUE enters a message loop that runs until WM_QUIT.
    virtual BOOL InitInstance();

    // Controls have drawn themselves in three dimensions since Windows 95:
    // there is nothing to switch on. Kept for start-up code that calls it.
    BOOL Enable3dControls();

    // The Help command. The program ships no help file, so there is nothing to open.
    void OnHelp();

    CWnd* m_pMainWnd = nullptr;  // the window the program is about
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();

// The application's main window, or null.
CWnd* AfxGetMainWnd();

// The application's title: the executable's file name without directory or
// extension (Tolvane for C:\Tools\Tolvane.EXE). Message boxes carry it.
LPCSTR AfxGetAppName();

// The window that message boxes and dialogs given no parent belong to (they
// stay above it and disable it while they run): the main window once it
// exists, otherwise the calling thread's active window. Null when neither.
HWND AfxGetDefaultOwner();

// The module whose resources the program uses: the executable.
HINSTANCE AfxGetResourceHandle();

// ActiveX controls need no preparation for dialogs on today's Windows, and
// the program's dialogs host none: nothing to do.
void AfxEnableControlContainer();

// Runs the application: InitInstance, then the message loop if it asked for one.
int AfxWinMain(HINSTANCE instance, HINSTANCE previousInstance, LPSTR commandLine, int showCommand);
