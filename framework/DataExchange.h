// Dialog data exchange, reduced to what the dialogs use: binding a control
// wrapper to the control of the running dialog. There is no subclassing: the
// wrapper only receives the control's handle.
#pragma once

#include "Wnd.h"

class CDataExchange {
public:
    explicit CDataExchange(CWnd* dialog) : m_pDlgWnd(dialog) {}

    CWnd* m_pDlgWnd;  // the dialog whose controls are being bound
};

// Binds `control` to the dialog's control with identifier `id`.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
