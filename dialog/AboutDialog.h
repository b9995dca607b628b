// CAboutDialog: the About box, opened from the main window's system menu.
// Everything it shows is in its template (IDD_ABOUT); its OK button, Escape
// and close box end it as any dialog's do.
#pragma once

#include "Framework.h"

class CAboutDialog : public CDialog {
public:
    CAboutDialog();
};
