// CConfigApp: the program. It runs the main window modally and ends when
// the window closes; there is no message loop of its own.
#pragma once

#include "Framework.h"

class CConfigApp : public CWinApp {
public:
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};
