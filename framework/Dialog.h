// CDialog: a modal dialog laid out by a dialog template of the program's
// resources. DoModal runs it; its message map, and the maps of the classes
// derived from it, receive its messages.
#pragma once

#include "DataExchange.h"
#include "MessageMap.h"
#include "Wnd.h"

#include <windows.h>

class CDialog : public CWnd {
public:
    // With no parent, the dialog belongs to the default owner when it runs
    // (AfxGetDefaultOwner): for the main window, none.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override = default;

    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Shows the dialog and returns when it ends, with the code given to
    // EndDialog (IDOK, IDCANCEL ...), or -1 when it could not be created.
    INT_PTR DoModal();

    // Ends the running dialog; DoModal returns `result`.
    void EndDialog(int result);

protected:
    // --- Override these ------------------------------------------------------

    // After the controls exist, before the dialog shows. The base binds the
    // controls (DoDataExchange). Return TRUE to let the system place the focus.
    // Afterwards a dialog whose template puts it at (0, 0) without DS_CENTER
    // is centred over its owner (or the screen), unless OnInitDialog moved or
    // showed it (see InitialPlacement.h).
    virtual BOOL OnInitDialog();

    // Binds control wrappers with DDX_Control. The base binds nothing.
    virtual void DoDataExchange(CDataExchange* pDX);

    // The OK button or Enter. The base ends the dialog with IDOK.
    virtual void OnOK();

    // The Cancel command: Escape, the close box, or a call. The base ends
    // the dialog with IDCANCEL.
    virtual void OnCancel();

    // Default processing of window messages that a derived class handles
    // only in part: call these for the cases it leaves to the system.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // --- Leave these alone ---------------------------------------------------

    // Hands the message being handled on to the system's default processing.
    void Default();

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL InitDialog();
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleCommand(UINT id, UINT notifyCode);

    UINT m_templateId;
    HWND m_hWndParent;
    bool m_passToDefault = false;  // set by Default() while a handler runs

    DECLARE_MESSAGE_MAP()
};
